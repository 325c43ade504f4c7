#include "sim/EngineSim.h"

#include "sim/BoostModel.h"
#include "sim/ValveGeometry.h"

#include "SimTestEngines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace sim_test;

SimResults Simulate(const SimInputs& in, bool expectSuccess = true)
{
    SimResults results{};
    EXPECT_EQ(RunEngineSim(in, results), expectSuccess);
    return results;
}

TEST(EngineCycle, TypicalSmallBlockPeaksBetween250And450HorsepowerAt4500To6500Rpm)
{
    const SimResults r = Simulate(SmallBlockV8());
    int peak = 0;
    for (int i = 0; i < kSpeedPointCount; ++i) {
        if (r.power[i] > r.power[peak]) peak = i;
        EXPECT_GT(r.volumetricEfficiency[i], 40.0f) << i;
        EXPECT_LT(r.volumetricEfficiency[i], 110.0f) << i;
    }
    EXPECT_GE(r.power[peak], 250.0f);
    EXPECT_LE(r.power[peak], 450.0f);
    EXPECT_GE(SpeedPointRpm(peak), 4500);
    EXPECT_LE(SpeedPointRpm(peak), 6500);
}

TEST(EngineCycle, RunsArePureAndGiveTheSameResultsOnSeveralThreads)
{
    const SimInputs engines[] = {SmallBlockV8(), FourValveFour(), TurboV8()};
    SimResults once[3], parallel[3][2];
    for (int e = 0; e < 3; ++e) once[e] = Simulate(engines[e]);
    std::vector<std::thread> threads;
    for (int e = 0; e < 3; ++e)
        for (int k = 0; k < 2; ++k)
            threads.emplace_back([&, e, k] { RunEngineSim(engines[e], parallel[e][k]); });
    for (std::thread& t : threads) t.join();
    for (int e = 0; e < 3; ++e)
        for (int k = 0; k < 2; ++k)
            EXPECT_EQ(std::memcmp(&once[e], &parallel[e][k], sizeof(SimResults)), 0) << e;
}

TEST(EngineCycle, NitrousAddsOneHundredHorsepowerAtFourPoundsPerMinuteAndBmepIncludesIt)
{
    SimInputs in = SmallBlockV8();
    const SimResults dry = Simulate(in);
    in.nitrousFlow = 4.0f;
    const SimResults wet = Simulate(in);
    for (int i = 0; i < kSpeedPointCount; ++i) {
        const double rpm = SpeedPointRpm(i);
        EXPECT_NEAR(wet.power[i] - dry.power[i], 100.0, 1e-3) << rpm;
        EXPECT_NEAR(wet.bmep[i] - dry.bmep[i], 100.0 * 802973.0 / (349.85 * rpm), 1e-3) << rpm;
        EXPECT_NEAR(wet.torque[i] - dry.torque[i], 100.0 * 5250.0 / rpm, 1e-3) << rpm;
    }
}

TEST(EngineCycle, NegativePowerReadsZeroWhileMeanEffectivePressuresKeepTheirSign)
{
    SimInputs in = SmallBlockV8();  // a 300 cfm two-barrel and stock exhaust choke it at speed
    in.exhaustSystem = 1, in.inductionCfm = 300, in.ratingBarrels = 2;
    const SimResults r = Simulate(in);
    int negative = 0;
    for (int i = 0; i < kSpeedPointCount; ++i) {
        if (r.bmep[i] >= 0.0f) continue;
        ++negative;
        EXPECT_EQ(r.power[i], 0.0f);
        EXPECT_EQ(r.torque[i], 0.0f);
        EXPECT_NEAR(r.imep[i], 1.06f * r.bmep[i] + r.fmep[i], 1e-3f);
    }
    EXPECT_GE(negative, 2);
}

TEST(EngineCycle, ManifoldVacuumGrowsWithTheSquareOfAirDemandOverInductionCapacity)
{
    SimInputs in = SmallBlockV8();
    const SimResults base = Simulate(in);
    const auto drop = [](const SimResults& r, int i) { return 14.7 - r.manifoldPressure[i]; };
    // The first point asks for 70 % of the displacement, later points for
    // the efficiency the previous point reached.
    for (int i = 1; i < kSpeedPointCount; ++i) {
        const double demand = SpeedPointRpm(i) * base.volumetricEfficiency[i - 1] / (2000.0 * 70.0);
        EXPECT_NEAR(drop(base, i) / drop(base, 0), demand * demand, 1e-3 * demand * demand) << i;
    }
    in.ratingBarrels = 2;  // the same cfm rated at 3.0 inHg passes 1/sqrt(2) as much
    EXPECT_NEAR(drop(Simulate(in), 0) / drop(base, 0), 2.0, 2e-3);
    in = SmallBlockV8();
    in.manifoldType = 4;  // individual runners: each cylinder draws on one barrel of four
    EXPECT_NEAR(drop(Simulate(in), 0) / drop(base, 0), 16.0, 1e-2);
}

TEST(EngineCycle, RunThatTurnsNonFiniteAtALaterPointFailsWithEveryResultZero)
{
    // A custom turbo with a pressure ratio below 1 pulls the manifold below
    // a perfect vacuum once the engine breathes hard; the first point is fine.
    SimInputs in = TurboV8();
    in.blowerPressureRatio = 0.5f, in.blowerFlow = 60.0f;
    BoostState firstPoint;
    BoostModel(in, 349.85, 70.0f, 2000.0, firstPoint);
    EXPECT_GT(firstPoint.boost, -14.7f);

    SimResults r = Simulate(in, false);
    const auto* values = reinterpret_cast<const float*>(&r);
    for (std::size_t i = 0; i < sizeof r / sizeof(float); ++i) EXPECT_EQ(values[i], 0.0f);
}

TEST(ExhaustPort, WaveAnglesOfExactly180And360KeepThePreviousPressure)
{
    // Stepped headers: 26.25 psi base at 2000 rpm, 21 from 5500 rpm on.
    const ExhaustSystem stepped = ExhaustSystem::SteppedTubeRaceHeaders;
    EXPECT_DOUBLE_EQ(GetExhaustSystem(stepped, 2000.0).basePressure, 26.25);
    EXPECT_DOUBLE_EQ(GetExhaustSystem(stepped, 5500.0).basePressure, 21.0);
    EXPECT_DOUBLE_EQ(GetExhaustSystem(stepped, 11000.0).basePressure, 21.0);

    // EVO at 90 at the 5000 rpm tuning speed: the wave angle is the crank
    // angle since EVO, and 1.5-degree float steps land exactly on 180 and 360.
    const ExhaustWave wave =
        MakeExhaustWave(GetExhaustSystem(ExhaustSystem::SmallTubeHeadersWithMufflers, 5000.0), 90.0, 5000.0);
    float theta = 90.0f;
    for (int k = 0; k < 120; ++k) theta += 1.5f;
    EXPECT_EQ(ExhaustPortPressure(wave, theta, 99.0f), 99.0f);
    EXPECT_EQ(ExhaustPortPressure(wave, 450.0f, 77.0f), 77.0f);
    const double amplitude = std::pow(5000.0, 1.04) * 0.0013332;
    EXPECT_NEAR(ExhaustPortPressure(wave, 180.0f, 0.0f), 26.5 + 2.0 * amplitude, 1e-4);  // blowdown crest
    EXPECT_NEAR(ExhaustPortPressure(wave, 360.0f, 0.0f), 26.5 - 0.5 * amplitude, 1e-4);  // weaker reflection
    EXPECT_NEAR(ExhaustPortPressure(wave, 540.0f, 0.0f), 26.5 + 0.8 * amplitude, 1e-4);  // later ringing
}

TEST(IntakeRam, AmplitudeFollowsTheManifoldAndForcedInductionKeepsThePreviousOne)
{
    using enum ManifoldType;
    EXPECT_EQ(RamAmplitude(SinglePlane, 11000.0, 0.0f), 7.5f);
    EXPECT_NEAR(RamAmplitude(DualPlane, 2000.0, 0.0f), std::pow(2000.0, 1.33) * 9.03e-06 + 3.0, 1e-5);
    EXPECT_EQ(RamAmplitude(DualPlane, 11000.0, 0.0f), 5.0f);
    EXPECT_GT(RamAmplitude(TunnelRam, 11000.0, 0.0f), 7.5f);  // a tunnel ram has no upper hold
    EXPECT_EQ(RamAmplitude(IndividualRunners, 11000.0, 0.0f), 7.5f);
    EXPECT_EQ(RamAmplitude(TunedPortInjection, 4000.0, 0.0f), 4.0f);
    EXPECT_NEAR(RamAmplitude(TunedPortInjection, 9000.0, 0.0f), -1.0f, 1e-6);  // past 8000 rpm
    EXPECT_EQ(RamAmplitude(SequentialInjection, 11000.0, 0.0f), 4.5f);
    EXPECT_EQ(RamAmplitude(ForcedInduction, 6000.0, 3.25f), 3.25f);
}

}  // namespace
