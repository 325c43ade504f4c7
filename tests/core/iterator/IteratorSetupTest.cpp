#include "iterator/IteratorSetup.h"

#include "EngineBuilds.h"
#include "IteratorTestHelpers.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

namespace {

constexpr EngineCommand kAutoValveLift = EngineCommand::AutoValveLift;

class IteratorSetupChecks : public testing::Test {
protected:
    void SetUp() override
    {
        BuildChevy350(baseline);
        setup.Reset();
        setup.baseline = &baseline;
        open.Add(&baseline);
    }

    // A used row with the given number of steps, as the dialog would have counted them.
    IterationParam Row(IterationDataType type, std::int32_t steps)
    {
        IterationParam slot;
        slot.ChooseDataType(type, baseline);
        slot.numberOfSteps = steps;
        return slot;
    }

    RecordingPresenter presenter;
    CTorqDoc baseline;
    IteratorSetup setup;
    DocumentList open;
};

}  // namespace

TEST_F(IteratorSetupChecks, TheChecksRunInOrderAndTheFirstFailureWins)
{
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorTooFewTests);  // no row in use
    setup.params[0].ChooseDataType(kItrBore, baseline);
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorTooFewSteps);  // just chosen: no steps yet
    // 17,321 x 17,321 = 300,017,041 passes the ceiling at row 2, before the
    // duplicate in row 3 and the row without steps in row 4 are reached.
    setup.params[0] = Row(kItrIvo, 17321);
    setup.params[1] = Row(kItrIvc, 17321);
    setup.params[2] = Row(kItrIvo, 2);
    setup.params[3] = Row(kItrEvo, 1);
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorTooManyTests);
    setup.params[0] = Row(kItrIvo, 15000);  // 15,000 x 20,000 is the ceiling itself: allowed
    setup.params[1] = Row(kItrIvc, 20000);
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorDataTypeDuplicated);
    setup.params[2].Clear();
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorTooFewSteps);
    setup.params[3] = Row(kItrEvo, 2);
    setup.params[0] = Row(kItrIvo, 2);
    setup.minRpm = 6000.0f;
    setup.maxRpm = 6000.0f;
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorRpmRangeInverted);
    setup.maxRpm = 6500.0f;
    EXPECT_EQ(CheckSetup(setup), Msg::None);
    baseline.Cam().NominalIvc().MarkUnset();
    EXPECT_EQ(CheckSetup(setup), Msg::IteratorBaselineRequired);  // the baseline first of all
}

TEST_F(IteratorSetupChecks, AnEngineThatSizesItsOwnValvesCannotBeTheBaseline)
{
    EXPECT_EQ(CheckBaselineChoice(baseline), Msg::None);
    baseline.Apply(kAutoValveLift);
    EXPECT_EQ(CheckBaselineChoice(baseline), Msg::IteratorAutoSizesOn);
    CTorqDoc turbo;
    BuildTurboFour(turbo);
    turbo.Cam().SetAutoValveLift(false);
    ASSERT_TRUE(turbo.IsAutoValveSizes());
    EXPECT_EQ(CheckBaselineChoice(turbo), Msg::IteratorAutoSizesOn);
}

TEST_F(IteratorSetupChecks, ApplyingConfiguresTheIteratorAndReadingBackNeedsTheBaselineOpen)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    setup.params[1] = Sweep(kItrIvc, baseline, 60.0f, 64.0f, 1.0f);
    setup.params[4] = Sweep(kItrBore, baseline, 4.0f, 4.1f, 0.03f);
    setup.criterion = kMaxTorque;
    setup.minRpm = 3000.0f;
    ASSERT_EQ(CheckSetup(setup), Msg::None);
    ApplySetup(iterator, setup);
    EXPECT_EQ(iterator.GetBaseline(), &baseline);
    EXPECT_EQ(iterator.GetTotalTests(), 25);
    ErrorCode code = 0;
    EXPECT_TRUE(iterator.IsReady(code));

    IteratorSetup again = IteratorSetup::FromIterator(iterator, open);
    EXPECT_EQ(again.baseline, &baseline);
    EXPECT_EQ(again.params[4].numberOfSteps, 5);
    open.Remove(&baseline);
    again = IteratorSetup::FromIterator(iterator, open);
    EXPECT_EQ(again.baseline, nullptr);
    EXPECT_EQ(again.params[1].dataType, kItrNone);
    EXPECT_EQ(again.criterion, kMaxTorque);  // criterion and band are copied in either case
    EXPECT_EQ(again.minRpm, 3000.0f);

    again.Reset();  // OK without a baseline clears the iterator
    ApplySetup(iterator, again);
    EXPECT_EQ(iterator.GetBaseline(), nullptr);
    EXPECT_EQ(iterator.GetTotalTests(), 0);
}
