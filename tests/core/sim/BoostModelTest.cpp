#include "sim/BoostModel.h"

#include "sim/EngineSim.h"

#include "SimTestEngines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kEngineVolume = 349.85;  // ci

// Temperature rise term of a compressor delivering boost psi.
double Compression(double boost)
{
    return std::pow((boost + 14.7) / 14.7, 0.2366) - 1.0;
}

SimInputs Blower(int kind)
{
    SimInputs in = sim_test::SmallBlockV8();
    in.manifoldType = 7, in.boostKind = static_cast<std::int16_t>(kind);
    in.blowerPressureRatio = 1.6f, in.blowerFlow = 144.0f, in.blowerEfficiency = 75.0f,
    in.blowerRpm = 40000.0f;
    in.boostLimit = 80.0f, in.internalGearRatio = 3.0f, in.beltGearRatio = 2.0f, in.surgeFlow = 100.0f;
    return in;
}

BoostState Apply(const SimInputs& in, double rpm, float vePrev = 70.0f)
{
    BoostState state;
    state.chargeTemp = 560.0f;
    BoostModel(in, kEngineVolume, vePrev, rpm, state);
    return state;
}

TEST(BoostModel, WithoutForcedInductionNothingChangesAndTheRunIsNaturallyAspirated)
{
    const SimInputs in = Blower(0);
    BoostState state{1.0f, 600.0f, 2.0f};
    BoostModel(in, kEngineVolume, 90.0f, 6000.0, state);
    EXPECT_EQ(state.boost, 1.0f);
    EXPECT_EQ(state.chargeTemp, 600.0f);
    EXPECT_EQ(state.driveLoss, 2.0f);

    SimInputs plain = sim_test::SmallBlockV8();
    plain.manifoldType = 7;
    SimResults withFields{}, clean{};
    ASSERT_TRUE(RunEngineSim(in, withFields));
    ASSERT_TRUE(RunEngineSim(plain, clean));
    EXPECT_EQ(std::memcmp(&withFields, &clean, sizeof clean), 0);
}

TEST(BoostModel, BlowerBelow1500RpmGivesNegativeBoostThatOnlyTemperatureAndDriveLossUse)
{
    for (int kind : {2, 3}) {
        SimInputs in = Blower(kind);
        in.beltGearRatio = 0.5f, in.internalGearRatio = 1.0f;  // 1000 blower rpm at 2000 engine rpm
        const BoostState s = Apply(in, 2000.0);
        EXPECT_LT(s.boost, 0.0f) << kind;
        EXPECT_LT(s.chargeTemp, 540.0f) << kind;  // the charge expands and cools
        EXPECT_LT(s.driveLoss, 0.0f) << kind;

        SimInputs na = in;  // the cycle sees no boost: same manifold pressure as without a blower
        na.boostKind = 0;
        SimResults blown{}, plain{};
        RunEngineSim(in, blown);
        RunEngineSim(na, plain);
        EXPECT_EQ(blown.manifoldPressure[0], plain.manifoldPressure[0]) << kind;
        EXPECT_NE(blown.power[0], plain.power[0]) << kind;
    }
}

TEST(BoostModel, EfficiencyIsFullAtTheBlowersBestSpeedAndNeverBelowThirtyPercent)
{
    SimInputs in = Blower(2);
    const double rated = 2.0 * 3.0 * 6000.0;
    in.blowerRpm = static_cast<float>(rated);
    BoostState s = Apply(in, 6000.0);
    const double boost = (1.0 - 1500.0 / rated) * 0.9 * 0.6 * 14.7;
    EXPECT_NEAR(s.boost, boost, 1e-4);
    EXPECT_NEAR(s.chargeTemp, (Compression(boost) / 0.75 + 1.0) * 540.0, 1e-3);

    in.blowerRpm = static_cast<float>(rated / 3.0);  // twice too fast: cos(2) is negative
    s = Apply(in, 6000.0);
    EXPECT_NEAR(s.chargeTemp, (Compression(s.boost) / 0.3 + 1.0) * 540.0, 1e-3);

    SimInputs roots = Blower(3);
    roots.beltGearRatio = 5.0f;  // 30000 rpm, the Roots blower's best speed
    s = Apply(roots, 6000.0);
    EXPECT_NEAR(s.chargeTemp, (Compression(s.boost) / 0.75 + 1.0) * 540.0, 1e-3);
}

TEST(BoostModel, BoostIsCutAtTheLimitBeforeTheIntercoolerTakesItsShare)
{
    SimInputs in = Blower(3);
    in.boostLimit = 5.0f, in.intercoolerEfficiency = 0.0f;
    BoostState s = Apply(in, 8000.0);
    EXPECT_EQ(s.boost, 5.0f);
    const double efficiency = std::cos((30000.0 - 16000.0) / 30000.0) * 0.75;  // belt 2 at 8000 rpm
    EXPECT_NEAR(s.chargeTemp, (Compression(5.0) / efficiency + 1.0) * 540.0, 1e-3);

    in.intercoolerEfficiency = 100.0f;
    s = Apply(in, 8000.0);
    EXPECT_NEAR(s.boost, 5.0 - 5.0 * 5.0 / 5.0 * 0.1, 1e-6);
    EXPECT_EQ(s.chargeTemp, 540.0f);
}

TEST(BoostModel, EachBlowerKindReadsItsOwnFiguresAndNoOther)
{
    struct Figure {
        const char* name;
        float SimInputs::*field;
    };
    const Figure ratio{"pressure ratio", &SimInputs::blowerPressureRatio},
        flow{"flow", &SimInputs::blowerFlow}, rpm{"rpm", &SimInputs::blowerRpm},
        internalGear{"internal gear", &SimInputs::internalGearRatio},
        beltGear{"belt gear", &SimInputs::beltGearRatio}, surge{"surge flow", &SimInputs::surgeFlow};
    struct Kind {
        int kind;
        std::vector<Figure> reads, ignores;
    };
    // A turbocharger's rated speed only scales its turbine speed: boost and
    // efficiency follow the flow over the rated flow, so it is in neither list.
    const Kind kinds[] = {{1, {ratio, flow, surge}, {internalGear, beltGear}},
                          {2, {ratio, rpm, internalGear, beltGear}, {flow, surge}},
                          {3, {flow, beltGear}, {ratio, rpm, internalGear, surge}}};
    for (const Kind& k : kinds) {
        const BoostState before = Apply(Blower(k.kind), 5000.0);
        const auto changedBy = [&](const Figure& figure) {
            SimInputs in = Blower(k.kind);
            in.*figure.field *= 3.0f;
            const BoostState after = Apply(in, 5000.0);
            return after.boost != before.boost || after.chargeTemp != before.chargeTemp ||
                   after.driveLoss != before.driveLoss;
        };
        for (const Figure& figure : k.reads) EXPECT_TRUE(changedBy(figure)) << k.kind << ": " << figure.name;
        for (const Figure& figure : k.ignores)
            EXPECT_FALSE(changedBy(figure)) << k.kind << ": " << figure.name;
    }
}

TEST(BoostModel, ARootsBlowerDeliversItsDisplacementPerRevolutionAtItsSpeedLess1500Rpm)
{
    SimInputs in = Blower(3);
    in.intercoolerEfficiency = 0.0f;
    const auto boostWith = [&](float displacementCi, float beltRatio) {
        in.blowerFlow = displacementCi, in.beltGearRatio = beltRatio;
        return static_cast<double>(Apply(in, 5000.0).boost);
    };
    const double boost = boostWith(144.0f, 2.0f);  // 10000 blower rpm
    EXPECT_NEAR(boostWith(288.0f, 2.0f), 2.0 * boost, 1e-4);
    EXPECT_NEAR(boostWith(144.0f, 4.0f), boost * (20000.0 - 1500.0) / (10000.0 - 1500.0), 1e-4);
}

TEST(BoostModel, TurbochargerFollowsAirDemandSlowsByAFifthNearSurgeAndCostsNoDrivePower)
{
    SimInputs in = Blower(1);
    in.blowerFlow = 200.0f, in.surgeFlow = 10.0f;
    const double compressorCfm = 80.0 * 0.01 * 5000.0 * 0.5 * kEngineVolume / 1728.0 * 0.32;
    const BoostState free = Apply(in, 5000.0, 80.0f);
    EXPECT_NEAR(free.boost, 0.6 * 14.7 * compressorCfm / 200.0, 1e-4);
    EXPECT_EQ(free.driveLoss, 0.0f);

    in.surgeFlow = 400.0f;
    EXPECT_NEAR(Apply(in, 5000.0, 80.0f).boost, 0.8 * free.boost, 1e-4);
    EXPECT_GT(Apply(Blower(3), 5000.0).driveLoss, 0.0f);  // a belt-driven blower costs crank power
}

}  // namespace
