#include "IteratorPacer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Large enough for any slice target on any machine, small enough that a
// batch count never overflows.
constexpr std::int32_t kLargestBatch = 1 << 20;

// Weight of the newest slice in the averages of slice and gap times: about
// the last ten slices count.
constexpr double kAverageWeight = 0.2;

double Average(double average, double sample)
{
    return average + kAverageWeight * (sample - average);
}

}  // namespace

double IteratorPacer::SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

IteratorPacer::IteratorPacer(IteratorTest& iterator, int threads, Clock clock)
    : m_iterator(iterator), m_runner(iterator, threads), m_clock(std::move(clock))
{
    TORQ_ASSERT(m_clock != nullptr);
    // The first slice runs one test per thread and is over in a moment.
    m_batchSize = m_runner.GetThreadCount();
}

void IteratorPacer::SetSliceTarget(double seconds)
{
    TORQ_ASSERT(seconds > 0.0);
    m_sliceSeconds = seconds;
}

std::int32_t IteratorPacer::NextBatchSize(std::int32_t batchSize, std::int32_t testsIssued, double seconds,
                                          double targetSeconds, int threads)
{
    TORQ_ASSERT(batchSize >= 1 && threads >= 1 && targetSeconds > 0.0);
    double wanted;
    if (testsIssued <= 0) {
        wanted = batchSize;  // the series ended: nothing learnt
    } else if (seconds <= 0.0) {
        wanted = 2.0 * batchSize;  // faster than the clock can tell
    } else {
        wanted = targetSeconds * testsIssued / seconds;
    }
    wanted = std::clamp(wanted, batchSize / 2.0, batchSize * 2.0);
    const double perThread = std::max(1.0, std::round(wanted / threads));
    return static_cast<std::int32_t>(std::min<double>(perThread * threads, kLargestBatch));
}

void IteratorPacer::StartTiming()
{
    m_pace.clear();
    AddPaceSample();
    m_lastSliceEnd = -1.0;
    m_sliceAverage = 0.0;
    m_gapAverage = 0.0;
}

IteratorRunner::Batch IteratorPacer::RunSlice()
{
    if (m_pace.empty()) AddPaceSample();
    const double start = m_clock();
    const IteratorRunner::Batch batch = m_runner.RunTests(m_batchSize);
    const double end = m_clock();
    const double seconds = end - start;
    m_batchSize = NextBatchSize(m_batchSize, batch.testsIssued, seconds, m_sliceSeconds, GetThreadCount());
    if (m_lastSliceEnd >= 0.0) {
        m_sliceAverage = Average(m_sliceAverage, seconds);
        m_gapAverage = Average(m_gapAverage, start - m_lastSliceEnd);
    } else {
        m_sliceAverage = seconds;  // the first slice of a run has no gap before it
    }
    m_lastSliceEnd = end;
    AddPaceSample();
    return batch;
}

double IteratorPacer::GetShareBetweenSlices() const
{
    const double total = m_sliceAverage + m_gapAverage;
    return total > 0.0 ? m_gapAverage / total : 0.0;
}

// Keeps the samples of the last window, and the one just before it so that
// the pace always spans at least the window once the run is that long.
void IteratorPacer::AddPaceSample()
{
    const double now = m_clock();
    m_pace.push_back({now, m_iterator.GetTestsRun()});
    while (m_pace.size() > 2 && m_pace[1].seconds <= now - kPaceWindowSeconds) m_pace.pop_front();
}

double IteratorPacer::GetTestsPerSecond() const
{
    if (m_pace.size() < 2) return 0.0;
    const double seconds = m_pace.back().seconds - m_pace.front().seconds;
    const std::int32_t tests = m_pace.back().testsRun - m_pace.front().testsRun;
    return seconds > 0.0 && tests > 0 ? tests / seconds : 0.0;
}

double IteratorPacer::GetSecondsLeft() const
{
    const double pace = GetTestsPerSecond();
    if (pace <= 0.0) return -1.0;
    return (m_iterator.GetTotalTests() - m_iterator.GetTestsRun()) / pace;
}
