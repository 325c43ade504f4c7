#include "dialogs/ItrSeriesEstimate.h"

#include "study/SearchGrid.h"
#include "study/StudyRunner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <utility>

CItrSeriesEstimate::CItrSeriesEstimate(QWidget* parent)
    : QWidget(parent),
      m_text(new QLabel(this)),
      m_button(new QPushButton(tr("Stop"), this)),
      m_settle(new QTimer(this))
{
    m_setup.Reset();
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::RichText);
    m_button->setAutoDefault(false);
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, [this] { m_measuring ? Stop() : Measure(); });
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &CItrSeriesEstimate::Count);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_button);
    // Two lines' room, so that the dialog does not jump as the text changes.
    m_text->setMinimumHeight(2 * m_text->fontMetrics().lineSpacing());
}

CItrSeriesEstimate::~CItrSeriesEstimate()
{
    // The worker posts its answer to this object: it ends first.
    StopWorker();
}

void CItrSeriesEstimate::SetThreadCount(int threads)
{
    m_threads = threads;
}

void CItrSeriesEstimate::SetSetup(const IteratorSetup& setup)
{
    m_setup = setup;
    ++m_generation;
    m_combinations = 0.0L;
    m_searchable = false;
    m_pace = {};
    m_stopped = false;
    if (m_measuring) {
        m_worker.request_stop();
        m_measuring = false;
    }
    ShowText();
    m_settle->start();
}

void CItrSeriesEstimate::Stop()
{
    if (!m_measuring) return;
    m_worker.request_stop();
    m_text->setText(CountText() + tr("; stopping..."));
}

void CItrSeriesEstimate::Measure()
{
    if (m_measuring || !m_searchable) return;
    ++m_generation;
    m_stopped = false;
    StartMeasuring();
}

bool CItrSeriesEstimate::SuggestsSearch() const
{
    if (m_combinations > static_cast<long double>(kMaxTotalTests)) return true;
    return m_pace.tests > 0 && m_pace.SecondsFor(m_combinations) > kSearchWorthSeconds;
}

// The rows are counted once they make a series, whatever the band (it
// changes what scores best, not how long a test takes).
void CItrSeriesEstimate::Count()
{
    IteratorSetup rows = m_setup;
    rows.minRpm = kLowestBandRpm;
    rows.maxRpm = kHighestBandRpm;
    if (rows.baseline == nullptr || CheckSearchSetup(rows) != 0) {
        ShowText();
        return;
    }
    StopWorker();
    m_sample = std::make_unique<IteratorTest>(IteratorTest::Detached{});
    ApplySearchSetup(*m_sample, rows);
    const SearchGrid grid(*m_sample);
    m_combinations = grid.CountedPoints();
    m_searchable = grid.IsSearchable();
    if (m_searchable && grid.Size() >= kTestsWorthAnEstimate) {
        StartMeasuring();
    } else {
        ShowText();
    }
}

void CItrSeriesEstimate::StartMeasuring()
{
    StopWorker();
    m_measuring = true;
    ShowText();
    m_worker = std::jthread([this, sample = m_sample.get(), threads = m_threads, seconds = m_sampleSeconds,
                             generation = m_generation](std::stop_token stop) {
        const TestPace pace = MeasureTestPace(*sample, StudyRunner(threads), seconds, std::move(stop));
        QMetaObject::invokeMethod(
            this, [this, generation, pace] { OnMeasured(generation, pace); }, Qt::QueuedConnection);
    });
}

// Waits for the rest of a sample at most: a tenth of a second or so.
void CItrSeriesEstimate::StopWorker()
{
    if (!m_worker.joinable()) return;
    m_worker.request_stop();
    m_worker.join();
}

void CItrSeriesEstimate::OnMeasured(int generation, TestPace pace)
{
    if (generation != m_generation) return;  // settings changed since
    m_measuring = false;
    m_pace = pace;
    m_stopped = pace.tests == 0;
    ShowText();
    emit Measured();
}

QString CItrSeriesEstimate::CountText() const
{
    const QString count = m_searchable ? QString::number(static_cast<long long>(m_combinations))
                                       : QString::number(double(m_combinations), 'g', 3);
    return tr("Every combination: %1 tests").arg(count);
}

void CItrSeriesEstimate::ShowText()
{
    m_button->setVisible(m_measuring || m_stopped);
    m_button->setText(m_measuring ? tr("Stop") : tr("Measure"));
    if (m_combinations < 2.0L) {
        m_text->clear();
        return;
    }
    QString text = CountText();
    if (!m_searchable) {
        m_text->setText(text + tr(", more than a search takes (%1).").arg(SearchGrid::kMostPoints));
        return;
    }
    if (m_measuring) {
        m_text->setText(text + tr("; measuring the pace..."));
        return;
    }
    if (m_stopped) {
        m_text->setText(text + tr(" (the pace was not measured)."));
        return;
    }
    if (m_pace.tests > 0) {
        text += tr(", about %1 at %2 tests/s on %3 threads")
                    .arg(QString::fromStdString(DurationText(m_pace.SecondsFor(m_combinations))))
                    .arg(m_pace.TestsPerSecond(), 0, 'f', 0)
                    .arg(StudyRunner(m_threads).GetThreadCount());
    }
    if (m_combinations > static_cast<long double>(kMaxTotalTests)) {
        text += tr(", more than a series runs (%1)").arg(kMaxTotalTests);
    }
    text += QStringLiteral(".");
    if (SuggestsSearch()) text += tr(" <b>Search for the best</b> finds the best in a small share of them.");
    m_text->setText(text);
}
