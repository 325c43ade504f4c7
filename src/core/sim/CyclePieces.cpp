// The pieces of the crank step for one engine (crank sine and cosine, valve
// lift, flow coefficient, piston motion, exhaust wave, charge enthalpy): the
// crank loop's own stages run on one lane, so that what the setup and the
// tests see is exactly what the loop computes.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "sim/CyclePieces.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

#include "hwy/highway.h"
#include "sim/CrankStep-inl.h"
#include "sim/CycleLanes.h"

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {

double SinOne(double x)
{
    return CrankSine(OneLane(), x);
}

double CosOne(double x)
{
    return CrankCosine(OneLane(), x);
}

void SinCosOne(double x, double& sinX, double& cosX)
{
    CrankSineCosine(OneLane(), x, sinX, cosX);
}

double ValveLiftOne(const CamLobe& lobe, double theta)
{
    return ValveLift(OneLane(), lobe, theta);
}

double FlowCoefficientOne(const FlowTable& table, double lift)
{
    return FlowCoefficient(OneLane(), table, lift);
}

double IntakeCoefficientOne(double c, double portPressure, double cylinderPressure)
{
    return IntakeCoefficient(OneLane(), c, portPressure, cylinderPressure);
}

void PistonOne(const EngineGeometry& geometry, double theta, double& volume, double& rate)
{
    const PistonLanes<OneLane> piston = Piston(OneLane(), geometry, theta);
    volume = piston.volume;
    rate = piston.rate;
}

double ExhaustPortPressureOne(const ExhaustWave& wave, double theta, double previous)
{
    return ExhaustPortPressure(OneLane(), wave, theta, previous);
}

double EnthalpyOne(double temp)
{
    return Enthalpy(OneLane(), temp, InternalEnergy(OneLane(), temp));
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
HWY_EXPORT(PistonOne);
HWY_EXPORT(ExhaustPortPressureOne);
HWY_EXPORT(EnthalpyOne);
}  // namespace crank_step

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
    return HWY_DYNAMIC_DISPATCH(crank_step::ValveLiftOne)(lobe, theta);
}

double FlowCoefficient(const FlowTable& table, double lift)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::FlowCoefficientOne)(table, lift);
}

double IntakeCoefficient(double benchCoefficient, double portPressure, double cylinderPressure)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::IntakeCoefficientOne)(benchCoefficient, portPressure,
                                                                  cylinderPressure);
}

PistonMotion PistonKinematics(const EngineGeometry& geometry, double theta)
{
    PistonMotion motion{};
    HWY_DYNAMIC_DISPATCH(crank_step::PistonOne)(geometry, theta, motion.volume, motion.rate);
    return motion;
}

float ExhaustPortPressure(const ExhaustWave& wave, float theta, float previous)
{
    return static_cast<float>(
        HWY_DYNAMIC_DISPATCH(crank_step::ExhaustPortPressureOne)(wave, theta, previous));
}

double ChargeEnthalpy(double tempR)
{
    return HWY_DYNAMIC_DISPATCH(crank_step::EnthalpyOne)(tempR);
}

#endif  // HWY_ONCE
