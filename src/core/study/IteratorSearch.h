#pragma once

#include "SearchGrid.h"
#include "StudyRunner.h"
#include "StudyScore.h"
#include "iterator/Iterator.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Search: the best combinations of an iterator series too large to run
// whole, found by running a small share of them. The score of a
// combination is a noisy, mostly smooth function on an integer lattice
// (the step indexes of the swept slots), and some regions of the lattice
// fail to run at all. The search works in four stages:
//
//   1. Lattice: a coarse lattice over the whole grid, every slot at a few
//      evenly spaced step indexes (its ends included), the slots with more
//      steps at more of them; it finds the promising regions. It runs
//      coarse to fine (the corners, then the points halfway between, ...),
//      so that a search stopped early has seen all of the grid.
//   2. Climbs: a compass search from each of the best few lattice points
//      that lie apart from each other: it polls one step up and down every
//      slot, moves to the best poll when that scores higher, and halves the
//      steps when none does, from half the lattice spacing down to single
//      steps; a climb ends when no single step improves it.
//   3. Closure: every single-step neighbour of each of the ten best points
//      found is run, until the ten best no longer change; noise on the
//      scale of single steps cannot then hide a better neighbour of a kept
//      result.
//   4. Lines: every value of each slot from the best point, the others held
//      (at most kMostLineValues of a slot, evenly spaced). Along a slot
//      that barely matters the score is flat with noise on it, and its
//      highest point may lie anywhere on the line, far beyond a compass
//      step. A new best point gets its neighbours run (3) and its own
//      lines, until the best stays.
//
// A test that fails (its engine does not validate, or its run gives no
// results) counts as the worst score: nothing moves there, and it is never
// kept. The tests run in batches whose make-up depends only on the scores
// before them, on the study runner (every core, the batch kernel), so the
// same setup runs the same tests and keeps the same results on any number
// of threads, with or without the batch kernel. No combination runs twice.
//
// The kept results are the iterator's own best results: exactly what a
// series that ran the search's tests in test-number order would keep (the
// same slots, test numbers and scores, a tie with the weakest not
// displacing it), each the engine and results of its test in the whole
// series, to the bit.
class IteratorSearch {
public:
    // threads: how many threads simulate; 0 takes the hardware's count.
    explicit IteratorSearch(IteratorTest& iterator, int threads = 0);

    void SetThreadCount(int threads) { m_runner.SetThreadCount(threads); }
    int GetThreadCount() const { return m_runner.GetThreadCount(); }
    void SetBatchKernel(bool batch) { m_runner.SetBatchKernel(batch); }

    // Starts a search of the iterator's configured combinations (set up by
    // ApplySearchSetup). budget: the most tests to run, 0 for as many as
    // the search needs. False, and nothing started, when the grid is larger
    // than a search takes (SearchGrid::IsSearchable).
    bool Start(std::int64_t budget = 0);

    // Runs the next batch of tests: a few hundred at most, so that a caller
    // can show progress and stop between batches. False when no test was
    // left to run: the search is then done. When the search finishes, its
    // kept results are in the iterator.
    bool RunBatch();
    // Started and not forgotten since: a search is under way or done.
    bool IsStarted() const { return m_stage != Stage::Idle; }
    bool IsDone() const { return m_stage == Stage::Done; }
    // Back to before Start, its memory freed: the iterator's combinations
    // changed, or the search starts over. The iterator's kept results stay
    // as they are.
    void Forget();
    bool ReachedBudget() const { return m_budget > 0 && m_testsRun >= m_budget; }

    std::int64_t GetGridSize() const { return m_grid ? m_grid->Size() : 0; }
    std::int64_t GetBudget() const { return m_budget; }
    // Tests run: combinations simulated or failed.
    std::int64_t GetTestsRun() const { return m_testsRun; }
    // Distinct combinations run; the same as the tests run, as none runs twice.
    std::int64_t GetDistinctPoints() const { return static_cast<std::int64_t>(m_scores.size()); }
    std::int64_t GetFailedTests() const { return m_failedTests; }

    // The best score so far, and whether any test has given one.
    bool HasBest() const { return !m_elite.empty(); }
    float GetBestScore() const;
    // Each rise of the best score: after how many tests, and to what.
    struct BestRise {
        std::int64_t testsRun = 0;
        float score = 0.0f;
    };
    const std::vector<BestRise>& GetBestHistory() const { return m_history; }

    // The test numbers run so far, in the order run.
    const std::vector<std::int64_t>& GetTestOrder() const { return m_order; }
    // The results of the test run last among those that gave results.
    const std::optional<RunSeries>& GetLatestResults() const { return m_latest; }

    // Puts the kept results of the tests run so far into the iterator (the
    // keep flags stay with their slots, as a series leaves them); done by
    // the search itself when it finishes.
    void KeepResults();

    // The slots the ten best take when tests with these scores are offered
    // in this order: the series' rule (the first ten in arrival order, then
    // a score above the weakest takes the weakest's slot, the smallest
    // index among equals; a tie does not displace). Element i holds the
    // index into scores of the test in slot i.
    static std::vector<std::size_t> KeptSlots(const std::vector<float>& scores);

private:
    enum class Stage { Idle, Lattice, Climbs, Closure, Lines, Done };

    // A test that gave results, ranked by score, the earlier test first
    // among equals.
    struct Found {
        std::int64_t testNumber = 0;
        float score = 0.0f;
        RunSeries results{};
    };
    // A compass search on the grid.
    struct Climb {
        GridPoint point{};
        float score = 0.0f;
        GridPoint steps{};  // per slot, in step indexes
        bool finished = false;
    };

    void BuildLattice();
    std::vector<GridPoint> PlanLattice();
    std::vector<GridPoint> PlanClimbs();
    std::vector<GridPoint> PlanClosure();
    std::vector<GridPoint> PlanLines();
    void StartClimbs();
    void UpdateClimbs();
    void AddPolls(const GridPoint& from, const GridPoint& steps, std::vector<GridPoint>& polls) const;

    std::vector<GridPoint> FreshPoints(const std::vector<GridPoint>& wanted);
    void Evaluate(const std::vector<GridPoint>& points);
    void Record(std::int64_t testNumber, const StudyRunner::Outcome& outcome);
    void ForgetTests();
    void Finish();
    float ScoreOf(const GridPoint& point) const;
    bool WasRun(const GridPoint& point) const;

    IteratorTest& m_iterator;
    StudyRunner m_runner;
    std::unique_ptr<SearchGrid> m_grid;
    StudyCriterion m_criterion = StudyCriterion::PeakPower;
    SpeedBand m_band;
    std::int64_t m_budget = 0;
    Stage m_stage = Stage::Idle;

    std::unordered_map<std::int64_t, float> m_scores;  // every test run; failed ones score kFailed
    std::vector<std::int64_t> m_order;                 // the tests run, in order
    std::vector<Found> m_elite;                        // the best found, ranked, with their results
    std::vector<BestRise> m_history;
    std::optional<RunSeries> m_latest;
    std::int64_t m_testsRun = 0;
    std::int64_t m_failedTests = 0;

    std::vector<std::int32_t> m_levels;  // lattice values per slot
    std::vector<GridPoint> m_lattice;    // coarse to fine
    std::size_t m_latticeNext = 0;       // the next lattice point to run
    std::vector<Climb> m_climbs;
    std::unordered_set<std::int64_t> m_closed;  // test numbers whose neighbours have been run
    std::unordered_set<std::int64_t> m_lined;   // test numbers whose lines have been run
};
