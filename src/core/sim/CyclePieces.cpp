// The pieces of the crank step for one engine at a time (valve lift, flow
// coefficient, valve areas, piston motion, exhaust wave, crank sine and
// cosine): the crank loop's own lane arithmetic run on a single lane, so
// that what the setup and the tests see is exactly what the loop computes.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/CyclePieces.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

#include "hwy/highway.h"
#include "sim/CrankStep-inl.h"

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

using One = hn::CappedTag<double, 1>;

double SinOne(double x)
{
    const One d;
    return hn::GetLane(CrankSine(d, hn::Set(d, x)));
}

double CosOne(double x)
{
    const One d;
    return hn::GetLane(CrankCosine(d, hn::Set(d, x)));
}

void SinCosOne(double x, double& sinX, double& cosX)
{
    const One d;
    V<One> s, c;
    CrankSineCosine(d, hn::Set(d, x), s, c);
    sinX = hn::GetLane(s);
    cosX = hn::GetLane(c);
}

double ValveLiftOne(const LobeLanes& lobe, double theta)
{
    const One d;
    return hn::GetLane(ValveLift(d, lobe, hn::Set(d, theta)));
}

double FlowCoefficientOne(const FlowTableLanes& table, double lift)
{
    const One d;
    return hn::GetLane(FlowCoefficient(d, table, hn::Set(d, lift)));
}

double IntakeCoefficientOne(double c, double portPressure, double cylinderPressure)
{
    const One d;
    return hn::GetLane(
        IntakeCoefficient(d, hn::Set(d, c), hn::Set(d, portPressure), hn::Set(d, cylinderPressure)));
}

double ExhaustValveAreaOne(const LobeLanes& lobe, const FlowTableLanes& table, double diameter, double theta)
{
    const One d;
    return hn::GetLane(ExhaustValveArea(d, lobe, table, hn::Set(d, diameter), hn::Set(d, theta)));
}

double IntakeValveAreaOne(const LobeLanes& lobe, const FlowTableLanes& table, double diameter, double theta,
                          double portPressure, double cylinderPressure)
{
    const One d;
    return hn::GetLane(IntakeValveArea(d, lobe, table, hn::Set(d, diameter), hn::Set(d, theta),
                                       hn::Set(d, portPressure), hn::Set(d, cylinderPressure)));
}

void PistonOne(const PistonLanes& piston, double theta, double& volume, double& rate)
{
    const One d;
    V<One> v, dv;
    Piston(d, piston, hn::Set(d, theta), v, dv);
    volume = hn::GetLane(v);
    rate = hn::GetLane(dv);
}

double ExhaustPortPressureOne(const WaveLanes& wave, double theta, double previous)
{
    const One d;
    return hn::GetLane(ExhaustPortPressure(d, wave, hn::Set(d, theta), hn::Set(d, previous)));
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

namespace crank_step {
HWY_EXPORT(SinOne);
HWY_EXPORT(CosOne);
HWY_EXPORT(SinCosOne);
HWY_EXPORT(ValveLiftOne);
HWY_EXPORT(FlowCoefficientOne);
HWY_EXPORT(IntakeCoefficientOne);
HWY_EXPORT(ExhaustValveAreaOne);
HWY_EXPORT(IntakeValveAreaOne);
HWY_EXPORT(PistonOne);
HWY_EXPORT(ExhaustPortPressureOne);
}  // namespace crank_step

namespace {

LobeLanes LobeInLaneZero(const CamLobe& lobe)
{
    LobeLanes lanes{};
    SetLobeLane(lanes, 0, lobe);
    return lanes;
}

FlowTableLanes TableInLaneZero(const FlowTable& table)
{
    FlowTableLanes lanes{};
    SetFlowTableLane(lanes, 0, table);
    return lanes;
}

}  // namespace

double CrankSin(double x)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::SinOne)(x);
}

double CrankCos(double x)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::CosOne)(x);
}

SineCosine CrankSinCos(double x)
{
    SineCosine sc{};
    HWY_DYNAMIC_DISPATCH(crank_step::SinCosOne)(x, sc.sin, sc.cos);
    return sc;
}

double ValveLift(const CamLobe& lobe, double theta)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::ValveLiftOne)(LobeInLaneZero(lobe), theta);
}

double FlowCoefficient(const FlowTable& table, double lift)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::FlowCoefficientOne)(TableInLaneZero(table), lift);
}

double IntakeCoefficient(double benchCoefficient, double portPressure, double cylinderPressure)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::IntakeCoefficientOne)(benchCoefficient, portPressure,
                                                                  cylinderPressure);
}

double ExhaustValveArea(const CamLobe& lobe, const FlowTable& table, double exhaustDiameter, double theta)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::ExhaustValveAreaOne)(LobeInLaneZero(lobe), TableInLaneZero(table),
                                                                 exhaustDiameter, theta);
}

double IntakeValveArea(const CamLobe& lobe, const FlowTable& table, double intakeDiameter, double theta,
                       double portPressure, double cylinderPressure)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::IntakeValveAreaOne)(
        LobeInLaneZero(lobe), TableInLaneZero(table), intakeDiameter, theta, portPressure, cylinderPressure);
}

PistonMotion PistonKinematics(const EngineGeometry& geometry, double theta)
{
    PistonLanes lanes{};
    SetPistonLane(lanes, 0, geometry);
    PistonMotion motion{};
    HWY_DYNAMIC_DISPATCH(crank_step::PistonOne)(lanes, theta, motion.volume, motion.rate);
    return motion;
}

float ExhaustPortPressure(const ExhaustWave& wave, float theta, float previous)
{
    WaveLanes lanes{};
    SetWaveLane(lanes, 0, wave);
    return static_cast<float>(
        HWY_DYNAMIC_DISPATCH(crank_step::ExhaustPortPressureOne)(lanes, theta, previous));
}

#endif  // HWY_ONCE
