#pragma once

#include "iterator/IteratorSetup.h"
#include "study/TestPace.h"

#include <QWidget>

#include <memory>
#include <thread>

class QLabel;
class QPushButton;
class QTimer;

// The setup dialog's line on how long every combination of its settings
// would take: how many there are and, for a series worth the question, the
// time at the pace this computer runs them, measured on a short sample of
// them. The sample runs on a thread of its own, so that the dialog stays
// live, and Stop ends it. Above about a minute the line suggests "Search
// for the best".
//
// The settings are measured once they have stayed the same for a moment,
// so that a row typed in field by field is measured once.
class CItrSeriesEstimate : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 400;

    explicit CItrSeriesEstimate(QWidget* parent = nullptr);
    ~CItrSeriesEstimate() override;

    // Threads the sample runs on, as the run will; 0 every core.
    void SetThreadCount(int threads);
    // Seconds the last sample lasts at least (MeasureTestPace).
    void SetSampleSeconds(double seconds) { m_sampleSeconds = seconds; }

    // The settings changed.
    void SetSetup(const IteratorSetup& setup);
    // Stops the measuring under way: the Stop button.
    void Stop();
    // Measures the settings again: the Measure button, after a stop.
    void Measure();

    bool IsMeasuring() const { return m_measuring; }
    // Combinations of the settings, 0 while they are incomplete.
    long double Combinations() const { return m_combinations; }
    // The pace last measured of these settings; no tests when none was.
    const TestPace& Pace() const { return m_pace; }
    // Every combination would take more than about a minute, or more than a series may run.
    bool SuggestsSearch() const;

    QLabel* Text() const { return m_text; }
    QPushButton* Button() const { return m_button; }

signals:
    // A measuring has ended, with a pace or stopped.
    void Measured();

private:
    void Count();
    void StartMeasuring();
    void StopWorker();
    void OnMeasured(int generation, TestPace pace);
    void ShowText();
    QString CountText() const;

    IteratorSetup m_setup;
    long double m_combinations = 0.0L;
    bool m_searchable = false;  // a search takes that many
    TestPace m_pace;
    bool m_measuring = false;
    bool m_stopped = false;
    int m_generation = 0;  // of the settings measured; older answers are dropped
    int m_threads = 0;
    double m_sampleSeconds = 0.1;

    QLabel* m_text;
    QPushButton* m_button;
    QTimer* m_settle;
    std::unique_ptr<IteratorTest> m_sample;  // the settings applied: what the worker reads
    std::jthread m_worker;                   // ends before the iterator it reads
};
