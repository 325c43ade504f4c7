#include "study/StudyRunner.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

namespace {

// Engine i of a chunk: the bore 0.004 in larger per engine, and every
// seventh engine without a bore, so that it does not validate.
constexpr float kBoreStepIn = 0.004f;

bool MakeBoreStep(std::size_t index, CTorqDoc& engine)
{
    if (index % 7 == 6) {
        engine.Bore().MarkUnset();
    } else {
        engine.Bore().SetValue(engine.Bore().GetValue() + kBoreStepIn * static_cast<float>(index));
    }
    engine.Recalculate();
    return true;
}

bool SameBits(const RunSeries& a, const RunSeries& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(RunSeries)) == 0;
}

// Threads, and whether the batch kernel runs several engines side by side.
using RunnerSetup = std::tuple<int, bool>;

class StudyRunnerRun : public testing::TestWithParam<RunnerSetup> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildChevy350(base));
        base.SetAutoRun(false);
    }

    RecordingPresenter presenter;
    CTorqDoc base;
};

TEST_P(StudyRunnerRun, EveryEngineGetsTheResultsOfItsOwnRunToTheBit)
{
    StudyRunner runner(std::get<0>(GetParam()));
    runner.SetBatchKernel(std::get<1>(GetParam()));
    std::vector<StudyRunner::Outcome> outcomes(45);  // more than two batches of lanes, and a remainder
    runner.Run(base, MakeBoreStep, outcomes);

    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        CTorqDoc alone;
        base.CopyTo(alone);
        MakeBoreStep(i, alone);
        const StudyRunner::Outcome expected = StudyRunner::RunAlone(alone);
        ASSERT_EQ(outcomes[i].kind, expected.kind) << "engine " << i;
        EXPECT_EQ(outcomes[i].validationCode, expected.validationCode) << "engine " << i;
        EXPECT_TRUE(SameBits(outcomes[i].results, expected.results)) << "engine " << i;
    }
    EXPECT_EQ(outcomes[6].kind, StudyRunner::Outcome::Kind::InvalidEngine);
    EXPECT_NE(outcomes[6].validationCode, 0);
    EXPECT_EQ(outcomes[44].kind, StudyRunner::Outcome::Kind::Simulated);
    // Silent: a study shows nothing while it runs.
    EXPECT_TRUE(presenter.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(ThreadsAndKernels, StudyRunnerRun,
                         testing::Combine(testing::Values(1, 3), testing::Bool()));

TEST(StudyRunner, AnEngineThatCannotBeMadeIsNotRunAndTheOthersAre)
{
    RecordingPresenter presenter;
    CTorqDoc base;
    ASSERT_TRUE(BuildChevy350(base));
    std::vector<StudyRunner::Outcome> outcomes(3);
    StudyRunner(2).Run(
        base, [](std::size_t index, CTorqDoc&) { return index != 1; }, outcomes);
    EXPECT_EQ(outcomes[0].kind, StudyRunner::Outcome::Kind::Simulated);
    EXPECT_EQ(outcomes[1].kind, StudyRunner::Outcome::Kind::NotMade);
    EXPECT_EQ(outcomes[2].kind, StudyRunner::Outcome::Kind::Simulated);
}

// Results with power p[i] = 100 + i at 2000 + 500 i rpm, torque falling.
RunSeries RisingPower()
{
    RunSeries results{};
    for (int i = 0; i < kResultPointCount; ++i) {
        results[kSeriesEngineSpeed - 1][i] = 2000.0f + 500.0f * static_cast<float>(i);
        results[kSeriesPower - 1][i] = 100.0f + static_cast<float>(i);
        results[kSeriesTorque - 1][i] = 400.0f - static_cast<float>(i);
    }
    return results;
}

TEST(StudyScore, ABandTakesThePointsOnBothOfItsEdges)
{
    const RunSeries results = RisingPower();
    // 4000 to 5000 rpm: the points 4, 5 and 6 (104, 105, 106 hp).
    const SpeedBand band{4000.0f, 5000.0f};
    EXPECT_FLOAT_EQ(StudyScore(results, StudyCriterion::PeakPower, band), 106.0f);
    EXPECT_FLOAT_EQ(StudyScore(results, StudyCriterion::PeakTorque, band), 396.0f);
    EXPECT_FLOAT_EQ(StudyScore(results, StudyCriterion::AveragePower, band), 105.0f);
    // Just inside the edges, the edge points drop out.
    const SpeedBand inner{4000.5f, 4999.5f};
    EXPECT_FLOAT_EQ(StudyScore(results, StudyCriterion::AveragePower, inner), 105.0f);
    EXPECT_FLOAT_EQ(StudyScore(results, StudyCriterion::PeakTorque, inner), 395.0f);
}

TEST(StudyScore, ABandWithoutAPointScoresZero)
{
    EXPECT_EQ(StudyScore(RisingPower(), StudyCriterion::AveragePower, {4100.0f, 4400.0f}), 0.0f);
}

TEST(StudyScore, APeakIsTheFirstOfEqualHighestPointsWithItsSpeed)
{
    RunSeries results = RisingPower();
    results[kSeriesPower - 1][10] = 200.0f;
    results[kSeriesPower - 1][12] = 200.0f;
    const PeakPoint peak = SeriesPeak(results, kSeriesPower);
    EXPECT_EQ(peak.value, 200.0f);
    EXPECT_EQ(peak.rpm, 7000.0f);
}

TEST(StudyScore, CriteriaHaveTheirCommandLineNames)
{
    for (StudyCriterion criterion :
         {StudyCriterion::PeakPower, StudyCriterion::PeakTorque, StudyCriterion::AveragePower}) {
        StudyCriterion parsed = StudyCriterion::PeakPower;
        ASSERT_TRUE(ParseCriterionName(CriterionName(criterion), parsed));
        EXPECT_EQ(parsed, criterion);
    }
    StudyCriterion parsed = StudyCriterion::PeakPower;
    EXPECT_FALSE(ParseCriterionName("peak", parsed));
}

}  // namespace
