#include "study/SearchPacer.h"

#include "iterator/IteratorSetup.h"

#include "EngineBuilds.h"
#include "IteratorSeries.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

namespace {

constexpr double kSecondsPerTest = 0.001;

// A clock that runs secondsPerTest for every test the search has run, plus
// whatever time the caller spends between slices (idle).
struct SimulatedClock {
    const IteratorSearch* search = nullptr;
    double secondsPerTest = kSecondsPerTest;
    double idle = 0.0;
    double operator()() const { return double(search->GetTestsRun()) * secondsPerTest + idle; }
};

std::uint32_t Bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

class PacedSearch : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildChevy350(baseline));
        // 31 x 31 x 8 = 7688 combinations, the longest lifts failing.
        setup.Reset();
        setup.baseline = &baseline;
        setup.params[0] = Sweep(kItrIvc, baseline, 50.0f, 80.0f, 1.0f);
        setup.params[1] = Sweep(kItrEvo, baseline, 50.0f, 80.0f, 1.0f);
        setup.params[2] = Sweep(kItrIntakeLift, baseline, 0.5f, 1.2f, 0.1f);
        setup.minRpm = 4000.0f;
        setup.maxRpm = 7000.0f;
    }

    RecordingPresenter presenter;
    CTorqDoc baseline;
    IteratorSetup setup;
};

}  // namespace

TEST_F(PacedSearch, SlicesLastAboutTheTargetAndAHaltedSearchGoesOnToTheSameEnd)
{
    IteratorTest whole{IteratorTest::Detached{}};
    ApplySearchSetup(whole, setup);
    IteratorSearch reference(whole, 2);
    ASSERT_TRUE(reference.Start());
    while (reference.RunBatch()) {
    }

    IteratorTest paced{IteratorTest::Detached{}};
    ApplySearchSetup(paced, setup);
    IteratorSearch search(paced, 2);
    SimulatedClock clock{&search};
    SearchPacer pacer(search, std::ref(clock));
    pacer.SetSliceTarget(0.040);
    ASSERT_TRUE(search.Start());
    pacer.StartTiming();
    std::vector<std::int64_t> slices;
    bool halted = false;
    while (!search.IsDone()) {
        slices.push_back(pacer.RunSlice());
        ASSERT_LT(slices.size(), 1000u);
        clock.idle += 0.010;  // drawing
        if (!halted && search.GetTestsRun() > reference.GetTestsRun() / 2) {
            // Halt: the kept results of the tests so far, ticked as the user likes.
            search.KeepResults();
            EXPECT_EQ(paced.GetKeptCount(), kBestResultCount);
            paced.SetKeepFlag(3, true);
            halted = true;
            clock.idle += 30.0;
            pacer.StartTiming();
        }
    }
    ASSERT_TRUE(halted);
    EXPECT_EQ(pacer.RunSlice(), 0);
    // 40 tests fill a 40 ms slice; a slice ends after the batch that passes it.
    for (std::size_t i = 0; i + 1 < slices.size(); ++i) EXPECT_GE(slices[i], 40) << "slice " << i;
    // The pace since the halt: 1000 tests a second while running, the
    // drawing between slices taking its share.
    EXPECT_GT(pacer.GetShareBetweenSlices(), 0.05);
    EXPECT_LT(pacer.GetTestsPerSecond(), 1000.0);
    EXPECT_GT(pacer.GetTestsPerSecond(), 500.0);

    EXPECT_EQ(search.GetTestOrder(), reference.GetTestOrder());
    ASSERT_EQ(paced.GetKeptCount(), whole.GetKeptCount());
    for (int i = 0; i < whole.GetKeptCount(); ++i) {
        EXPECT_EQ(paced.GetBestTestNumber(i), whole.GetBestTestNumber(i)) << "No. " << i + 1;
        EXPECT_EQ(Bits(paced.GetBestScore(i)), Bits(whole.GetBestScore(i))) << "No. " << i + 1;
        EXPECT_EQ(paced.GetBestPower(i), whole.GetBestPower(i)) << "No. " << i + 1;
    }
    // The tick stays with its slot, as a series leaves it.
    EXPECT_TRUE(paced.GetKeepFlag(3));
}

TEST_F(PacedSearch, AForgottenSearchStartsOverAndTheLatestResultsAreTheLastTestsThatRan)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    ApplySearchSetup(iterator, setup);
    IteratorSearch search(iterator, 2);
    EXPECT_FALSE(search.IsStarted());
    ASSERT_TRUE(search.Start(300));
    while (search.RunBatch()) {
    }
    EXPECT_TRUE(search.IsDone());
    ASSERT_TRUE(search.GetLatestResults().has_value());
    // The last test that gave results, run alone.
    const SearchGrid grid(iterator);
    const std::vector<std::int64_t>& order = search.GetTestOrder();
    bool found = false;
    for (auto test = order.rbegin(); test != order.rend() && !found; ++test) {
        CTorqDoc alone;
        baseline.CopyTo(alone);
        iterator.ApplyValues(alone, grid.Values(grid.PointOf(*test)));
        const StudyRunner::Outcome outcome = StudyRunner::RunAlone(alone);
        if (outcome.kind != StudyRunner::Outcome::Kind::Simulated) continue;
        EXPECT_EQ(outcome.results, *search.GetLatestResults());
        found = true;
    }
    EXPECT_TRUE(found);
    const std::vector<std::int64_t> first = order;

    search.Forget();
    EXPECT_FALSE(search.IsStarted());
    EXPECT_FALSE(search.IsDone());
    EXPECT_EQ(search.GetTestsRun(), 0);
    EXPECT_FALSE(search.HasBest());
    EXPECT_FALSE(search.GetLatestResults().has_value());
    EXPECT_EQ(iterator.GetKeptCount(), kBestResultCount);  // the kept results stay
    ASSERT_TRUE(search.Start(300));
    while (search.RunBatch()) {
    }
    EXPECT_EQ(search.GetTestOrder(), first);
}
