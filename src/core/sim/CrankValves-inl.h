// The piston and the valves at a crank angle, on any kind of lanes
// (LaneOps-inl.h): cylinder volume, valve lift, bench flow coefficient and
// effective flow areas. Each stage reads an engine's own record (EngineCycle
// and its parts) or the lanes of several (CycleLanes) alike.
//
// Lengths in inches, areas in square inches, volumes in cubic inches,
// angles in crank degrees unless a name says cam degrees.

#include "CrankTrig-inl.h"
#include "SimConstants.h"

#if defined(TORQWELL_SIM_CRANK_VALVES_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef TORQWELL_SIM_CRANK_VALVES_INL_H_
#undef TORQWELL_SIM_CRANK_VALVES_INL_H_
#else
#define TORQWELL_SIM_CRANK_VALVES_INL_H_
#endif

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

// ---- Piston

template <class D>
struct PistonLanes {
    V<D> volume;  // ci
    V<D> rate;    // ci per crank degree
};

// Cylinder volume and its rate at crank angle theta, with the crank throw r,
// the rod L, the piston area A, the clearance volume Vc and
// w = sqrt(1 - (r/L sin theta)^2), the cosine of the rod's angle:
//   V     = A r ((2L / stroke)(1 - w) + (1 - cos theta)) + Vc
//   dV/dθ = A r sin theta (1 + r cos theta / (L w)) pi/180
template <class D, class Geometry>
HWY_INLINE PistonLanes<D> Piston(D d, const Geometry& g, V<D> theta)
{
    V<D> sinT, cosT;
    CrankSineCosine(d, Mul(theta, Constant(d, kCrankRadiansPerDegree)), sinT, cosT);
    const V<D> r = LoadLanes(d, g.crankRadius);
    const V<D> one = Constant(d, 1.0);
    const V<D> s = Mul(LoadLanes(d, g.crankOverRod), sinT);
    const V<D> w = Sqrt(Sub(one, Mul(s, s)));
    const V<D> areaThrow = Mul(LoadLanes(d, g.pistonArea), r);
    const V<D> travel = Add(Mul(LoadLanes(d, g.twoRodOverStroke), Sub(one, w)), Sub(one, cosT));
    const V<D> obliquity = Div(Mul(r, cosT), Mul(LoadLanes(d, g.rodLength), w));
    const V<D> rate =
        Mul(Mul(Mul(areaThrow, sinT), Add(one, obliquity)), Constant(d, kCrankRadiansPerDegree));
    return {Add(Mul(areaThrow, travel), LoadLanes(d, g.clearanceVolume)), rate};
}

// ---- Valve lift

// Lift of a circular-arc lobe under a flat follower at crank angle theta,
// by the cam angle phi = (theta - opening) / 2 since the valve opened, with
// the flank offset A, base circle r0, nose circle m centred n from the cam:
//   opening flank  phi <= alpha:      1.5 A (1 - cos phi)
//   nose           alpha < phi < B:   1.5 (m cos(beta - phi) + n - r0)
//   closing flank  phi >= B:          1.5 A (1 - cos(alpha + B - phi))
// and a lift below 0 taken as 0.000001.
template <class D, class Lobe>
HWY_INLINE V<D> ValveLift(D d, const Lobe& lobe, V<D> theta)
{
    const V<D> phi = Mul(Sub(theta, LoadLanes(d, lobe.opening)), Constant(d, kCamDegreesPerCrankDegree));
    const V<D> alpha = LoadLanes(d, lobe.flankEnd);
    const V<D> noseEnd = LoadLanes(d, lobe.noseEnd);
    const M<D> onOpeningFlank = Le(phi, alpha);
    const M<D> onNose = AndNot(onOpeningFlank, Lt(phi, noseEnd));
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

// ---- Flow coefficient

// Bench flow coefficient at a lift, interpolated on the segment the lift
// falls in: C = Cj + (L - Lj) slope j. Past the first three measured lifts a
// segment is taken only while data follows (a lift of 0 ends the data), so
// the last measured segment extends to every higher lift.
template <class D, class Table>
HWY_INLINE V<D> FlowCoefficient(D d, const Table& t, V<D> lift)
{
    V<D> coefficient = LoadLanes(d, t.coefficient[0]);
    V<D> from = LoadLanes(d, t.lift[0]);
    V<D> slope = LoadLanes(d, t.slope[0]);
    M<D> beyond = Not(Le(lift, LoadLanes(d, t.lift[1])));
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

// One engine walks the lifts to its segment instead.
template <class Table>
HWY_INLINE double FlowCoefficient(OneLane, const Table& t, double lift)
{
    int j = 0;
    for (; j < 9; ++j) {
        if (lift <= t.lift[j + 1]) break;
        if (j + 1 > 3 && t.lift[j + 2] == 0.0f) break;
    }
    return Add(t.coefficient[j], Mul(Sub(lift, t.lift[j]), t.slope[j]));
}

// The intake's bench coefficient c corrected for the pressure ratio
// f = port / cylinder, with fc = 1.8929 the critical ratio of air:
//   f <= fc:  c' = c + (f - 1)(1 - c)(c - 0.1) 0.7 / (fc - 1)
//   f >  fc:  c' = c + 0.7 (1 - c)(c - 0.1) + (1 - c)(1 - (fc/f)^2)(0.27 - 0.1 c)
// The two agree at fc. c' is held within 0.43 to 1.
template <class D>
HWY_INLINE V<D> IntakeCoefficient(D d, V<D> c, V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> one = Constant(d, 1.0);
    const V<D> f = Div(portPressure, cylinderPressure);
    const V<D> open = Sub(one, c);
    const V<D> fromUncorrected = Sub(c, Constant(d, kUncorrectedCoefficient));
    const auto subcritical = [&] {
        return Add(c, Mul(Mul(Mul(Sub(f, one), open), fromUncorrected),
                          Constant(d, kSubcriticalCorrectionPerRatio)));
    };
    const auto choked = [&] {
        const V<D> i = Div(Constant(d, kCriticalPressureRatio), f);
        const V<D> gain =
            Sub(Constant(d, kChokedCorrectionBase), Mul(Constant(d, kChokedCorrectionPerCoefficient), c));
        return Add(Add(c, Mul(Mul(Constant(d, kCriticalCorrection), open), fromUncorrected)),
                   Mul(Mul(open, Sub(one, Mul(i, i))), gain));
    };
    const V<D> corrected = Choose(d, Le(f, Constant(d, kCriticalPressureRatio)), subcritical, choked);
    return HeldWithin(d, corrected, kLowestIntakeCoefficient, kHighestIntakeCoefficient);
}

// ---- Effective flow areas

// A = L c pi D: lift x coefficient x the circumference of all the side's
// valves as one, sq in. The exhaust's coefficient is held within 0 to 1.
template <class D, class Lobe, class Table>
HWY_INLINE V<D> ExhaustValveArea(D d, const Lobe& lobe, const Table& table, V<D> diameter, V<D> theta)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = HeldWithin(d, FlowCoefficient(d, table, lift), 0.0, 1.0);
    return Mul(Mul(Mul(lift, c), diameter), Constant(d, kPi));
}

template <class D, class Lobe, class Table>
HWY_INLINE V<D> IntakeValveArea(D d, const Lobe& lobe, const Table& table, V<D> diameter, V<D> theta,
                                V<D> portPressure, V<D> cylinderPressure)
{
    const V<D> lift = ValveLift(d, lobe, theta);
    const V<D> c = IntakeCoefficient(d, FlowCoefficient(d, table, lift), portPressure, cylinderPressure);
    return Mul(Mul(Mul(lift, c), diameter), Constant(d, kPi));
}

template <class D>
struct ValveAreaLanes {
    V<D> intake;   // sq in
    V<D> exhaust;  // sq in
};

// The areas of both valves at theta: 0 where a valve is closed, that is
// outside its opening and closing angles, or where a lane is not active.
template <class D, class Cycle>
HWY_INLINE ValveAreaLanes<D> ValveAreas(D d, const Cycle& L, M<D> active, V<D> theta, V<D> portPressure,
                                        V<D> cylinderPressure)
{
    const auto& events = L.events;
    const M<D> intakeOpen = And(active, And(Lt(LoadLanes(d, events.intakeOpening), theta),
                                            Lt(theta, LoadLanes(d, events.intakeClosing))));
    const M<D> exhaustOpen = And(active, And(Lt(LoadLanes(d, events.exhaustOpening), theta),
                                             Lt(theta, LoadLanes(d, events.exhaustClosing))));
    ValveAreaLanes<D> areas{Zero(d), Zero(d)};
    if (!AllFalse(d, intakeOpen)) {
        const V<D> diameter = LoadLanes(d, L.geometry.intakeDiameter);
        areas.intake = IfThenElseZero(intakeOpen, IntakeValveArea(d, L.intakeLobe, L.intakeFlow, diameter,
                                                                  theta, portPressure, cylinderPressure));
    }
    if (!AllFalse(d, exhaustOpen)) {
        const V<D> diameter = LoadLanes(d, L.geometry.exhaustDiameter);
        areas.exhaust =
            IfThenElseZero(exhaustOpen, ExhaustValveArea(d, L.exhaustLobe, L.exhaustFlow, diameter, theta));
    }
    return areas;
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#endif  // TORQWELL_SIM_CRANK_VALVES_INL_H_ toggle
