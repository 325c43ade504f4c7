#include "BoostModel.h"

#include "SimConstants.h"

#include "hwy/highway.h"
#include "sim/LaneOps-inl.h"

#include <cmath>

namespace {

using crank_step::HWY_NAMESPACE::AtLeast;
using crank_step::HWY_NAMESPACE::AtMost;

constexpr double kRootsReferenceRpm = 30000.0;  // a Roots blower's best speed
constexpr double kLowestEfficiency = 0.3;
constexpr double kInletTemperature = 540.0;  // R, air entering the compressor
// Shaft power of a belt-driven blower, hp per cfm of the engine's demand and
// per unit of the temperature-rise fraction z, at full efficiency.
constexpr double kDrivePowerPerCfm = 0.27101262499999995;

struct Compressor {
    double boost;     // psi above atmosphere, before the limit and the intercooler
    double speedOff;  // relative distance of the blower speed from its best speed, radians of efficiency
                      // fall-off
};

// The exhaust drives the turbine as fast as the engine's air demand
// pushes it through the compressor map; near surge it runs 20 % slower.
Compressor Turbocharger(const SimInputs& in, double demandCfm, double previousBoost)
{
    const double q = demandCfm * 0.32;
    double nb = q / in.blowerFlow * in.blowerRpm;
    if ((previousBoost * kPerAtmospherePsi + 1.0) * in.surgeFlow / in.blowerPressureRatio > q) nb = nb * 0.8;
    const double boost = (in.blowerPressureRatio - 1.0) * kAtmospherePsi * nb / in.blowerRpm;
    return {boost, std::fabs(nb - in.blowerRpm) / in.blowerRpm};
}

// Belt and internal gears turn the impeller; it makes nothing below 1500 rpm.
Compressor CentrifugalBlower(const SimInputs& in, double rpm)
{
    const double nb = static_cast<double>(in.beltGearRatio) * in.internalGearRatio * rpm;
    const double boost =
        (1.0 - 1500.0 / nb) * 0.9 * nb * (in.blowerPressureRatio - 1.0) * kAtmospherePsi / in.blowerRpm;
    return {boost, std::fabs(nb - in.blowerRpm) / in.blowerRpm};
}

// A positive-displacement blower on the belt, best near 30000 rpm.
Compressor RootsBlower(const SimInputs& in, double rpm)
{
    const double nb = rpm * in.beltGearRatio;
    const double boost = (1.0 - 1500.0 / nb) * 0.85 * nb * in.blowerFlow / kCubicInchesPerCubicFoot * 0.01;
    return {boost, std::fabs(nb - kRootsReferenceRpm) / kRootsReferenceRpm};
}

}  // namespace

void BoostModel(const SimInputs& in, double engineVolume, float vePrevPercent, double rpm, BoostState& state)
{
    // Air the engine asked for at the previous point's efficiency, cfm.
    const double demandCfm = vePrevPercent * 0.01 * rpm * 0.5 * engineVolume / kCubicInchesPerCubicFoot;
    const BoostKind kind = BoostKindOf(in);
    Compressor comp{};
    switch (kind) {
        case BoostKind::Turbocharger:
            comp = Turbocharger(in, demandCfm, state.boost);
            break;
        case BoostKind::CentrifugalBlower:
            comp = CentrifugalBlower(in, rpm);
            break;
        case BoostKind::RootsBlower:
            comp = RootsBlower(in, rpm);
            break;
        default:  // none: the engine breathes naturally
            return;
    }

    double boost = AtMost(comp.boost, in.boostLimit);
    const double efficiency =
        AtLeast(std::cos(comp.speedOff) * in.blowerEfficiency * 0.01, kLowestEfficiency);

    // Isentropic temperature rise over the pressure ratio, as a fraction of
    // the 540 R inlet; the intercooler takes back its share of it.
    const double z = std::pow((boost + kAtmospherePsi) * kPerAtmospherePsi, 0.2366) - 1.0;
    state.chargeTemp = static_cast<float>(((1.0 - in.intercoolerEfficiency * 0.01) * z / efficiency + 1.0) *
                                          kInletTemperature);

    // A belt-driven blower's shaft power in hp, as mean effective pressure in psi.
    double driveLoss = 0.0;
    if (kind != BoostKind::Turbocharger) {
        const double drivePower = demandCfm * z * kDrivePowerPerCfm / efficiency;
        driveLoss = drivePower * kMepCubicInchRpmPerHorsepower / (engineVolume * rpm);
    }
    state.driveLoss = static_cast<float>(driveLoss);

    // The intercooler's pressure loss grows with boost over the limit.
    boost = boost * (1.0 - in.intercoolerEfficiency * 0.005 * boost * 20.0 / (in.boostLimit * 100.0));
    state.boost = static_cast<float>(boost);
}
