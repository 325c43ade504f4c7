// The engine's parts as the cycle sees them at one speed: the fuel, the
// carburettor and manifold, the intake ram and the exhaust system.

#include "EngineSim.h"

#include "SimConstants.h"

#include "hwy/highway.h"
#include "sim/LaneOps-inl.h"

#include <cmath>

namespace {

using crank_step::HWY_NAMESPACE::AtLeast;
using crank_step::HWY_NAMESPACE::AtMost;
using crank_step::HWY_NAMESPACE::HeldWithin;

// Induction capacity per cfm of carburettor rating, so scaled that the
// manifold vacuum, 7.916e-06 x demand^2 psi, is about the 1.5 inHg (0.74 psi)
// of the rating when the engine draws the rated flow.
constexpr double kPerRatedCfm = 1.0 / 18560.0;
constexpr double kPerRatedCfmAtThreeInches = 1.0 / (18560.0 * 1.414);  // 1.414 = sqrt(3.0 / 1.5)
constexpr double kInductionCapacityScale = kCubicInchesPerCubicFoot * 120.0;
static_assert(kPerRatedCfm == 5.3879310344827585e-05 && kPerRatedCfmAtThreeInches == 3.810417987611569e-05 &&
              kInductionCapacityScale == 207360.0);

}  // namespace

double FuelHeatingValue(Fuel fuel)
{
    switch (fuel) {
        case Fuel::Gasoline:
            return 19000.0;
        case Fuel::Methanol:
            return 19800.0;
        case Fuel::Ethanol:
            return 19100.0;
        case Fuel::Propane:
            return 18600.0;
        case Fuel::LiquefiedNaturalGas:
            break;
    }
    return 18839.0;
}

double IntakeChargeTemperature(Fuel fuel, double rpm)
{
    // Liquid fuels cool the charge by evaporation; at low speed the charge
    // picks up heat from the manifold.
    switch (fuel) {
        case Fuel::Gasoline:
            return rpm < 5500.0 ? 610.0 - 0.01272 * rpm : 540.0;
        case Fuel::Methanol:
        case Fuel::Ethanol:
            return 540.0;
        case Fuel::Propane:
        case Fuel::LiquefiedNaturalGas:
            break;
    }
    return rpm <= 5500.0 ? 630.0 - 0.01272 * rpm : 560.0;
}

double InductionCapacity(const SimInputs& in)
{
    // A carburettor rated at 3.0 inHg passes 1 / 1.414 of its rating at the
    // 1.5 inHg basis: flow goes with the square root of the pressure drop.
    const bool atThreeInches = CarburettorRatingOf(in) == CarburettorRating::TwoBarrelAtThreeInchesHg;
    double g = in.inductionCfm * (atThreeInches ? kPerRatedCfmAtThreeInches : kPerRatedCfm);
    // Individual runners: each cylinder draws on one barrel of four.
    if (ManifoldOf(in) == ManifoldType::IndividualRunners) g = g * 0.25;
    return g * kInductionCapacityScale;
}

float RamAmplitude(ManifoldType manifold, double rpm, float previous)
{
    double v;
    switch (manifold) {
        case ManifoldType::SinglePlane:
            v = HeldWithin(std::pow(rpm, 1.3) * 8.03e-05, 0.0, 7.5);
            break;
        case ManifoldType::DualPlane:
            v = HeldWithin(std::pow(rpm, 1.33) * 9.03e-06 + 3.0, 0.0, 5.0);
            break;
        case ManifoldType::TunnelRam:
            v = AtLeast(std::pow(rpm, 1.27) * 0.000103, 0.0);
            break;
        case ManifoldType::IndividualRunners:
            v = HeldWithin(std::pow(rpm, 1.3) * 0.000143, 0.0, 7.5);
            break;
        case ManifoldType::TunedPortInjection:
            v = rpm <= 4000.0 ? 4.0 : 8.0 - 0.001 * rpm;
            break;
        case ManifoldType::SequentialInjection:
            v = AtMost(std::pow(rpm, 1.31) * 0.000103, 4.5);
            break;
        default:  // forced induction
            return previous;
    }
    return static_cast<float>(v);
}

ExhaustSystemData GetExhaustSystem(ExhaustSystem system, double rpm)
{
    switch (system) {
        case ExhaustSystem::PerformanceManifoldsAndMufflers:
            return {32.0, 0.3, 4000.0, 1.04};
        case ExhaustSystem::SmallTubeHeadersWithMufflers:
            return {26.5, 0.5, 5000.0, 1.04};
        case ExhaustSystem::SmallTubeHeadersOpen:
            return {22.5, 0.5, 5000.0, 1.0};
        case ExhaustSystem::LargeTubeHeadersWithMufflers:
            return {25.7, 0.5, 5000.0, 1.02};
        case ExhaustSystem::LargeTubeHeadersOpen:
            return {22.7, 0.5, 5500.0, 0.94};
        case ExhaustSystem::SteppedTubeRaceHeaders: {
            const double base = rpm >= 5500.0 ? 21.0 : 21.0 + 3.0 * (5500.0 - rpm) / rpm;
            return {base, 0.5, 6000.0, 0.95};
        }
        default:  // stock manifolds and mufflers
            return {35.0, 0.3, 4000.0, 1.06};
    }
}

ExhaustWave MakeExhaustWave(const ExhaustSystemData& system, double exhaustOpening, double rpm)
{
    ExhaustWave w{};
    w.exhaustOpening = exhaustOpening;
    w.tuningRpm = system.tuningRpm;
    w.rpm = rpm;
    w.angleScale = kWaveDegreesToStrokeEnd / (360.0 - exhaustOpening);
    w.amplitude = std::pow(rpm, system.exponent) * 0.0013332;
    w.basePressure = system.basePressure;
    w.laterWaveFactor = system.laterWaveFactor;
    return w;
}
