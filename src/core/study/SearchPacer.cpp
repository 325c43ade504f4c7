#include "SearchPacer.h"

SearchPacer::SearchPacer(IteratorSearch& search, Clock clock) : m_search(search), m_pace(std::move(clock)) {}

void SearchPacer::SetSliceTarget(double seconds)
{
    TORQ_ASSERT(seconds > 0.0);
    m_sliceSeconds = seconds;
}

void SearchPacer::StartTiming()
{
    m_pace.Start(m_search.GetTestsRun());
}

std::int64_t SearchPacer::RunSlice()
{
    TORQ_ASSERT(m_search.IsStarted());
    const std::int64_t before = m_search.GetTestsRun();
    const double begun = m_pace.BeginSlice(before);
    // A batch is a few hundred tests at most: a slice overshoots its target
    // by one batch at worst.
    while (m_search.RunBatch() && m_pace.Now() - begun < m_sliceSeconds) {
    }
    m_pace.EndSlice(begun, m_search.GetTestsRun());
    return m_search.GetTestsRun() - before;
}
