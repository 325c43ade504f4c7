#include "sim/ValveGeometry.h"

#include "sim/EngineSim.h"

#include "SimTestEngines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using sim_test::SmallBlockV8;

ValveEvents EventsFor(int lifter, int timingAt050, int advance)
{
    SimInputs in = SmallBlockV8();
    in.exhaustOpening = 70, in.exhaustClosing = 30, in.intakeOpening = 25, in.intakeClosing = 65;
    in.lifterType = static_cast<std::int16_t>(lifter);
    in.timingAt050 = static_cast<std::int16_t>(timingAt050);
    in.camAdvance = static_cast<std::int16_t>(advance);
    return ComputeValveEvents(in, GetLifterData(LifterOf(in)));
}

TEST(ValveEvents, FiftyLiftFiguresWidenEveryEventByTheLifterAllowanceAndSeatFiguresDoNot)
{
    // Hydraulic 28, solid 20, roller 17 degrees; an unknown lifter takes the hydraulic row.
    for (const auto& [lifter, a] : {std::pair{1, 28.0f}, {2, 20.0f}, {3, 17.0f}, {0, 28.0f}, {9, 28.0f}}) {
        for (int fifty : {0, 1}) {
            const float w = fifty ? a : 0.0f;
            const ValveEvents ev = EventsFor(lifter, fifty, 0);
            EXPECT_EQ(ev.exhaustOpening, 130.0f - w) << lifter;  // 180 - 70 + 20
            EXPECT_EQ(ev.exhaustClosing, 390.0f + w) << lifter;
            EXPECT_EQ(ev.intakeOpening, 335.0f - w) << lifter;
            EXPECT_EQ(ev.intakeClosing, 605.0f + w) << lifter;
        }
    }
    const ValveEvents advanced = EventsFor(2, 1, 4);
    EXPECT_EQ(advanced.exhaustOpening, 106.0f);
    EXPECT_EQ(advanced.intakeClosing, 621.0f);
}

TEST(CamLobe, LiftRisesFromZeroToTheFullLiftAndIsContinuousAndSymmetric)
{
    struct Case {
        float opening, closing, lift, radius;
    };
    for (const Case& c : {Case{130, 391, 0.48f, 1.5f}, Case{300, 620, 0.7f, 1.6f},
                          Case{340, 580, 0.3f, 1.55f}, Case{90, 420, 1.2f, 1.5f}}) {
        CamLobe lobe{};
        ASSERT_TRUE(SolveCamLobe(c.opening, c.closing, c.lift, c.radius, lobe));
        const auto liftAt = [&](double phi) {
            return ValveLift(lobe, c.opening + 2.0 * phi);
        };  // cam degrees
        EXPECT_NEAR(liftAt(0.0), 0.0, 1e-9);
        EXPECT_NEAR(liftAt(lobe.duration), 0.0, 1e-6);
        EXPECT_NEAR(liftAt(lobe.halfDuration), c.lift, 1e-5);
        for (double edge : {static_cast<double>(lobe.flankEnd), static_cast<double>(lobe.noseEnd)})
            EXPECT_NEAR(liftAt(edge - 1e-5), liftAt(edge + 1e-5), 1e-5) << c.opening;
        for (double d : {3.0, 17.5, 40.0, lobe.halfDuration - 1.0})
            EXPECT_NEAR(liftAt(lobe.halfDuration - d), liftAt(lobe.halfDuration + d), 2e-6);
    }
}

TEST(ValveSetup, UnsolvableLobeOrNegativeBenchPressureDropFailsTheRun)
{
    CamLobe lobe{};
    EXPECT_FALSE(SolveCamLobe(0.0f, 720.0f, 0.5f, 1.5f, lobe));  // flank arcs of half a turn leave no nose
    SimInputs in = SmallBlockV8();
    in.exhaustOpening = 280.0f, in.exhaustClosing = 280.0f, in.exhaustLift = 0.5f;  // EVO -80, EVC 640
    SimResults results{};
    EXPECT_FALSE(RunEngineSim(in, results));

    in = SmallBlockV8();
    in.flowTestExhaustDrop = -1.0f;
    EXPECT_FALSE(RunEngineSim(in, results));
}

TEST(FlowCoefficient, FollowsTheBenchDataTowardOneAtZeroLiftAndExtendsItsLastSegment)
{
    const float lifts[10] = {0.1f, 0.2f, 0.3f, 0.4f};
    const float flows[10] = {60, 110, 140, 150};
    FlowTable t{};
    ASSERT_TRUE(BuildFlowTable(2.0f, 28.0f, flows, lifts, t));
    const double c1 = t.coefficient[1], c3 = t.coefficient[3], c4 = t.coefficient[4];
    EXPECT_NEAR(FlowCoefficient(t, 0.05), (1.0 + c1) / 2.0, 1e-6);
    for (double lift : {0.35, 0.4, 0.55, 1.2})  // a 4-point set: everything above the third lift
        EXPECT_NEAR(FlowCoefficient(t, lift), c3 + (lift - 0.3) * (c4 - c3) / 0.1, 1e-5);

    float lifts10[10], flows10[10];
    for (int i = 0; i < 10; ++i) lifts10[i] = 0.05f * (i + 1), flows10[i] = 30.0f * (i + 1) - 1.5f * i * i;
    ASSERT_TRUE(BuildFlowTable(2.0f, 28.0f, flows10, lifts10, t));
    const double c9 = t.coefficient[9], c10 = t.coefficient[10];
    EXPECT_NEAR(FlowCoefficient(t, 0.8), c10 + (0.8 - 0.5) * (c10 - c9) / 0.05, 1e-5);
}

TEST(IntakeCoefficient, PressureRatioCorrectionIsContinuousAndHeldBetween043And1)
{
    for (double c : {0.45, 0.6, 0.8, 1.0}) {
        EXPECT_NEAR(IntakeCoefficient(c, 14.7, 14.7), c, 1e-12);  // equal pressures keep the bench figure
        EXPECT_NEAR(IntakeCoefficient(c, 18.929 - 1e-9, 10.0), IntakeCoefficient(c, 18.929 + 1e-9, 10.0),
                    1e-7);
    }
    EXPECT_EQ(IntakeCoefficient(1.4, 14.7, 14.7), 1.0);
    EXPECT_EQ(IntakeCoefficient(0.5, 0.1, 14.7), 0.43);
}

TEST(PistonKinematics, VolumeSpansClearanceToFullCylinderAndRateIsItsDerivative)
{
    const EngineGeometry g = ComputeGeometry(SmallBlockV8());
    EXPECT_NEAR(g.engineVolume, 349.85, 0.01);
    EXPECT_NEAR(PistonKinematics(g, 0.0).volume, g.clearanceVolume, 1e-6);
    EXPECT_NEAR(PistonKinematics(g, 180.0).volume, g.clearanceVolume + g.cylinderVolume, 1e-3);
    EXPECT_NEAR(PistonKinematics(g, 720.0).volume, g.clearanceVolume, 1e-5);
    for (double theta : {20.0, 95.0, 250.0, 455.0, 700.0}) {
        const double slope =
            (PistonKinematics(g, theta + 1e-4).volume - PistonKinematics(g, theta - 1e-4).volume) / 2e-4;
        EXPECT_NEAR(PistonKinematics(g, theta).rate, slope, 1e-5 * std::fabs(slope) + 1e-7) << theta;
    }
}

TEST(CrankTrigonometry, AgreesWithTheLibraryOverEveryAngleTheCycleUses)
{
    for (double x = -50.0; x < 50.0; x += 0.00731) {
        const SineCosine sc = CrankSinCos(x);
        ASSERT_NEAR(sc.sin, std::sin(x), 4e-16) << x;
        ASSERT_NEAR(sc.cos, std::cos(x), 4e-16) << x;
        ASSERT_EQ(CrankSin(x), sc.sin) << x;
        ASSERT_EQ(CrankCos(x), sc.cos) << x;
    }
}

}  // namespace
