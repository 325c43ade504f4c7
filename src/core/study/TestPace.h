#pragma once

#include "StudyRunner.h"
#include "iterator/Iterator.h"

#include <cstdint>
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
// has run; the pace of the last sample. The iterator does not change.
TestPace MeasureTestPace(const IteratorTest& iterator, const StudyRunner& runner, double sampleSeconds = 0.1);

// A duration for a person: "40 s", "3.5 min", "2.1 h", "4.0 days", "12.3 years" (in the "C" locale).
std::string DurationText(double seconds);

// Above this, a whole series is worth a search instead.
inline constexpr double kSearchWorthSeconds = 60.0;
