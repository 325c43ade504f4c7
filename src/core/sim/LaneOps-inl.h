// The operations the crank loop's stages are written in, for three kinds of
// lanes, compiled once per instruction set:
//   - a Highway vector of engines, one engine per lane;
//   - Twin, two such vectors stepped together (the batch);
//   - OneLane, one engine as plain scalar arithmetic (the one-engine path).
// Every operation acts on each lane alone and is the same IEEE operation in
// every kind, so that an engine gets the same numbers whichever kind it runs
// in. No multiply-add is fused here: the cycle model is compiled with
// -ffp-contract=off, so each product is rounded before it is added. Where
// Highway works a value out by a sequence of its own (Exp and Log, which fuse
// multiply-adds from AVX2 on; the rounding to float), OneLane runs that very
// sequence on a one-lane vector, so that each instruction set makes the same
// choices for one engine as for a batch.
//
// Included by the files that dispatch over instruction sets; the guard
// below lets foreach_target.h include it once per instruction set. A plain
// .cpp may include it once after hwy/highway.h to use the helpers on
// OneLane: it then compiles them for Highway's static target.

#include "LaneRecords.h"

#if defined(TORQWELL_SIM_LANE_OPS_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORQWELL_SIM_LANE_OPS_INL_H_
#undef TORQWELL_SIM_LANE_OPS_INL_H_
#else
#define TORQWELL_SIM_LANE_OPS_INL_H_
#endif

#include "hwy/contrib/math/math-inl.h"
#include "hwy/highway.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

// ---- Lane types: V<D> holds a value per lane, M<D> a yes or no per lane.

template <class D>
struct VectorTypes {
    using Vec = hn::Vec<D>;
    using Mask = hn::Mask<D>;
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

// ---- One engine: a double and a bool
//
// The compiler turns the stages into scalar arithmetic and their masked
// choices into branches, so that one engine does not pay for a vector's
// bookkeeping.

struct OneLane {};

template <>
struct VectorTypes<OneLane> {
    using Vec = double;
    using Mask = bool;
};

HWY_INLINE std::size_t LaneCount(OneLane)
{
    return 1;
}

HWY_INLINE double Set(OneLane, double value)
{
    return value;
}

HWY_INLINE double Zero(OneLane)
{
    return 0.0;
}

HWY_INLINE double Add(double a, double b)
{
    return a + b;
}

HWY_INLINE double Sub(double a, double b)
{
    return a - b;
}

HWY_INLINE double Mul(double a, double b)
{
    return a * b;
}

HWY_INLINE double Div(double a, double b)
{
    return a / b;
}

HWY_INLINE double Neg(double a)
{
    return -a;
}

HWY_INLINE double Sqrt(double a)
{
    // The square root instruction itself, without the library's errno path.
    const hn::CappedTag<double, 1> d;
    return hn::GetLane(hn::Sqrt(hn::Set(d, a)));
}

HWY_INLINE bool Lt(double a, double b)
{
    return a < b;
}

HWY_INLINE bool Le(double a, double b)
{
    return a <= b;
}

HWY_INLINE bool Gt(double a, double b)
{
    return a > b;
}

HWY_INLINE bool Ge(double a, double b)
{
    return a >= b;
}

HWY_INLINE bool Ne(double a, double b)
{
    return a != b;
}

HWY_INLINE bool And(bool a, bool b)
{
    return a && b;
}

HWY_INLINE bool Or(bool a, bool b)
{
    return a || b;
}

// Highway's AndNot: not a, and b.
HWY_INLINE bool AndNot(bool a, bool b)
{
    return !a && b;
}

HWY_INLINE bool Not(bool a)
{
    return !a;
}

HWY_INLINE bool Xor(bool a, bool b)
{
    return a != b;
}

HWY_INLINE double IfThenElse(bool m, double yes, double no)
{
    return m ? yes : no;
}

HWY_INLINE double IfThenElseZero(bool m, double yes)
{
    return m ? yes : 0.0;
}

HWY_INLINE bool AllFalse(OneLane, bool m)
{
    return !m;
}

// The one-lane vector OneLane borrows Highway's own sequences from.
using OneVector = hn::CappedTag<double, 1>;

HWY_INLINE double Exp(OneLane, double x)
{
    const OneVector d;
    return hn::GetLane(hn::Exp(d, hn::Set(d, x)));
}

HWY_INLINE double Log(OneLane, double x)
{
    const OneVector d;
    return hn::GetLane(hn::Log(d, hn::Set(d, x)));
}

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
struct VectorTypes<Twin<D>> {
    using Vec = TwinVec<hn::Vec<D>>;
    using Mask = TwinMask<hn::Mask<D>>;
};

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

// ---- Values in and out of the records: the lanes of a LaneValues, or one
// engine's own field.

template <class D>
HWY_INLINE V<D> Constant(D d, double value)
{
    return Set(d, value);
}

template <class D>
HWY_INLINE V<D> LoadLanes(D d, const LaneValues& values)
{
    return Load(d, values.v);
}

template <class Field>
HWY_INLINE double LoadLanes(OneLane, Field value)
{
    return static_cast<double>(value);
}

template <class D>
HWY_INLINE M<D> LoadMask(D d, const LaneValues& values)
{
    return Ne(LoadLanes(d, values), Zero(d));
}

HWY_INLINE bool LoadMask(OneLane, bool value)
{
    return value;
}

template <class D>
HWY_INLINE void StoreLanes(D d, V<D> v, LaneValues& values)
{
    Store(v, d, values.v);
}

// A float field takes a value the loop has rounded to float: exactly.
template <class Field>
HWY_INLINE void StoreLanes(OneLane, double v, Field& value)
{
    value = static_cast<Field>(v);
}

template <class D>
HWY_INLINE void StoreMask(D d, M<D> m, LaneValues& values)
{
    StoreLanes(d, IfThenElseZero(m, Constant(d, 1.0)), values);
}

HWY_INLINE void StoreMask(OneLane, bool m, bool& value)
{
    value = m;
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

HWY_INLINE double AsStored(OneLane, double x)
{
    const OneVector d;
    return hn::GetLane(AsStored(d, hn::Set(d, x)));
}

// ---- Choices

// yes() where m holds, no() elsewhere: a vector works out both and blends
// them, one engine only the one it takes.
template <class D, class Yes, class No>
HWY_INLINE V<D> Choose(D, M<D> m, Yes yes, No no)
{
    return IfThenElse(m, yes(), no());
}

template <class Yes, class No>
HWY_INLINE double Choose(OneLane, bool m, Yes yes, No no)
{
    return m ? yes() : no();
}

// x held at lo or above, at hi or below, or both. (A NaN stays NaN.)
template <class D>
HWY_INLINE V<D> AtLeast(D d, V<D> x, double lo)
{
    return IfThenElse(Lt(x, Constant(d, lo)), Constant(d, lo), x);
}

template <class D>
HWY_INLINE V<D> AtMost(D d, V<D> x, double hi)
{
    return IfThenElse(Gt(x, Constant(d, hi)), Constant(d, hi), x);
}

template <class D>
HWY_INLINE V<D> HeldWithin(D d, V<D> x, double lo, double hi)
{
    return AtMost(d, AtLeast(d, x, lo), hi);
}

// The same on one value, for the setup of a run.
HWY_INLINE double AtLeast(double x, double lo)
{
    return AtLeast(OneLane(), x, lo);
}

HWY_INLINE double AtMost(double x, double hi)
{
    return AtMost(OneLane(), x, hi);
}

HWY_INLINE double HeldWithin(double x, double lo, double hi)
{
    return HeldWithin(OneLane(), x, lo, hi);
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#endif  // TORQWELL_SIM_LANE_OPS_INL_H_ toggle
