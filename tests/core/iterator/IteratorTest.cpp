#include "iterator/Iterator.h"

#include "EngineBuilds.h"
#include "IteratorTestHelpers.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

constexpr Choice kTimingFiftyLift = NamedChoice::kFiftyLiftTiming;

ResultSeriesValues Filled(float value)
{
    ResultSeriesValues series{};
    series.fill(value);
    return series;
}

class IteratorModel : public testing::Test {
protected:
    void SetUp() override
    {
        BuildChevy350(baseline);
        open.Add(&baseline);
    }

    // Issues the next combination and hands back a made-up simulation.
    bool FinishWith(const ResultSeriesValues& power, const ResultSeriesValues& torque, bool& isNewBest)
    {
        CombinationValues values;
        std::int32_t testNumber = 0;
        EXPECT_TRUE(iterator.IssueNextTest(values, testNumber));
        IteratorTest::TestOutcome outcome;
        outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
        for (int i = 0; i < kResultPointCount; ++i)
            outcome.results[kSeriesEngineSpeed - 1][i] = 2000.0f + 500.0f * i;
        outcome.results[kSeriesPower - 1] = power;
        outcome.results[kSeriesTorque - 1] = torque;
        return iterator.FinishTest(values, testNumber, outcome, isNewBest);
    }

    // A series of 16 tests whose outcomes the test makes up.
    void ConfigureSixteenTests(int criterion = kMaxPower, float minRpm = 2000.0f, float maxRpm = 11000.0f)
    {
        Configure(iterator, baseline, {Sweep(kItrIvc, baseline, 50.0f, 65.0f, 1.0f)}, criterion, minRpm,
                  maxRpm);
        ASSERT_EQ(iterator.GetTotalTests(), 16);
    }

    RecordingPresenter presenter;
    CTorqDoc baseline;
    DocumentList open;
    IteratorTest iterator{IteratorTest::Detached{}};
};

}  // namespace

TEST_F(IteratorModel, FourToFourPointOneByPointZeroThreeRunsFiveTestsKeptInTestOrder)
{
    Configure(iterator, baseline, {Sweep(kItrBore, baseline, 4.00f, 4.10f, 0.03f)});
    ASSERT_EQ(iterator.GetTotalTests(), 5);
    bool isNewBest = false;
    std::vector<int> percents;
    while (iterator.RunNextTest(isNewBest)) percents.push_back(iterator.GetProgressPercent());
    EXPECT_EQ(percents, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_TRUE(iterator.IsDone());
    EXPECT_FALSE(iterator.RunNextTest(isNewBest));
    EXPECT_EQ(iterator.GetTestsRun(), 5);

    // Accumulated in 32-bit floats, ending on Max Value itself.
    const float expected[] = {4.00f, 4.00f + 0.03f, 4.00f + 0.03f + 0.03f, 4.00f + 0.03f + 0.03f + 0.03f,
                              4.10f};
    ASSERT_EQ(iterator.GetKeptCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(iterator.GetBestTestNumber(i), i + 1);
        EXPECT_EQ(iterator.GetBestEngine(i).Bore().GetValue(), expected[i]);
        EXPECT_GT(iterator.GetBestScore(i), 300.0f);
    }
    EXPECT_EQ(iterator.GetWorkingPower(), iterator.GetBestPower(4));  // the last test's results
    EXPECT_EQ(baseline.Bore().GetValue(), 4.0f);                      // never changed
    EXPECT_TRUE(presenter.Messages().empty());
}

TEST_F(IteratorModel, TheLastSlotChangesFastestAndACarryPassesThroughTheMiddle)
{
    Configure(
        iterator, baseline,
        {Sweep(kItrBore, baseline, 4.0f, 4.01f, 0.01f), Sweep(kItrStroke, baseline, 3.4f, 3.42f, 0.01f)});
    ASSERT_EQ(iterator.GetTotalTests(), 6);
    bool isNewBest = false;
    while (!iterator.IsDone()) iterator.RunNextTest(isNewBest);
    ASSERT_EQ(iterator.GetKeptCount(), 6);
    const float strokes[] = {3.4f, 3.4f + 0.01f, 3.42f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(iterator.GetBestEngine(i).Bore().GetValue(), i < 3 ? 4.0f : 4.01f) << "test " << i + 1;
        EXPECT_EQ(iterator.GetBestEngine(i).Stroke().GetValue(), strokes[i % 3]) << "test " << i + 1;
    }

    Configure(iterator, baseline,
              {Sweep(kItrIvo, baseline, 30, 31, 1), Sweep(kItrIvc, baseline, 60, 61, 1),
               Sweep(kItrEvo, baseline, 60, 62, 1)});
    std::vector<std::vector<float>> issued;
    CombinationValues values;
    std::int32_t number = 0;
    while (iterator.IssueNextTest(values, number)) issued.push_back({values[0], values[1], values[2]});
    std::vector<std::vector<float>> expected;
    for (float ivo : {30, 31}) {
        for (float ivc : {60, 61}) {
            for (float evo : {60, 61, 62}) expected.push_back({ivo, ivc, evo});
        }
    }
    EXPECT_EQ(issued, expected);
    EXPECT_EQ(iterator.GetTestsRun(), 12);
}

TEST_F(IteratorModel, AfterTenAreKeptATieWithTheWeakestIsNotKeptAndABetterOneReplacesTheFirstWeakest)
{
    ConfigureSixteenTests();
    bool isNewBest = false;
    for (float score : {5.0f, 3.0f, 7.0f, 3.0f, 9.0f, 8.0f, 3.0f, 6.0f, 4.0f, 10.0f}) {
        EXPECT_TRUE(FinishWith(Filled(score), Filled(1.0f), isNewBest));
        EXPECT_TRUE(isNewBest);  // the first ten are kept whatever they score
    }
    EXPECT_EQ(iterator.GetLowestKeptIndex(), 1);  // the first of three 3s
    iterator.SetKeepFlag(1, true);

    EXPECT_TRUE(FinishWith(Filled(3.0f), Filled(1.0f), isNewBest));  // test 11 ties: not kept
    EXPECT_FALSE(isNewBest);
    EXPECT_TRUE(FinishWith(Filled(4.0f), Filled(1.0f), isNewBest));  // test 12 takes slot 1
    EXPECT_TRUE(isNewBest);
    EXPECT_TRUE(iterator.GetKeepFlag(1));  // the tick stays with the slot
    EXPECT_EQ(iterator.GetBestEngine(1).Cam().NominalIvc().GetValue(), 61.0f);
    FinishWith(Filled(3.5f), Filled(1.0f), isNewBest);   // test 13 takes slot 3
    FinishWith(Filled(20.0f), Filled(1.0f), isNewBest);  // test 14 takes slot 6
    EXPECT_EQ(iterator.GetLowestKeptIndex(), 3);
    EXPECT_EQ(iterator.GetLowestKeptScore(), 3.5f);
    const int tests[] = {1, 12, 3, 13, 5, 6, 14, 8, 9, 10};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(iterator.GetBestTestNumber(i), tests[i]) << "No. " << i + 1;
}

TEST_F(IteratorModel, TheScoreIsThePeakInsideTheBandAndNeverBelowZero)
{
    ConfigureSixteenTests(kMaxPower, 3000.0f, 5000.0f);
    bool isNewBest = false;
    FinishWith(Filled(-50.0f), Filled(100.0f), isNewBest);
    EXPECT_EQ(iterator.GetBestScore(0), 0.0f);
    ResultSeriesValues power = Filled(10.0f);
    power[1] = 400.0f;  // 2500 rpm: outside
    power[2] = 30.0f;   // 3000 rpm: the band's lower end counts
    power[6] = 50.0f;   // 5000 rpm: so does its upper end
    power[7] = 500.0f;  // 5500 rpm: outside
    FinishWith(power, Filled(1.0f), isNewBest);
    EXPECT_EQ(iterator.GetBestScore(1), 50.0f);

    ConfigureSixteenTests(kMaxTorque);
    FinishWith(Filled(900.0f), power, isNewBest);
    EXPECT_EQ(iterator.GetBestScore(0), 500.0f);
}

TEST_F(IteratorModel, APeakOnTheBandsLowerEdgeIsTheScoreAndOneJustBelowItIsNot)
{
    // 3000 rpm is both a speed point and the band's lower edge: the point
    // counts, the one 500 rpm below does not.
    ResultSeriesValues curve = Filled(10.0f);
    curve[1] = 400.0f;  // 2500 rpm: outside
    curve[2] = 60.0f;   // 3000 rpm: the highest inside the band
    bool isNewBest = false;
    ConfigureSixteenTests(kMaxPower, 3000.0f, 5000.0f);
    FinishWith(curve, Filled(1.0f), isNewBest);
    EXPECT_EQ(iterator.GetBestScore(0), 60.0f);
    ConfigureSixteenTests(kMaxTorque, 3000.0f, 5000.0f);
    FinishWith(Filled(900.0f), curve, isNewBest);
    EXPECT_EQ(iterator.GetBestScore(0), 60.0f);
}

TEST_F(IteratorModel, ATestWithoutResultsIsCountedAndTheSeriesGoesOn)
{
    // Intake lifts of 1.15 in and more cannot be ground on this short a lobe: skipped silently.
    Configure(
        iterator, baseline,
        {Sweep(kItrIvc, baseline, 60.0f, 61.0f, 1.0f), Sweep(kItrIntakeLift, baseline, 1.10f, 1.20f, 0.05f)});
    bool isNewBest = false;
    EXPECT_TRUE(iterator.RunNextTest(isNewBest));
    EXPECT_FALSE(iterator.RunNextTest(isNewBest));
    EXPECT_EQ(iterator.GetTestsRun(), 2);
    EXPECT_EQ(iterator.GetWorkingPower(), Filled(0.0f));
    while (!iterator.IsDone()) iterator.RunNextTest(isNewBest);
    EXPECT_EQ(iterator.GetKeptCount(), 2);
    EXPECT_EQ(iterator.GetBestTestNumber(1), 4);
    EXPECT_TRUE(presenter.Messages().empty());

    // An engine that fails validation shows its message and keeps no results.
    ConfigureSixteenTests();
    FinishWith(Filled(100.0f), Filled(1.0f), isNewBest);
    CombinationValues values;
    std::int32_t number = 0;
    ASSERT_TRUE(iterator.IssueNextTest(values, number));
    IteratorTest::TestOutcome invalid;
    invalid.kind = IteratorTest::TestOutcome::Kind::InvalidEngine;
    invalid.validationCode = Msg::CamIvcRequired;
    EXPECT_FALSE(iterator.FinishTest(values, number, invalid, isNewBest));
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::CamIvcRequired});
    EXPECT_EQ(iterator.GetWorkingPower(), Filled(0.0f));
    EXPECT_EQ(iterator.GetKeptCount(), 1);
}

TEST_F(IteratorModel, SweepingBoreClearsTheCalculatorResultsWithoutAQuestion)
{
    baseline.SetCompressionFromCalculator(true);
    bool isNewBest = false;
    Configure(iterator, baseline, {Sweep(kItrIvc, baseline, 60.0f, 61.0f, 1.0f)});
    iterator.RunNextTest(isNewBest);
    EXPECT_TRUE(iterator.GetWorkingEngine().IsCompressionFromCalculator());
    Configure(iterator, baseline, {Sweep(kItrBore, baseline, 4.0f, 4.01f, 0.01f)});
    iterator.RunNextTest(isNewBest);
    EXPECT_FALSE(iterator.GetBestEngine(0).IsCompressionFromCalculator());
    EXPECT_TRUE(presenter.Messages().empty());
    EXPECT_TRUE(baseline.IsCompressionFromCalculator());
}

TEST_F(IteratorModel, ReadinessAndTheRegisteredBaseline)
{
    ErrorCode code = 0;
    EXPECT_FALSE(iterator.IsReady(code));
    EXPECT_EQ(code, Msg::IteratorBaselineRequired);
    iterator.SetBaseline(&baseline);
    EXPECT_FALSE(iterator.IsReady(code));  // no series prepared
    EXPECT_EQ(code, Msg::IteratorTooFewTests);

    CTorqDoc incomplete;
    iterator.SetBaseline(&incomplete);
    EXPECT_EQ(presenter.Codes(),
              std::vector<int>{Msg::BoreStrokeSelectionRequired});  // no short block; the baseline stays
    EXPECT_EQ(iterator.GetBaselineNumber(), baseline.GetDocumentNumber());

    Configure(iterator, baseline, {Sweep(kItrBore, baseline, 4.0f, 4.01f, 0.01f)}, kMaxTorque, 3000.0f,
              6000.0f);
    EXPECT_TRUE(iterator.IsReady(code));
    EXPECT_FALSE(iterator.BaselineTimingChanged(open));
    baseline.Apply(kTimingFiftyLift);
    EXPECT_TRUE(iterator.BaselineTimingChanged(open));

    // Closed: gone, and the iterator clears itself.
    open.Remove(&baseline);
    EXPECT_FALSE(iterator.BaselineTimingChanged(open));
    EXPECT_TRUE(iterator.ResetIfBaselineGone(open));
    std::string title;
    EXPECT_FALSE(iterator.GetBaselineTitle(title));
    EXPECT_EQ(title, "(None)");
    EXPECT_EQ(iterator.GetTotalTests(), 0);
    EXPECT_EQ(iterator.GetCriterion(), kMaxPower);
}

TEST_F(IteratorModel, ADocumentOpenedWhereTheBaselineWasIsNotTheBaseline)
{
    std::optional<CTorqDoc> document;
    document.emplace();
    BuildChevy350(*document);
    const CTorqDoc* address = &*document;
    open.Add(address);
    iterator.SetBaseline(address);
    EXPECT_TRUE(iterator.HasOpenBaseline(open));
    document.reset();
    document.emplace();  // the same storage, a new document number
    ASSERT_EQ(&*document, address);
    EXPECT_FALSE(iterator.HasOpenBaseline(open));
    EXPECT_TRUE(iterator.ResetIfBaselineGone(open));
}

TEST_F(IteratorModel, ModelMisuseIsAnInternalConsistencyFailure)
{
    const auto failure = testing::ExitedWithCode(9999 & 0xFF);
    EXPECT_EXIT(iterator.SetScoringBand(2000.0f, 2000.0f), failure, "ASSERTION FAILURE");
    EXPECT_EXIT(iterator.SetScoringBand(2000.0f, 11500.0f), failure, "ASSERTION FAILURE");
    EXPECT_EXIT(iterator.SetSlot(9, IterationParam()), failure, "ASSERTION FAILURE");
    EXPECT_EXIT(iterator.GetBestEngine(0), failure, "ASSERTION FAILURE");
    EXPECT_EXIT(iterator.PrepareRun(), failure, "ASSERTION FAILURE");  // no slot in use
    iterator.SetSlot(0, Sweep(kItrBore, baseline, 4.0f, 4.05f, 0.06f));
    EXPECT_EXIT(iterator.PrepareRun(), failure, "ASSERTION FAILURE");  // a slot without steps
}
