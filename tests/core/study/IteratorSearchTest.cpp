#include "study/IteratorSearch.h"

#include "iterator/IteratorRunner.h"
#include "iterator/IteratorSetup.h"
#include "model/EngineFile.h"

#include "EngineBuilds.h"
#include "IteratorSeries.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::uint32_t Bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

// The iterator set up for a search of these rows (any number of combinations).
void ConfigureSearch(IteratorTest& iterator, const CTorqDoc& baseline,
                     std::initializer_list<IterationParam> rows, int criterion = kMaxPower,
                     float minRpm = 2000.0f, float maxRpm = 11000.0f)
{
    IteratorSetup setup;
    setup.Reset();
    setup.baseline = &baseline;
    setup.criterion = criterion;
    setup.minRpm = minRpm;
    setup.maxRpm = maxRpm;
    int index = 0;
    for (const IterationParam& row : rows) setup.params[static_cast<std::size_t>(index++)] = row;
    ApplySearchSetup(iterator, setup);
}

void RunToTheEnd(IteratorSearch& search, std::int64_t budget = 0)
{
    ASSERT_TRUE(search.Start(budget));
    while (search.RunBatch()) {
    }
    EXPECT_TRUE(search.IsDone());
}

void RunWholeSeries(IteratorTest& iterator)
{
    IteratorRunner runner(iterator);
    while (!iterator.IsDone()) runner.RunTests(1 << 20);
}

std::string EngineFileText(const CTorqDoc& engine)
{
    CTorqDoc copy;
    engine.CopyTo(copy);
    TempDir dir;
    EXPECT_TRUE(WriteEngineFile(copy, dir.File("engine.trq").string()));
    return ReadWholeFile(dir.File("engine.trq"));
}

// Every kept result the same: slot, test number, score and engine to the bit.
void ExpectSameKeptResults(const IteratorTest& series, const IteratorTest& searched)
{
    ASSERT_EQ(series.GetKeptCount(), searched.GetKeptCount());
    for (int i = 0; i < series.GetKeptCount(); ++i) {
        SCOPED_TRACE("No. " + std::to_string(i + 1));
        EXPECT_EQ(series.GetBestTestNumber(i), searched.GetBestTestNumber(i));
        EXPECT_EQ(Bits(series.GetBestScore(i)), Bits(searched.GetBestScore(i)));
        const CTorqDoc& a = series.GetBestEngine(i);
        const CTorqDoc& b = searched.GetBestEngine(i);
        EXPECT_EQ(EngineFileText(a), EngineFileText(b));
        for (int s = 1; s <= kResultSeriesCount; ++s) {
            EXPECT_EQ(std::memcmp(a.GetResultSeries(s).data(), b.GetResultSeries(s).data(),
                                  sizeof(ResultSeriesValues)),
                      0)
                << "series " << s;
        }
    }
    EXPECT_EQ(series.GetLowestKeptIndex(), searched.GetLowestKeptIndex());
}

// Each kept result is its combination, run on the baseline alone, with the
// score of that run: what its test in the whole series gets.
void ExpectKeptResultsAreTheirOwnRuns(const IteratorTest& searched, const CTorqDoc& baseline)
{
    const SearchGrid grid(searched);
    for (int i = 0; i < searched.GetKeptCount(); ++i) {
        SCOPED_TRACE("No. " + std::to_string(i + 1));
        CTorqDoc alone;
        baseline.CopyTo(alone);
        searched.ApplyValues(alone, grid.Values(grid.PointOf(searched.GetBestTestNumber(i))));
        const StudyRunner::Outcome outcome = StudyRunner::RunAlone(alone);
        ASSERT_EQ(outcome.kind, StudyRunner::Outcome::Kind::Simulated);
        const CTorqDoc& kept = searched.GetBestEngine(i);
        EXPECT_EQ(EngineFileText(kept), EngineFileText(alone));
        for (int s = 1; s <= kResultSeriesCount; ++s) {
            EXPECT_EQ(std::memcmp(kept.GetResultSeries(s).data(), outcome.results[std::size_t(s - 1)].data(),
                                  sizeof(ResultSeriesValues)),
                      0);
        }
        float minRpm = 0.0f;
        float maxRpm = 0.0f;
        searched.GetScoringBand(minRpm, maxRpm);
        const StudyCriterion criterion =
            searched.GetCriterion() == kMaxPower ? StudyCriterion::PeakPower : StudyCriterion::PeakTorque;
        EXPECT_EQ(Bits(searched.GetBestScore(i)),
                  Bits(StudyScore(outcome.results, criterion, {minRpm, maxRpm})));
    }
}

float BestKeptScore(const IteratorTest& iterator)
{
    float best = -1.0f;
    for (int i = 0; i < iterator.GetKeptCount(); ++i) best = std::max(best, iterator.GetBestScore(i));
    return best;
}

void ExpectEveryTestOnce(const IteratorSearch& search)
{
    const std::vector<std::int64_t>& order = search.GetTestOrder();
    EXPECT_EQ(static_cast<std::int64_t>(order.size()), search.GetTestsRun());
    EXPECT_EQ(static_cast<std::int64_t>(std::set<std::int64_t>(order.begin(), order.end()).size()),
              search.GetTestsRun());
    EXPECT_EQ(search.GetDistinctPoints(), search.GetTestsRun());
}

class IteratorSearchTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BuildChevy350(baseline)); }

    RecordingPresenter presenter;
    CTorqDoc baseline;
};

}  // namespace

TEST_F(IteratorSearchTest, TheGridGivesEveryCombinationTheValuesAndTestNumberOfTheSeries)
{
    // 4.00 to 4.10 by 0.03 ends on a shorter step; the lifts add 0.02 in
    // 32-bit floats, which drifts from 0.45 + 0.02 k.
    IteratorTest series{IteratorTest::Detached{}};
    Configure(series, baseline,
              {Sweep(kItrBore, baseline, 4.0f, 4.1f, 0.03f), Sweep(kItrIvc, baseline, 60.0f, 63.0f, 1.0f),
               Sweep(kItrIntakeLift, baseline, 0.45f, 0.61f, 0.02f)});
    const SearchGrid grid(series);
    ASSERT_TRUE(grid.IsSearchable());
    EXPECT_EQ(grid.Size(), series.GetTotalTests());
    EXPECT_EQ(grid.Size(), 5 * 4 * 9);
    CombinationValues values;
    std::int32_t testNumber = 0;
    while (series.IssueNextTest(values, testNumber)) {
        const GridPoint point = grid.PointOf(testNumber);
        EXPECT_EQ(grid.TestNumber(point), testNumber);
        const CombinationValues gridValues = grid.Values(point);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Bits(gridValues[std::size_t(k)]), Bits(values[std::size_t(k)]))
                << "test " << testNumber;
    }
    EXPECT_EQ(grid.Value(0, 4), 4.1f);
}

TEST_F(IteratorSearchTest, TheGridNumbersTestsPastTwoToThe31AndRefusesGridsPastTwoToThe53)
{
    // 421 x 461 x 121 x 121 = 2,841,601,441 combinations.
    const IterationParam bore = Sweep(kItrBore, baseline, 2.8f, 7.0f, 0.01f);
    const IterationParam stroke = Sweep(kItrStroke, baseline, 2.4f, 7.0f, 0.01f);
    const IterationParam compression = Sweep(kItrCompression, baseline, 6.0f, 18.0f, 0.1f);
    const IterationParam ivc = Sweep(kItrIvc, baseline, 0.0f, 120.0f, 1.0f);
    IteratorTest iterator{IteratorTest::Detached{}};
    ConfigureSearch(iterator, baseline, {bore, stroke, compression, ivc});
    const SearchGrid grid(iterator);
    ASSERT_TRUE(grid.IsSearchable());
    EXPECT_EQ(grid.Size(), std::int64_t{421} * 461 * 121 * 121);
    const GridPoint last = grid.PointOf(grid.Size());
    EXPECT_EQ(last[0], 420);
    EXPECT_EQ(last[3], 120);
    EXPECT_EQ(grid.Values(last)[0], 7.0f);
    const std::int64_t pastInt32 = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 12345;
    EXPECT_EQ(grid.TestNumber(grid.PointOf(pastInt32)), pastInt32);

    // Four more sweeps: about 2.8e17 combinations, more than a search takes.
    ConfigureSearch(iterator, baseline,
                    {bore, stroke, compression, ivc, Sweep(kItrEvo, baseline, 0.0f, 115.0f, 1.0f),
                     Sweep(kItrEvc, baseline, 0.0f, 80.0f, 1.0f), Sweep(kItrIvo, baseline, 0.0f, 80.0f, 1.0f),
                     Sweep(kItrIntakeLift, baseline, 0.2f, 1.5f, 0.01f)});
    EXPECT_FALSE(SearchGrid(iterator).IsSearchable());
    EXPECT_GT(SearchGrid(iterator).CountedPoints(), 1e17L);
    IteratorSearch search(iterator, 1);
    EXPECT_FALSE(search.Start());
}

TEST_F(IteratorSearchTest, AGridTheLatticeCoversKeepsExactlyTheWholeSeriesKeptResults)
{
    // 9 x 3 x 2 = 54 combinations, all on the lattice. The 1.2 in lift
    // cannot be ground on the shorter lobes, and from 10,500 rpm on only
    // eight make any power: the rest of the ten best score 0, and which of
    // the tied zeros stay is the series' tie rule at work.
    const auto rows = {Sweep(kItrIvc, baseline, 40.0f, 88.0f, 6.0f),
                       Sweep(kItrEvo, baseline, 30.0f, 90.0f, 30.0f),
                       Sweep(kItrIntakeLift, baseline, 1.1f, 1.2f, 0.1f)};
    IteratorTest series{IteratorTest::Detached{}};
    Configure(series, baseline, rows, kMaxPower, 10500.0f, 11000.0f);
    bool isNewBest = false;
    int tiesRefused = 0;  // tests that tied with the weakest of ten and were not kept
    while (!series.IsDone()) {
        const bool full = series.GetKeptCount() == kBestResultCount;
        const float lowest = series.GetLowestKeptScore();
        if (series.RunNextTest(isNewBest)) tiesRefused += full && !isNewBest && series.Score() == lowest;
    }
    ASSERT_GT(tiesRefused, 0);
    ASSERT_EQ(series.GetLowestKeptScore(), 0.0f);

    IteratorTest searched{IteratorTest::Detached{}};
    ConfigureSearch(searched, baseline, rows, kMaxPower, 10500.0f, 11000.0f);
    IteratorSearch search(searched, 2);
    presenter.Clear();
    RunToTheEnd(search);
    EXPECT_EQ(search.GetTestsRun(), 54);
    EXPECT_GT(search.GetFailedTests(), 0);
    ExpectSameKeptResults(series, searched);
    // Silent: a failed test shows nothing.
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_F(IteratorSearchTest, FindsTheWholeSeriesBestOnSmallGridsWithAFailingRegion)
{
    struct Case {
        const char* name;
        std::vector<IterationParam> rows;
        int criterion;
        float minRpm;
        float maxRpm;
    };
    const std::vector<Case> cases = {
        // 31 x 31: the cam's two closing events, peak power.
        {"ivc x evo",
         {Sweep(kItrIvc, baseline, 50.0f, 80.0f, 1.0f), Sweep(kItrEvo, baseline, 50.0f, 80.0f, 1.0f)},
         kMaxPower,
         2000.0f,
         11000.0f},
        // 41 x 21: lifts from 0.9 in up cannot be ground: a failing half.
        {"lift x evc",
         {Sweep(kItrIntakeLift, baseline, 0.4f, 1.2f, 0.02f), Sweep(kItrEvc, baseline, 10.0f, 50.0f, 2.0f)},
         kMaxTorque,
         3000.0f,
         6000.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IteratorTest series{IteratorTest::Detached{}};
        IteratorTest searched{IteratorTest::Detached{}};
        for (IteratorTest* iterator : {&series, &searched}) {
            IteratorSetup setup;
            setup.Reset();
            setup.baseline = &baseline;
            setup.criterion = c.criterion;
            setup.minRpm = c.minRpm;
            setup.maxRpm = c.maxRpm;
            std::copy(c.rows.begin(), c.rows.end(), setup.params.begin());
            if (iterator == &series)
                ApplySetup(*iterator, setup);
            else
                ApplySearchSetup(*iterator, setup);
        }
        RunWholeSeries(series);
        IteratorSearch search(searched, 2);
        RunToTheEnd(search);
        EXPECT_LT(search.GetTestsRun(), series.GetTotalTests() / 2);
        EXPECT_EQ(searched.GetKeptCount(), kBestResultCount);
        EXPECT_EQ(Bits(BestKeptScore(searched)), Bits(BestKeptScore(series)));
        EXPECT_EQ(Bits(search.GetBestScore()), Bits(BestKeptScore(series)));
        ExpectKeptResultsAreTheirOwnRuns(searched, baseline);
        ExpectEveryTestOnce(search);
        if (std::string(c.name) == "lift x evc") {
            EXPECT_GT(search.GetFailedTests(), 0);
        }
    }
}

namespace {

// Threads, and whether they run the batch kernel.
using SearchRunner = std::tuple<int, bool>;

class IteratorSearchRunners : public IteratorSearchTest, public testing::WithParamInterface<SearchRunner> {};

}  // namespace

TEST_P(IteratorSearchRunners, RunTheSameTestsAndKeepTheSameResultsAsOneEngineAtATime)
{
    // 16 x 16 x 8 with a failing region (the longest lifts).
    const auto rows = {Sweep(kItrIvc, baseline, 50.0f, 80.0f, 2.0f),
                       Sweep(kItrEvo, baseline, 50.0f, 80.0f, 2.0f),
                       Sweep(kItrIntakeLift, baseline, 0.5f, 1.2f, 0.1f)};
    IteratorTest reference{IteratorTest::Detached{}};
    ConfigureSearch(reference, baseline, rows, kMaxPower, 4000.0f, 7000.0f);
    IteratorSearch one(reference, 1);
    one.SetBatchKernel(false);
    RunToTheEnd(one);

    IteratorTest searched{IteratorTest::Detached{}};
    ConfigureSearch(searched, baseline, rows, kMaxPower, 4000.0f, 7000.0f);
    IteratorSearch search(searched, std::get<0>(GetParam()));
    search.SetBatchKernel(std::get<1>(GetParam()));
    RunToTheEnd(search);

    EXPECT_GT(one.GetFailedTests(), 0);
    EXPECT_EQ(search.GetTestOrder(), one.GetTestOrder());
    EXPECT_EQ(search.GetFailedTests(), one.GetFailedTests());
    ASSERT_EQ(search.GetBestHistory().size(), one.GetBestHistory().size());
    for (std::size_t i = 0; i < one.GetBestHistory().size(); ++i) {
        EXPECT_EQ(search.GetBestHistory()[i].testsRun, one.GetBestHistory()[i].testsRun);
        EXPECT_EQ(Bits(search.GetBestHistory()[i].score), Bits(one.GetBestHistory()[i].score));
    }
    ExpectSameKeptResults(reference, searched);
    ExpectEveryTestOnce(search);
}

INSTANTIATE_TEST_SUITE_P(ThreadsAndKernels, IteratorSearchRunners,
                         testing::Values(SearchRunner{1, true}, SearchRunner{2, true},
                                         SearchRunner{3, false}),
                         [](const testing::TestParamInfo<SearchRunner>& info) {
                             return std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_Batch" : "_OneEngine");
                         });

TEST_F(IteratorSearchTest, ABudgetStopsAfterExactlyThatManyTestsTheFirstOnesOfTheWholeSearch)
{
    const auto rows = {Sweep(kItrIvc, baseline, 40.0f, 100.0f, 1.0f),
                       Sweep(kItrEvo, baseline, 40.0f, 100.0f, 1.0f)};
    IteratorTest iterator{IteratorTest::Detached{}};
    ConfigureSearch(iterator, baseline, rows);
    IteratorSearch search(iterator, 2);
    RunToTheEnd(search);
    const std::vector<std::int64_t> whole = search.GetTestOrder();
    EXPECT_FALSE(search.ReachedBudget());

    // Within the lattice (not a whole batch), and within the climbs.
    for (const std::int64_t budget : {std::int64_t{37}, static_cast<std::int64_t>(whole.size()) - 5}) {
        SCOPED_TRACE(budget);
        ConfigureSearch(iterator, baseline, rows);
        RunToTheEnd(search, budget);
        EXPECT_TRUE(search.ReachedBudget());
        EXPECT_EQ(search.GetTestsRun(), budget);
        const std::vector<std::int64_t>& order = search.GetTestOrder();
        EXPECT_TRUE(std::equal(order.begin(), order.end(), whole.begin()));
        EXPECT_FALSE(search.RunBatch());
        // The kept results are among the tests run, each its own run.
        for (int i = 0; i < iterator.GetKeptCount(); ++i)
            EXPECT_NE(std::find(order.begin(), order.end(), iterator.GetBestTestNumber(i)), order.end());
        ExpectKeptResultsAreTheirOwnRuns(iterator, baseline);
    }

    // A budget the search does not need changes nothing.
    ConfigureSearch(iterator, baseline, rows);
    RunToTheEnd(search, static_cast<std::int64_t>(whole.size()) + 1);
    EXPECT_FALSE(search.ReachedBudget());
    EXPECT_EQ(search.GetTestOrder(), whole);
}

TEST_F(IteratorSearchTest, ASmallBudgetOnAHugeGridSeesItsFarCornersAndKeepsTestNumbersPastTwoToThe31)
{
    // 101 x 101 x 41 x 101 x 61 = 2,580,825,341 combinations; the lattice
    // starts with its 32 corners.
    IteratorTest iterator{IteratorTest::Detached{}};
    ConfigureSearch(
        iterator, baseline,
        {Sweep(kItrBore, baseline, 3.5f, 4.5f, 0.01f), Sweep(kItrStroke, baseline, 3.0f, 4.0f, 0.01f),
         Sweep(kItrCompression, baseline, 8.0f, 12.0f, 0.1f), Sweep(kItrIvc, baseline, 20.0f, 120.0f, 1.0f),
         Sweep(kItrEvo, baseline, 40.0f, 100.0f, 1.0f)});
    IteratorSearch search(iterator, 2);
    RunToTheEnd(search, 32);
    ASSERT_EQ(search.GetGridSize(), std::int64_t{101} * 101 * 41 * 101 * 61);
    const SearchGrid grid(iterator);
    for (std::int64_t test : search.GetTestOrder()) {
        for (int k = 0; k < grid.Dimensions(); ++k) {
            const std::int32_t step = grid.PointOf(test)[std::size_t(k)];
            EXPECT_TRUE(step == 0 || step == grid.Steps(k) - 1) << test;
        }
    }
    std::int64_t highest = 0;
    for (int i = 0; i < iterator.GetKeptCount(); ++i)
        highest = std::max(highest, iterator.GetBestTestNumber(i));
    EXPECT_GT(highest, std::numeric_limits<std::int32_t>::max());
    ExpectKeptResultsAreTheirOwnRuns(iterator, baseline);
}

TEST(IteratorSearchKeptSlots, PlaceTiedScoresInTheSlotsTheSeriesGivesThem)
{
    // Scores from a handful of values, so that ties with the weakest and
    // replacements among equal lowest scores happen again and again.
    RecordingPresenter quiet;
    CTorqDoc baseline;
    ASSERT_TRUE(BuildChevy350(baseline));
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 16;
    };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        IteratorTest iterator{IteratorTest::Detached{}};
        Configure(iterator, baseline, {Sweep(kItrIvc, baseline, 60.0f, 61.0f, 1.0f)});
        const int length = 3 + static_cast<int>(next() % 40);
        std::vector<float> scores;
        for (int t = 0; t < length; ++t) {
            scores.push_back(100.0f + static_cast<float>(next() % 5));
            IteratorTest::TestOutcome outcome;
            outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
            for (int point = 0; point < kResultPointCount; ++point) {
                outcome.results[kSeriesEngineSpeed - 1][std::size_t(point)] = 2000.0f + 500.0f * float(point);
                outcome.results[kSeriesPower - 1][std::size_t(point)] = point == 7 ? scores.back() : 1.0f;
            }
            bool isNewBest = false;
            iterator.FinishTest({60.0f}, t + 1, outcome, isNewBest);
        }
        const std::vector<std::size_t> slots = IteratorSearch::KeptSlots(scores);
        ASSERT_EQ(static_cast<int>(slots.size()), iterator.GetKeptCount());
        for (std::size_t i = 0; i < slots.size(); ++i)
            EXPECT_EQ(static_cast<std::int64_t>(slots[i]) + 1, iterator.GetBestTestNumber(int(i)));
    }
}
