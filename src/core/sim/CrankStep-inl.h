// The arithmetic of one crank step on a vector of engines (one engine per
// lane), compiled once per instruction set (SSE4, AVX2, AVX-512, NEON, ...).
// Every operation works on each lane alone, so a lane computes the same
// numbers whether its vector holds one engine or eight. No multiply-add is
// fused here: each product is rounded before it is added, as in plain C++.
//
// Included by the files that dispatch over instruction sets; the guard
// below lets foreach_target.h include it once per instruction set.

#include "CycleLanes.h"
#include "SimConstants.h"

#if defined(TORQWELL_SIM_CRANK_STEP_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORQWELL_SIM_CRANK_STEP_INL_H_
#undef TORQWELL_SIM_CRANK_STEP_INL_H_
#else
#define TORQWELL_SIM_CRANK_STEP_INL_H_
#endif

#include "hwy/contrib/math/math-inl.h"
#include "hwy/highway.h"

#include <cstddef>

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// ---- Two vectors as one
//
// The crank step is one long chain of dependent operations (the pressure
// gives the flows, the flows the next pressure), so a vector of engines
// spends most of its time waiting for results. Two vectors of engines
// stepped together, each operation issued for both in turn, keep the
// processor busy while either waits. Twin<D> is the tag of such a pair, and
// the operations below act on both halves alike. (Not for the instruction
// sets whose vectors have no fixed size: they run one vector.)

template <class D>
struct Twin {
};

template <class Vec>
struct TwinVec {
    Vec a, b;
};

template <class Mask>
struct TwinMask {
    Mask a, b;
};

template <class D>
struct VectorTypes {
    using Vec = hn::Vec<D>;
    using Mask = hn::Mask<D>;
};

template <class D>
struct VectorTypes<Twin<D>> {
    using Vec = TwinVec<hn::Vec<D>>;
    using Mask = TwinMask<hn::Mask<D>>;
};

template <class D>
using V = typename VectorTypes<D>::Vec;
template <class D>
using M = typename VectorTypes<D>::Mask;

template <class D>
HWY_INLINE std::size_t LaneCount(D d)
{
    return hn::Lanes(d);
}

template <class D>
HWY_INLINE std::size_t LaneCount(Twin<D>)
{
    return 2 * hn::Lanes(D());
}

template <class D>
HWY_INLINE V<Twin<D>> Set(Twin<D>, double value)
{
    const hn::Vec<D> v = hn::Set(D(), value);
    return {v, v};
}

template <class D>
HWY_INLINE V<Twin<D>> Zero(Twin<D>)
{
    return {hn::Zero(D()), hn::Zero(D())};
}

template <class D>
HWY_INLINE V<Twin<D>> Load(Twin<D>, const double* p)
{
    return {hn::Load(D(), p), hn::Load(D(), p + hn::Lanes(D()))};
}

template <class D>
HWY_INLINE void Store(V<Twin<D>> v, Twin<D>, double* p)
{
    hn::Store(v.a, D(), p);
    hn::Store(v.b, D(), p + hn::Lanes(D()));
}

template <class D>
HWY_INLINE bool AllFalse(Twin<D>, M<Twin<D>> m)
{
    return hn::AllFalse(D(), m.a) && hn::AllFalse(D(), m.b);
}

#define TORQWELL_TWIN_UNARY(Op, Type)      \
    template <class X>                     \
    HWY_INLINE Type<X> Op(Type<X> x)       \
    {                                      \
        return {hn::Op(x.a), hn::Op(x.b)}; \
    }
#define TORQWELL_TWIN_BINARY(Op, In, Out)                                 \
    template <class X>                                                    \
    HWY_INLINE auto Op(In<X> x, In<X> y)->Out<decltype(hn::Op(x.a, y.a))> \
    {                                                                     \
        return {hn::Op(x.a, y.a), hn::Op(x.b, y.b)};                      \
    }
TORQWELL_TWIN_UNARY(Sqrt, TwinVec)
TORQWELL_TWIN_UNARY(Neg, TwinVec)
TORQWELL_TWIN_UNARY(Not, TwinMask)
TORQWELL_TWIN_BINARY(Add, TwinVec, TwinVec)
TORQWELL_TWIN_BINARY(Sub, TwinVec, TwinVec)
TORQWELL_TWIN_BINARY(Mul, TwinVec, TwinVec)
TORQWELL_TWIN_BINARY(Div, TwinVec, TwinVec)
TORQWELL_TWIN_BINARY(Lt, TwinVec, TwinMask)
TORQWELL_TWIN_BINARY(Le, TwinVec, TwinMask)
TORQWELL_TWIN_BINARY(Gt, TwinVec, TwinMask)
TORQWELL_TWIN_BINARY(Ge, TwinVec, TwinMask)
TORQWELL_TWIN_BINARY(Ne, TwinVec, TwinMask)
TORQWELL_TWIN_BINARY(And, TwinMask, TwinMask)
TORQWELL_TWIN_BINARY(Or, TwinMask, TwinMask)
TORQWELL_TWIN_BINARY(AndNot, TwinMask, TwinMask)
#undef TORQWELL_TWIN_UNARY
#undef TORQWELL_TWIN_BINARY

template <class Mask, class Vec>
HWY_INLINE TwinVec<Vec> IfThenElse(TwinMask<Mask> m, TwinVec<Vec> yes, TwinVec<Vec> no)
{
    return {hn::IfThenElse(m.a, yes.a, no.a), hn::IfThenElse(m.b, yes.b, no.b)};
}

template <class Mask, class Vec>
HWY_INLINE TwinVec<Vec> IfThenElseZero(TwinMask<Mask> m, TwinVec<Vec> yes)
{
    return {hn::IfThenElseZero(m.a, yes.a), hn::IfThenElseZero(m.b, yes.b)};
}

template <class D>
HWY_INLINE V<Twin<D>> Exp(Twin<D>, V<Twin<D>> x)
{
    return {hn::Exp(D(), x.a), hn::Exp(D(), x.b)};
}

template <class D>
HWY_INLINE V<Twin<D>> Log(Twin<D>, V<Twin<D>> x)
{
    return {hn::Log(D(), x.a), hn::Log(D(), x.b)};
}

// ---- Lanes

template <class D>
HWY_INLINE V<D> LoadLanes(D d, const LaneValues& values)
{
    return Load(d, values.v);
}

template <class D>
HWY_INLINE V<D> Constant(D d, double value)
{
    return Set(d, value);
}

// Rounded to the nearest float and back: what storing a value in the
// single-precision state does to it.
template <class D>
HWY_INLINE V<D> AsStored(D d, V<D> x)
{
    const hn::Rebind<float, D> df;
    return hn::PromoteTo(d, hn::DemoteTo(df, x));
}

template <class D>
HWY_INLINE V<Twin<D>> AsStored(Twin<D>, V<Twin<D>> x)
{
    return {AsStored(D(), x.a), AsStored(D(), x.b)};
}

// ---- Sine and cosine of an angle in radians (|x| below 1e5)
//
// The angle is reduced by the nearest multiple of pi/2 (pi/2 split in two
// parts so that the product is exact) and the Taylor series is summed to
// the 17th (sine) and 16th (cosine) power, which is exact in double
// precision on |r| <= pi/4. Within an ulp or two of the library functions.

// x = r + q pi/2 with |r| <= pi/4; quadrant gets q mod 4.
template <class D>
HWY_INLINE V<D> Reduce(D d, V<D> x, V<hn::RebindToUnsigned<D>>& quadrant)
{
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;  // leading 33 bits of pi/2
    constexpr double kHalfPiLow = 6.07710050650619224932e-11;   // pi/2 - kHalfPiHigh
    // 1.5 x 2^52: adding it rounds to an integer, which then fills the low
    // bits of the sum's mantissa (two's complement for a negative one).
    constexpr double kRoundShift = 6755399441055744.0;
    const hn::RebindToUnsigned<D> du;
    const V<D> shifted = Add(Mul(x, Constant(d, kTwoOverPi)), Constant(d, kRoundShift));
    const V<D> k = Sub(shifted, Constant(d, kRoundShift));
    quadrant = And(hn::BitCast(du, shifted), hn::Set(du, 3));
    return Sub(Sub(x, Mul(k, Constant(d, kHalfPiHigh))), Mul(k, Constant(d, kHalfPiLow)));
}

// c + r2 x inner, the step of a series in Horner form.
template <class D>
HWY_INLINE V<D> Term(D d, double c, V<D> r2, V<D> inner)
{
    return Add(Constant(d, c), Mul(r2, inner));
}

template <class D>
HWY_INLINE V<D> SinSeries(D d, V<D> r)
{
    const V<D> r2 = Mul(r, r);
    V<D> p = Add(Constant(d, -1.0 / 1307674368000.0), Div(r2, Constant(d, 355687428096000.0)));
    p = Term(d, 1.0 / 6227020800, r2, p);
    p = Term(d, -1.0 / 39916800, r2, p);
    p = Term(d, 1.0 / 362880, r2, p);
    p = Term(d, -1.0 / 5040, r2, p);
    p = Term(d, 1.0 / 120, r2, p);
    p = Term(d, -1.0 / 6, r2, p);
    return Add(r, Mul(Mul(r, r2), p));
}

template <class D>
HWY_INLINE V<D> CosSeries(D d, V<D> r)
{
    const V<D> r2 = Mul(r, r);
    V<D> p = Add(Constant(d, -1.0 / 87178291200.0), Div(r2, Constant(d, 20922789888000.0)));
    p = Term(d, 1.0 / 479001600, r2, p);
    p = Term(d, -1.0 / 3628800, r2, p);
    p = Term(d, 1.0 / 40320, r2, p);
    p = Term(d, -1.0 / 720, r2, p);
    p = Term(d, 1.0 / 24, r2, p);
    p = Term(d, -0.5, r2, p);
    return Add(Constant(d, 1.0), Mul(r2, p));
}

template <class D>
HWY_INLINE hn::Mask<D> QuadrantIs(D d, V<hn::RebindToUnsigned<D>> quadrant, unsigned bit)
{
    const hn::RebindToUnsigned<D> du;
    return hn::RebindMask(d, Ne(And(quadrant, hn::Set(du, bit)), Zero(du)));
}

// The cosine series in the lanes of cosine, the sine series in the others:
// each lane performs exactly the operations of its own series, with its
// series' coefficients picked per lane.
template <class D>
HWY_INLINE V<D> EitherSeries(D d, V<D> r, hn::Mask<D> cosine)
{
    const auto pick = [&](double cosineValue, double sineValue) {
        return IfThenElse(cosine, Constant(d, cosineValue), Constant(d, sineValue));
    };
    const V<D> r2 = Mul(r, r);
    V<D> p = Add(pick(-1.0 / 87178291200.0, -1.0 / 1307674368000.0),
                 Div(r2, pick(20922789888000.0, 355687428096000.0)));
    p = Add(pick(1.0 / 479001600, 1.0 / 6227020800), Mul(r2, p));
    p = Add(pick(-1.0 / 3628800, -1.0 / 39916800), Mul(r2, p));
    p = Add(pick(1.0 / 40320, 1.0 / 362880), Mul(r2, p));
    p = Add(pick(-1.0 / 720, -1.0 / 5040), Mul(r2, p));
    p = Add(pick(1.0 / 24, 1.0 / 120), Mul(r2, p));
    p = Add(pick(-0.5, -1.0 / 6), Mul(r2, p));
    const V<D> factor = IfThenElse(cosine, r2, Mul(r, r2));
    return Add(IfThenElse(cosine, Constant(d, 1.0), r), Mul(factor, p));
}

template <class D>
HWY_INLINE V<D> CrankSine(D d, V<D> x)
{
    V<hn::RebindToUnsigned<D>> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> v = EitherSeries(d, r, QuadrantIs(d, q, 1));
    return IfThenElse(QuadrantIs(d, q, 2), Neg(v), v);
}

template <class D>
HWY_INLINE V<D> CrankCosine(D d, V<D> x)
{
    V<hn::RebindToUnsigned<D>> q;
    const V<D> r = Reduce(d, x, q);
    const auto odd = QuadrantIs(d, q, 1);
    const V<D> v = EitherSeries(d, r, Not(odd));
    // Negative in quadrants 1 and 2: bit 0 and bit 1 differ.
    return IfThenElse(Xor(odd, QuadrantIs(d, q, 2)), Neg(v), v);
}

template <class D>
HWY_INLINE void CrankSineCosine(D d, V<D> x, V<D>& sinX, V<D>& cosX)
{
    V<hn::RebindToUnsigned<D>> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> s = SinSeries(d, r);
    const V<D> c = CosSeries(d, r);
    const auto odd = QuadrantIs(d, q, 1);
    const auto half = QuadrantIs(d, q, 2);
    sinX = IfThenElse(odd, c, s);
    sinX = IfThenElse(half, Neg(sinX), sinX);
    cosX = IfThenElse(odd, s, c);
    cosX = IfThenElse(Xor(odd, half), Neg(cosX), cosX);
}

template <class D>
HWY_INLINE V<Twin<D>> CrankSine(Twin<D>, V<Twin<D>> x)
{
    return {CrankSine(D(), x.a), CrankSine(D(), x.b)};
}

template <class D>
HWY_INLINE V<Twin<D>> CrankCosine(Twin<D>, V<Twin<D>> x)
{
    return {CrankCosine(D(), x.a), CrankCosine(D(), x.b)};
}

template <class D>
HWY_INLINE void CrankSineCosine(Twin<D>, V<Twin<D>> x, V<Twin<D>>& sinX, V<Twin<D>>& cosX)
{
    CrankSineCosine(D(), x.a, sinX.a, cosX.a);
    CrankSineCosine(D(), x.b, sinX.b, cosX.b);
}

// ---- Piston

// Cylinder volume (ci) and its rate (ci per crank degree) at crank angle theta.
// Piston travel from TDC is the crank throw r(1 - cos) plus the rod
// obliquity L(1 - w), w the cosine of the rod angle.
template <class D>
HWY_INLINE void Piston(D d, const PistonLanes& g, V<D> theta, V<D>& volume, V<D>& rate)
{
    V<D> sinT, cosT;
    CrankSineCosine(d, Mul(theta, Constant(d, kCrankRadiansPerDegree)), sinT, cosT);
    const V<D> r = LoadLanes(d, g.crankRadius);
    const V<D> one = Constant(d, 1.0);
    const V<D> s = Mul(LoadLanes(d, g.crankOverRod), sinT);
    const V<D> w = Sqrt(Sub(one, Mul(s, s)));
    const V<D> areaThrow = Mul(LoadLanes(d, g.pistonArea), r);
    const V<D> travel = Add(Mul(LoadLanes(d, g.twoRodOverStroke), Sub(one, w)), Sub(one, cosT));
    volume = Add(Mul(areaThrow, travel), LoadLanes(d, g.clearanceVolume));
    const V<D> obliquity = Div(Mul(r, cosT), Mul(LoadLanes(d, g.rodLength), w));
    rate = Mul(Mul(Mul(areaThrow, sinT), Add(one, obliquity)), Constant(d, kCrankRadiansPerDegree));
}

// ---- Valves

// Valve lift (in) of a circular-arc lobe at crank angle theta: opening
// flank, nose, closing flank by the cam angle since opening.
template <class D>
HWY_INLINE V<D> ValveLift(D d, const LobeLanes& lobe, V<D> theta)
{
    const V<D> phi = Mul(Sub(theta, LoadLanes(d, lobe.opening)), Constant(d, 0.5));  // cam degrees
    const V<D> alpha = LoadLanes(d, lobe.flankEnd);
    const V<D> noseEnd = LoadLanes(d, lobe.noseEnd);
    const auto onOpeningFlank = Le(phi, alpha);
    const auto onNose = AndNot(onOpeningFlank, Lt(phi, noseEnd));
    V<D> angle = Sub(Add(alpha, noseEnd), phi);  // closing flank
    angle = IfThenElse(onNose, Sub(LoadLanes(d, lobe.halfDuration), phi), angle);
    angle = IfThenElse(onOpeningFlank, phi, angle);
    const V<D> c = CrankCosine(d, Mul(angle, Constant(d, kRadiansPerDegree)));
    const V<D> flankLift =
        Mul(Mul(Constant(d, kRockerRatio), LoadLanes(d, lobe.flankOffset)), Sub(Constant(d, 1.0), c));
    const V<D> noseLift = Mul(Constant(d, kRockerRatio),
                              Sub(Add(Mul(LoadLanes(d, lobe.noseRadius), c), LoadLanes(d, lobe.noseOffset)),
                                  Constant(d, kBaseCircleRadius)));
    const V<D> lift = IfThenElse(onNose, noseLift, flankLift);
    return IfThenElse(Lt(lift, Zero(d)), Constant(d, kMinimumLift), lift);
}

// Bench flow coefficient at a lift: the segment the lift falls in, taken
// past the first three measured lifts only while data follows (a lift of 0
// ends the data), so the last measured segment extends to every higher lift.
template <class D>
HWY_INLINE V<D> FlowCoefficient(D d, const FlowTableLanes& t, V<D> lift)
{
    V<D> coefficient = LoadLanes(d, t.coefficient[0]);
    V<D> from = LoadLanes(d, t.lift[0]);
    V<D> slope = LoadLanes(d, t.slope[0]);
    auto beyond = Not(Le(lift, LoadLanes(d, t.lift[1])));
    for (int j = 1; j <= 9; ++j) {
        if (j > 1) beyond = And(beyond, Not(Le(lift, LoadLanes(d, t.lift[j]))));
        if (j > 3) beyond = And(beyond, Ne(LoadLanes(d, t.lift[j + 1]), Zero(d)));
        if (AllFalse(d, beyond)) break;
        coefficient = IfThenElse(beyond, LoadLanes(d, t.coefficient[j]), coefficient);
        from = IfThenElse(beyond, LoadLanes(d, t.lift[j]), from);
        slope = IfThenElse(beyond, LoadLanes(d, t.slope[j]), slope);
    }
    return Add(coefficient, Mul(Sub(lift, from), slope));
}

template <class D>
HWY_INLINE V<D> HeldWithin(D d, V<D> x, double lo, double hi)
{
    x = IfThenElse(Lt(x, Constant(d, lo)), Constant(d, lo), x);
    return IfThenElse(Gt(x, Constant(d, hi)), Constant(d, hi), x);
}

// The bench coefficient c corrected for the port-to-cylinder pressure
// ratio, held within 0.43 to 1.
template <class D>
HWY_INLINE V<D> IntakeCoefficient(D d, V<D> c, V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> one = Constant(d, 1.0);
    const V<D> f = Div(portPressure, cylinderPressure);
    const V<D> open = Sub(one, c);
    const V<D> subcritical = Add(c, Mul(Mul(Mul(Sub(f, one), open), Sub(c, Constant(d, 0.1))),
                                        Constant(d, kSubcriticalCorrectionPerRatio)));
    const V<D> i = Div(Constant(d, kCriticalPressureRatio), f);  // beyond the critical ratio of air
    const V<D> choked =
        Add(Add(c, Mul(Mul(Constant(d, 0.7), open), Sub(c, Constant(d, 0.1)))),
            Mul(Mul(open, Sub(one, Mul(i, i))), Sub(Constant(d, 0.27), Mul(Constant(d, 0.1), c))));
    const V<D> corrected = IfThenElse(Le(f, Constant(d, kCriticalPressureRatio)), subcritical, choked);
    return HeldWithin(d, corrected, 0.43, 1.0);
}

// Effective flow areas, sq in: lift x coefficient x the valve's circumference.
template <class D>
HWY_INLINE V<D> ExhaustValveArea(D d, const LobeLanes& lobe, const FlowTableLanes& table, V<D> diameter,
                                 V<D> theta)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = HeldWithin(d, FlowCoefficient(d, table, lift), 0.0, 1.0);
    return Mul(Mul(Mul(lift, c), diameter), Constant(d, kPi));
}

template <class D>
HWY_INLINE V<D> IntakeValveArea(D d, const LobeLanes& lobe, const FlowTableLanes& table, V<D> diameter,
                                V<D> theta, V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = IntakeCoefficient(d, FlowCoefficient(d, table, lift), portPressure, cylinderPressure);
    return Mul(Mul(Mul(lift, c), diameter), Constant(d, kPi));
}

// ---- Ports

// Exhaust-port pressure, psi absolute, as a float. The wave angle is the
// crank angle since EVO scaled by the tuning speed and stretched so that the
// blowdown pulse fills the rest of the stroke; the blowdown pulse is twice
// the amplitude, the reflection weaker, later waves ring at 0.8. Exactly on
// the wave angles 180 and 360 the pressure keeps its previous value.
template <class D>
HWY_INLINE V<D> ExhaustPortPressure(D d, const WaveLanes& w, V<D> theta, V<D> previous)
{
    const V<D> y = Mul(
        Div(Mul(Sub(theta, LoadLanes(d, w.exhaustOpening)), LoadLanes(d, w.tuningRpm)), LoadLanes(d, w.rpm)),
        LoadLanes(d, w.angleScale));
    const V<D> sinY = CrankSine(d, Mul(y, Constant(d, kRadiansPerDegree)));
    const V<D> amplitude = LoadLanes(d, w.amplitude);
    const V<D> base = LoadLanes(d, w.basePressure);
    const V<D> blowdown = Add(Mul(Mul(Constant(d, 2.0), amplitude), sinY), base);
    const V<D> reflection = Add(Mul(Mul(LoadLanes(d, w.laterWaveFactor), amplitude), sinY), base);
    const V<D> ringing = Add(Mul(Mul(Constant(d, 0.8), amplitude), sinY), base);
    V<D> pe = IfThenElse(Gt(y, Constant(d, 360.0)), AsStored(d, ringing), previous);
    pe = IfThenElse(And(Gt(y, Constant(d, 180.0)), Lt(y, Constant(d, 360.0))), AsStored(d, reflection), pe);
    return IfThenElse(Lt(y, Constant(d, 180.0)), AsStored(d, blowdown), pe);
}

// ---- Gas

// Subsonic compressible flow function of the pressure ratio r = downstream /
// upstream: psi = 5 (r^1.428 - r^1.714), both powers from one logarithm.
template <class D>
HWY_INLINE V<D> FlowFunction(D d, V<D> r)
{
    const V<D> logR = Log(d, r);
    return Mul(Constant(d, 5.0),
               Sub(Exp(d, Mul(Constant(d, 1.428), logR)), Exp(d, Mul(Constant(d, 1.714), logR))));
}

// Internal energy u (BTU/lb) and specific heat cv (BTU/(lb R)) of the charge at T (R).
template <class D>
HWY_INLINE V<D> InternalEnergy(D d, V<D> t)
{
    V<D> p = Term(d, -9.3632e-13, t, Constant(d, 6.3156e-17));
    p = Term(d, 3.9016e-09, t, p);
    p = Term(d, 5.1979e-06, t, p);
    p = Term(d, 0.16528, t, p);
    return Mul(t, p);
}

template <class D>
HWY_INLINE V<D> SpecificHeat(D d, V<D> t)
{
    V<D> p = Term(d, -3.74528e-12, t, Constant(d, 3.1578e-16));
    p = Term(d, 1.17048e-08, t, p);
    p = Term(d, 1.0396e-05, t, p);
    return Term(d, 0.16528, t, p);
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#endif  // TORQWELL_SIM_CRANK_STEP_INL_H_ toggle
