#pragma once

#include "IteratorSearch.h"
#include "iterator/SlicePace.h"

#include <cstdint>

// Drives a search from an event loop in slices of about a given wall time,
// so that the window that calls it stays live: each slice runs the
// search's batches one after another until it has lasted the target or the
// search is done. Between slices the caller draws and serves input. The
// pacer measures the search's pace as the user sees it (tests per second
// over the last few seconds, the caller's time between slices included).
class SearchPacer {
public:
    using Clock = SlicePace::Clock;
    static constexpr double kDefaultSliceSeconds = 0.050;

    explicit SearchPacer(IteratorSearch& search, Clock clock = SlicePace::SteadySeconds);

    void SetSliceTarget(double seconds);
    double GetSliceTarget() const { return m_sliceSeconds; }
    int GetThreadCount() const { return m_search.GetThreadCount(); }

    // Forgets the measured pace: a search starts or goes on after a halt.
    void StartTiming();
    // One slice of a started search; the tests it ran (0 when the search was done).
    std::int64_t RunSlice();

    // Tests per second over the last few seconds; 0 until a slice has run
    // since StartTiming.
    double GetTestsPerSecond() const { return m_pace.TestsPerSecond(); }
    // The share of the time, over the last slices, that the caller spent
    // between slices. 0 until two slices have run since StartTiming.
    double GetShareBetweenSlices() const { return m_pace.ShareBetweenSlices(); }

private:
    IteratorSearch& m_search;
    SlicePace m_pace;
    double m_sliceSeconds = kDefaultSliceSeconds;
};
