// The run dialog's search: a search of the iterator's combinations run in
// slices of its batches, its status and its charts.

#include "dialogs/ItrRunDlg.h"

#include "dialogs/ItrBestScoreChart.h"
#include "dialogs/ItrBestSurface.h"
#include "dialogs/ItrCurrentChart.h"
#include "study/SearchGrid.h"

#include <QLabel>
#include <QTimer>

namespace {

QString ScoreUnit(int criterion)
{
    return criterion == kMaxPower ? QStringLiteral("HP") : QStringLiteral("ft-lbs");
}

}  // namespace

// A search that has not started, or has been forgotten, starts afresh with
// the budget of the setup; a halted one goes on where it stopped.
void CItrRunDlg::StartSearch()
{
    if (m_search.IsStarted()) return;
    const bool started = m_search.Start(m_iterator.GetSearchBudget());
    TORQ_ASSERT(started);  // the setup refuses a grid larger than a search takes
    m_shownKept.clear();
}

void CItrRunDlg::RunSearchSlice()
{
    if (m_haltRequested || m_search.IsDone()) {
        FinishRun();
        return;
    }
    m_inSlice = true;
    m_searchPacer.RunSlice();
    m_inSlice = false;
    if (m_haltRequested || m_search.IsDone()) {
        FinishRun();
        return;
    }
    AdaptDrawInterval();
    if (m_sinceDraw.elapsed() >= m_drawIntervalMs) DrawSearchWhileRunning();
    m_sliceTimer->start();
}

void CItrRunDlg::DrawSearchWhileRunning()
{
    RefreshSearchStatus();
    RefreshCaption();
    ShowLatestSearchTest();
    KeepSearchResults();
    m_sinceDraw.start();
}

// The kept results of the tests run so far reach the iterator, as they
// would when halted now; the surface is drawn again only when they changed.
void CItrRunDlg::KeepSearchResults()
{
    m_search.KeepResults();
    std::vector<std::int64_t> kept;
    kept.reserve(static_cast<std::size_t>(m_iterator.GetKeptCount()));
    for (int i = 0; i < m_iterator.GetKeptCount(); ++i) kept.push_back(m_iterator.GetBestTestNumber(i));
    if (kept == m_shownKept) return;
    m_shownKept = std::move(kept);
    m_bestSurface->ShowResults(m_iterator);
}

void CItrRunDlg::RefreshSearchStatus()
{
    m_stateLabel->setText(QString::fromLatin1(RunStateText(m_state)));
    m_currentLabel->setText(QString::number(m_search.GetTestsRun()));
    m_bestScoreChart->ShowHistory(m_search.GetBestHistory(), m_search.GetTestsRun());
    const double pace = m_searchPacer.GetTestsPerSecond();
    if (m_state == kRunning) {
        m_paceLabel->setText(pace > 0.0 ? tr("Searching: %1 tests/s on %2 threads")
                                              .arg(pace, 0, 'f', pace < 100 ? 1 : 0)
                                              .arg(m_searchPacer.GetThreadCount())
                                        : tr("Measuring the pace..."));
        return;
    }
    m_paceLabel->setText(SearchSummary());
}

// After a search or a halt: how much of the grid it ran and the best it
// found. Before: the budget, if the setup gave one.
QString CItrRunDlg::SearchSummary() const
{
    const std::int64_t budget = m_iterator.GetSearchBudget();
    if (m_search.GetTestsRun() == 0) {
        return budget > 0 ? tr("Search for the best, in at most %1 tests").arg(budget)
                          : tr("Search for the best");
    }
    const double share = 100.0 * double(m_search.GetTestsRun()) / double(m_search.GetGridSize());
    QString text = tr("%1 of %2 combinations run (%3 %)")
                       .arg(m_search.GetTestsRun())
                       .arg(m_search.GetGridSize())
                       .arg(share, 0, 'g', 3);
    if (m_search.HasBest()) {
        text += tr(", best %1 %2")
                    .arg(double(m_search.GetBestScore()), 0, 'f', 2)
                    .arg(ScoreUnit(m_iterator.GetCriterion()));
    }
    if (m_search.IsDone() && m_search.ReachedBudget()) text += tr(": the budget is spent");
    return text;
}

QString CItrRunDlg::SearchGridSizeText() const
{
    if (m_search.IsStarted()) return QString::number(m_search.GetGridSize());
    if (m_iterator.GetBaseline() == nullptr) return QStringLiteral("0");
    const SearchGrid grid(m_iterator);
    return grid.IsSearchable() ? QString::number(grid.Size())
                               : QString::number(double(grid.CountedPoints()), 'g', 3);
}

void CItrRunDlg::RefreshSearchCharts()
{
    if (m_search.GetTestsRun() == 0) {
        m_currentChart->ShowNoTest();
        m_bestSurface->ShowNoResults();
        m_shownKept.clear();
        return;
    }
    ShowLatestSearchTest();
    m_bestSurface->ShowResults(m_iterator);
    m_shownKept.clear();
    for (int i = 0; i < m_iterator.GetKeptCount(); ++i)
        m_shownKept.push_back(m_iterator.GetBestTestNumber(i));
}

// The test run last that gave results: the search's tests run elsewhere
// than on the working engine.
void CItrRunDlg::ShowLatestSearchTest()
{
    const std::optional<RunSeries>& latest = m_search.GetLatestResults();
    if (!latest.has_value()) {
        m_currentChart->ShowNoTest();
        return;
    }
    const int series = m_iterator.GetCriterion() == kMaxPower ? kSeriesPower : kSeriesTorque;
    m_currentChart->ShowTest((*latest)[kSeriesEngineSpeed - 1],
                             (*latest)[static_cast<std::size_t>(series - 1)]);
}
