#pragma once

#include "IteratorRunner.h"

#include <cstdint>
#include <deque>
#include <functional>

// Drives an iterator series from an event loop in slices of about a given
// wall time, so that the window that calls it stays live: each slice asks
// the runner for as many tests as took about the target time in the slices
// before, on all its threads. Between slices the caller draws and serves
// input. The pacer also measures the pace of the series as the user sees it
// (tests per second over the last few seconds, the caller's time between
// slices included) and the time that is left at that pace.
class IteratorPacer {
public:
    // Seconds on a monotonic clock.
    using Clock = std::function<double()>;
    static double SteadySeconds();

    static constexpr double kDefaultSliceSeconds = 0.050;
    static constexpr double kPaceWindowSeconds = 3.0;

    // threads: 0 takes the hardware's count.
    explicit IteratorPacer(IteratorTest& iterator, int threads = 0, Clock clock = SteadySeconds);

    void SetSliceTarget(double seconds);
    int GetThreadCount() const { return m_runner.GetThreadCount(); }
    // Tests the next slice asks for.
    std::int32_t GetBatchSize() const { return m_batchSize; }

    // Forgets the measured pace: a run starts or goes on after a halt.
    void StartTiming();
    // One slice: at most GetBatchSize() tests, fewer when the series ends.
    IteratorRunner::Batch RunSlice();

    // Tests per second over the last few seconds; 0 until a slice has run
    // since StartTiming.
    double GetTestsPerSecond() const;
    // Seconds the rest of the series takes at that pace; negative while the
    // pace is unknown.
    double GetSecondsLeft() const;
    // The share of the time, over the last slices, that the caller spent
    // between slices (drawing, answering input): time in which the threads
    // simulate nothing. 0 until two slices have run since StartTiming.
    double GetShareBetweenSlices() const;

    // The batch that takes about targetSeconds when the last one, of
    // batchSize tests of which testsIssued ran, took seconds: at least one
    // test per thread, a whole number of tests per thread (no thread idles
    // at the end of a slice), and at most twice or half the batch before,
    // so that one odd slice does not throw the size about.
    static std::int32_t NextBatchSize(std::int32_t batchSize, std::int32_t testsIssued, double seconds,
                                      double targetSeconds, int threads);

private:
    struct PaceSample {
        double seconds;
        std::int32_t testsRun;
    };
    void AddPaceSample();

    IteratorTest& m_iterator;
    IteratorRunner m_runner;
    Clock m_clock;
    double m_sliceSeconds = kDefaultSliceSeconds;
    std::int32_t m_batchSize;
    std::deque<PaceSample> m_pace;  // oldest first, spanning about the pace window
    double m_lastSliceEnd = -1.0;   // seconds; negative before the first slice of a run
    double m_sliceAverage = 0.0;    // seconds, averaged over the last few slices
    double m_gapAverage = 0.0;      // seconds between slices, likewise
};
