// The cycle model's figures that are formulas rounded: each is the value the
// model computes with, and agrees with its formula to within its rounding.
// (The figures that are their formula to the bit are checked where they are
// defined, by static_assert.)

#include "sim/EngineSim.h"
#include "sim/SimConstants.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kGamma = kHeatCapacityRatio;

TEST(SimConstants, FlowFunctionIsTheSubsonicOrificeFormulaOfAirWithItsExponentsToThreeDecimals)
{
    EXPECT_NEAR(kFlowFunctionScale, 2.0 / (kGamma - 1.0), 1e-12);
    EXPECT_NEAR(kFlowExponentLow, 2.0 / kGamma, 1e-3);  // 1.42857 cut to 1.428
    EXPECT_NEAR(kFlowExponentHigh, (kGamma + 1.0) / kGamma, 5e-4);
    // Air chokes at ((g + 1) / 2)^(g / (g - 1)) = 1.89293.
    EXPECT_NEAR(kCriticalPressureRatio, std::pow((kGamma + 1.0) / 2.0, kGamma / (kGamma - 1.0)), 5e-5);
}

TEST(SimConstants, ExhaustGasFlowingBackIsTheChargeAt2000Rankine)
{
    EXPECT_EQ(kBackflowSoundSpeed, std::sqrt(kSoundSpeedSquaredPerRankine * kExhaustBackflowTemperature));
    EXPECT_NEAR(kExhaustBackflowEnthalpy, ChargeEnthalpy(kExhaustBackflowTemperature), 2e-5);
}

TEST(SimConstants, TheModelsFourFiguresOfPiArePiToTheirFigures)
{
    const double pi = std::acos(-1.0);
    EXPECT_NEAR(kPi, pi, 5e-10);                                  // ten figures
    EXPECT_NEAR(kQuarterPiSevenFigures, pi / 4.0, 5e-8);          // swept volume, piston area
    EXPECT_NEAR(kCrankRadiansPerDegree, pi / 180.0, 5e-12);       // piston motion
    EXPECT_NEAR(static_cast<double>(kPiEightFigures), pi, 5e-8);  // volumes in cc
}

TEST(SimConstants, RoundedFiguresAgreeWithTheFormulasTheyComeFrom)
{
    EXPECT_NEAR(kStepDegreesPerRpm, kCrankDegreesPerSecondPerRpm * 50e-6, 1e-18);  // 50 microseconds a step
    EXPECT_NEAR(kRamRisePerDegree, 1.0 / 35.0, 5e-10);
    EXPECT_NEAR(kBoostedExhaustPsiPerRpm, 1.0 / 750.0, 5e-11);
    EXPECT_NEAR(kGasConstantBtu, kGasConstantFootPounds / kFootPoundsPerBtu, 5e-6);
    EXPECT_NEAR(kGasConstantSlug, kGasConstantFootPounds * 32.174, 0.5);  // standard gravity, ft/s^2
    EXPECT_NEAR(kHeadAndCrownAreaPerBoreSquared, 2.0 * kQuarterPi, 1e-3);

    // The specific heat's coefficients are those of the internal energy's
    // derivative: to five figures for T, to the last bit for T^4.
    EXPECT_NEAR(kSpecificHeatCoefficients[1], 2.0 * kInternalEnergyCoefficients[1], 5e-10);
    EXPECT_EQ(kSpecificHeatCoefficients[4],
              std::nextafter(5.0 * kInternalEnergyCoefficients[4], kSpecificHeatCoefficients[4]));
}

}  // namespace
