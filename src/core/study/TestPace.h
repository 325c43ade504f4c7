#pragma once

#include "StudyRunner.h"
#include "iterator/Iterator.h"

#include <cstdint>
#include <stop_token>
#include <string>

// How fast this machine runs the tests of an iterator setup, measured on a
// short sample of its combinations spread over the whole grid (a region of
// the grid may run slower than another: a longer cycle, a failing corner).
struct TestPace {
    std::int64_t tests = 0;
    double seconds = 0.0;

    double TestsPerSecond() const { return seconds > 0.0 ? double(tests) / seconds : 0.0; }
    // Seconds that many tests take at this pace.
    double SecondsFor(long double count) const { return double(count / TestsPerSecond()); }
};

// Runs samples of the configured combinations (the iterator prepared by
// PrepareRun or PrepareSearch) on runner, each twice as large as the one
// before, until one has taken at least sampleSeconds or every combination
// has run; the pace of the last sample. The iterator does not change. A
// stop requested ends the measuring before the next sample, with a pace of
// no tests (a caller on another thread stops it so).
TestPace MeasureTestPace(const IteratorTest& iterator, const StudyRunner& runner, double sampleSeconds = 0.1,
                         std::stop_token stop = {});

// A duration for a person: "40 s", "3.5 min", "2.1 h", "4.0 days", "12.3 years" (in the "C" locale).
std::string DurationText(double seconds);

// Above this, a whole series is worth a search instead.
inline constexpr double kSearchWorthSeconds = 60.0;

// A series of at least this many tests says how long it takes: below it,
// measuring the pace takes about as long as running them.
inline constexpr std::int64_t kTestsWorthAnEstimate = 20000;
