#include "model/ValveEventDiagram.h"

#include "model/DocumentCommands.h"
#include "model/SimInterface.h"
#include "model/TorqDoc.h"
#include "sim/ValveGeometry.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

double LiftAt(const std::vector<LiftPoint>& points, double crankDegrees)
{
    const auto found = std::find_if(points.begin(), points.end(), [crankDegrees](const LiftPoint& p) {
        return p.crankDegrees == crankDegrees;
    });
    return found == points.end() ? -1.0 : found->liftIn;
}

}  // namespace

TEST(ValveEventDiagram, AHighPerformanceStreetCamOpensWhereTheModelOpensIt)
{
    // 31 / 67 / 67 / 31 seat to seat, no advance: intake open from 360 - 31 =
    // 329 to 540 + 67 = 607 crank degrees; the exhaust from 180 - 67 + 20 =
    // 133 (the model opens it 20 degrees after the card) to 360 + 31 = 391.
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    const ValveEventDiagram diagram = BuildValveEventDiagram(engine.Cam());
    ASSERT_TRUE(diagram.IsDrawn());
    EXPECT_FLOAT_EQ(diagram.intakeOpening, 329.0);
    EXPECT_FLOAT_EQ(diagram.intakeClosing, 607.0);
    EXPECT_FLOAT_EQ(diagram.exhaustOpening, 133.0);
    EXPECT_FLOAT_EQ(diagram.exhaustClosing, 391.0);
    EXPECT_FLOAT_EQ(diagram.ivoBtdc, 31.0);
    EXPECT_FLOAT_EQ(diagram.ivcAbdc, 67.0);
    EXPECT_FLOAT_EQ(diagram.evoBbdc, 47.0);
    EXPECT_FLOAT_EQ(diagram.evcAtdc, 31.0);
    EXPECT_FLOAT_EQ(diagram.overlapDegrees, 62.0);  // 31 + 31: the cam's own overlap

    // The same events as the cycle model takes from the whole engine.
    SimInputs inputs{};
    SimInterface::FillInputs(engine, inputs);
    const ValveEvents events = ComputeValveEvents(inputs, GetLifterData(LifterOf(inputs)));
    EXPECT_EQ(diagram.intakeOpening, events.intakeOpening);
    EXPECT_EQ(diagram.intakeClosing, events.intakeClosing);
    EXPECT_EQ(diagram.exhaustOpening, events.exhaustOpening);
    EXPECT_EQ(diagram.exhaustClosing, events.exhaustClosing);
}

TEST(ValveEventDiagram, EachValveRisesFromItsSeatToTheFullLiftAtTheNoseAndBack)
{
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    const ValveEventDiagram diagram = BuildValveEventDiagram(engine.Cam(), 1.0);
    ASSERT_TRUE(diagram.IsDrawn());
    // The lobe is solved for the lift typed: 0.500 in at the nose, midway between the events.
    EXPECT_NEAR(diagram.intakeLiftIn, 0.5, 1e-5);
    EXPECT_NEAR(diagram.exhaustLiftIn, 0.5, 1e-5);
    EXPECT_NEAR(LiftAt(diagram.intake, (329.0 + 607.0) / 2), 0.5, 1e-5);
    // On the seat at both ends, and never below it.
    EXPECT_EQ(diagram.intake.front().crankDegrees, 329.0);
    EXPECT_EQ(diagram.intake.back().crankDegrees, 607.0);
    EXPECT_LT(diagram.intake.front().liftIn, 1e-4);
    EXPECT_LT(diagram.intake.back().liftIn, 1e-4);
    for (const LiftPoint& point : diagram.exhaust) EXPECT_GE(point.liftIn, 0.0);
    // The profile is symmetric: 40 crank degrees after the opening lifts as
    // far as 40 before the closing.
    EXPECT_NEAR(LiftAt(diagram.exhaust, 173.0), LiftAt(diagram.exhaust, 351.0), 1e-5);
    // The crank angles rise through the points.
    EXPECT_TRUE(std::is_sorted(
        diagram.intake.begin(), diagram.intake.end(),
        [](const LiftPoint& a, const LiftPoint& b) { return a.crankDegrees < b.crankDegrees; }));
}

TEST(ValveEventDiagram, FiftyThousandthsFiguresOpenTheLobeWiderByTheLiftersAllowance)
{
    // A hydraulic lifter's 0.050-inch figures lie 28 crank degrees inside
    // the seat events at each end.
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    ASSERT_TRUE(ApplyChoices(engine, {NamedChoice::kFiftyLiftTiming}));
    const ValveEventDiagram diagram = BuildValveEventDiagram(engine.Cam());
    ASSERT_TRUE(diagram.IsDrawn());
    EXPECT_FLOAT_EQ(diagram.ivoBtdc, 31.0 + 28.0);
    EXPECT_FLOAT_EQ(diagram.ivcAbdc, 67.0 + 28.0);
    EXPECT_FLOAT_EQ(diagram.overlapDegrees, 62.0 + 2 * 28.0);
}

TEST(ValveEventDiagram, AnAdvancedCamMovesEveryEventEarlier)
{
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    engine.Cam().AdvanceRetard().SetValue(4.0f);
    const ValveEventDiagram diagram = BuildValveEventDiagram(engine.Cam());
    ASSERT_TRUE(diagram.IsDrawn());
    EXPECT_FLOAT_EQ(diagram.intakeOpening, 325.0);
    EXPECT_FLOAT_EQ(diagram.exhaustClosing, 387.0);
    EXPECT_FLOAT_EQ(diagram.overlapDegrees, 62.0);
}

TEST(ValveEventDiagram, AnIncompleteCamDrawsNothingAndSaysWhatIsMissing)
{
    RecordingPresenter presenter;
    CTorqDoc fresh;
    const ValveEventDiagram none = BuildValveEventDiagram(fresh.Cam());
    EXPECT_FALSE(none.IsDrawn());
    EXPECT_EQ(none.camCode, 27);  // no cam type
    EXPECT_TRUE(none.intake.empty());

    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    engine.Cam().ExhaustLift().MarkUnset();
    const ValveEventDiagram noLift = BuildValveEventDiagram(engine.Cam());
    EXPECT_FALSE(noLift.IsDrawn());
    EXPECT_EQ(noLift.camCode, 33);  // "A valid Cam Exhaust Lift value is Required"
}
