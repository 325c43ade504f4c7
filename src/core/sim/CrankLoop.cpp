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
HWY_INLINE V<D> OrificeFlow(D d, V<D> psi, V<D> soundSpeed, V<D> upstreamPressure, V<D> perUpstreamTemp,
                            V<D> area, V<D> perStep)
{
    V<D> flow = Mul(Mul(Sqrt(psi), soundSpeed), upstreamPressure);
    flow = Mul(Mul(flow, Constant(d, kOrificeFlowCoefficient)), perUpstreamTemp);
    return Mul(Mul(flow, area), perStep);
}

// x + (1.5 dx - 0.5 dxPrev) step, stored as a float.
template <class D>
HWY_INLINE V<D> AdamsBashforth(D d, V<D> x, V<D> dx, V<D> dxPrev, V<D> step)
{
    const V<D> slope = Sub(Mul(Constant(d, 1.5), dx), Mul(Constant(d, 0.5), dxPrev));
    return AsStored(d, Add(x, Mul(slope, step)));
}

template <class D>
void CrankCycle(D d, CycleLanes& L, float stepAngle, int stepLimit)
{
    const V<D> zero = Zero(d);
    const V<D> one = Constant(d, 1.0);
    const V<D> step = Constant(d, stepAngle);  // crank degrees

    // The cylinder at EVO: burnt gas at 2000 R.
    M<D> running = Ne(LoadLanes(d, L.running), zero);
    V<D> theta = LoadLanes(d, L.exhaustOpening);
    V<D> pressure = LoadLanes(d, L.startPressure);
    V<D> temp = Constant(d, static_cast<float>(kStartTemperature));
    V<D> volume, rate;
    Piston(d, L.piston, theta, volume, rate);
    Store(volume, d, L.startVolume.v);
    V<D> mass = AsStored(d, Mul(Mul(volume, pressure), Constant(d, kStartMassPerPsiCubicInch)));
    V<D> portPressure = LoadLanes(d, L.manifoldPressure);
    V<D> dPressurePrev = zero, dTempPrev = zero, dMassPrev = zero;
    V<D> inducted = zero, work = zero, ram = zero;
    V<D> exhaustPort = LoadLanes(d, L.exhaustPortPressure);
    // The flow function, speed of sound and port density of the last intake flow.
    V<D> flowFunction = LoadLanes(d, L.intakeFlowFunction);
    V<D> soundSpeed = LoadLanes(d, L.intakeSoundSpeed);
    V<D> portDensity = LoadLanes(d, L.intakePortDensity);

    const V<D> lastAngle = Add(LoadLanes(d, L.exhaustOpening), Constant(d, 720.0));
    const V<D> perStep = LoadLanes(d, L.perStep);
    const M<D> boosted = Ne(LoadLanes(d, L.boosted), zero);

    // Float accumulation of the angle decides whether the final step runs;
    // the step limit only stops a cycle that could never end.
    for (int steps = 0;; ++steps) {
        M<D> active = And(running, Le(theta, lastAngle));
        if (AllFalse(d, active)) break;
        if (steps > stepLimit) {
            running = AndNot(active, running);
            break;
        }
        const V<D> p = pressure;

        // Effective valve areas, sq in; a closed valve has none.
        const M<D> intakeOpen = And(
            active, And(Lt(LoadLanes(d, L.intakeOpening), theta), Lt(theta, LoadLanes(d, L.intakeClosing))));
        const M<D> exhaustOpen = And(active, And(Lt(LoadLanes(d, L.exhaustOpening), theta),
                                                 Lt(theta, LoadLanes(d, L.exhaustClosing))));
        V<D> intakeArea = zero;
        V<D> exhaustArea = zero;
        if (!AllFalse(d, intakeOpen)) {
            intakeArea = IfThenElseZero(
                intakeOpen, IntakeValveArea(d, L.intakeLobe, L.intakeFlow, LoadLanes(d, L.intakeDiameter),
                                            theta, portPressure, p));
        }
        if (!AllFalse(d, exhaustOpen)) {
            exhaustArea = IfThenElseZero(
                exhaustOpen,
                ExhaustValveArea(d, L.exhaustLobe, L.exhaustFlow, LoadLanes(d, L.exhaustDiameter), theta));
        }

        // Exhaust port: the tuned wave, or a steady pressure against a turbine or blower drive.
        const V<D> pe = IfThenElse(boosted, LoadLanes(d, L.boostedExhaustPressure),
                                   ExhaustPortPressure(d, L.wave, theta, exhaustPort));
        exhaustPort = IfThenElse(active, pe, exhaustPort);

        // Ram: a ramp towards BDC, then an oscillation in the runner.
        const V<D> ramAmplitude = LoadLanes(d, L.ramAmplitude);
        const M<D> ramp = And(active, And(Lt(Constant(d, 510.0), theta), Le(theta, Constant(d, 540.0))));
        if (!AllFalse(d, ramp)) {
            const V<D> rising =
                Mul(Mul(Sub(theta, Constant(d, 510.0)), ramAmplitude), Constant(d, kRamRampPerDegree));
            ram = IfThenElse(ramp, AsStored(d, rising), ram);
        }
        const M<D> ringing = And(active, And(Lt(Constant(d, 540.0), theta), Lt(theta, Constant(d, 650.0))));
        if (!AllFalse(d, ringing)) {
            const V<D> phase = Mul(Mul(Sub(theta, Constant(d, 540.0)), LoadLanes(d, L.ramFrequency)),
                                   Constant(d, kRadiansPerDegree));
            ram = IfThenElse(ringing, AsStored(d, Mul(CrankSine(d, phase), ramAmplitude)), ram);
        }

        // Intake port: the manifold pressure less the dynamic head of the
        // port flow of the last intake computation, plus the ram, psi.
        const V<D> portVelocity = Div(Mul(Mul(Sqrt(flowFunction), soundSpeed), intakeArea),
                                      LoadLanes(d, L.intakePortArea));  // ft/s
        const V<D> dynamicHead =
            Mul(Mul(Mul(Constant(d, 0.5), portDensity), portVelocity), portVelocity);  // lbf/sq ft
        const V<D> newPort =
            Add(Mul(Sub(Mul(LoadLanes(d, L.manifoldPressure), Constant(d, kSquareInchesPerSquareFoot)),
                        dynamicHead),
                    Constant(d, kSquareFeetPerSquareInch)),
                ram);
        portPressure = IfThenElse(active, AsStored(d, newPort), portPressure);

        const V<D> gasSoundSpeed = Sqrt(Mul(Constant(d, kSoundSpeedSquaredPerRankine), temp));
        const V<D> gasPerTemp = Div(one, temp);

        // Intake mass flow, lb per crank degree (negative: charge pushed back
        // into the port). A negative pressure ratio, temperature or flow
        // function fails the lane.
        V<D> intakeFlow = zero;
        const M<D> intakeFlowing = And(active, Gt(intakeArea, zero));
        if (!AllFalse(d, intakeFlowing)) {
            const M<D> inward = Gt(portPressure, p);
            const V<D> pu = IfThenElse(inward, portPressure, p);
            const V<D> tu = IfThenElse(inward, LoadLanes(d, L.chargeTemp), temp);
            const V<D> r = Div(IfThenElse(inward, p, portPressure), pu);
            const V<D> psi = FlowFunction(d, r);
            const M<D> failed = And(intakeFlowing, Or(Or(Lt(r, zero), Lt(tu, zero)), Lt(psi, zero)));
            const V<D> upstreamSound = IfThenElse(inward, LoadLanes(d, L.chargeSoundSpeed), gasSoundSpeed);
            const V<D> perTu = IfThenElse(inward, LoadLanes(d, L.perChargeTemp), gasPerTemp);
            V<D> flow = OrificeFlow(d, psi, upstreamSound, pu, perTu, intakeArea, perStep);
            flow = IfThenElse(Lt(portPressure, p), Neg(flow), flow);
            const M<D> flowing = AndNot(failed, intakeFlowing);
            intakeFlow = IfThenElseZero(flowing, flow);
            flowFunction = IfThenElse(flowing, AsStored(d, psi), flowFunction);
            soundSpeed = IfThenElse(flowing, AsStored(d, upstreamSound), soundSpeed);
            const V<D> density = Div(Mul(portPressure, Constant(d, kSquareInchesPerSquareFoot)),
                                     Mul(tu, Constant(d, kGasConstantSlug)));
            portDensity = IfThenElse(flowing, AsStored(d, density), portDensity);
            inducted = IfThenElse(flowing, AsStored(d, Add(inducted, Mul(flow, step))), inducted);
            running = AndNot(failed, running);
            active = AndNot(failed, active);
        }

        // Exhaust mass flow out of the cylinder, lb per crank degree
        // (negative: port gas at 2000 R flowing back in).
        V<D> exhaustFlow = zero;
        const M<D> exhaustFlowing = And(active, Gt(exhaustArea, zero));
        if (!AllFalse(d, exhaustFlowing)) {
            const M<D> outward = Ge(p, pe);
            const V<D> pu = IfThenElse(outward, p, pe);
            const V<D> tu = IfThenElse(outward, temp, Constant(d, kExhaustBackflowTemperature));
            const V<D> r = Div(IfThenElse(outward, pe, p), pu);
            const M<D> failed = And(exhaustFlowing, Or(Lt(r, zero), Lt(tu, zero)));
            const V<D> upstreamSound = IfThenElse(outward, gasSoundSpeed, Constant(d, kBackflowSoundSpeed));
            const V<D> perTu =
                IfThenElse(outward, gasPerTemp, Constant(d, 1.0 / kExhaustBackflowTemperature));
            V<D> flow = OrificeFlow(d, FlowFunction(d, r), upstreamSound, pu, perTu, exhaustArea, perStep);
            flow = IfThenElse(Lt(p, pe), Neg(flow), flow);
            exhaustFlow = IfThenElseZero(AndNot(failed, exhaustFlowing), flow);
            running = AndNot(failed, running);
            active = AndNot(failed, active);
        }

        // Energy and state equations of the cylinder gas, per crank degree:
        //   dP = 9336 (dQburn + dQwall - P dV/9336 + min hI - mex hE - P dV K/9336 + (T cv - u) dm) / (K V)
        //   dT = ((V dP + P dV)/9336 - T dm R) / (m R),   K = cv / R
        const V<D> u = InternalEnergy(d, temp);
        const V<D> cylinderEnthalpy = Add(u, Mul(Constant(d, kGasConstantBtu), temp));  // BTU/lb
        const V<D> intakeEnthalpy =
            IfThenElse(Le(p, portPressure), LoadLanes(d, L.chargeEnthalpy), cylinderEnthalpy);
        const V<D> exhaustEnthalpy =
            IfThenElse(Le(pe, p), cylinderEnthalpy, Constant(d, kExhaustBackflowEnthalpy));
        // Heat to the walls (head, piston crown and the exposed liner), BTU per crank degree.
        const V<D> wallArea = Add(Mul(volume, LoadLanes(d, L.fourPerBore)), LoadLanes(d, L.wallArea));
        const V<D> wallHeat =
            Mul(Mul(Mul(Mul(Constant(d, kWallFilmCoefficient), Sub(Constant(d, kWallTemperature), temp)),
                        wallArea),
                    Constant(d, kWallFilmCoefficientUnit)),
                perStep);
        // Fraction of the charge burnt per crank degree: a half-sine over 60 degrees that sums to 1.
        V<D> burnRate = zero;
        const M<D> burning = And(active, And(Lt(Constant(d, kBurnStart), theta),
                                             Lt(theta, Constant(d, kBurnStart + kBurnDuration))));
        if (!AllFalse(d, burning)) {
            const V<D> phase = Mul(Sub(theta, Constant(d, kBurnStart)), Constant(d, kBurnPhasePerDegree));
            burnRate = IfThenElseZero(burning, Mul(CrankSine(d, phase), Constant(d, kBurnFractionScale)));
        }
        const V<D> burnHeat = Div(Mul(Mul(burnRate, LoadLanes(d, L.heatingValue)), inducted),
                                  Add(LoadLanes(d, L.airFuelRatio), one));  // BTU per degree

        const V<D> massRate = Sub(intakeFlow, exhaustFlow);
        const V<D> cv = SpecificHeat(d, temp);
        const V<D> k = Mul(cv, Constant(d, kEnergyBalancePerGasConstant));
        const V<D> pdv = Mul(p, rate);
        const V<D> perKV = Div(one, Mul(k, volume));
        const V<D> perMR = Div(one, Mul(mass, Constant(d, kGasConstantBtu)));
        const V<D> btuPerInchPound = Constant(d, kBtuPerInchPound);
        V<D> energy = Add(burnHeat, wallHeat);
        energy = Sub(energy, Mul(pdv, btuPerInchPound));
        energy = Add(energy, Mul(intakeFlow, intakeEnthalpy));
        energy = Sub(energy, Mul(exhaustFlow, exhaustEnthalpy));
        energy = Sub(energy, Mul(Mul(pdv, k), btuPerInchPound));
        energy = Add(energy, Mul(Sub(Mul(temp, cv), u), massRate));
        const V<D> dPressure = Mul(Mul(Constant(d, kInchPoundsPerBtu), energy), perKV);
        const V<D> dTemp = Mul(Sub(Mul(Add(Mul(volume, dPressure), pdv), btuPerInchPound),
                                   Mul(Mul(temp, massRate), Constant(d, kGasConstantBtu))),
                               perMR);

        // Second-order Adams-Bashforth step of pressure, temperature and mass.
        const V<D> newPressure = AdamsBashforth(d, p, dPressure, dPressurePrev, step);
        pressure = IfThenElse(active, newPressure, pressure);
        temp = IfThenElse(active, AdamsBashforth(d, temp, dTemp, dTempPrev, step), temp);
        mass = IfThenElse(active, AdamsBashforth(d, mass, massRate, dMassPrev, step), mass);
        dPressurePrev = IfThenElse(active, AsStored(d, dPressure), dPressurePrev);
        dTempPrev = IfThenElse(active, AsStored(d, dTemp), dTempPrev);
        dMassPrev = IfThenElse(active, AsStored(d, massRate), dMassPrev);

        // Indicated work by the trapezoid rule over the volume swept, in-lbf.
        const V<D> newTheta = AsStored(d, Add(theta, step));
        V<D> newVolume, newRate;
        Piston(d, L.piston, newTheta, newVolume, newRate);
        const V<D> swept = Mul(Mul(Add(newPressure, p), Sub(newVolume, volume)), Constant(d, 0.5));
        work = IfThenElse(active, AsStored(d, Add(work, swept)), work);
        theta = IfThenElse(active, newTheta, theta);
        volume = IfThenElse(active, newVolume, volume);
        rate = IfThenElse(active, newRate, rate);
    }

    Store(pressure, d, L.pressure.v);
    Store(temp, d, L.temp.v);
    Store(mass, d, L.mass.v);
    Store(inducted, d, L.inducted.v);
    Store(work, d, L.work.v);
    Store(exhaustPort, d, L.exhaustPortPressure.v);
    Store(flowFunction, d, L.intakeFlowFunction.v);
    Store(soundSpeed, d, L.intakeSoundSpeed.v);
    Store(portDensity, d, L.intakePortDensity.v);
    Store(IfThenElseZero(running, one), d, L.running.v);
}

// The batch: two vectors of engines stepped together where vectors have a
// fixed size, one vector where they do not.
#if HWY_HAVE_SCALABLE
using BatchTag = hn::CappedTag<double, kMaxCycleLanes>;
#else
using BatchTag = Twin<hn::CappedTag<double, kMaxCycleLanes / 2> >;
#endif

void CrankCycleLanes(CycleLanes& lanes, float stepAngle, int stepLimit)
{
    CrankCycle(BatchTag(), lanes, stepAngle, stepLimit);
}

void CrankCycleOneLane(CycleLanes& lanes, float stepAngle, int stepLimit)
{
    CrankCycle(hn::CappedTag<double, 1>(), lanes, stepAngle, stepLimit);
}

int LaneWidth()
{
    return static_cast<int>(LaneCount(BatchTag()));
}

std::int64_t InstructionSet()
{
    return HWY_TARGET;
}

// Whether Highway's multiply-add (inside Exp and Log) is one fused
// operation on this instruction set: x86 from AVX2 on, and the Arm, Power
// and RISC-V vector sets, round once; SSE4 and below, WebAssembly and the
// portable fallbacks round the product first.
bool FusesMultiplyAdd()
{
#if HWY_ARCH_X86
    return HWY_TARGET <= HWY_AVX2;
#elif HWY_ARCH_WASM
    return false;
#else
    return HWY_TARGET != HWY_EMU128 && HWY_TARGET != HWY_SCALAR;
#endif
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
HWY_EXPORT(FusesMultiplyAdd);
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

bool CycleFusesMultiplyAdd()
{
    return HWY_DYNAMIC_DISPATCH(crank_step::FusesMultiplyAdd)();
}

#endif  // HWY_ONCE
