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

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

template <class D>
using V = hn::Vec<D>;

template <class D>
HWY_INLINE V<D> Lanes(D d, const LaneValues& values)
{
    return hn::Load(d, values.v);
}

template <class D>
HWY_INLINE V<D> Constant(D d, double value)
{
    return hn::Set(d, value);
}

// Rounded to the nearest float and back: what storing a value in the
// single-precision state does to it.
template <class D>
HWY_INLINE V<D> AsStored(D d, V<D> x)
{
    const hn::Rebind<float, D> df;
    return hn::PromoteTo(d, hn::DemoteTo(df, x));
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
    const V<D> shifted = hn::Add(hn::Mul(x, Constant(d, kTwoOverPi)), Constant(d, kRoundShift));
    const V<D> k = hn::Sub(shifted, Constant(d, kRoundShift));
    quadrant = hn::And(hn::BitCast(du, shifted), hn::Set(du, 3));
    return hn::Sub(hn::Sub(x, hn::Mul(k, Constant(d, kHalfPiHigh))), hn::Mul(k, Constant(d, kHalfPiLow)));
}

// c + r2 x inner, the step of a series in Horner form.
template <class D>
HWY_INLINE V<D> Term(D d, double c, V<D> r2, V<D> inner)
{
    return hn::Add(Constant(d, c), hn::Mul(r2, inner));
}

template <class D>
HWY_INLINE V<D> SinSeries(D d, V<D> r)
{
    const V<D> r2 = hn::Mul(r, r);
    V<D> p = hn::Add(Constant(d, -1.0 / 1307674368000.0), hn::Div(r2, Constant(d, 355687428096000.0)));
    p = Term(d, 1.0 / 6227020800, r2, p);
    p = Term(d, -1.0 / 39916800, r2, p);
    p = Term(d, 1.0 / 362880, r2, p);
    p = Term(d, -1.0 / 5040, r2, p);
    p = Term(d, 1.0 / 120, r2, p);
    p = Term(d, -1.0 / 6, r2, p);
    return hn::Add(r, hn::Mul(hn::Mul(r, r2), p));
}

template <class D>
HWY_INLINE V<D> CosSeries(D d, V<D> r)
{
    const V<D> r2 = hn::Mul(r, r);
    V<D> p = hn::Add(Constant(d, -1.0 / 87178291200.0), hn::Div(r2, Constant(d, 20922789888000.0)));
    p = Term(d, 1.0 / 479001600, r2, p);
    p = Term(d, -1.0 / 3628800, r2, p);
    p = Term(d, 1.0 / 40320, r2, p);
    p = Term(d, -1.0 / 720, r2, p);
    p = Term(d, 1.0 / 24, r2, p);
    p = Term(d, -0.5, r2, p);
    return hn::Add(Constant(d, 1.0), hn::Mul(r2, p));
}

template <class D>
HWY_INLINE hn::Mask<D> QuadrantIs(D d, V<hn::RebindToUnsigned<D>> quadrant, unsigned bit)
{
    const hn::RebindToUnsigned<D> du;
    return hn::RebindMask(d, hn::Ne(hn::And(quadrant, hn::Set(du, bit)), hn::Zero(du)));
}

template <class D>
HWY_INLINE V<D> CrankSine(D d, V<D> x)
{
    V<hn::RebindToUnsigned<D>> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> v = hn::IfThenElse(QuadrantIs(d, q, 1), CosSeries(d, r), SinSeries(d, r));
    return hn::IfThenElse(QuadrantIs(d, q, 2), hn::Neg(v), v);
}

template <class D>
HWY_INLINE V<D> CrankCosine(D d, V<D> x)
{
    V<hn::RebindToUnsigned<D>> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> v = hn::IfThenElse(QuadrantIs(d, q, 1), SinSeries(d, r), CosSeries(d, r));
    // Negative in quadrants 1 and 2: bit 0 and bit 1 differ.
    const auto negative = hn::Xor(QuadrantIs(d, q, 1), QuadrantIs(d, q, 2));
    return hn::IfThenElse(negative, hn::Neg(v), v);
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
    sinX = hn::IfThenElse(odd, c, s);
    sinX = hn::IfThenElse(half, hn::Neg(sinX), sinX);
    cosX = hn::IfThenElse(odd, s, c);
    cosX = hn::IfThenElse(hn::Xor(odd, half), hn::Neg(cosX), cosX);
}

// ---- Piston

// Cylinder volume (ci) and its rate (ci per crank degree) at crank angle theta.
// Piston travel from TDC is the crank throw r(1 - cos) plus the rod
// obliquity L(1 - w), w the cosine of the rod angle.
template <class D>
HWY_INLINE void Piston(D d, const PistonLanes& g, V<D> theta, V<D>& volume, V<D>& rate)
{
    V<D> sinT, cosT;
    CrankSineCosine(d, hn::Mul(theta, Constant(d, kCrankRadiansPerDegree)), sinT, cosT);
    const V<D> r = Lanes(d, g.crankRadius);
    const V<D> one = Constant(d, 1.0);
    const V<D> s = hn::Mul(Lanes(d, g.crankOverRod), sinT);
    const V<D> w = hn::Sqrt(hn::Sub(one, hn::Mul(s, s)));
    const V<D> areaThrow = hn::Mul(Lanes(d, g.pistonArea), r);
    const V<D> travel = hn::Add(hn::Mul(Lanes(d, g.twoRodOverStroke), hn::Sub(one, w)), hn::Sub(one, cosT));
    volume = hn::Add(hn::Mul(areaThrow, travel), Lanes(d, g.clearanceVolume));
    const V<D> obliquity = hn::Div(hn::Mul(r, cosT), hn::Mul(Lanes(d, g.rodLength), w));
    rate = hn::Mul(hn::Mul(hn::Mul(areaThrow, sinT), hn::Add(one, obliquity)), Constant(d, kCrankRadiansPerDegree));
}

// ---- Valves

// Valve lift (in) of a circular-arc lobe at crank angle theta: opening
// flank, nose, closing flank by the cam angle since opening.
template <class D>
HWY_INLINE V<D> ValveLift(D d, const LobeLanes& lobe, V<D> theta)
{
    const V<D> phi = hn::Mul(hn::Sub(theta, Lanes(d, lobe.opening)), Constant(d, 0.5));  // cam degrees
    const V<D> alpha = Lanes(d, lobe.flankEnd);
    const V<D> noseEnd = Lanes(d, lobe.noseEnd);
    const auto onOpeningFlank = hn::Le(phi, alpha);
    const auto onNose = hn::AndNot(onOpeningFlank, hn::Lt(phi, noseEnd));
    V<D> angle = hn::Sub(hn::Add(alpha, noseEnd), phi);  // closing flank
    angle = hn::IfThenElse(onNose, hn::Sub(Lanes(d, lobe.halfDuration), phi), angle);
    angle = hn::IfThenElse(onOpeningFlank, phi, angle);
    const V<D> c = CrankCosine(d, hn::Mul(angle, Constant(d, kRadiansPerDegree)));
    const V<D> flankLift =
        hn::Mul(hn::Mul(Constant(d, kRockerRatio), Lanes(d, lobe.flankOffset)), hn::Sub(Constant(d, 1.0), c));
    const V<D> noseLift =
        hn::Mul(Constant(d, kRockerRatio), hn::Sub(hn::Add(hn::Mul(Lanes(d, lobe.noseRadius), c),
                                                           Lanes(d, lobe.noseOffset)),
                                                   Constant(d, kBaseCircleRadius)));
    const V<D> lift = hn::IfThenElse(onNose, noseLift, flankLift);
    return hn::IfThenElse(hn::Lt(lift, hn::Zero(d)), Constant(d, kMinimumLift), lift);
}

// Bench flow coefficient at a lift: the segment the lift falls in, taken
// past the first three measured lifts only while data follows (a lift of 0
// ends the data), so the last measured segment extends to every higher lift.
template <class D>
HWY_INLINE V<D> FlowCoefficient(D d, const FlowTableLanes& t, V<D> lift)
{
    V<D> coefficient = Lanes(d, t.coefficient[0]);
    V<D> from = Lanes(d, t.lift[0]);
    V<D> slope = Lanes(d, t.slope[0]);
    auto beyond = hn::Not(hn::Le(lift, Lanes(d, t.lift[1])));
    for (int j = 1; j <= 9; ++j) {
        if (j > 1) beyond = hn::And(beyond, hn::Not(hn::Le(lift, Lanes(d, t.lift[j]))));
        if (j > 3) beyond = hn::And(beyond, hn::Ne(Lanes(d, t.lift[j + 1]), hn::Zero(d)));
        if (hn::AllFalse(d, beyond)) break;
        coefficient = hn::IfThenElse(beyond, Lanes(d, t.coefficient[j]), coefficient);
        from = hn::IfThenElse(beyond, Lanes(d, t.lift[j]), from);
        slope = hn::IfThenElse(beyond, Lanes(d, t.slope[j]), slope);
    }
    return hn::Add(coefficient, hn::Mul(hn::Sub(lift, from), slope));
}

template <class D>
HWY_INLINE V<D> HeldWithin(D d, V<D> x, double lo, double hi)
{
    x = hn::IfThenElse(hn::Lt(x, Constant(d, lo)), Constant(d, lo), x);
    return hn::IfThenElse(hn::Gt(x, Constant(d, hi)), Constant(d, hi), x);
}

// The bench coefficient c corrected for the port-to-cylinder pressure
// ratio, held within 0.43 to 1.
template <class D>
HWY_INLINE V<D> IntakeCoefficient(D d, V<D> c, V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> one = Constant(d, 1.0);
    const V<D> f = hn::Div(portPressure, cylinderPressure);
    const V<D> open = hn::Sub(one, c);
    const V<D> subcritical = hn::Add(
        c, hn::Mul(hn::Mul(hn::Mul(hn::Sub(f, one), open), hn::Sub(c, Constant(d, 0.1))),
                   Constant(d, kSubcriticalCorrectionPerRatio)));
    const V<D> i = hn::Div(Constant(d, kCriticalPressureRatio), f);  // beyond the critical ratio of air
    const V<D> choked = hn::Add(
        hn::Add(c, hn::Mul(hn::Mul(Constant(d, 0.7), open), hn::Sub(c, Constant(d, 0.1)))),
        hn::Mul(hn::Mul(open, hn::Sub(one, hn::Mul(i, i))), hn::Sub(Constant(d, 0.27), hn::Mul(Constant(d, 0.1), c))));
    const V<D> corrected = hn::IfThenElse(hn::Le(f, Constant(d, kCriticalPressureRatio)), subcritical, choked);
    return HeldWithin(d, corrected, 0.43, 1.0);
}

// Effective flow areas, sq in: lift x coefficient x the valve's circumference.
template <class D>
HWY_INLINE V<D> ExhaustValveArea(D d, const LobeLanes& lobe, const FlowTableLanes& table, V<D> diameter,
                                 V<D> theta)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = HeldWithin(d, FlowCoefficient(d, table, lift), 0.0, 1.0);
    return hn::Mul(hn::Mul(hn::Mul(lift, c), diameter), Constant(d, kPi));
}

template <class D>
HWY_INLINE V<D> IntakeValveArea(D d, const LobeLanes& lobe, const FlowTableLanes& table, V<D> diameter, V<D> theta,
                                V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = IntakeCoefficient(d, FlowCoefficient(d, table, lift), portPressure, cylinderPressure);
    return hn::Mul(hn::Mul(hn::Mul(lift, c), diameter), Constant(d, kPi));
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
    const V<D> y = hn::Mul(hn::Div(hn::Mul(hn::Sub(theta, Lanes(d, w.exhaustOpening)), Lanes(d, w.tuningRpm)),
                                   Lanes(d, w.rpm)),
                           Lanes(d, w.angleScale));
    const V<D> sinY = CrankSine(d, hn::Mul(y, Constant(d, kRadiansPerDegree)));
    const V<D> amplitude = Lanes(d, w.amplitude);
    const V<D> base = Lanes(d, w.basePressure);
    const V<D> blowdown = hn::Add(hn::Mul(hn::Mul(Constant(d, 2.0), amplitude), sinY), base);
    const V<D> reflection = hn::Add(hn::Mul(hn::Mul(Lanes(d, w.laterWaveFactor), amplitude), sinY), base);
    const V<D> ringing = hn::Add(hn::Mul(hn::Mul(Constant(d, 0.8), amplitude), sinY), base);
    V<D> pe = hn::IfThenElse(hn::Gt(y, Constant(d, 360.0)), AsStored(d, ringing), previous);
    pe = hn::IfThenElse(hn::And(hn::Gt(y, Constant(d, 180.0)), hn::Lt(y, Constant(d, 360.0))),
                        AsStored(d, reflection), pe);
    return hn::IfThenElse(hn::Lt(y, Constant(d, 180.0)), AsStored(d, blowdown), pe);
}

// ---- Gas

// Subsonic compressible flow function of the pressure ratio r = downstream /
// upstream: psi = 5 (r^1.428 - r^1.714), both powers from one logarithm.
template <class D>
HWY_INLINE V<D> FlowFunction(D d, V<D> r)
{
    const V<D> logR = hn::Log(d, r);
    return hn::Mul(Constant(d, 5.0), hn::Sub(hn::Exp(d, hn::Mul(Constant(d, 1.428), logR)),
                                             hn::Exp(d, hn::Mul(Constant(d, 1.714), logR))));
}

// Internal energy u (BTU/lb) and specific heat cv (BTU/(lb R)) of the charge at T (R).
template <class D>
HWY_INLINE V<D> InternalEnergy(D d, V<D> t)
{
    V<D> p = Term(d, -9.3632e-13, t, Constant(d, 6.3156e-17));
    p = Term(d, 3.9016e-09, t, p);
    p = Term(d, 5.1979e-06, t, p);
    p = Term(d, 0.16528, t, p);
    return hn::Mul(t, p);
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
