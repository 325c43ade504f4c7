#include "PartsShootoutDlg.h"

#include "StudyControls.h"
#include "StudySlices.h"
#include "widgets/ChartLook.h"
#include "widgets/ChartView.h"

#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <QValueAxis>
#include <algorithm>

namespace {

constexpr int kMostCurves = 6;  // selected rows drawn beside the engine's own
constexpr int kFailuresListed = 8;
constexpr int kDefaultTop = 20;

enum Column {
    kRank,
    kScore,
    kGain,
    kGainPercent,
    kPeakPower,
    kPowerRpm,
    kPeakTorque,
    kTorqueRpm,
    kFirstChoice
};

// A figure shown with its decimals and sorted by its value.
class NumberItem final : public QTableWidgetItem {
public:
    NumberItem(double value, int decimals)
        : QTableWidgetItem(QString::number(value, 'f', decimals)), m_value(value)
    {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        return number != nullptr ? m_value < number->m_value : QTableWidgetItem::operator<(other);
    }

private:
    double m_value;
};

// Power (hp) over engine speed from a run alone of the engine.
QLineSeries* PowerCurve(CTorqDoc& engine, const QString& name)
{
    auto* series = new QLineSeries;
    series->setName(name);
    const StudyRunner::Outcome outcome = StudyRunner::RunAlone(engine);
    if (outcome.kind != StudyRunner::Outcome::Kind::Simulated) return series;
    for (int point = 0; point < kResultPointCount; ++point) {
        series->append(outcome.results[kSeriesEngineSpeed - 1][point],
                       outcome.results[kSeriesPower - 1][point]);
    }
    return series;
}

}  // namespace

CPartsShootoutDlg::CPartsShootoutDlg(const CTorqDoc& engine, DocumentMaker makeDocument, QWidget* parent)
    : QDialog(parent), m_makeDocument(std::move(makeDocument)), m_slices(new CStudySlices(this))
{
    engine.CopyTo(m_engine);
    m_engine.SetTitle(engine.GetTitle());
    for (PartGroup group : kPartGroups) m_allowed.push_back({group, AllowedPartOptions(m_engine, group)});
    setWindowTitle(Caption() + " - " + QString::fromStdString(engine.GetTitle()));
    CreateControls();
    FillGroups();
    connect(m_slices, &CStudySlices::Progressed, this, &CPartsShootoutDlg::ShowProgress);
    connect(m_slices, &CStudySlices::Finished, this, &CPartsShootoutDlg::ShowResult);
    UpdateCount();
    UpdateButtons();
}

CPartsShootoutDlg::~CPartsShootoutDlg() = default;

void CPartsShootoutDlg::CreateControls()
{
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(CreateSetupPane());
    splitter->addWidget(CreateResultPane());
    splitter->setStretchFactor(1, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    layout->addWidget(buttons);
    resize(1180, 720);
}

QWidget* CPartsShootoutDlg::CreateSetupPane()
{
    auto* pane = new QWidget(this);
    m_groups = new QTreeWidget(pane);
    m_groups->setObjectName("groups");
    m_groups->setHeaderLabel(tr("Parts to compare"));
    m_count = new QLabel(pane);
    m_score = new CStudyScoreControls(pane);
    m_top = new QSpinBox(pane);
    m_top->setRange(1, 1000);
    m_top->setValue(kDefaultTop);
    m_top->setPrefix(tr("Best "));
    m_run = new QPushButton(tr("&Run"), pane);
    m_stop = new QPushButton(tr("&Stop"), pane);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(m_top);
    runRow->addStretch();
    runRow->addWidget(m_run);
    runRow->addWidget(m_stop);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_groups, 1);
    layout->addWidget(m_count);
    layout->addWidget(m_score);
    layout->addLayout(runRow);
    connect(m_groups, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        if (item->parent() == nullptr && item->checkState(0) == Qt::Checked) item->setExpanded(true);
        UpdateCount();
        UpdateButtons();
    });
    connect(m_run, &QPushButton::clicked, this, &CPartsShootoutDlg::Run);
    connect(m_stop, &QPushButton::clicked, this, &CPartsShootoutDlg::Stop);
    return pane;
}

QWidget* CPartsShootoutDlg::CreateResultPane()
{
    auto* pane = new QWidget(this);
    m_progress = new QProgressBar(pane);
    m_status = new QLabel(pane);
    m_status->setWordWrap(true);
    m_table = new QTableWidget(pane);
    m_table->setObjectName("results");
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_failures = new QLabel(pane);
    m_failures->setWordWrap(true);
    m_failures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chart = new CChartView(new QChart, pane);
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(240);
    m_make = new QPushButton(tr("&Make Engine"), pane);
    m_make->setToolTip(tr("Open each selected row as a new engine named after its changes"));
    auto* makeRow = new QHBoxLayout;
    makeRow->addWidget(m_status, 1);
    makeRow->addWidget(m_make);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_progress);
    layout->addLayout(makeRow);
    layout->addWidget(m_table, 3);
    layout->addWidget(m_failures);
    layout->addWidget(m_chart, 2);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        UpdateChart();
        UpdateButtons();
    });
    connect(m_make, &QPushButton::clicked, this, &CPartsShootoutDlg::MakeEngines);
    return pane;
}

void CPartsShootoutDlg::FillGroups()
{
    const QSignalBlocker blocker(m_groups);
    for (std::size_t g = 0; g < m_allowed.size(); ++g) {
        const PartGroupChoices& group = m_allowed[g];
        auto* item = new QTreeWidgetItem(m_groups, {tr(PartGroupTitle(group.group))});
        item->setData(0, Qt::UserRole, int(g));
        item->setCheckState(0, Qt::Unchecked);
        if (group.options.empty()) {
            item->setDisabled(true);
            item->setToolTip(0, tr("The engine form allows no choice of this group for this engine"));
        }
        for (std::size_t o = 0; o < group.options.size(); ++o) {
            auto* child = new QTreeWidgetItem(item, {QString::fromStdString(group.options[o].name)});
            child->setData(0, Qt::UserRole, int(o));
            child->setCheckState(0, Qt::Checked);
        }
    }
}

void CPartsShootoutDlg::TickGroup(PartGroup group, bool ticked)
{
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_groups->topLevelItem(i);
        if (m_allowed[std::size_t(item->data(0, Qt::UserRole).toInt())].group == group)
            item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
    }
}

ShootoutSetup CPartsShootoutDlg::SetupFromTicks() const
{
    ShootoutSetup setup;
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_groups->topLevelItem(i);
        if (item->isDisabled() || item->checkState(0) != Qt::Checked) continue;
        const PartGroupChoices& allowed = m_allowed[std::size_t(item->data(0, Qt::UserRole).toInt())];
        PartGroupChoices choices{allowed.group, {}};
        for (int c = 0; c < item->childCount(); ++c) {
            if (item->child(c)->checkState(0) == Qt::Checked)
                choices.options.push_back(
                    allowed.options[std::size_t(item->child(c)->data(0, Qt::UserRole).toInt())]);
        }
        setup.groups.push_back(std::move(choices));
    }
    setup.criterion = m_score->Criterion();
    setup.band = m_score->Band();
    setup.top = static_cast<std::size_t>(m_top->value());
    return setup;
}

void CPartsShootoutDlg::UpdateCount()
{
    const ShootoutSetup setup = SetupFromTicks();
    const auto refusal = ShootoutRefusal(m_engine, setup);
    if (refusal) {
        m_count->setText(setup.groups.empty() ? tr("Tick the groups of parts to compare.")
                                              : QString::fromStdString(*refusal));
    } else {
        m_count->setText(tr("%1 combinations to run").arg(CountCombinations(m_engine, setup)));
    }
}

bool CPartsShootoutDlg::IsRunning() const
{
    return m_slices->IsRunning();
}

void CPartsShootoutDlg::UpdateButtons()
{
    const bool running = IsRunning();
    m_run->setEnabled(!running && !ShootoutRefusal(m_engine, SetupFromTicks()));
    m_stop->setEnabled(running);
    m_groups->setEnabled(!running);
    m_make->setEnabled(!running && !SelectedCombinations().empty());
}

void CPartsShootoutDlg::Run()
{
    if (IsRunning()) return;
    const ShootoutSetup setup = SetupFromTicks();
    if (ShootoutRefusal(m_engine, setup)) return;
    m_shootout = std::make_unique<PartsShootout>(m_engine, setup);
    m_table->clear();
    m_table->setRowCount(0);
    m_failures->clear();
    std::string failure;
    if (!m_shootout->RunBaseline(failure)) {
        m_status->setText(tr("The engine as it is does not run: %1").arg(QString::fromStdString(failure)));
        m_shootout.reset();
        return;
    }
    m_progress->setRange(0, static_cast<int>(m_shootout->CombinationCount()));
    m_progress->setValue(0);
    m_slices->Start([this](const StudyRunner& runner) {
        m_shootout->RunNext(runner);
        return m_shootout->IsDone();
    });
    ShowProgress();
    UpdateButtons();
}

void CPartsShootoutDlg::Stop()
{
    m_slices->Stop();
}

void CPartsShootoutDlg::reject()
{
    Stop();
    QDialog::reject();
}

void CPartsShootoutDlg::ShowProgress()
{
    m_progress->setValue(static_cast<int>(m_shootout->DoneCount()));
    m_status->setText(tr("Running: %1 of %2 combinations")
                          .arg(m_shootout->DoneCount())
                          .arg(m_shootout->CombinationCount()));
}

void CPartsShootoutDlg::ShowResult(bool stopped)
{
    const ShootoutResult result = m_shootout->Result();
    const QString unit = CStudyScoreControls::UnitOf(m_shootout->Setup().criterion);
    m_status->setText((stopped ? tr("Stopped after %1 of %2 combinations: %3 run, %4 failed.")
                               : tr("%1 of %2 combinations: %3 run, %4 failed."))
                          .arg(m_shootout->DoneCount())
                          .arg(result.combinations)
                          .arg(result.run)
                          .arg(result.failed) +
                      tr(" The engine as it is: %1 %2.").arg(result.baseline.score, 0, 'f', 1).arg(unit));
    FillTable(result);
    ShowFailures(result);
    UpdateButtons();
    UpdateChart();
}

void CPartsShootoutDlg::FillTable(const ShootoutResult& result)
{
    const ShootoutSetup& setup = m_shootout->Setup();
    const QString unit = CStudyScoreControls::UnitOf(setup.criterion);
    QStringList headers{tr("Rank"),   tr("Score (%1)").arg(unit), tr("Gain"),  tr("Gain %"), tr("Peak hp"),
                        tr("at rpm"), tr("Peak ft-lbs"),          tr("at rpm")};
    for (const PartGroupChoices& group : setup.groups) headers << tr(PartGroupTitle(group.group));
    m_table->setSortingEnabled(false);
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(static_cast<int>(result.rows.size()));
    for (int r = 0; r < static_cast<int>(result.rows.size()); ++r) {
        const ShootoutRow& row = result.rows[std::size_t(r)];
        auto* rank = new NumberItem(r + 1, 0);
        rank->setData(Qt::UserRole, qulonglong(row.combination));
        m_table->setItem(r, kRank, rank);
        m_table->setItem(r, kScore, new NumberItem(row.figures.score, 1));
        m_table->setItem(r, kGain, new NumberItem(row.gain.absolute, 1));
        m_table->setItem(r, kGainPercent, new NumberItem(row.gain.percent, 1));
        m_table->setItem(r, kPeakPower, new NumberItem(row.figures.peakPower.value, 1));
        m_table->setItem(r, kPowerRpm, new NumberItem(row.figures.peakPower.rpm, 0));
        m_table->setItem(r, kPeakTorque, new NumberItem(row.figures.peakTorque.value, 1));
        m_table->setItem(r, kTorqueRpm, new NumberItem(row.figures.peakTorque.rpm, 0));
        int column = kFirstChoice;
        for (const auto& entry : m_shootout->ChoiceNames(row.choices))
            m_table->setItem(r, column++, new QTableWidgetItem(QString::fromStdString(entry.second)));
    }
    m_table->setSortingEnabled(true);
    m_table->resizeColumnsToContents();
}

void CPartsShootoutDlg::ShowFailures(const ShootoutResult& result)
{
    if (result.failures.empty()) {
        m_failures->clear();
        return;
    }
    QString text = tr("%1 combinations failed:").arg(result.failures.size());
    for (std::size_t k = 0; k < result.failures.size() && k < kFailuresListed; ++k) {
        const ShootoutRow& row = result.failures[k];
        text += "\n  " + QString::fromStdString(m_shootout->ChangesText(row.choices)) + ": " +
                QString::fromStdString(row.figures.failure);
    }
    if (result.failures.size() > kFailuresListed) text += "\n  ...";
    m_failures->setText(text);
}

std::vector<std::size_t> CPartsShootoutDlg::SelectedCombinations() const
{
    std::vector<std::size_t> combinations;
    if (!m_shootout) return combinations;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows(kRank))
        combinations.push_back(m_table->item(index.row(), kRank)->data(Qt::UserRole).toULongLong());
    return combinations;
}

void CPartsShootoutDlg::UpdateChart()
{
    auto* chart = new QChart;
    ApplyChartLook(*chart);
    chart->legend()->show();
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (m_shootout) {
        const QuietMessages quiet;
        CTorqDoc engine;
        std::vector<QLineSeries*> curves;
        if (m_shootout->MakeEngine(EditStudy::kBaseline, engine)) {
            curves.push_back(PowerCurve(engine, tr("The engine as it is")));
            QPen pen(Qt::black, 2.0, Qt::DashLine);
            curves.back()->setPen(pen);
        }
        for (std::size_t combination : SelectedCombinations()) {
            if (curves.size() > kMostCurves) break;
            if (!m_shootout->MakeEngine(combination, engine)) continue;
            curves.push_back(PowerCurve(engine, QString::fromStdString(m_shootout->ChangesText(
                                                    m_shootout->CombinationAt(combination)))));
        }
        QValueAxis* rpm = MakeValueAxis();
        rpm->setTitleText(tr("Engine Speed (rpm)"));
        QValueAxis* power = MakeValueAxis();
        power->setTitleText(tr("Power (hp)"));
        chart->addAxis(rpm, Qt::AlignBottom);
        chart->addAxis(power, Qt::AlignLeft);
        for (QLineSeries* curve : curves) {
            chart->addSeries(curve);
            curve->attachAxis(rpm);
            curve->attachAxis(power);
        }
        rpm->setRange(2000.0, 11000.0);
        rpm->setTickCount(10);
        double most = 0.0;
        for (const QLineSeries* curve : curves) {
            for (const QPointF& point : curve->points()) most = std::max(most, point.y());
        }
        power->setRange(0.0, std::max(most, 1.0) * 1.05);
        power->applyNiceNumbers();
    }
    QChart* old = m_chart->chart();
    m_chart->setChart(chart);
    delete old;
}

int CPartsShootoutDlg::MakeEngines()
{
    int made = 0;
    for (std::size_t combination : SelectedCombinations()) {
        CTorqDoc* document = m_makeDocument ? m_makeDocument() : nullptr;
        if (document == nullptr) break;
        {
            const QuietMessages quiet;
            m_shootout->MakeEngine(combination, *document);
        }
        document->SetTitle(m_shootout->ChangesText(m_shootout->CombinationAt(combination)));
        document->SetModified(true);
        document->Recalculate();
        document->UpdateAllViews();
        ++made;
    }
    return made;
}
