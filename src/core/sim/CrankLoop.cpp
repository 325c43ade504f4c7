// The crank loop of one speed point on a vector of engines: one full
// filling-and-emptying cycle per lane, from EVO to EVO + 720 crank degrees.
// Lanes whose cycle has ended, whose engine has failed or that hold no
// engine are masked: their values stay as they are while the others step
// on. A valve that is closed in every lane, the ram and the burn outside
// their angles, are skipped for the whole vector; in a lane where they do
// not apply their terms are 0, exactly as for one engine on its own.
//
// Compiled once per instruction set; the processor picks the best at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/CrankLoop.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

#include "hwy/highway.h"
#include "sim/CrankStep-inl.h"

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

// Ram pressure rises linearly over the 30 degrees before BDC, psi per degree per psi of amplitude.
constexpr double kRamRampPerDegree = 0.028571429;
// Mass flow through an effective area, lb per crank degree: sqrt(psi) a P / T
// x 1/R x A x seconds per crank degree (a ft/s, P psi, T R, A sq in).
template <class D>
HWY_INLINE V<D> OrificeFlow(D d, V<D> psi, V<D> soundSpeed, V<D> upstreamPressure, V<D> perUpstreamTemp, V<D> area,
                            V<D> perStep)
{
    V<D> flow = hn::Mul(hn::Mul(hn::Sqrt(psi), soundSpeed), upstreamPressure);
    flow = hn::Mul(hn::Mul(flow, Constant(d, kOrificeFlowCoefficient)), perUpstreamTemp);
    return hn::Mul(hn::Mul(flow, area), perStep);
}

// x + (1.5 dx - 0.5 dxPrev) step, stored as a float.
template <class D>
HWY_INLINE V<D> AdamsBashforth(D d, V<D> x, V<D> dx, V<D> dxPrev, V<D> step)
{
    const V<D> slope = hn::Sub(hn::Mul(Constant(d, 1.5), dx), hn::Mul(Constant(d, 0.5), dxPrev));
    return AsStored(d, hn::Add(x, hn::Mul(slope, step)));
}

template <class D>
void CrankCycle(D d, CycleLanes& L, float stepAngle, int stepLimit)
{
    using M = hn::Mask<D>;
    const V<D> zero = hn::Zero(d);
    const V<D> one = Constant(d, 1.0);
    const V<D> step = Constant(d, stepAngle);  // crank degrees

    // The cylinder at EVO: burnt gas at 2000 R.
    M running = hn::Ne(Lanes(d, L.running), zero);
    V<D> theta = Lanes(d, L.exhaustOpening);
    V<D> pressure = Lanes(d, L.startPressure);
    V<D> temp = Constant(d, static_cast<float>(kStartTemperature));
    V<D> volume, rate;
    Piston(d, L.piston, theta, volume, rate);
    hn::Store(volume, d, L.startVolume.v);
    V<D> mass = AsStored(d, hn::Mul(hn::Mul(volume, pressure), Constant(d, kStartMassPerPsiCubicInch)));
    V<D> portPressure = Lanes(d, L.manifoldPressure);
    V<D> dPressurePrev = zero, dTempPrev = zero, dMassPrev = zero;
    V<D> inducted = zero, work = zero, ram = zero;
    V<D> exhaustPort = Lanes(d, L.exhaustPortPressure);
    // The flow function, speed of sound and port density of the last intake flow.
    V<D> flowFunction = Lanes(d, L.intakeFlowFunction);
    V<D> soundSpeed = Lanes(d, L.intakeSoundSpeed);
    V<D> portDensity = Lanes(d, L.intakePortDensity);

    const V<D> lastAngle = hn::Add(Lanes(d, L.exhaustOpening), Constant(d, 720.0));
    const V<D> perStep = Lanes(d, L.perStep);
    const M boosted = hn::Ne(Lanes(d, L.boosted), zero);

    // Float accumulation of the angle decides whether the final step runs;
    // the step limit only stops a cycle that could never end.
    for (int steps = 0;; ++steps) {
        M active = hn::And(running, hn::Le(theta, lastAngle));
        if (hn::AllFalse(d, active)) break;
        if (steps > stepLimit) {
            running = hn::AndNot(active, running);
            break;
        }
        const V<D> p = pressure;

        // Effective valve areas, sq in; a closed valve has none.
        const M intakeOpen = hn::And(active, hn::And(hn::Lt(Lanes(d, L.intakeOpening), theta),
                                                     hn::Lt(theta, Lanes(d, L.intakeClosing))));
        const M exhaustOpen = hn::And(active, hn::And(hn::Lt(Lanes(d, L.exhaustOpening), theta),
                                                      hn::Lt(theta, Lanes(d, L.exhaustClosing))));
        V<D> intakeArea = zero;
        V<D> exhaustArea = zero;
        if (!hn::AllFalse(d, intakeOpen)) {
            intakeArea = hn::IfThenElseZero(intakeOpen, IntakeValveArea(d, L.intakeLobe, L.intakeFlow,
                                                                        Lanes(d, L.intakeDiameter), theta,
                                                                        portPressure, p));
        }
        if (!hn::AllFalse(d, exhaustOpen)) {
            exhaustArea = hn::IfThenElseZero(
                exhaustOpen,
                ExhaustValveArea(d, L.exhaustLobe, L.exhaustFlow, Lanes(d, L.exhaustDiameter), theta));
        }

        // Exhaust port: the tuned wave, or a steady pressure against a turbine or blower drive.
        const V<D> pe = hn::IfThenElse(boosted, Lanes(d, L.boostedExhaustPressure),
                                       ExhaustPortPressure(d, L.wave, theta, exhaustPort));
        exhaustPort = hn::IfThenElse(active, pe, exhaustPort);

        // Ram: a ramp towards BDC, then an oscillation in the runner.
        const V<D> ramAmplitude = Lanes(d, L.ramAmplitude);
        const M ramp = hn::And(active, hn::And(hn::Lt(Constant(d, 510.0), theta), hn::Le(theta, Constant(d, 540.0))));
        if (!hn::AllFalse(d, ramp)) {
            const V<D> rising = hn::Mul(hn::Mul(hn::Sub(theta, Constant(d, 510.0)), ramAmplitude),
                                        Constant(d, kRamRampPerDegree));
            ram = hn::IfThenElse(ramp, AsStored(d, rising), ram);
        }
        const M ringing = hn::And(active, hn::And(hn::Lt(Constant(d, 540.0), theta), hn::Lt(theta, Constant(d, 650.0))));
        if (!hn::AllFalse(d, ringing)) {
            const V<D> phase =
                hn::Mul(hn::Mul(hn::Sub(theta, Constant(d, 540.0)), Lanes(d, L.ramFrequency)),
                        Constant(d, kRadiansPerDegree));
            ram = hn::IfThenElse(ringing, AsStored(d, hn::Mul(CrankSine(d, phase), ramAmplitude)), ram);
        }

        // Intake port: the manifold pressure less the dynamic head of the
        // port flow of the last intake computation, plus the ram, psi.
        const V<D> portVelocity = hn::Div(hn::Mul(hn::Mul(hn::Sqrt(flowFunction), soundSpeed), intakeArea),
                                          Lanes(d, L.intakePortArea));  // ft/s
        const V<D> dynamicHead =
            hn::Mul(hn::Mul(hn::Mul(Constant(d, 0.5), portDensity), portVelocity), portVelocity);  // lbf/sq ft
        const V<D> newPort = hn::Add(
            hn::Mul(hn::Sub(hn::Mul(Lanes(d, L.manifoldPressure), Constant(d, kSquareInchesPerSquareFoot)), dynamicHead),
                    Constant(d, kSquareFeetPerSquareInch)),
            ram);
        portPressure = hn::IfThenElse(active, AsStored(d, newPort), portPressure);

        const V<D> gasSoundSpeed = hn::Sqrt(hn::Mul(Constant(d, kSoundSpeedSquaredPerRankine), temp));
        const V<D> gasPerTemp = hn::Div(one, temp);

        // Intake mass flow, lb per crank degree (negative: charge pushed back
        // into the port). A negative pressure ratio, temperature or flow
        // function fails the lane.
        V<D> intakeFlow = zero;
        const M intakeFlowing = hn::And(active, hn::Gt(intakeArea, zero));
        if (!hn::AllFalse(d, intakeFlowing)) {
            const M inward = hn::Gt(portPressure, p);
            const V<D> pu = hn::IfThenElse(inward, portPressure, p);
            const V<D> tu = hn::IfThenElse(inward, Lanes(d, L.chargeTemp), temp);
            const V<D> r = hn::Div(hn::IfThenElse(inward, p, portPressure), pu);
            const V<D> psi = FlowFunction(d, r);
            const M failed =
                hn::And(intakeFlowing, hn::Or(hn::Or(hn::Lt(r, zero), hn::Lt(tu, zero)), hn::Lt(psi, zero)));
            const V<D> upstreamSound = hn::IfThenElse(inward, Lanes(d, L.chargeSoundSpeed), gasSoundSpeed);
            const V<D> perTu = hn::IfThenElse(inward, Lanes(d, L.perChargeTemp), gasPerTemp);
            V<D> flow = OrificeFlow(d, psi, upstreamSound, pu, perTu, intakeArea, perStep);
            flow = hn::IfThenElse(hn::Lt(portPressure, p), hn::Neg(flow), flow);
            const M flowing = hn::AndNot(failed, intakeFlowing);
            intakeFlow = hn::IfThenElseZero(flowing, flow);
            flowFunction = hn::IfThenElse(flowing, AsStored(d, psi), flowFunction);
            soundSpeed = hn::IfThenElse(flowing, AsStored(d, upstreamSound), soundSpeed);
            const V<D> density = hn::Div(hn::Mul(portPressure, Constant(d, kSquareInchesPerSquareFoot)),
                                         hn::Mul(tu, Constant(d, kGasConstantSlug)));
            portDensity = hn::IfThenElse(flowing, AsStored(d, density), portDensity);
            inducted = hn::IfThenElse(flowing, AsStored(d, hn::Add(inducted, hn::Mul(flow, step))), inducted);
            running = hn::AndNot(failed, running);
            active = hn::AndNot(failed, active);
        }

        // Exhaust mass flow out of the cylinder, lb per crank degree
        // (negative: port gas at 2000 R flowing back in).
        V<D> exhaustFlow = zero;
        const M exhaustFlowing = hn::And(active, hn::Gt(exhaustArea, zero));
        if (!hn::AllFalse(d, exhaustFlowing)) {
            const M outward = hn::Ge(p, pe);
            const V<D> pu = hn::IfThenElse(outward, p, pe);
            const V<D> tu = hn::IfThenElse(outward, temp, Constant(d, kExhaustBackflowTemperature));
            const V<D> r = hn::Div(hn::IfThenElse(outward, pe, p), pu);
            const M failed = hn::And(exhaustFlowing, hn::Or(hn::Lt(r, zero), hn::Lt(tu, zero)));
            const V<D> upstreamSound = hn::IfThenElse(outward, gasSoundSpeed, Constant(d, kBackflowSoundSpeed));
            const V<D> perTu = hn::IfThenElse(outward, gasPerTemp, Constant(d, 1.0 / kExhaustBackflowTemperature));
            V<D> flow = OrificeFlow(d, FlowFunction(d, r), upstreamSound, pu, perTu, exhaustArea, perStep);
            flow = hn::IfThenElse(hn::Lt(p, pe), hn::Neg(flow), flow);
            exhaustFlow = hn::IfThenElseZero(hn::AndNot(failed, exhaustFlowing), flow);
            running = hn::AndNot(failed, running);
            active = hn::AndNot(failed, active);
        }

        // Energy and state equations of the cylinder gas, per crank degree:
        //   dP = 9336 (dQburn + dQwall - P dV/9336 + min hI - mex hE - P dV K/9336 + (T cv - u) dm) / (K V)
        //   dT = ((V dP + P dV)/9336 - T dm R) / (m R),   K = cv / R
        const V<D> u = InternalEnergy(d, temp);
        const V<D> cylinderEnthalpy = hn::Add(u, hn::Mul(Constant(d, kGasConstantBtu), temp));  // BTU/lb
        const V<D> intakeEnthalpy = hn::IfThenElse(hn::Le(p, portPressure), Lanes(d, L.chargeEnthalpy), cylinderEnthalpy);
        const V<D> exhaustEnthalpy = hn::IfThenElse(hn::Le(pe, p), cylinderEnthalpy, Constant(d, kExhaustBackflowEnthalpy));
        // Heat to the walls (head, piston crown and the exposed liner), BTU per crank degree.
        const V<D> wallArea = hn::Add(hn::Mul(volume, Lanes(d, L.fourPerBore)), Lanes(d, L.wallArea));
        const V<D> wallHeat = hn::Mul(
            hn::Mul(hn::Mul(hn::Mul(Constant(d, kWallFilmCoefficient), hn::Sub(Constant(d, kWallTemperature), temp)),
                            wallArea),
                    Constant(d, kWallFilmCoefficientUnit)),
            perStep);
        // Fraction of the charge burnt per crank degree: a half-sine over 60 degrees that sums to 1.
        V<D> burnRate = zero;
        const M burning = hn::And(active, hn::And(hn::Lt(Constant(d, kBurnStart), theta),
                                                  hn::Lt(theta, Constant(d, kBurnStart + kBurnDuration))));
        if (!hn::AllFalse(d, burning)) {
            const V<D> phase = hn::Mul(hn::Sub(theta, Constant(d, kBurnStart)), Constant(d, kBurnPhasePerDegree));
            burnRate = hn::IfThenElseZero(burning, hn::Mul(CrankSine(d, phase), Constant(d, kBurnFractionScale)));
        }
        const V<D> burnHeat = hn::Div(hn::Mul(hn::Mul(burnRate, Lanes(d, L.heatingValue)), inducted),
                                      hn::Add(Lanes(d, L.airFuelRatio), one));  // BTU per degree

        const V<D> massRate = hn::Sub(intakeFlow, exhaustFlow);
        const V<D> cv = SpecificHeat(d, temp);
        const V<D> k = hn::Mul(cv, Constant(d, kEnergyBalancePerGasConstant));
        const V<D> pdv = hn::Mul(p, rate);
        const V<D> perKV = hn::Div(one, hn::Mul(k, volume));
        const V<D> perMR = hn::Div(one, hn::Mul(mass, Constant(d, kGasConstantBtu)));
        const V<D> btuPerInchPound = Constant(d, kBtuPerInchPound);
        V<D> energy = hn::Add(burnHeat, wallHeat);
        energy = hn::Sub(energy, hn::Mul(pdv, btuPerInchPound));
        energy = hn::Add(energy, hn::Mul(intakeFlow, intakeEnthalpy));
        energy = hn::Sub(energy, hn::Mul(exhaustFlow, exhaustEnthalpy));
        energy = hn::Sub(energy, hn::Mul(hn::Mul(pdv, k), btuPerInchPound));
        energy = hn::Add(energy, hn::Mul(hn::Sub(hn::Mul(temp, cv), u), massRate));
        const V<D> dPressure = hn::Mul(hn::Mul(Constant(d, kInchPoundsPerBtu), energy), perKV);
        const V<D> dTemp = hn::Mul(hn::Sub(hn::Mul(hn::Add(hn::Mul(volume, dPressure), pdv), btuPerInchPound),
                                           hn::Mul(hn::Mul(temp, massRate), Constant(d, kGasConstantBtu))),
                                   perMR);

        // Second-order Adams-Bashforth step of pressure, temperature and mass.
        const V<D> newPressure = AdamsBashforth(d, p, dPressure, dPressurePrev, step);
        pressure = hn::IfThenElse(active, newPressure, pressure);
        temp = hn::IfThenElse(active, AdamsBashforth(d, temp, dTemp, dTempPrev, step), temp);
        mass = hn::IfThenElse(active, AdamsBashforth(d, mass, massRate, dMassPrev, step), mass);
        dPressurePrev = hn::IfThenElse(active, AsStored(d, dPressure), dPressurePrev);
        dTempPrev = hn::IfThenElse(active, AsStored(d, dTemp), dTempPrev);
        dMassPrev = hn::IfThenElse(active, AsStored(d, massRate), dMassPrev);

        // Indicated work by the trapezoid rule over the volume swept, in-lbf.
        const V<D> newTheta = AsStored(d, hn::Add(theta, step));
        V<D> newVolume, newRate;
        Piston(d, L.piston, newTheta, newVolume, newRate);
        const V<D> swept = hn::Mul(hn::Mul(hn::Add(newPressure, p), hn::Sub(newVolume, volume)), Constant(d, 0.5));
        work = hn::IfThenElse(active, AsStored(d, hn::Add(work, swept)), work);
        theta = hn::IfThenElse(active, newTheta, theta);
        volume = hn::IfThenElse(active, newVolume, volume);
        rate = hn::IfThenElse(active, newRate, rate);
    }

    hn::Store(pressure, d, L.pressure.v);
    hn::Store(temp, d, L.temp.v);
    hn::Store(mass, d, L.mass.v);
    hn::Store(inducted, d, L.inducted.v);
    hn::Store(work, d, L.work.v);
    hn::Store(exhaustPort, d, L.exhaustPortPressure.v);
    hn::Store(flowFunction, d, L.intakeFlowFunction.v);
    hn::Store(soundSpeed, d, L.intakeSoundSpeed.v);
    hn::Store(portDensity, d, L.intakePortDensity.v);
    hn::Store(hn::IfThenElseZero(running, one), d, L.running.v);
}

void CrankCycleLanes(CycleLanes& lanes, float stepAngle, int stepLimit)
{
    CrankCycle(hn::CappedTag<double, kMaxCycleLanes>(), lanes, stepAngle, stepLimit);
}

void CrankCycleOneLane(CycleLanes& lanes, float stepAngle, int stepLimit)
{
    CrankCycle(hn::CappedTag<double, 1>(), lanes, stepAngle, stepLimit);
}

int LaneWidth()
{
    return static_cast<int>(hn::Lanes(hn::CappedTag<double, kMaxCycleLanes>()));
}

std::int64_t InstructionSet()
{
    return HWY_TARGET;
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

#include "base/ErrCode.h"

namespace crank_step {
HWY_EXPORT(CrankCycleLanes);
HWY_EXPORT(CrankCycleOneLane);
HWY_EXPORT(LaneWidth);
HWY_EXPORT(InstructionSet);
}  // namespace crank_step

void RunCrankCycle(CycleLanes& lanes, int width, float stepAngle, int stepLimit)
{
    if (width == 1) {
        HWY_DYNAMIC_DISPATCH(crank_step::CrankCycleOneLane)(lanes, stepAngle, stepLimit);
    } else {
        TORQ_ASSERT(width == CycleLaneWidth());
        HWY_DYNAMIC_DISPATCH(crank_step::CrankCycleLanes)(lanes, stepAngle, stepLimit);
    }
}

int CycleLaneWidth()
{
    return HWY_DYNAMIC_DISPATCH(crank_step::LaneWidth)();
}

const char* CycleInstructionSet()
{
    return hwy::TargetName(HWY_DYNAMIC_DISPATCH(crank_step::InstructionSet)());
}

#endif  // HWY_ONCE
