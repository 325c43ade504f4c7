// Sine and cosine of an angle in radians (|x| below 1e5) for the crank
// loop, on any kind of lanes (LaneOps-inl.h). The angle is reduced by the
// nearest multiple of pi/2 (pi/2 split in two parts so that the product is
// exact) and the Taylor series is summed to the 17th (sine) and 16th
// (cosine) power, which is exact in double precision on |r| <= pi/4: within
// an ulp or two of the library functions.

#include "LaneOps-inl.h"

#include <array>

#if defined(TORQWELL_SIM_CRANK_TRIG_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORQWELL_SIM_CRANK_TRIG_INL_H_
#undef TORQWELL_SIM_CRANK_TRIG_INL_H_
#else
#define TORQWELL_SIM_CRANK_TRIG_INL_H_
#endif

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

// ---- The series

// k! (exact in double up to 18!).
constexpr double TaylorFactorial(int k)
{
    double f = 1.0;
    for (int i = 2; i <= k; ++i) f *= i;
    return f;
}

// c(k) = (-1)^(k/2) / k!, the Taylor coefficient of x^k in cos x (k even)
// and sin x (k odd).
constexpr std::array<double, 18> TaylorCoefficients()
{
    std::array<double, 18> c{};
    for (int k = 0; k < 18; ++k) c[k] = ((k / 2) % 2 == 0 ? 1.0 : -1.0) / TaylorFactorial(k);
    return c;
}

inline constexpr std::array<double, 18> kTaylor = TaylorCoefficients();
static_assert(TaylorFactorial(17) == 355687428096000.0 && kTaylor[15] == -1.0 / 1307674368000.0 &&
              kTaylor[2] == -0.5);

// With s = 0 for the cosine and 1 for the sine, in Horner form from the
// innermost term:
//   tail = c(2+s) + r^2 (c(4+s) + r^2 (... + r^2 (c(14+s) + r^2 / (16+s)!)))
//   cos r = 1 + r^2 tail,   sin r = r + r^3 tail
// pick(cosine's number, sine's number) gives each lane its series' number.
template <class D, class Pick>
HWY_INLINE V<D> SeriesTail(V<D> r2, Pick pick)
{
    V<D> p = Add(pick(kTaylor[14], kTaylor[15]), Div(r2, pick(TaylorFactorial(16), TaylorFactorial(17))));
    p = Add(pick(kTaylor[12], kTaylor[13]), Mul(r2, p));
    p = Add(pick(kTaylor[10], kTaylor[11]), Mul(r2, p));
    p = Add(pick(kTaylor[8], kTaylor[9]), Mul(r2, p));
    p = Add(pick(kTaylor[6], kTaylor[7]), Mul(r2, p));
    p = Add(pick(kTaylor[4], kTaylor[5]), Mul(r2, p));
    return Add(pick(kTaylor[2], kTaylor[3]), Mul(r2, p));
}

template <class D>
HWY_INLINE V<D> SineSeries(D d, V<D> r)
{
    const V<D> r2 = Mul(r, r);
    const V<D> tail = SeriesTail<D>(r2, [&](double, double sine) { return Constant(d, sine); });
    return Add(r, Mul(Mul(r, r2), tail));
}

template <class D>
HWY_INLINE V<D> CosineSeries(D d, V<D> r)
{
    const V<D> r2 = Mul(r, r);
    const V<D> tail = SeriesTail<D>(r2, [&](double cosine, double) { return Constant(d, cosine); });
    return Add(Constant(d, 1.0), Mul(r2, tail));
}

// The cosine series in the lanes of cosine, the sine series in the others:
// each lane performs exactly the operations of its own series.
template <class D>
HWY_INLINE V<D> EitherSeries(D d, V<D> r, M<D> cosine)
{
    const V<D> r2 = Mul(r, r);
    const V<D> tail = SeriesTail<D>(r2, [&](double cosineValue, double sineValue) {
        return IfThenElse(cosine, Constant(d, cosineValue), Constant(d, sineValue));
    });
    const V<D> factor = IfThenElse(cosine, r2, Mul(r, r2));
    return Add(IfThenElse(cosine, Constant(d, 1.0), r), Mul(factor, tail));
}

HWY_INLINE double EitherSeries(OneLane d, double r, bool cosine)
{
    return cosine ? CosineSeries(d, r) : SineSeries(d, r);
}

// ---- Reduction to |r| <= pi/4

template <class D>
struct QuadrantType {
    using type = hn::Vec<hn::RebindToUnsigned<D>>;
};

template <>
struct QuadrantType<OneLane> {
    using type = std::uint64_t;
};

template <class D>
using Quadrant = typename QuadrantType<D>::type;

// The low two bits of the integer that fills the low bits of x's mantissa.
template <class D>
HWY_INLINE Quadrant<D> LowTwoBits(D, V<D> x)
{
    const hn::RebindToUnsigned<D> du;
    return And(hn::BitCast(du, x), hn::Set(du, 3));
}

HWY_INLINE std::uint64_t LowTwoBits(OneLane, double x)
{
    return std::bit_cast<std::uint64_t>(x) & 3;
}

template <class D>
HWY_INLINE M<D> QuadrantIs(D d, Quadrant<D> quadrant, unsigned bit)
{
    const hn::RebindToUnsigned<D> du;
    return hn::RebindMask(d, Ne(And(quadrant, hn::Set(du, bit)), Zero(du)));
}

HWY_INLINE bool QuadrantIs(OneLane, std::uint64_t quadrant, unsigned bit)
{
    return (quadrant & bit) != 0;
}

// x = r + q pi/2 with |r| <= pi/4; quadrant gets q mod 4.
template <class D>
HWY_INLINE V<D> Reduce(D d, V<D> x, Quadrant<D>& quadrant)
{
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;  // leading 33 bits of pi/2
    constexpr double kHalfPiLow = 6.07710050650619224932e-11;   // pi/2 - kHalfPiHigh
    // 1.5 x 2^52: adding it rounds to an integer, which then fills the low
    // bits of the sum's mantissa (two's complement for a negative one).
    constexpr double kRoundShift = 6755399441055744.0;
    const V<D> shifted = Add(Mul(x, Constant(d, kTwoOverPi)), Constant(d, kRoundShift));
    const V<D> k = Sub(shifted, Constant(d, kRoundShift));
    quadrant = LowTwoBits(d, shifted);
    return Sub(Sub(x, Mul(k, Constant(d, kHalfPiHigh))), Mul(k, Constant(d, kHalfPiLow)));
}

// ---- Sine and cosine

template <class D>
HWY_INLINE V<D> CrankSine(D d, V<D> x)
{
    Quadrant<D> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> v = EitherSeries(d, r, QuadrantIs(d, q, 1));
    return IfThenElse(QuadrantIs(d, q, 2), Neg(v), v);
}

template <class D>
HWY_INLINE V<D> CrankCosine(D d, V<D> x)
{
    Quadrant<D> q;
    const V<D> r = Reduce(d, x, q);
    const M<D> odd = QuadrantIs(d, q, 1);
    const V<D> v = EitherSeries(d, r, Not(odd));
    // Negative in quadrants 1 and 2: bit 0 and bit 1 differ.
    return IfThenElse(Xor(odd, QuadrantIs(d, q, 2)), Neg(v), v);
}

template <class D>
HWY_INLINE void CrankSineCosine(D d, V<D> x, V<D>& sinX, V<D>& cosX)
{
    Quadrant<D> q;
    const V<D> r = Reduce(d, x, q);
    const V<D> s = SineSeries(d, r);
    const V<D> c = CosineSeries(d, r);
    const M<D> odd = QuadrantIs(d, q, 1);
    const M<D> half = QuadrantIs(d, q, 2);
    sinX = IfThenElse(odd, c, s);
    sinX = IfThenElse(half, Neg(sinX), sinX);
    cosX = IfThenElse(odd, s, c);
    cosX = IfThenElse(Xor(odd, half), Neg(cosX), cosX);
}

// One engine sums the two series side by side, in the lanes of one vector
// that EitherSeries sees as a cosine lane and a sine lane.
HWY_INLINE void CrankSineCosine(OneLane d, double x, double& sinX, double& cosX)
{
#if HWY_TARGET == HWY_SCALAR
    Quadrant<OneLane> q;
    const double r = Reduce(d, x, q);
    const double s = SineSeries(d, r);
    const double c = CosineSeries(d, r);
#else
    Quadrant<OneLane> q;
    const double r = Reduce(d, x, q);
    const hn::CappedTag<double, 2> d2;
    const hn::Vec<decltype(d2)> cosineFirst = hn::InterleaveLower(d2, hn::Set(d2, 1.0), hn::Zero(d2));
    const auto both = EitherSeries(d2, hn::Set(d2, r), hn::Ne(cosineFirst, hn::Zero(d2)));
    const double c = hn::GetLane(both);
    const double s = hn::ExtractLane(both, 1);
#endif
    const bool odd = QuadrantIs(d, q, 1);
    const bool half = QuadrantIs(d, q, 2);
    sinX = odd ? c : s;
    sinX = half ? Neg(sinX) : sinX;
    cosX = odd ? s : c;
    cosX = Xor(odd, half) ? Neg(cosX) : cosX;
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

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#endif  // TORQWELL_SIM_CRANK_TRIG_INL_H_ toggle
