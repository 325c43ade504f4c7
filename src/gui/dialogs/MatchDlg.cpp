#include "MatchDlg.h"

#include "MatchChart.h"
#include "MatchFigureTable.h"
#include "report/MeasuredCurves.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <cctype>
#include <cmath>

namespace {

constexpr int kProgressSteps = 1000;
constexpr double kModelStepRpm = 500;
constexpr int kStartWidth = 1100;
constexpr int kStartHeight = 620;

// "12.3 hp, 10.1 ft-lbs (4.2 % of peak) over 13 speeds" from a comparison's summary.
QString ErrorText(const PullComparison& comparison, ResultUnits units)
{
    return RmsSummary(comparison, units);
}

// A copy of the engine that carries the results of a run, for the graph.
std::unique_ptr<CTorqDoc> EngineWithResults(const CTorqDoc& engine, const RunSeries& results)
{
    auto copy = std::make_unique<CTorqDoc>();
    engine.CopyTo(*copy);
    for (int series = 1; series <= kResultSeriesCount; ++series)
        copy->SetResultSeries(series, results[static_cast<std::size_t>(series - 1)]);
    return copy;
}

}  // namespace

CMatchDlg::CMatchDlg(const CTorqDoc& engine, std::vector<MeasuredPull> pulls, ResultUnits units,
                     QWidget* parent)
    : QDialog(parent), m_title(engine.GetTitle()), m_pulls(std::move(pulls)), m_units(units)
{
    TORQ_ASSERT(!m_pulls.empty());
    engine.CopyTo(m_base);
    setWindowTitle(Title());

    m_figures = new CMatchFigureTable(m_base, this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_chart = new CMatchChart(this);

    auto* left = new QVBoxLayout;
    left->addWidget(CreatePullRow());
    auto* intro = new QLabel(tr("Tick the figures you are least sure of; the match finds the values inside "
                                "their ranges that bring the model's power and torque closest to the pull."),
                             this);
    intro->setWordWrap(true);
    left->addWidget(intro);
    left->addWidget(m_figures);
    left->addWidget(CreateRunRow());
    left->addWidget(m_summary, 1);

    m_makeButton = new QPushButton(tr("Make &Engine"), this);
    m_makeButton->setToolTip(tr("Open the matched engine as a new engine; this engine stays as it is"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_makeButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMatchDlg::reject);
    connect(m_makeButton, &QPushButton::clicked, this, &CMatchDlg::OnMakeEngine);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 0);
    columns->addWidget(m_chart, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    // Room for the figures and a graph that can be read beside them.
    resize(sizeHint().expandedTo(QSize(kStartWidth, kStartHeight)));

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &CMatchDlg::ShowProgress);
    connect(m_figures, &CMatchFigureTable::TickedChanged, this, &CMatchDlg::UpdateButtons);
    OnPullChanged();
}

CMatchDlg::~CMatchDlg()
{
    if (m_thread != nullptr) {
        m_stopRequested = true;
        m_thread->wait();
        delete m_thread;
    }
}

std::string CMatchDlg::MatchedTitle(const std::string& title)
{
    std::string name = title;
    const std::string extension = ".trq";
    if (name.size() > extension.size()) {
        std::string end = name.substr(name.size() - extension.size());
        for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (end == extension) name.resize(name.size() - extension.size());
    }
    return "Matched-" + name;
}

QString CMatchDlg::Title() const
{
    return tr("Match To Dyno - %1").arg(QString::fromStdString(m_title));
}

QWidget* CMatchDlg::CreatePullRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("&Pull:"), row);
    m_pullBox = new QComboBox(row);
    label->setBuddy(m_pullBox);
    for (const MeasuredPull& pull : m_pulls) m_pullBox->addItem(pull.Legend(), pull.path);
    m_pullCoverage = new QLabel(row);
    layout->addWidget(label);
    layout->addWidget(m_pullBox, 1);
    layout->addWidget(m_pullCoverage);
    connect(m_pullBox, &QComboBox::currentIndexChanged, this, &CMatchDlg::OnPullChanged);
    return row;
}

QWidget* CMatchDlg::CreateRunRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_matchButton = new QPushButton(tr("&Match"), row);
    m_matchButton->setDefault(true);
    m_stopButton = new QPushButton(tr("&Stop"), row);
    m_progress = new QProgressBar(row);
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(0);
    m_progressLabel = new QLabel(row);
    layout->addWidget(m_matchButton);
    layout->addWidget(m_stopButton);
    layout->addWidget(m_progress, 1);
    layout->addWidget(m_progressLabel, 1);
    connect(m_matchButton, &QPushButton::clicked, this, &CMatchDlg::OnMatch);
    connect(m_stopButton, &QPushButton::clicked, this, &CMatchDlg::OnStop);
    return row;
}

const MeasuredPull& CMatchDlg::ChosenPull() const
{
    const int index = std::max(0, m_pullBox->currentIndex());
    return m_pulls[static_cast<std::size_t>(index)];
}

void CMatchDlg::OnPullChanged()
{
    const DynoPull& pull = ChosenPull().pull;
    const PullComparison today = CompareWithRun(m_base, pull);
    m_pullCoverage->setText(tr("%1 to %2 rpm, %3 rows")
                                .arg(pull.rows.front().rpm, 0, 'f', 0)
                                .arg(pull.rows.back().rpm, 0, 'f', 0)
                                .arg(pull.rows.size()));
    if (m_result && m_resultPull != m_pullBox->currentIndex()) {
        m_result.reset();
        m_figures->ClearResult();
    }
    if (!m_result) m_summary->setText(tr("Error today: %1").arg(ErrorText(today, m_units)));
    ShowChart();
    UpdateButtons();
}

void CMatchDlg::UpdateButtons()
{
    const bool running = IsRunning();
    m_matchButton->setEnabled(!running && m_figures->AnyTicked());
    m_stopButton->setEnabled(running);
    m_makeButton->setEnabled(!running && m_result && m_result->afterRan);
    m_pullBox->setEnabled(!running);
    m_figures->setEnabled(!running);
}

void CMatchDlg::OnMatch()
{
    if (IsRunning()) return;
    MatchSetup setup;
    setup.ranges = m_figures->TickedRanges();
    const std::string problem = CheckMatchSetup(m_base, setup);
    if (!problem.empty()) {
        m_summary->setText(tr("Cannot match: %1.").arg(QString::fromStdString(problem)));
        return;
    }
    m_result.reset();
    m_figures->ClearResult();
    m_resultPull = m_pullBox->currentIndex();
    m_stopRequested = false;
    {
        const std::lock_guard lock(m_progressMutex);
        m_latest = MatchProgress{};
    }
    const DynoPull pull = ChosenPull().pull;
    const int threads = m_threads;
    m_thread = QThread::create([this, pull, setup, threads] {
        const StudyRunner runner(threads);
        m_threadResult = MatchToPull(m_base, pull, setup, runner, [this](const MatchProgress& progress) {
            const std::lock_guard lock(m_progressMutex);
            m_latest = progress;
            return !m_stopRequested.load();
        });
    });
    connect(m_thread, &QThread::finished, this, &CMatchDlg::OnThreadFinished);
    m_summary->setText(tr("Matching..."));
    m_progress->setValue(0);
    m_progressLabel->clear();
    UpdateButtons();
    m_thread->start();
    m_progressTimer->start();
}

void CMatchDlg::OnStop()
{
    if (IsRunning()) m_stopRequested = true;
}

void CMatchDlg::ShowProgress()
{
    MatchProgress progress;
    {
        const std::lock_guard lock(m_progressMutex);
        progress = m_latest;
    }
    m_progress->setValue(static_cast<int>(progress.fraction * kProgressSteps));
    // The title tells how far it is, also where the dialog is out of sight.
    setWindowTitle(QStringLiteral("%1% - ").arg(static_cast<int>(progress.fraction * 100)) + Title());
    m_progressLabel->setText(tr("%1 engines, best %2 % of peak (rms)")
                                 .arg(progress.testsRun)
                                 .arg(progress.bestRmsPercent, 0, 'f', 2));
}

void CMatchDlg::OnThreadFinished()
{
    m_progressTimer->stop();
    setWindowTitle(Title());
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    m_result = std::move(m_threadResult);
    m_threadResult = MatchResult{};
    if (!m_result->stopped) m_progress->setValue(kProgressSteps);
    m_progressLabel->setText(tr("%1 engines run").arg(m_result->testsRun));
    ShowResult();
    ShowChart();
    UpdateButtons();
    emit MatchFinished();
    if (m_closeWhenStopped) QDialog::reject();
}

void CMatchDlg::ShowResult()
{
    const MatchResult& result = *m_result;
    m_figures->ShowResult(result);
    QStringList lines;
    if (result.beforeRan) lines << tr("Error before: %1").arg(ErrorText(result.before, m_units));
    if (result.afterRan) lines << tr("Error after: %1").arg(ErrorText(result.after, m_units));
    for (auto [i, j] : result.tradeOffs) {
        lines << tr("%1 and %2 trade off: the pull fixes them only together.")
                     .arg(QString::fromLatin1(FigureInfo(result.figures[i].range.figure).label),
                          QString::fromLatin1(FigureInfo(result.figures[j].range.figure).label));
    }
    for (const std::string& note : result.notes) lines << QString::fromStdString(note);
    m_summary->setText(lines.join(QLatin1Char('\n')));
}

void CMatchDlg::ShowChart()
{
    ChartOptions options;
    options.axes = {ChartAxisDescription::Make(kSeriesEngineSpeed, kAutoRange),
                    ChartAxisDescription::Make(kSeriesPower, kAutoRange),
                    ChartAxisDescription::Make(kSeriesTorque, kAutoRange)};
    options.resultUnits = m_units;
    std::vector<std::unique_ptr<CTorqDoc>> engines;
    std::vector<ChartEngine> shown;
    RunSeries today{};
    for (int series = 1; series <= kResultSeriesCount; ++series)
        today[static_cast<std::size_t>(series - 1)] = m_base.GetResultSeries(series);
    engines.push_back(EngineWithResults(m_base, today));
    shown.push_back({engines.back().get(), tr("Today")});
    if (m_result && m_result->afterRan) {
        engines.push_back(EngineWithResults(m_base, m_result->afterResults));
        shown.push_back({engines.back().get(), tr("Matched")});
    }
    CMeasuredPulls pull;
    pull.Add(ChosenPull());
    // The speeds the pull covers, widened to the model's 500 rpm steps around it.
    const std::vector<PullRow>& rows = ChosenPull().pull.rows;
    const double from = std::floor(rows.front().rpm / kModelStepRpm) * kModelStepRpm;
    const double to = std::ceil(rows.back().rpm / kModelStepRpm) * kModelStepRpm;
    m_chart->SetPicture(AroundSpeeds(BuildMeasuredChartPicture(shown, options, &pull), from, to));
}

void CMatchDlg::OnMakeEngine()
{
    if (IsRunning() || !m_result || !m_result->afterRan || !m_takeEngine) return;
    auto matched = std::make_unique<CTorqDoc>();
    MakeMatchedEngine(m_base, *m_result, *matched);
    matched->SetTitle(MatchedTitle(m_title));
    m_takeEngine(std::move(matched));
    accept();
}

void CMatchDlg::reject()
{
    // A match under way stops first; the dialog closes when its thread is done.
    if (IsRunning()) {
        m_closeWhenStopped = true;
        m_stopRequested = true;
        return;
    }
    QDialog::reject();
}
