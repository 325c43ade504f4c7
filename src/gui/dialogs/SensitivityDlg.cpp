#include "SensitivityDlg.h"

#include "SensitivityChart.h"
#include "StudyControls.h"
#include "StudySlices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

CSensitivityDlg::CSensitivityDlg(const CTorqDoc& engine, DocumentMaker makeDocument, ApplyChange apply,
                                 QWidget* parent)
    : QDialog(parent),
      m_makeDocument(std::move(makeDocument)),
      m_apply(std::move(apply)),
      m_slices(new CStudySlices(this))
{
    engine.CopyTo(m_engine);
    m_engine.SetTitle(engine.GetTitle());
    setWindowTitle(Caption() + " - " + QString::fromStdString(engine.GetTitle()));
    CreateControls();
    connect(m_slices, &CStudySlices::Progressed, this, &CSensitivityDlg::ShowProgress);
    connect(m_slices, &CStudySlices::Finished, this, &CSensitivityDlg::ShowResult);
    connect(m_chart, &CSensitivityChart::BarClicked, this, &CSensitivityDlg::OfferBar);
    UpdateButtons();
}

CSensitivityDlg::~CSensitivityDlg() = default;

void CSensitivityDlg::CreateControls()
{
    m_score = new CStudyScoreControls(this);
    m_shown = new QComboBox(this);
    m_shown->addItem(tr("Gain in the score's unit"));
    m_shown->addItem(tr("Gain in %"));
    m_run = new QPushButton(tr("&Run"), this);
    m_stop = new QPushButton(tr("&Stop"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_score, 1);
    top->addWidget(m_shown);
    top->addWidget(m_run);
    top->addWidget(m_stop);
    m_progress = new QProgressBar(this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_chart = new CSensitivityChart(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_chart);
    scroll->setWidgetResizable(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_run, &QPushButton::clicked, this, &CSensitivityDlg::Run);
    connect(m_stop, &QPushButton::clicked, this, &CSensitivityDlg::Stop);
    connect(m_shown, &QComboBox::currentIndexChanged, this, [this] { FillChart(); });
    resize(980, 760);
}

bool CSensitivityDlg::IsRunning() const
{
    return m_slices->IsRunning();
}

void CSensitivityDlg::UpdateButtons()
{
    m_run->setEnabled(!IsRunning());
    m_stop->setEnabled(IsRunning());
    m_score->setEnabled(!IsRunning());
}

void CSensitivityDlg::Run()
{
    if (IsRunning()) return;
    m_study = std::make_unique<Sensitivity>(m_engine, m_score->Criterion(), m_score->Band());
    m_result = {};
    m_chart->SetBars({}, {});
    std::string failure;
    if (!m_study->RunBaseline(failure)) {
        m_status->setText(tr("The engine as it is does not run: %1").arg(QString::fromStdString(failure)));
        m_study.reset();
        return;
    }
    m_progress->setRange(0, static_cast<int>(m_study->Changes().size()));
    // Small chunks: a few changes per slice keep the bar moving.
    m_slices->Start([this](const StudyRunner& runner) {
        m_study->RunNext(runner, 32);
        return m_study->IsDone();
    });
    ShowProgress();
    UpdateButtons();
}

void CSensitivityDlg::Stop()
{
    m_slices->Stop();
}

void CSensitivityDlg::reject()
{
    Stop();
    QDialog::reject();
}

void CSensitivityDlg::ShowProgress()
{
    m_progress->setValue(static_cast<int>(m_study->DoneCount()));
    m_status->setText(
        tr("Running: %1 of %2 changes").arg(m_study->DoneCount()).arg(m_study->Changes().size()));
}

void CSensitivityDlg::ShowResult(bool stopped)
{
    m_result = m_study->Result();
    const QString unit = CStudyScoreControls::UnitOf(m_score->Criterion());
    QString text = (stopped ? tr("Stopped after %1 of %2 changes.") : tr("%1 of %2 changes."))
                       .arg(m_study->DoneCount())
                       .arg(m_study->Changes().size()) +
                   tr(" The engine as it is: %1 %2.").arg(m_result.baseline.score, 0, 'f', 1).arg(unit);
    if (!m_result.failures.empty()) {
        text += tr(" %1 changes do not run:").arg(m_result.failures.size());
        for (const SensitivityRow& row : m_result.failures) {
            text += " " + ChangeName(m_study->Changes()[row.change]) + " (" +
                    QString::fromStdString(row.figures.failure) + ");";
        }
    }
    m_status->setText(text);
    FillChart();
    UpdateButtons();
}

void CSensitivityDlg::ShowPercent(bool percent)
{
    m_shown->setCurrentIndex(percent ? 1 : 0);
}

QString CSensitivityDlg::ChangeName(const SensitivityChange& change) const
{
    return QString("%1 %2 -> %3")
        .arg(QString::fromStdString(change.parameter), QString::fromStdString(change.fromText),
             QString::fromStdString(change.toText));
}

void CSensitivityDlg::FillChart()
{
    if (!m_study) return;
    const bool percent = m_shown->currentIndex() == 1;
    const QString unit = percent ? QString("%") : CStudyScoreControls::UnitOf(m_score->Criterion());
    std::vector<CSensitivityChart::Bar> bars;
    for (const SensitivityRow& row : m_result.rows) {
        const double value = percent ? row.gain.percent : row.gain.absolute;
        const SensitivityChange& change = m_study->Changes()[row.change];
        bars.push_back(
            {QString::fromStdString(change.parameter) + "  " + QString::fromStdString(change.toText), value,
             QString("%1%2 %3").arg(value >= 0 ? "+" : "").arg(value, 0, 'f', 1).arg(unit)});
    }
    m_chart->SetBars(std::move(bars), unit);
}

void CSensitivityDlg::OfferBar(int bar, QPoint globalPosition)
{
    QMenu menu(this);
    const QString name = ChangeName(m_study->Changes()[m_result.rows[std::size_t(bar)].change]);
    menu.addAction(name)->setEnabled(false);
    menu.addSeparator();
    QAction* open = menu.addAction(tr("Open As A &New Engine"));
    QAction* apply = menu.addAction(tr("&Apply To This Engine"));
    QAction* chosen = menu.exec(globalPosition);
    if (chosen == open) OpenAsNewEngine(bar);
    if (chosen == apply) ApplyToEngine(bar);
}

bool CSensitivityDlg::OpenAsNewEngine(int bar)
{
    if (!m_study || bar < 0 || bar >= static_cast<int>(m_result.rows.size())) return false;
    CTorqDoc* document = m_makeDocument ? m_makeDocument() : nullptr;
    if (document == nullptr) return false;
    const std::size_t change = m_result.rows[std::size_t(bar)].change;
    {
        const QuietMessages quiet;
        m_study->MakeEngine(change, *document);
    }
    document->SetTitle(ChangeName(m_study->Changes()[change]).toStdString());
    document->SetModified(true);
    document->Recalculate();
    document->UpdateAllViews();
    return true;
}

void CSensitivityDlg::ApplyToEngine(int bar)
{
    if (!m_study || bar < 0 || bar >= static_cast<int>(m_result.rows.size())) return;
    const SensitivityChange change = m_study->Changes()[m_result.rows[std::size_t(bar)].change];
    if (m_apply) m_apply(change.edit, ChangeName(change));
    {
        // The dialog's copy follows the engine, so that the next run starts from it.
        const QuietMessages quiet;
        MakeEditedEngine(m_engine, std::span(&change.edit, 1));
    }
    m_study.reset();
    m_result = {};
    m_chart->SetBars({}, {});
    m_status->setText(
        tr("Applied %1 to the engine (Edit > Undo takes it back). Run again for the next change.")
            .arg(ChangeName(change)));
}
