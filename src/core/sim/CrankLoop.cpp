// The crank loop of one speed point: one full filling-and-emptying cycle of
// the cylinder, from EVO to EVO + 720 crank degrees, as a sequence of the
// stages in CrankStep-inl.h. The same loop runs one engine as plain scalar
// arithmetic (OneLane) and a batch of engines in the lanes of SIMD vectors.
// In a batch, lanes whose cycle has ended, whose engine has failed or that
// hold no engine are masked: their values stay as they are while the others
// step on. A valve that is closed in every lane, the ram and the burn outside
// their angles, are skipped for the whole vector; in a lane where they do not
// apply their terms are 0, exactly as for one engine on its own.
//
// Compiled once per instruction set; the processor picks the best at run time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/CrankLoop.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

#include "hwy/highway.h"
#include "sim/CrankStep-inl.h"
#include "sim/CycleLanes.h"

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

// The cylinder at EVO: burnt gas at 2000 R at the point's start pressure,
// m = P V / (R T); the ports as the previous point left them.
template <class D, class Cycle>
HWY_INLINE CycleState<D> StartCycle(D d, Cycle& L)
{
    CycleState<D> s;
    s.running = LoadMask(d, L.running);
    s.theta = LoadLanes(d, L.events.exhaustOpening);
    s.pressure = LoadLanes(d, L.point.startPressure);
    s.temp = Constant(d, static_cast<float>(kStartTemperature));
    const PistonLanes<D> piston = Piston(d, L.geometry, s.theta);
    s.volume = piston.volume;
    s.rate = piston.rate;
    StoreLanes(d, s.volume, L.end.startVolume);
    s.mass = AsStored(d, Mul(Mul(s.volume, s.pressure), Constant(d, kStartMassPerPsiCubicInch)));
    s.dPressure = s.dTemp = s.dMass = Zero(d);
    s.portPressure = LoadLanes(d, L.point.manifoldPressure);
    s.exhaustPort = LoadLanes(d, L.carried.exhaustPortPressure);
    s.ram = Zero(d);
    s.flowFunction = LoadLanes(d, L.carried.intakeFlowFunction);
    s.soundSpeed = LoadLanes(d, L.carried.intakeSoundSpeed);
    s.portDensity = LoadLanes(d, L.carried.intakePortDensity);
    s.inducted = s.work = Zero(d);
    return s;
}

template <class D, class Cycle>
HWY_INLINE void EndCycle(D d, CycleState<D>& s, Cycle& L)
{
    StoreLanes(d, s.pressure, L.end.pressure);
    StoreLanes(d, s.temp, L.end.temp);
    StoreLanes(d, s.mass, L.end.mass);
    StoreLanes(d, s.inducted, L.end.inducted);
    StoreLanes(d, s.work, L.end.work);
    StoreLanes(d, ExhaustPortNow(d, L, s), L.carried.exhaustPortPressure);
    StoreLanes(d, s.flowFunction, L.carried.intakeFlowFunction);
    StoreLanes(d, s.soundSpeed, L.carried.intakeSoundSpeed);
    StoreLanes(d, s.portDensity, L.carried.intakePortDensity);
    StoreMask(d, s.running, L.running);
}

// The intake flow where the valve passes gas: it keeps the flow function,
// speed of sound and port density for the port pressure of the following
// steps and adds the flow to the inducted mass. A lane whose flow fails
// stops. Gives the flow, 0 where none passes.
template <class D, class Cycle>
HWY_INLINE V<D> TakeIntakeFlow(D d, const Cycle& L, V<D> area, const GasLanes<D>& gas, V<D> step,
                               M<D>& active, CycleState<D>& s)
{
    const M<D> open = And(active, Gt(area, Zero(d)));
    if (AllFalse(d, open)) return Zero(d);
    const V<D> perStep = LoadLanes(d, L.point.perStep);
    const IntakeFlowLanes<D> in = IntakeFlow(d, L.point, open, s.portPressure, gas, area, perStep);
    const M<D> flowing = AndNot(in.stream.failed, open);
    s.flowFunction = IfThenElse(flowing, AsStored(d, in.flowFunction), s.flowFunction);
    s.soundSpeed = IfThenElse(flowing, AsStored(d, in.soundSpeed), s.soundSpeed);
    s.portDensity = IfThenElse(flowing, AsStored(d, in.portDensity), s.portDensity);
    s.inducted = IfThenElse(flowing, AsStored(d, Add(s.inducted, Mul(in.stream.flow, step))), s.inducted);
    s.running = AndNot(in.stream.failed, s.running);
    active = AndNot(in.stream.failed, active);
    return IfThenElseZero(flowing, in.stream.flow);
}

// The exhaust flow where the valve passes gas; a lane whose flow fails stops.
template <class D, class Cycle>
HWY_INLINE V<D> TakeExhaustFlow(D d, const Cycle& L, V<D> area, const GasLanes<D>& gas, M<D>& active,
                                CycleState<D>& s)
{
    const M<D> open = And(active, Gt(area, Zero(d)));
    if (AllFalse(d, open)) return Zero(d);
    const V<D> pe = ExhaustPortNow(d, L, s);
    const FlowLanes<D> out = ExhaustFlow(d, open, pe, gas, area, LoadLanes(d, L.point.perStep));
    s.running = AndNot(out.failed, s.running);
    active = AndNot(out.failed, active);
    return IfThenElseZero(AndNot(out.failed, open), out.flow);
}

// The heat and the flows of one crank degree, for the energy balance.
template <class D, class Cycle>
HWY_INLINE EnergyTerms<D> Energies(D d, const Cycle& L, CycleState<D>& s, M<D> active, V<D> intakeFlow,
                                   V<D> exhaustFlow, V<D> u)
{
    const V<D> perStep = LoadLanes(d, L.point.perStep);
    const V<D> cylinderEnthalpy = Enthalpy(d, s.temp, u);
    EnergyTerms<D> e;
    e.burnHeat = BurnHeat(d, L.run, active, s.theta, s.inducted);
    e.wallHeat = WallHeat(d, L.run, s.volume, s.temp, perStep);
    e.intakeFlow = intakeFlow;
    e.intakeEnthalpy =
        IfThenElse(Le(s.pressure, s.portPressure), LoadLanes(d, L.point.chargeEnthalpy), cylinderEnthalpy);
    e.exhaustFlow = exhaustFlow;
    e.exhaustHeat = ExhaustHeat(d, L, s, exhaustFlow, cylinderEnthalpy);
    return e;
}

// Pressure, temperature and mass one step on, the rates kept for the next
// step, the work over the step, and the crank angle, volume and its rate at
// the new angle (worked out beforehand: they depend on the angle alone).
template <class D>
HWY_INLINE void Advance(D d, M<D> active, V<D> step, const Rates<D>& rates, V<D> newTheta,
                        const PistonLanes<D>& piston, CycleState<D>& s)
{
    const V<D> newPressure = AdamsBashforth(d, s.pressure, rates.pressure, s.dPressure, step);
    s.work = IfThenElse(active, Work(d, s.work, newPressure, s.pressure, piston.volume, s.volume), s.work);
    s.temp = IfThenElse(active, AdamsBashforth(d, s.temp, rates.temp, s.dTemp, step), s.temp);
    s.mass = IfThenElse(active, AdamsBashforth(d, s.mass, rates.mass, s.dMass, step), s.mass);
    s.pressure = IfThenElse(active, newPressure, s.pressure);
    s.dPressure = IfThenElse(active, AsStored(d, rates.pressure), s.dPressure);
    s.dTemp = IfThenElse(active, AsStored(d, rates.temp), s.dTemp);
    s.dMass = IfThenElse(active, AsStored(d, rates.mass), s.dMass);
    s.theta = IfThenElse(active, newTheta, s.theta);
    s.volume = IfThenElse(active, piston.volume, s.volume);
    s.rate = IfThenElse(active, piston.rate, s.rate);
}

// One crank step of the lanes in active: valve areas, port pressures, gas
// flows, energy balance, integration. Each stage works on the state at the
// start of the step, but for the ports and flows worked out before it.
template <class D, class Cycle>
HWY_INLINE void CrankStep(D d, const Cycle& L, M<D> active, V<D> step, CycleState<D>& s)
{
    const ValveAreaLanes<D> areas = ValveAreas(d, L, active, s.theta, s.portPressure, s.pressure);
    StepExhaustPort(d, L, active, s.theta, s);
    s.ram = RamPressure(d, L.point, active, s.theta, s.ram);
    const V<D> port = IntakePortPressure(d, L, s, areas.intake);
    s.portPressure = IfThenElse(active, AsStored(d, port), s.portPressure);

    const GasLanes<D> gas = Gas(d, s.pressure, s.temp, areas.intake, areas.exhaust);
    const V<D> intakeFlow = TakeIntakeFlow(d, L, areas.intake, gas, step, active, s);
    const V<D> exhaustFlow = TakeExhaustFlow(d, L, areas.exhaust, gas, active, s);

    const V<D> u = InternalEnergy(d, s.temp);
    const EnergyTerms<D> energies = Energies(d, L, s, active, intakeFlow, exhaustFlow, u);
    const Rates<D> rates = EnergyBalance(d, s, energies, u, SpecificHeat(d, s.temp));
    const V<D> newTheta = AsStored(d, Add(s.theta, step));
    Advance(d, active, step, rates, newTheta, Piston(d, L.geometry, newTheta), s);
}

// Float accumulation of the angle decides whether the final step runs; the
// step limit only stops a cycle that could never end.
template <class D, class Cycle>
void CrankCycle(D d, Cycle& L, float stepAngle, int stepLimit)
{
    CycleState<D> s = StartCycle(d, L);
    const V<D> lastAngle = Add(LoadLanes(d, L.events.exhaustOpening), Constant(d, 720.0));
    const V<D> step = Constant(d, stepAngle);  // crank degrees
    for (int steps = 0;; ++steps) {
        const M<D> active = And(s.running, Le(s.theta, lastAngle));
        if (AllFalse(d, active)) break;
        if (steps > stepLimit) {
            s.running = AndNot(active, s.running);
            break;
        }
        CrankStep(d, L, active, step, s);
    }
    EndCycle(d, s, L);
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

void CrankCycleOne(EngineCycle& cycle, float stepAngle, int stepLimit)
{
    CrankCycle(OneLane(), cycle, stepAngle, stepLimit);
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

namespace crank_step {
HWY_EXPORT(CrankCycleLanes);
HWY_EXPORT(CrankCycleOne);
HWY_EXPORT(LaneWidth);
HWY_EXPORT(InstructionSet);
HWY_EXPORT(FusesMultiplyAdd);
}  // namespace crank_step

void RunCrankCycle(EngineCycle& cycle, float stepAngle, int stepLimit)
{
    HWY_DYNAMIC_DISPATCH(crank_step::CrankCycleOne)(cycle, stepAngle, stepLimit);
}

void RunCrankCycle(CycleLanes& lanes, float stepAngle, int stepLimit)
{
    HWY_DYNAMIC_DISPATCH(crank_step::CrankCycleLanes)(lanes, stepAngle, stepLimit);
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
