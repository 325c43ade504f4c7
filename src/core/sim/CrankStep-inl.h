// One crank step of the cylinder as a sequence of physical stages, on any
// kind of lanes (LaneOps-inl.h): the port pressures, the gas flows through
// the valves, the energy balance and its integration, and the work. Each
// stage reads an engine's own record (EngineCycle) or the lanes of several
// (CycleLanes) alike, and gives a small struct of lanes.
//
// Pressures psi absolute, temperatures degrees Rankine (R), masses pounds,
// volumes cubic inches, energies BTU, angles crank degrees; every rate is
// per crank degree.

#include "CrankValves-inl.h"

#include <limits>

#if defined(TORQWELL_SIM_CRANK_STEP_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORQWELL_SIM_CRANK_STEP_INL_H_
#undef TORQWELL_SIM_CRANK_STEP_INL_H_
#else
#define TORQWELL_SIM_CRANK_STEP_INL_H_
#endif

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

// How the exhaust port follows its wave (see StepExhaustPort). A batch
// works the pressure out at every step and keeps nothing more; one engine
// keeps the wave angle of the latest step that sets the pressure, and
// whether the pressure has been worked out from it.
template <class D>
struct PortWave {
};

template <>
struct PortWave<OneLane> {
    double angle = 0.0;    // degrees of wave
    bool pending = false;  // exhaustPort is not yet the pressure at angle
};

// What changes from one crank step to the next. The cylinder's pressure,
// temperature and mass, their rates, the port pressures, the inducted mass
// and the work are kept as floats (rounded by AsStored).
template <class D>
struct CycleState {
    V<D> theta;                    // crank degrees
    V<D> pressure, temp, mass;     // psi, R, lb: the cylinder gas
    V<D> volume, rate;             // ci, ci per crank degree
    V<D> dPressure, dTemp, dMass;  // rates of the previous step
    V<D> portPressure;             // psi, intake port
    V<D> exhaustPort;              // psi, exhaust port
    PortWave<D> wave;
    V<D> ram;           // psi, ram in the intake runner
    V<D> flowFunction;  // psi of the last intake flow
    V<D> soundSpeed;    // ft/s, upstream of the last intake flow
    V<D> portDensity;   // slug/ft3, port gas of the last intake flow
    V<D> inducted;      // lb, net mass taken in
    V<D> work;          // in-lbf
    M<D> running;       // lanes whose cycle has not failed
};

// ---- Ports

// The exhaust-port wave. The wave angle is the crank angle since EVO scaled
// by the tuning speed and stretched so that the blowdown pulse fills the
// rest of the stroke; with the amplitude a and base p0 the pressure, psi, as
// a float, is
//   y = ((theta - EVO) Nt / N) 270 / (360 - EVO)
//   pe = p0 + 2 a sin y (y < 180),  p0 + f2 a sin y (180 < y < 360),  p0 + 0.8 a sin y (y > 360)
// Exactly on the wave angles 180 and 360 the pressure keeps its previous value.
template <class D, class Wave>
HWY_INLINE V<D> WaveAngle(D d, const Wave& w, V<D> theta)
{
    const V<D> sinceOpening = Sub(theta, LoadLanes(d, w.exhaustOpening));
    return Mul(Div(Mul(sinceOpening, LoadLanes(d, w.tuningRpm)), LoadLanes(d, w.rpm)),
               LoadLanes(d, w.angleScale));
}

// Whether the wave angle y sets the pressure: every angle but 180 and 360.
template <class D>
HWY_INLINE M<D> WaveSetsPressure(D d, V<D> y)
{
    const V<D> blowdownEnd = Constant(d, kBlowdownEnd);
    const V<D> reflectionEnd = Constant(d, kReflectionEnd);
    return Or(Or(Lt(y, blowdownEnd), Gt(y, reflectionEnd)), And(Gt(y, blowdownEnd), Lt(y, reflectionEnd)));
}

template <class D, class Wave>
HWY_INLINE V<D> WavePressure(D d, const Wave& w, V<D> y, V<D> previous)
{
    const V<D> sinY = CrankSine(d, Mul(y, Constant(d, kRadiansPerDegree)));
    const V<D> amplitude = LoadLanes(d, w.amplitude);
    const V<D> base = LoadLanes(d, w.basePressure);
    const auto wave = [&](V<D> factor) { return AsStored(d, Add(Mul(Mul(factor, amplitude), sinY), base)); };
    const auto ringing = [&] { return wave(Constant(d, kLaterWaveFactor)); };
    const auto reflection = [&] { return wave(LoadLanes(d, w.laterWaveFactor)); };
    const auto blowdown = [&] { return wave(Constant(d, kBlowdownFactor)); };
    const auto keep = [&] { return previous; };
    const V<D> blowdownEnd = Constant(d, kBlowdownEnd);
    const V<D> reflectionEnd = Constant(d, kReflectionEnd);
    V<D> pe = Choose(d, Gt(y, reflectionEnd), ringing, keep);
    pe = Choose(d, And(Gt(y, blowdownEnd), Lt(y, reflectionEnd)), reflection, [&] { return pe; });
    return Choose(d, Lt(y, blowdownEnd), blowdown, [&] { return pe; });
}

template <class D, class Wave>
HWY_INLINE V<D> ExhaustPortPressure(D d, const Wave& w, V<D> theta, V<D> previous)
{
    return WavePressure(d, w, WaveAngle(d, w, theta), previous);
}

// The exhaust port at a step's crank angle: the tuned wave, or with boost a
// steady pressure against a turbine or a blower drive. A batch works the
// pressure out at every step. One engine only notes the wave angle of each
// step that sets the pressure, and works the pressure out from the latest
// such angle when a step needs it (ExhaustPortNow): the very pressure that
// step would have had.
template <class D, class Cycle>
HWY_INLINE void StepExhaustPort(D d, const Cycle& L, M<D> active, V<D> theta, CycleState<D>& s)
{
    const V<D> pe = Choose(
        d, LoadMask(d, L.point.boosted), [&] { return LoadLanes(d, L.point.boostedExhaustPressure); },
        [&] { return ExhaustPortPressure(d, L.wave, theta, s.exhaustPort); });
    s.exhaustPort = IfThenElse(active, pe, s.exhaustPort);
}

template <class Cycle>
HWY_INLINE void StepExhaustPort(OneLane d, const Cycle& L, bool active, double theta, CycleState<OneLane>& s)
{
    if (!active) return;
    if (L.point.boosted) {
        s.exhaustPort = LoadLanes(d, L.point.boostedExhaustPressure);
        return;
    }
    const double y = WaveAngle(d, L.wave, theta);
    if (WaveSetsPressure(d, y)) s.wave = {y, true};
}

template <class D, class Cycle>
HWY_INLINE V<D> ExhaustPortNow(D, const Cycle&, CycleState<D>& s)
{
    return s.exhaustPort;
}

template <class Cycle>
HWY_INLINE double ExhaustPortNow(OneLane d, const Cycle& L, CycleState<OneLane>& s)
{
    if (s.wave.pending) {
        s.exhaustPort = WavePressure(d, L.wave, s.wave.angle, s.exhaustPort);
        s.wave.pending = false;
    }
    return s.exhaustPort;
}

// Ram pressure in the intake runner, psi, with the amplitude v: a rise over
// the 30 degrees before BDC, then a ringing for 110 degrees after it,
//   510 < theta <= 540:  ram = (theta - 510) v 0.028571429
//   540 < theta <  650:  ram = v sin((theta - 540) w)
// and elsewhere the value it had.
template <class D, class Point>
HWY_INLINE V<D> RamPressure(D d, const Point& point, M<D> active, V<D> theta, V<D> ram)
{
    const V<D> amplitude = LoadLanes(d, point.ramAmplitude);
    const V<D> riseStart = Constant(d, kRamRiseStart);
    const V<D> bdc = Constant(d, kIntakeBdc);
    const M<D> ramp = And(active, And(Lt(riseStart, theta), Le(theta, bdc)));
    if (!AllFalse(d, ramp)) {
        const V<D> rising = Mul(Mul(Sub(theta, riseStart), amplitude), Constant(d, kRamRisePerDegree));
        ram = IfThenElse(ramp, AsStored(d, rising), ram);
    }
    const M<D> ringing = And(active, And(Lt(bdc, theta), Lt(theta, Constant(d, kRamRingingEnd))));
    if (!AllFalse(d, ringing)) {
        const V<D> phase =
            Mul(Mul(Sub(theta, bdc), LoadLanes(d, point.ramFrequency)), Constant(d, kRadiansPerDegree));
        ram = IfThenElse(ringing, AsStored(d, Mul(CrankSine(d, phase), amplitude)), ram);
    }
    return ram;
}

// Intake port pressure, psi: the manifold pressure pm less the dynamic head
// of the port flow of the last intake computation, plus the ram:
//   u  = sqrt(psi) a Ain / Aport                     ft/s
//   pp = (144 pm - rho u^2 / 2) / 144 + ram          rho in slug/ft3
template <class D, class Cycle>
HWY_INLINE V<D> IntakePortPressure(D d, const Cycle& L, const CycleState<D>& s, V<D> intakeArea)
{
    const V<D> portVelocity =
        Div(Mul(Mul(Sqrt(s.flowFunction), s.soundSpeed), intakeArea), LoadLanes(d, L.run.intakePortArea));
    const V<D> dynamicHead =
        Mul(Mul(Mul(Constant(d, 0.5), s.portDensity), portVelocity), portVelocity);  // lbf/sq ft
    const V<D> manifold =
        Mul(LoadLanes(d, L.point.manifoldPressure), Constant(d, kSquareInchesPerSquareFoot));
    return Add(Mul(Sub(manifold, dynamicHead), Constant(d, kSquareFeetPerSquareInch)), s.ram);
}

// ---- Gas flow through a valve

// Subsonic compressible flow function of the pressure ratio r = downstream /
// upstream, with g = 1.4 for air:
//   psi = 2/(g - 1) (r^(2/g) - r^((g + 1)/g)) = 5 (r^1.428 - r^1.714)
// both powers from one logarithm.
template <class D>
HWY_INLINE V<D> FlowFunction(D d, V<D> r)
{
    const V<D> logR = Log(d, r);
    return Mul(Constant(d, kFlowFunctionScale), Sub(Exp(d, Mul(Constant(d, kFlowExponentLow), logR)),
                                                    Exp(d, Mul(Constant(d, kFlowExponentHigh), logR))));
}

// One engine works out both powers in the two lanes of one vector: each
// lane runs the very sequence of Exp on one lane.
HWY_INLINE double FlowFunction(OneLane d, double r)
{
    const double logR = Log(d, r);
    const double low = Mul(kFlowExponentLow, logR);
    const double high = Mul(kFlowExponentHigh, logR);
#if HWY_TARGET == HWY_SCALAR
    return Mul(kFlowFunctionScale, Sub(Exp(d, low), Exp(d, high)));
#else
    const hn::CappedTag<double, 2> d2;
    const auto powers = hn::Exp(d2, hn::InterleaveLower(d2, hn::Set(d2, low), hn::Set(d2, high)));
    return Mul(kFlowFunctionScale, Sub(hn::GetLane(powers), hn::ExtractLane(powers, 1)));
#endif
}

// Mass flow through an effective area, lb per crank degree:
//   m' = sqrt(psi) a Pu / Tu / R A dt
// with a the speed of sound (ft/s) and Tu the temperature upstream, R of air
// in ft-lbf/(lb R) and dt the seconds per crank degree.
template <class D>
HWY_INLINE V<D> OrificeFlow(D d, V<D> psi, V<D> soundSpeed, V<D> upstreamPressure, V<D> perUpstreamTemp,
                            V<D> area, V<D> perStep)
{
    V<D> flow = Mul(Mul(Sqrt(psi), soundSpeed), upstreamPressure);
    flow = Mul(Mul(flow, Constant(d, kOrificeFlowCoefficient)), perUpstreamTemp);
    return Mul(Mul(flow, area), perStep);
}

// The cylinder gas as the flows see it.
template <class D>
struct GasLanes {
    V<D> pressure;    // psi
    V<D> temp;        // R
    V<D> soundSpeed;  // ft/s, sqrt(2405.018 T)
    V<D> perTemp;     // 1/R
};

// The gas at pressure p and temperature T; its speed of sound a = sqrt(2405.018 T)
// and 1/T only where some valve passes gas, since only a flow uses them.
template <class D>
HWY_INLINE GasLanes<D> Gas(D d, V<D> p, V<D> t, V<D> intakeArea, V<D> exhaustArea)
{
    GasLanes<D> gas{p, t, Zero(d), Zero(d)};
    if (AllFalse(d, Or(Gt(intakeArea, Zero(d)), Gt(exhaustArea, Zero(d))))) return gas;
    gas.soundSpeed = Sqrt(Mul(Constant(d, kSoundSpeedSquaredPerRankine), t));
    gas.perTemp = Div(Constant(d, 1.0), t);
    return gas;
}

template <class D>
struct FlowLanes {
    V<D> flow;    // lb per crank degree
    M<D> failed;  // a negative pressure ratio, temperature or flow function
};

// Charge through the intake valve, lb per crank degree: from the port at the
// charge temperature while the port pressure pp is above the cylinder's,
// else cylinder gas pushed back into the port (a negative flow). Also the
// flow function, speed of sound and port density (rho = 144 pp / (1716 Tu),
// slug/ft3) that the port pressure of the following steps uses.
template <class D>
struct IntakeFlowLanes {
    FlowLanes<D> stream;
    V<D> flowFunction;
    V<D> soundSpeed;   // ft/s
    V<D> portDensity;  // slug/ft3
};

template <class D, class Point>
HWY_INLINE IntakeFlowLanes<D> IntakeFlow(D d, const Point& point, M<D> flowing, V<D> portPressure,
                                         const GasLanes<D>& gas, V<D> area, V<D> perStep)
{
    const V<D> p = gas.pressure;
    const M<D> inward = Gt(portPressure, p);
    const V<D> pu = IfThenElse(inward, portPressure, p);
    const V<D> tu = IfThenElse(inward, LoadLanes(d, point.chargeTemp), gas.temp);
    const V<D> r = Div(IfThenElse(inward, p, portPressure), pu);
    const V<D> psi = FlowFunction(d, r);
    const V<D> zero = Zero(d);
    const M<D> failed = And(flowing, Or(Or(Lt(r, zero), Lt(tu, zero)), Lt(psi, zero)));
    const V<D> soundSpeed = IfThenElse(inward, LoadLanes(d, point.chargeSoundSpeed), gas.soundSpeed);
    const V<D> perTu = IfThenElse(inward, LoadLanes(d, point.perChargeTemp), gas.perTemp);
    const V<D> flow = OrificeFlow(d, psi, soundSpeed, pu, perTu, area, perStep);
    const V<D> density = Div(Mul(portPressure, Constant(d, kSquareInchesPerSquareFoot)),
                             Mul(tu, Constant(d, kGasConstantSlug)));
    return {{IfThenElse(Lt(portPressure, p), Neg(flow), flow), failed}, psi, soundSpeed, density};
}

// Gas out through the exhaust valve, lb per crank degree: cylinder gas while
// the cylinder pressure is at or above the port's pe, else port gas at
// 2000 R flowing back in (a negative flow). The same subsonic formula
// serves every pressure ratio.
template <class D>
HWY_INLINE FlowLanes<D> ExhaustFlow(D d, M<D> flowing, V<D> pe, const GasLanes<D>& gas, V<D> area,
                                    V<D> perStep)
{
    const V<D> p = gas.pressure;
    const M<D> outward = Ge(p, pe);
    const V<D> pu = IfThenElse(outward, p, pe);
    const V<D> tu = IfThenElse(outward, gas.temp, Constant(d, kExhaustBackflowTemperature));
    const V<D> r = Div(IfThenElse(outward, pe, p), pu);
    const M<D> failed = And(flowing, Or(Lt(r, Zero(d)), Lt(tu, Zero(d))));
    const V<D> soundSpeed = IfThenElse(outward, gas.soundSpeed, Constant(d, kBackflowSoundSpeed));
    const V<D> perTu = IfThenElse(outward, gas.perTemp, Constant(d, 1.0 / kExhaustBackflowTemperature));
    const V<D> flow = OrificeFlow(d, FlowFunction(d, r), soundSpeed, pu, perTu, area, perStep);
    return {IfThenElse(Lt(p, pe), Neg(flow), flow), failed};
}

// ---- Energy

// Internal energy u (BTU/lb) and specific heat cv (BTU/(lb R)) of the charge
// at T (R), the polynomials of SimConstants.h in Horner form:
//   u  = 0.16528 T + 5.1979e-06 T^2 + 3.9016e-09 T^3 - 9.3632e-13 T^4 + 6.3156e-17 T^5
//   cv = du/dT = 0.16528 + 1.0396e-05 T + 1.17048e-08 T^2 - 3.74528e-12 T^3 + 3.1578e-16 T^4
// and the enthalpy h = u + R T.
template <class D>
HWY_INLINE V<D> Horner(D d, double c, V<D> t, V<D> inner)
{
    return Add(Constant(d, c), Mul(t, inner));
}

template <class D>
HWY_INLINE V<D> InternalEnergy(D d, V<D> t)
{
    const double* a = kInternalEnergyCoefficients;
    V<D> p = Horner(d, a[3], t, Constant(d, a[4]));
    p = Horner(d, a[2], t, p);
    p = Horner(d, a[1], t, p);
    p = Horner(d, a[0], t, p);
    return Mul(t, p);
}

template <class D>
HWY_INLINE V<D> SpecificHeat(D d, V<D> t)
{
    const double* c = kSpecificHeatCoefficients;
    V<D> p = Horner(d, c[3], t, Constant(d, c[4]));
    p = Horner(d, c[2], t, p);
    p = Horner(d, c[1], t, p);
    return Horner(d, c[0], t, p);
}

template <class D>
HWY_INLINE V<D> Enthalpy(D d, V<D> t, V<D> internalEnergy)
{
    return Add(internalEnergy, Mul(Constant(d, kGasConstantBtu), t));
}

// Heat to the walls (head, piston crown and the exposed liner of area
// 4 V / bore), BTU per crank degree, with a film coefficient of 17 units of
// 1.7e-05 BTU/(s sq in R) and the walls at 800 R:
//   q = 17 (800 - T) (4 V / bore + A head and crown) 1.7e-05 dt
template <class D, class Run>
HWY_INLINE V<D> WallHeat(D d, const Run& run, V<D> volume, V<D> temp, V<D> perStep)
{
    const V<D> area = Add(Mul(volume, LoadLanes(d, run.fourPerBore)), LoadLanes(d, run.wallArea));
    const V<D> film = Mul(Constant(d, kWallFilmCoefficient), Sub(Constant(d, kWallTemperature), temp));
    return Mul(Mul(Mul(film, area), Constant(d, kWallFilmCoefficientUnit)), perStep);
}

// Heat the burning charge gives off, BTU per crank degree: the fraction of
// the charge burnt in the degree, a half-sine over the 60 degrees from 710
// whose sum is 1, of the fuel's heat in the inducted charge of air-fuel
// ratio k:
//   Q = x' LHV mi / (k + 1),   x' = pi/120 sin(pi (theta - 710) / 60)
template <class D, class Run>
HWY_INLINE V<D> BurnHeat(D d, const Run& run, M<D> active, V<D> theta, V<D> inducted)
{
    const M<D> burning = And(
        active, And(Lt(Constant(d, kBurnStart), theta), Lt(theta, Constant(d, kBurnStart + kBurnDuration))));
    const V<D> heatingValue = LoadLanes(d, run.heatingValue);
    // Outside the burn Q is 0 LHV mi: 0 with the sign of mi, or a NaN that
    // the division by k + 1 (above 1) would keep as it is.
    if (AllFalse(d, burning)) return Mul(Mul(Zero(d), heatingValue), inducted);
    const V<D> phase = Mul(Sub(theta, Constant(d, kBurnStart)), Constant(d, kBurnPhasePerDegree));
    const V<D> rate = IfThenElseZero(burning, Mul(CrankSine(d, phase), Constant(d, kBurnFractionScale)));
    return Div(Mul(Mul(rate, heatingValue), inducted), Add(LoadLanes(d, run.airFuelRatio), Constant(d, 1.0)));
}

// Heat the exhaust flow carries out of the cylinder, BTU per crank degree:
// m'ex hE, the cylinder gas's enthalpy hE where gas leaves (the cylinder
// pressure at or above the port's), else that of port gas at 2000 R.
template <class D, class Cycle>
HWY_INLINE V<D> ExhaustHeat(D d, const Cycle& L, CycleState<D>& s, V<D> flow, V<D> cylinderEnthalpy)
{
    const M<D> leaving = Le(ExhaustPortNow(d, L, s), s.pressure);
    return Mul(flow, IfThenElse(leaving, cylinderEnthalpy, Constant(d, kExhaustBackflowEnthalpy)));
}

// One engine without exhaust flow and with a finite positive enthalpy gets
// 0 with the flow's sign whichever enthalpy it takes, and so does without
// the port pressure that chooses.
template <class Cycle>
HWY_INLINE double ExhaustHeat(OneLane d, const Cycle& L, CycleState<OneLane>& s, double flow,
                              double cylinderEnthalpy)
{
    if (flow == 0.0 && cylinderEnthalpy > 0.0 && cylinderEnthalpy < std::numeric_limits<double>::infinity())
        return Mul(flow, cylinderEnthalpy);
    const bool leaving = Le(ExhaustPortNow(d, L, s), s.pressure);
    return Mul(flow, leaving ? cylinderEnthalpy : kExhaustBackflowEnthalpy);
}

template <class D>
struct Rates {
    V<D> pressure;  // psi per crank degree
    V<D> temp;      // R per crank degree
    V<D> mass;      // lb per crank degree
};

// What enters and leaves the cylinder in one crank degree, BTU (heat) and
// lb (flows), with the enthalpies the flows carry, BTU/lb.
template <class D>
struct EnergyTerms {
    V<D> burnHeat;
    V<D> wallHeat;
    V<D> intakeFlow, intakeEnthalpy;
    V<D> exhaustFlow, exhaustHeat;  // lb, and the BTU it carries out
};

// Energy and state equations of the cylinder gas, per crank degree, with
// K = cv / R and 9336 in-lbf per BTU:
//   dP = 9336 (Qburn + Qwall - P dV/9336 + min hI - mex hE - P dV K/9336 + (T cv - u) dm) / (K V)
//   dT = ((V dP + P dV)/9336 - T dm R) / (m R)
//   dm = min - mex
template <class D>
HWY_INLINE Rates<D> EnergyBalance(D d, const CycleState<D>& s, const EnergyTerms<D>& in, V<D> u, V<D> cv)
{
    const V<D> one = Constant(d, 1.0);
    const V<D> massRate = Sub(in.intakeFlow, in.exhaustFlow);
    const V<D> k = Mul(cv, Constant(d, kEnergyBalancePerGasConstant));
    const V<D> pdv = Mul(s.pressure, s.rate);
    const V<D> perKV = Div(one, Mul(k, s.volume));
    const V<D> perMR = Div(one, Mul(s.mass, Constant(d, kGasConstantBtu)));
    const V<D> btuPerInchPound = Constant(d, kBtuPerInchPound);
    V<D> energy = Add(in.burnHeat, in.wallHeat);
    energy = Sub(energy, Mul(pdv, btuPerInchPound));
    energy = Add(energy, Mul(in.intakeFlow, in.intakeEnthalpy));
    energy = Sub(energy, in.exhaustHeat);
    energy = Sub(energy, Mul(Mul(pdv, k), btuPerInchPound));
    energy = Add(energy, Mul(Sub(Mul(s.temp, cv), u), massRate));
    const V<D> dPressure = Mul(Mul(Constant(d, kInchPoundsPerBtu), energy), perKV);
    const V<D> heat = Mul(Add(Mul(s.volume, dPressure), pdv), btuPerInchPound);
    const V<D> dTemp = Mul(Sub(heat, Mul(Mul(s.temp, massRate), Constant(d, kGasConstantBtu))), perMR);
    return {dPressure, dTemp, massRate};
}

// ---- Integration

// Second-order Adams-Bashforth step, stored as a float:
//   x(theta + h) = x + (1.5 x' - 0.5 x'prev) h
template <class D>
HWY_INLINE V<D> AdamsBashforth(D d, V<D> x, V<D> dx, V<D> dxPrev, V<D> step)
{
    const V<D> slope = Sub(Mul(Constant(d, 1.5), dx), Mul(Constant(d, 0.5), dxPrev));
    return AsStored(d, Add(x, Mul(slope, step)));
}

// Indicated work by the trapezoid rule over the volume the piston sweeps,
// in-lbf: W += (Pnew + P)(Vnew - V) / 2.
template <class D>
HWY_INLINE V<D> Work(D d, V<D> work, V<D> newPressure, V<D> pressure, V<D> newVolume, V<D> volume)
{
    const V<D> swept = Mul(Mul(Add(newPressure, pressure), Sub(newVolume, volume)), Constant(d, 0.5));
    return AsStored(d, Add(work, swept));
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#endif  // TORQWELL_SIM_CRANK_STEP_INL_H_ toggle
