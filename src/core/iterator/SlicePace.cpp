#include "SlicePace.h"

#include "base/ErrCode.h"

#include <chrono>

namespace {

// Weight of the newest slice in the averages of slice and gap times: about
// the last ten slices count.
constexpr double kAverageWeight = 0.2;

double Average(double average, double sample)
{
    return average + kAverageWeight * (sample - average);
}

}  // namespace

double SlicePace::SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

SlicePace::SlicePace(Clock clock) : m_clock(std::move(clock))
{
    TORQ_ASSERT(m_clock != nullptr);
}

void SlicePace::Start(std::int64_t testsRun)
{
    m_samples.clear();
    AddSample(testsRun);
    m_lastSliceEnd = -1.0;
    m_sliceAverage = 0.0;
    m_gapAverage = 0.0;
}

double SlicePace::BeginSlice(std::int64_t testsRun)
{
    if (m_samples.empty()) AddSample(testsRun);
    return m_clock();
}

double SlicePace::EndSlice(double begun, std::int64_t testsRun)
{
    const double end = m_clock();
    const double seconds = end - begun;
    if (m_lastSliceEnd >= 0.0) {
        m_sliceAverage = Average(m_sliceAverage, seconds);
        m_gapAverage = Average(m_gapAverage, begun - m_lastSliceEnd);
    } else {
        m_sliceAverage = seconds;  // the first slice of a run has no gap before it
    }
    m_lastSliceEnd = end;
    AddSample(testsRun);
    return seconds;
}

double SlicePace::ShareBetweenSlices() const
{
    const double total = m_sliceAverage + m_gapAverage;
    return total > 0.0 ? m_gapAverage / total : 0.0;
}

// Keeps the samples of the last window, and the one just before it so that
// the pace always spans at least the window once the run is that long.
void SlicePace::AddSample(std::int64_t testsRun)
{
    const double now = m_clock();
    m_samples.push_back({now, testsRun});
    while (m_samples.size() > 2 && m_samples[1].seconds <= now - kPaceWindowSeconds) m_samples.pop_front();
}

double SlicePace::TestsPerSecond() const
{
    if (m_samples.size() < 2) return 0.0;
    const double seconds = m_samples.back().seconds - m_samples.front().seconds;
    const std::int64_t tests = m_samples.back().testsRun - m_samples.front().testsRun;
    return seconds > 0.0 && tests > 0 ? double(tests) / seconds : 0.0;
}
