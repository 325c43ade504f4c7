#include "dialogs/ItrRunDlg.h"

#include "dialogs/ItrBestScoreChart.h"
#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrCurrentChart.h"
#include "dialogs/ItrKeptTable.h"
#include "dialogs/ItrScoreHeatMap.h"
#include "dialogs/ItrSetupDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRotateStepDegrees = 5.0f;

struct RotateButtonSpec {
    const char* text;
    float dx, dy, dz;  // degrees; Z+ turns the other way round
};
constexpr RotateButtonSpec kRotateButtons[] = {
    {"X+", kRotateStepDegrees, 0, 0},  {"X-", -kRotateStepDegrees, 0, 0}, {"Y+", 0, kRotateStepDegrees, 0},
    {"Y-", 0, -kRotateStepDegrees, 0}, {"Z+", 0, 0, -kRotateStepDegrees}, {"Z-", 0, 0, kRotateStepDegrees},
};
constexpr int kHomeButton = 6;

// "about 2 h 05 min", "about 3 min 20 s", "about 12 s", "under a second".
QString TimeLeftText(double seconds)
{
    if (seconds < 1.0) return QObject::tr("under a second left");
    const long long whole = std::llround(seconds);
    const long long hours = whole / 3600;
    const long long minutes = whole / 60 % 60;
    const long long rest = whole % 60;
    if (hours > 0)
        return QObject::tr("about %1 h %2 min left").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
    if (minutes > 0)
        return QObject::tr("about %1 min %2 s left").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
    return QObject::tr("about %1 s left").arg(rest);
}

QLabel* ValueLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("300000000")) + 8);
    return label;
}

}  // namespace

CItrRunDlg::CItrRunDlg(IteratorTest& iterator, const CDocumentRegistry& documents, QWidget* parent)
    : CItrRunDlg(iterator, documents, Options{}, parent)
{
}

CItrRunDlg::CItrRunDlg(IteratorTest& iterator, const CDocumentRegistry& documents, Options options,
                       QWidget* parent)
    : QDialog(parent),
      m_iterator(iterator),
      m_documents(documents),
      m_directory(documents),
      m_pacer(iterator, options.threads),
      m_ownSearch(options.search != nullptr ? nullptr : std::make_unique<IteratorSearch>(iterator)),
      m_search(options.search != nullptr ? *options.search : *m_ownSearch),
      m_searchPacer(m_search),
      m_runSetup([](CItrSetupDlg& dialog) { return dialog.exec(); }),
      m_sliceTimer(new QTimer(this)),
      m_showSurface(options.showSurface)
{
    m_search.SetThreadCount(options.threads);
    // A baseline closed since the last series takes the series with it.
    m_iterator.ResetIfBaselineGone(m_directory);
    // A search under way belongs to the iterator's combinations only while
    // they are searched: a series set up since, or a reset, ends it.
    if (!IsSearch()) m_search.Forget();
    m_state = m_iterator.GetBaseline() == nullptr ? kNeedsSetup : StateOfSetUpSeries();
    m_sliceTimer->setSingleShot(true);
    m_sliceTimer->setInterval(0);
    connect(m_sliceTimer, &QTimer::timeout, this, &CItrRunDlg::RunSlice);
    // Quitting the program halts the series and is let through.
    qApp->installEventFilter(this);

    CreateControls();
    RefreshAll();
}

CItrRunDlg::~CItrRunDlg()
{
    qApp->removeEventFilter(this);
}

QString CItrRunDlg::BaseCaption()
{
    return tr("Iterator Testing");
}

bool CItrRunDlg::IsSearch() const
{
    return m_iterator.GetMethod() == IteratorMethod::Search;
}

// READY, or DONE once every combination has run or the search has ended.
CItrRunDlg::RunState CItrRunDlg::StateOfSetUpSeries() const
{
    const bool done = IsSearch() ? m_search.IsDone() : m_iterator.IsDone();
    return done ? kDone : kReady;
}

const char* CItrRunDlg::RunStateText(RunState state)
{
    switch (state) {
        case kNeedsSetup:
            return "NEEDS SETUP";
        case kReady:
            return "READY";
        case kRunning:
            return "RUNNING";
        case kDone:
            return "DONE";
    }
    ReportAssertion(__FILE__, __LINE__);
}

// ---------------------------------------------------------------- controls

void CItrRunDlg::CreateControls()
{
    auto* left = new QVBoxLayout;
    left->addWidget(CreateStatusRow());
    left->addWidget(CreateChartRow(), 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(CreateButtonColumn());
    resize(1060, 640);
}

QWidget* CItrRunDlg::CreateStatusRow()
{
    auto* box = new QGroupBox(tr("Series"), this);
    m_stateLabel = new QLabel(QStringLiteral("NEEDS SETUP"), box);
    QFont bold = m_stateLabel->font();
    bold.setBold(true);
    m_stateLabel->setFont(bold);
    m_stateLabel->setMinimumWidth(
        m_stateLabel->fontMetrics().horizontalAdvance(QStringLiteral("NEEDS SETUP")) + 8);
    m_totalLabel = ValueLabel(QStringLiteral("1000000"), box);
    m_currentCaption = new QLabel(tr("Current Test:"), box);
    m_currentLabel = ValueLabel(QStringLiteral("99000"), box);
    m_progress = new QProgressBar(box);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_percentLabel = new QLabel(QStringLiteral("100%"), box);
    m_percentLabel->setMinimumWidth(m_percentLabel->fontMetrics().horizontalAdvance(QStringLiteral("100%")) +
                                    4);
    m_paceLabel = new QLabel(box);
    m_bestScoreChart = new CItrBestScoreChart(box);
    m_bestScoreChart->setMinimumHeight(150);
    m_bestScoreChart->hide();

    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(tr("Status:"), box), 0, 0);
    grid->addWidget(m_stateLabel, 0, 1);
    grid->addWidget(new QLabel(tr("Total Tests:"), box), 0, 2);
    grid->addWidget(m_totalLabel, 0, 3);
    grid->addWidget(m_currentCaption, 0, 4);
    grid->addWidget(m_currentLabel, 0, 5);
    grid->addWidget(m_progress, 1, 0, 1, 5);
    grid->addWidget(m_percentLabel, 1, 5);
    grid->addWidget(m_bestScoreChart, 2, 0, 1, 6);  // a search's, in the progress bar's place
    grid->addWidget(m_paceLabel, 3, 0, 1, 6);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* CItrRunDlg::CreateChartRow()
{
    auto* row = new QWidget(this);
    auto* current = new QGroupBox(tr("Current Test Result"), row);
    m_currentChart = new CItrCurrentChart(current);
    m_currentChart->setMinimumSize(260, 220);
    auto* currentLayout = new QVBoxLayout(current);
    currentLayout->addWidget(m_currentChart);

    // The kept results three ways: the surface of their curves, a table of
    // their scores and values, the heat map of the best scores.
    auto* best = new QGroupBox(tr("Best Results"), row);
    m_bestTabs = new QTabWidget(best);
    auto* surfacePage = new QWidget(m_bestTabs);
    m_bestSurface = new CItrBestSurface(m_showSurface, surfacePage);
    m_bestSurface->setMinimumSize(320, 220);
    auto* rotateRow = new QHBoxLayout;
    for (const RotateButtonSpec& spec : kRotateButtons) {
        auto* button = new QPushButton(QString::fromLatin1(spec.text), surfacePage);
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Home")) + 20);
        connect(button, &QPushButton::clicked, this,
                [this, spec] { m_bestSurface->Rotate(spec.dx, spec.dy, spec.dz); });
        rotateRow->addWidget(button);
        m_rotateButtons.append(button);
    }
    auto* home = new QPushButton(tr("Home"), surfacePage);
    home->setAutoDefault(false);
    connect(home, &QPushButton::clicked, this, [this] { m_bestSurface->Home(); });
    rotateRow->addSpacing(8);
    rotateRow->addWidget(home);
    rotateRow->addStretch(1);
    m_rotateButtons.append(home);
    auto* surfaceLayout = new QVBoxLayout(surfacePage);
    surfaceLayout->setContentsMargins(4, 4, 4, 4);
    surfaceLayout->addWidget(m_bestSurface, 1);
    surfaceLayout->addLayout(rotateRow);
    m_keptTable = new CItrKeptTable(m_bestTabs);
    m_heatMap = new CItrScoreHeatMap(m_bestTabs);
    m_bestTabs->addTab(surfacePage, tr("Sur&face"));
    m_bestTabs->addTab(m_keptTable, tr("&Table"));
    m_bestTabs->addTab(m_heatMap, tr("Heat &Map"));
    connect(m_bestTabs, &QTabWidget::currentChanged, this, [this] { RefreshCharts(); });
    auto* bestLayout = new QVBoxLayout(best);
    bestLayout->addWidget(m_bestTabs, 1);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(current, 1);
    layout->addWidget(best, 1);
    return row;
}

QLayout* CItrRunDlg::CreateButtonColumn()
{
    const auto makeButton = [this](const QString& text, void (CItrRunDlg::*action)()) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        return button;
    };
    m_runButton = makeButton(tr("&Run"), &CItrRunDlg::OnRun);
    m_haltButton = makeButton(tr("&Halt"), &CItrRunDlg::OnHalt);
    m_restartButton = makeButton(tr("R&estart"), &CItrRunDlg::OnRestart);
    m_setupButton = makeButton(tr("&Setup..."), &CItrRunDlg::OnSetup);
    m_okButton = makeButton(tr("OK"), &CItrRunDlg::accept);
    m_okButton->setDefault(true);
    m_closeButton = makeButton(tr("Close"), &CItrRunDlg::reject);

    auto* keep = new QGroupBox(tr("Keep Result"), this);
    m_resultList = new QListWidget(keep);
    m_resultList->setMinimumHeight(m_resultList->fontMetrics().height() * 11);
    m_resultList->setMaximumWidth(140);
    connect(m_resultList, &QListWidget::itemChanged, this, &CItrRunDlg::OnResultTicked);
    m_keepAllButton = new QPushButton(tr("&Keep All"), keep);
    m_keepAllButton->setAutoDefault(false);
    connect(m_keepAllButton, &QPushButton::clicked, this, &CItrRunDlg::OnKeepAll);
    auto* keepLayout = new QVBoxLayout(keep);
    keepLayout->addWidget(m_resultList, 1);
    keepLayout->addWidget(m_keepAllButton);

    auto* column = new QVBoxLayout;
    for (QPushButton* button : {m_runButton, m_haltButton, m_restartButton, m_setupButton})
        column->addWidget(button);
    column->addWidget(keep, 1);
    column->addWidget(m_okButton);
    column->addWidget(m_closeButton);
    return column;
}

QPushButton* CItrRunDlg::RotateButton(int index) const
{
    TORQ_ASSERT(index >= 0 && index <= kHomeButton);
    return m_rotateButtons[index];
}

// ---------------------------------------------------------------- the run

void CItrRunDlg::OnRun()
{
    if (m_state == kRunning) return;
    ErrorCode code = 0;
    if (!m_iterator.IsReady(code)) {
        ShowErrorMessage(code);
        return;
    }
    if (IsSearch()) StartSearch();
    m_state = kRunning;
    m_haltRequested = false;
    m_bestChanged = false;
    RefreshButtons();
    RefreshStatus();
    RefreshCaption();
    m_pacer.StartTiming();
    m_searchPacer.StartTiming();
    m_drawIntervalMs = kDrawIntervalMs;
    m_sinceDraw.start();
    m_sliceTimer->start();
}

// One slice of tests, then back to the event loop: input, painting and the
// next slice take turns.
void CItrRunDlg::RunSlice()
{
    if (m_state != kRunning) return;
    if (IsSearch()) {
        RunSearchSlice();
        return;
    }
    if (m_haltRequested || m_iterator.IsDone()) {
        FinishRun();
        return;
    }
    m_inSlice = true;
    const IteratorRunner::Batch batch = m_pacer.RunSlice();
    m_inSlice = false;
    m_bestChanged = m_bestChanged || batch.newBest;
    if (m_haltRequested || m_iterator.IsDone()) {
        FinishRun();
        return;
    }
    AdaptDrawInterval();
    if (m_sinceDraw.elapsed() >= m_drawIntervalMs) DrawWhileRunning();
    m_sliceTimer->start();
}

// Drawing waits for the threads' work to be handed back and keeps them
// waiting while it lasts: when it takes more than a few per cent of the
// time, draw less often; when it takes little, more often again.
void CItrRunDlg::AdaptDrawInterval()
{
    const double share = IsSearch() ? m_searchPacer.GetShareBetweenSlices() : m_pacer.GetShareBetweenSlices();
    if (share > kMostShareBetweenSlices) {
        m_drawIntervalMs = std::min(kLongestDrawIntervalMs, m_drawIntervalMs * 5 / 4);
    } else if (share < kMostShareBetweenSlices / 2) {
        m_drawIntervalMs = std::max(kDrawIntervalMs, m_drawIntervalMs * 4 / 5);
    }
}

void CItrRunDlg::DrawWhileRunning()
{
    RefreshStatus();
    RefreshCaption();
    ShowCurrentTest();
    if (m_bestChanged) {
        m_bestSurface->ShowResults(m_iterator);
        m_keptTable->ShowResults(m_iterator);
    }
    m_bestChanged = false;
    // Every test may change the map's scores: redrawn while it is shown.
    if (m_heatMap->isVisible()) m_heatMap->ShowResults(m_iterator);
    m_sinceDraw.start();
}

void CItrRunDlg::FinishRun()
{
    m_sliceTimer->stop();
    m_haltRequested = false;
    // A halted search hands over the results of its tests so far; a search
    // that ended has kept its results itself.
    if (IsSearch() && !m_search.IsDone()) m_search.KeepResults();
    m_state = StateOfSetUpSeries();
    RefreshAll();
}

void CItrRunDlg::OnHalt()
{
    if (m_state != kRunning) return;
    m_haltRequested = true;
    // No slice runs while the dialog handles a click: the series stops here.
    if (!m_inSlice) FinishRun();
}

void CItrRunDlg::OnQuitRequested()
{
    if (m_state != kRunning) return;
    m_quitting = true;
    OnHalt();
}

bool CItrRunDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::Quit) OnQuitRequested();
    return QDialog::eventFilter(watched, event);
}

void CItrRunDlg::reject()
{
    if (m_state == kRunning && !m_quitting) return;
    QDialog::reject();
}

void CItrRunDlg::closeEvent(QCloseEvent* event)
{
    if (m_state == kRunning && !m_quitting) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// ---------------------------------------------------------------- other buttons

void CItrRunDlg::OnRestart()
{
    ErrorCode code = 0;
    if (m_iterator.IsReady(code)) {
        if (IsSearch()) {
            m_iterator.PrepareSearch();
            m_search.Forget();
        } else {
            m_iterator.PrepareRun();
        }
        m_state = kReady;
        RefreshAll();
    } else {
        ShowErrorMessage(code);
        RefreshButtons();
    }
}

void CItrRunDlg::OnSetup()
{
    if (m_state == kRunning) return;
    int result = QDialog::Rejected;
    {
        CItrSetupDlg setup(m_iterator, m_documents, this);
        setup.SetThreadCount(m_search.GetThreadCount());
        result = m_runSetup(setup);
    }
    // The iterator has a new series, or none: a search of the old one is over.
    if (result == QDialog::Accepted || !IsSearch()) m_search.Forget();
    ErrorCode code = 0;
    if (!m_iterator.IsReady(code)) {
        m_state = kNeedsSetup;
    } else {
        // A finished series stays finished when the setup was cancelled.
        m_state = StateOfSetUpSeries();
    }
    RefreshAll();
}

void CItrRunDlg::OnKeepAll()
{
    for (int i = 0; i < m_resultList->count(); ++i) m_resultList->item(i)->setCheckState(Qt::Checked);
}

void CItrRunDlg::OnResultTicked(QListWidgetItem*)
{
    TORQ_ASSERT(m_resultList->count() == m_iterator.GetKeptCount());
    for (int i = 0; i < m_resultList->count(); ++i) {
        m_iterator.SetKeepFlag(i, m_resultList->item(i)->checkState() == Qt::Checked);
    }
}

// ---------------------------------------------------------------- display

void CItrRunDlg::RefreshAll()
{
    ShowMethod();
    RefreshButtons();
    RefreshCaption();
    RefreshStatus();
    RefreshList();
    RefreshAxes();
    RefreshCharts();
}

void CItrRunDlg::RefreshCaption()
{
    std::string title;
    const bool hasBaseline = m_iterator.GetBaselineTitle(title);
    QString caption =
        BaseCaption() + (hasBaseline ? QStringLiteral(" - [%1]").arg(QString::fromStdString(title))
                                     : QStringLiteral(" - ") + QString::fromStdString(title));
    if (m_state == kRunning && IsSearch()) {
        caption = tr("%1 tests - ").arg(m_search.GetTestsRun()) + caption;
    } else if (m_state == kRunning) {
        caption = QStringLiteral("%1% - ").arg(m_iterator.GetProgressPercent()) + caption;
    }
    setWindowTitle(caption);
    m_totalLabel->setText(IsSearch() ? SearchGridSizeText() : QString::number(m_iterator.GetTotalTests()));
}

// A series shows its share of the grid, a search the best score it has
// climbed to.
void CItrRunDlg::ShowMethod()
{
    const bool search = IsSearch();
    m_currentCaption->setText(search ? tr("Tests Run:") : tr("Current Test:"));
    m_progress->setVisible(!search);
    m_percentLabel->setVisible(!search);
    m_bestScoreChart->setVisible(search);
}

void CItrRunDlg::RefreshStatus()
{
    if (IsSearch()) {
        RefreshSearchStatus();
        return;
    }
    m_stateLabel->setText(QString::fromLatin1(RunStateText(m_state)));
    m_currentLabel->setText(QString::number(m_iterator.GetTestsRun()));
    const int percent = m_iterator.GetProgressPercent();
    m_progress->setValue(percent);
    m_percentLabel->setText(QStringLiteral("%1%").arg(percent));
    RefreshPace();
}

void CItrRunDlg::RefreshPace()
{
    const double pace = m_pacer.GetTestsPerSecond();
    if (m_state == kReady && m_iterator.GetTestsRun() > 0) {
        // A halted series goes on from here with Run.
        m_paceLabel->setText(
            tr("halted after test %1 of %2").arg(m_iterator.GetTestsRun()).arg(m_iterator.GetTotalTests()));
        return;
    }
    if (m_state != kRunning || pace <= 0.0) {
        m_paceLabel->setText(m_state == kRunning ? tr("Measuring the pace...") : QString());
        return;
    }
    m_paceLabel->setText(tr("%1 tests/s on %2 threads, %3")
                             .arg(pace, 0, 'f', pace < 100 ? 1 : 0)
                             .arg(m_pacer.GetThreadCount())
                             .arg(TimeLeftText(m_pacer.GetSecondsLeft())));
}

void CItrRunDlg::RefreshList()
{
    const QSignalBlocker blocker(m_resultList);
    m_resultList->clear();
    for (int i = 0; i < m_iterator.GetKeptCount() && i < kBestResultCount; ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("No. %1").arg(i + 1), m_resultList);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(m_iterator.GetKeepFlag(i) ? Qt::Checked : Qt::Unchecked);
    }
}

void CItrRunDlg::RefreshAxes()
{
    m_currentChart->SetCriterion(m_iterator.GetCriterion());
    m_bestSurface->SetCriterion(m_iterator.GetCriterion());
    m_bestScoreChart->SetCriterion(m_iterator.GetCriterion());
}

void CItrRunDlg::RefreshCharts()
{
    m_keptTable->ShowResults(m_iterator);
    m_heatMap->ShowResults(m_iterator);
    if (IsSearch()) {
        RefreshSearchCharts();
        return;
    }
    if (m_iterator.GetTestsRun() == 0) {
        m_currentChart->ShowNoTest();
        m_bestSurface->ShowNoResults();
        return;
    }
    ShowCurrentTest();
    m_bestSurface->ShowResults(m_iterator);
}

// The working engine holds the results of the test run last.
void CItrRunDlg::ShowCurrentTest()
{
    const bool power = m_iterator.GetCriterion() == kMaxPower;
    m_currentChart->ShowTest(m_iterator.GetWorkingSpeeds(),
                             power ? m_iterator.GetWorkingPower() : m_iterator.GetWorkingTorque());
}

void CItrRunDlg::RefreshButtons()
{
    TORQ_ASSERT(m_state >= kNeedsSetup && m_state <= kDone);
    const bool running = m_state == kRunning;
    const bool hasSeries = m_state == kReady || m_state == kDone;
    m_runButton->setEnabled(m_state == kReady);
    m_haltButton->setEnabled(running);
    m_restartButton->setEnabled(hasSeries);
    for (QPushButton* button : {m_setupButton, m_okButton, m_closeButton}) button->setEnabled(!running);
    m_keepAllButton->setEnabled(hasSeries);
    m_resultList->setEnabled(hasSeries);
}
