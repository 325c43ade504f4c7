#include "iterator/IteratorRunner.h"

#include "model/SimInterface.h"

#include "CycleSteps.h"
#include "EngineBuilds.h"
#include "IteratorTestHelpers.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// What a series exercised of the rules, so that a test can insist on it.
struct SeriesFacts {
    int failed = 0;               // tests without results
    int tiesRefused = 0;          // tests that tied with the weakest of ten and were not kept
    int replacedAmongEquals = 0;  // replacements while several kept results shared the lowest score
};

// Threads, and whether they run the batch kernel (several engines in SIMD
// lanes) or one engine run per test.
using RunnerSetup = std::tuple<int, bool>;

class ParallelRun : public testing::TestWithParam<RunnerSetup> {
protected:
    // Runs the series with the parameter's thread count and kernel in
    // batches of the given sizes (cycled) and beside it a reference of single
    // RunNextTest calls, as many per batch. After every batch both must agree
    // in every field, in what RunTests reports and in the messages shown.
    SeriesFacts RunBothAndCompare(const std::function<void(IteratorTest&)>& configure,
                                  std::vector<int> batchSizes)
    {
        IteratorTest reference{IteratorTest::Detached{}};
        IteratorTest batched{IteratorTest::Detached{}};
        configure(reference);
        configure(batched);
        IteratorRunner runner(batched, std::get<0>(GetParam()));
        runner.SetBatchKernel(std::get<1>(GetParam()));
        SeriesFacts facts;
        for (std::size_t call = 0; !reference.IsDone() && !HasFailure(); ++call) {
            const int maxTests = batchSizes[call % batchSizes.size()];
            presenter.Clear();
            IteratorRunner::Batch expected;
            for (int i = 0; i < maxTests && !reference.IsDone(); ++i) {
                const bool full = reference.GetKeptCount() == kBestResultCount;
                const float lowest = reference.GetLowestKeptScore();
                int sharingLowest = 0;
                for (int k = 0; k < reference.GetKeptCount(); ++k)
                    sharingLowest += reference.GetBestScore(k) == lowest;
                const int before = reference.GetTestsRun();
                bool isNewBest = false;
                const bool simulated = reference.RunNextTest(isNewBest);
                expected.testsIssued += reference.GetTestsRun() - before;
                expected.testsSimulated += simulated;
                expected.newBest = expected.newBest || isNewBest;
                facts.failed += reference.GetTestsRun() != before && !simulated;
                facts.tiesRefused += simulated && full && !isNewBest && reference.Score() == lowest;
                facts.replacedAmongEquals += simulated && full && isNewBest && sharingLowest > 1;
            }
            const std::vector<int> referenceMessages = presenter.Codes();
            presenter.Clear();
            const IteratorRunner::Batch batch = runner.RunTests(maxTests);
            EXPECT_EQ(presenter.Codes(), referenceMessages);
            EXPECT_EQ(batch.testsIssued, expected.testsIssued);
            EXPECT_EQ(batch.testsSimulated, expected.testsSimulated);
            EXPECT_EQ(batch.newBest, expected.newBest);
            ExpectSameSeries(reference, batched);
            // A tick between batches must follow its slot through later replacements alike.
            if (call == 1 && reference.GetKeptCount() > 2) {
                reference.SetKeepFlag(2, true);
                batched.SetKeepFlag(2, true);
            }
        }
        EXPECT_TRUE(batched.IsDone());
        return facts;
    }

    RecordingPresenter presenter;
};

}  // namespace

TEST_P(ParallelRun, ACamSweepWithUnsolvableLobesAndTiedScoresKeepsWhatTheSequentialRunKeeps)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    const auto configure = [&](IteratorTest& iterator) {
        Configure(iterator, baseline, CamSweepWithFailuresAndTies(baseline));
    };
    const SeriesFacts facts = RunBothAndCompare(configure, {1, 7, 1000});
    // The sweep must really exercise what the comparison is about.
    EXPECT_GT(facts.failed, 0);
    EXPECT_GT(facts.tiesRefused, 0);
    EXPECT_GT(facts.replacedAmongEquals, 0);
}

TEST_P(ParallelRun, AMetricBoreAndCompressionSweepClearsTheCalculatorResultsAsTheSequentialRunDoes)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    baseline.SetUnitSystem(kMetricUnits);
    baseline.SetCompressionFromCalculator(true);
    const auto configure = [&](IteratorTest& iterator) {
        Configure(iterator, baseline,
                  {Sweep(kItrBore, baseline, 100.0f, 102.0f, 0.5f),
                   Sweep(kItrCompression, baseline, 9.5f, 10.5f, 0.5f)},
                  kMaxTorque, 2000.0f, 6000.0f);
    };
    RunBothAndCompare(configure, {4, 1000});
}

TEST_P(ParallelRun, AFractionalExhaustOpeningSweepMixesCycleLengthsAndFailuresInTheSameLanes)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    // 12 x 2 x 2 = 48 tests. EVO in steps of 1.3 degrees: the cycles of
    // neighbouring tests take different numbers of crank steps. The 1.2 in
    // intake lift cannot be ground on these intake lobes, and as the lift
    // changes fastest, failing and running engines alternate in the lanes.
    const auto configure = [&](IteratorTest& iterator) {
        Configure(
            iterator, baseline,
            {Sweep(kItrEvo, baseline, 60.0f, 74.3f, 1.3f), Sweep(kItrIvc, baseline, 40.0f, 70.0f, 30.0f),
             Sweep(kItrIntakeLift, baseline, 0.5f, 1.2f, 0.7f)},
            kMaxPower, 4000.0f, 7000.0f);
    };
    std::set<std::vector<int>> stepCounts;
    for (int k = 0; k < 12; ++k) {
        CTorqDoc engine;
        baseline.CopyTo(engine);
        engine.Cam().NominalEvo().SetValue(60.0f + 1.3f * static_cast<float>(k));
        SimInputs in{};
        SimInterface::FillInputs(engine, in);
        stepCounts.insert(CycleStepCounts(in));
    }
    EXPECT_GT(stepCounts.size(), 1u);
    const SeriesFacts facts = RunBothAndCompare(configure, {5, 1000});
    EXPECT_GT(facts.failed, 0);
    EXPECT_LT(facts.failed, 48);
}

INSTANTIATE_TEST_SUITE_P(Threads, ParallelRun, testing::Combine(testing::Values(1, 2, 3, 8), testing::Bool()),
                         [](const testing::TestParamInfo<RunnerSetup>& info) {
                             return std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_Batch" : "_OneEngine");
                         });

TEST(IteratorRunner, ABatchStopsAtItsSizeAndTheThreadCountMayChangeBetweenBatches)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    IteratorTest reference{IteratorTest::Detached{}};
    IteratorTest batched{IteratorTest::Detached{}};
    for (IteratorTest* iterator : {&reference, &batched}) {
        Configure(*iterator, baseline,
                  {Sweep(kItrEvc, baseline, 20.0f, 40.0f, 2.0f),
                   Sweep(kItrExhaustLift, baseline, 0.45f, 0.55f, 0.05f)});
    }
    bool isNewBest = false;
    while (!reference.IsDone()) reference.RunNextTest(isNewBest);
    ASSERT_EQ(reference.GetTestsRun(), 33);

    IteratorRunner runner(batched);
    EXPECT_EQ(runner.GetThreadCount(), IteratorRunner::HardwareThreadCount());
    EXPECT_TRUE(runner.UsesBatchKernel());
    runner.SetThreadCount(3);
    EXPECT_EQ(runner.RunTests(10).testsIssued, 10);
    runner.SetThreadCount(1);
    runner.SetBatchKernel(false);
    EXPECT_EQ(runner.RunTests(5).testsIssued, 5);
    runner.SetThreadCount(2);
    runner.SetBatchKernel(true);
    EXPECT_EQ(runner.RunTests(18).testsIssued, 18);
    // All 33 issued; as after 33 RunNextTest calls, the next call finds the series done.
    EXPECT_FALSE(batched.IsDone());
    EXPECT_EQ(runner.RunTests(5).testsIssued, 0);
    EXPECT_TRUE(batched.IsDone());
    ExpectSameSeries(reference, batched);
}
