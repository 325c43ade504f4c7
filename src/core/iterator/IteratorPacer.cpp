#include "IteratorPacer.h"

#include <algorithm>
#include <cmath>

namespace {

// Large enough for any slice target on any machine, small enough that a
// batch count never overflows.
constexpr std::int32_t kLargestBatch = 1 << 20;

}  // namespace

IteratorPacer::IteratorPacer(IteratorTest& iterator, int threads, Clock clock)
    : m_iterator(iterator), m_runner(iterator, threads), m_pace(std::move(clock))
{
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
    m_pace.Start(m_iterator.GetTestsRun());
}

IteratorRunner::Batch IteratorPacer::RunSlice()
{
    const double begun = m_pace.BeginSlice(m_iterator.GetTestsRun());
    const IteratorRunner::Batch batch = m_runner.RunTests(m_batchSize);
    const double seconds = m_pace.EndSlice(begun, m_iterator.GetTestsRun());
    m_batchSize = NextBatchSize(m_batchSize, batch.testsIssued, seconds, m_sliceSeconds, GetThreadCount());
    return batch;
}

double IteratorPacer::GetSecondsLeft() const
{
    const double pace = GetTestsPerSecond();
    if (pace <= 0.0) return -1.0;
    return (m_iterator.GetTotalTests() - m_iterator.GetTestsRun()) / pace;
}
