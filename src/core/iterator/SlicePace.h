#pragma once

#include <cstdint>
#include <deque>
#include <functional>

// The pace of tests run in slices from an event loop, as the user sees it:
// tests per second over the last few seconds, the caller's time between
// slices (drawing, answering input) included, and the share of the time
// that goes between slices, in which the threads simulate nothing. The
// iterator's series and its search are both timed by it.
class SlicePace {
public:
    // Seconds on a monotonic clock.
    using Clock = std::function<double()>;
    static double SteadySeconds();

    static constexpr double kPaceWindowSeconds = 3.0;

    explicit SlicePace(Clock clock = SteadySeconds);

    double Now() const { return m_clock(); }

    // Forgets the measured pace: a run starts or goes on after a halt, with
    // testsRun tests run so far.
    void Start(std::int64_t testsRun);
    // Around each slice: the time it begins, and when it has ended the tests
    // run by then. Returns the slice's length, seconds.
    double BeginSlice(std::int64_t testsRun);
    double EndSlice(double begun, std::int64_t testsRun);

    // Tests per second over the last few seconds; 0 until a slice has run
    // since Start.
    double TestsPerSecond() const;
    // The share of the time, over the last slices, spent between them; 0
    // until two slices have run since Start.
    double ShareBetweenSlices() const;

private:
    struct Sample {
        double seconds;
        std::int64_t testsRun;
    };
    void AddSample(std::int64_t testsRun);

    Clock m_clock;
    std::deque<Sample> m_samples;  // oldest first, spanning about the pace window
    double m_lastSliceEnd = -1.0;  // seconds; negative before the first slice of a run
    double m_sliceAverage = 0.0;   // seconds, averaged over the last few slices
    double m_gapAverage = 0.0;     // seconds between slices, likewise
};
