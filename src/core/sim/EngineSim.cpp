#include "EngineSim.h"

#include "BoostModel.h"
#include "SimConstants.h"
#include "ValveGeometry.h"

#include <cmath>

namespace {

// Induction capacity per cfm of carburettor rating, so scaled that the
// manifold vacuum, 7.916e-06 x demand^2 psi, is about the 1.5 inHg (0.74 psi)
// of the rating when the engine draws the rated flow.
constexpr double kPerRatedCfm = 1.0 / 18560.0;
constexpr double kPerRatedCfmAtThreeInches = 1.0 / (18560.0 * 1.414);  // 1.414 = sqrt(3.0 / 1.5)
constexpr double kInductionCapacityScale = kCubicInchesPerCubicFoot * 120.0;

// Crank step per rpm, degrees: a fixed step of 50 microseconds (0.0003 = 6 x 5e-05).
constexpr double kStepDegreesPerRpm = 0.0003;

// The charge burns between 710 and 770 crank degrees at a rate shaped as the
// half-sine sin(pi (theta - 710) / 60); its integral over the 60 degrees is
// 120 / pi, so pi / 120 makes the burnt fractions sum to 1.
constexpr double kBurnDuration = 60.0;                               // crank degrees
constexpr double kBurnPhasePerDegree = kPi * (1.0 / kBurnDuration);  // half-sine radians per crank degree
constexpr double kBurnFractionScale = kPi / (2.0 * kBurnDuration);   // pi / 120

// Everything that stays fixed for the whole run.
struct RunConstants {
    ValveSetup valves;
    double heatingValue;       // BTU/lb
    double inductionCapacity;
    double nitrousPower;       // hp
    double airFuelRatio;
    double wallArea;           // head and piston crown, sq in
    double fourPerBore;        // liner area per cubic inch of volume, 4 / bore
    double intakePortArea;     // sq in
};

// Values one speed point leaves to the next.
struct CarriedState {
    float vePrev = kFirstVolumetricEfficiency;  // %
    float finalPressure = 0.0f;                 // psi, cylinder at the end of the last cycle
    float exhaustPortPressure = 0.0f;           // psi
    float ramAmplitude = 0.0f;                  // psi
    float intakeFlowFunction = 0.0f;            // compressible flow function of the last intake flow
    float intakeSoundSpeed = 0.0f;              // ft/s, speed of sound upstream of the last intake flow
    float intakePortDensity = 0.0f;             // slug/ft3, port gas of the last intake flow
    BoostState boost;
};

// Constants of one speed point.
struct PointConstants {
    double rpm;
    float stepAngle;           // crank degrees per step
    float chargeTemp;          // R
    float manifoldPressure;    // psi absolute
    double chargeEnthalpy;     // BTU/lb of the incoming charge
    double chargeSoundSpeed;   // ft/s, sqrt(2405.018 Tin)
    double perChargeTemp;      // 1 / Tin
    double ramFrequency;       // degrees of ram wave per crank degree
    bool boosted;
    float boostedExhaustPressure;  // psi, exhaust port against a turbine or blower drive
    ExhaustWave wave;
    double perStep;            // 1 / (6 N): seconds per crank degree
};

// The cylinder through one cycle: state stored in single precision.
struct CycleState {
    float theta;       // crank degrees
    float pressure;    // psi
    float temp;        // R
    float mass;        // lb
    float dPressurePrev, dTempPrev, dMassPrev;
    float inducted;    // net mass through the intake valve, lb
    float work;        // indicated work, in-lbf
    float ram;         // psi
    float portPressure;  // psi, intake port at the previous step
};

bool Finite(double v) { return std::isfinite(v); }

// Subsonic compressible flow function of the pressure ratio r = downstream / upstream.
// psi = 5 (r^1.428 - r^1.714), both powers from one logarithm.
double FlowFunction(double r)
{
    const double logR = std::log(r);
    return 5.0 * (std::exp(1.428 * logR) - std::exp(1.714 * logR));
}

// Mass flow through an effective area, lb per crank degree, from the flow
// function, the sound-speed term sqrt(2405.018 Tu) and the upstream pressure
// (psi) over the upstream temperature (perTu = 1 / Tu, R).
double OrificeFlow(double psi, double soundSpeed, double upstreamPressure, double perTu, double area, double perStep)
{
    return std::sqrt(psi) * soundSpeed * upstreamPressure * kOrificeFlowCoefficient * perTu * area * perStep;
}

// Any value carried to the next point or stored as a result that is not a
// finite number fails the run: a cycle pushed there (an absolute boost
// pressure below zero, say) has no meaningful result.
bool PointIsFinite(const CarriedState& c, const SimResults& r, int point)
{
    const float values[] = {c.vePrev,
                            c.finalPressure,
                            c.exhaustPortPressure,
                            c.ramAmplitude,
                            c.intakeFlowFunction,
                            c.intakeSoundSpeed,
                            c.intakePortDensity,
                            c.boost.boost,
                            c.boost.chargeTemp,
                            c.boost.driveLoss,
                            r.power[point],
                            r.torque[point],
                            r.manifoldPressure[point],
                            r.volumetricEfficiency[point],
                            r.imep[point],
                            r.bmep[point],
                            r.fmep[point]};
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// Brake power correction at low speed.
double SpeedFactor(double rpm)
{
    if (rpm <= 2000.0) return 1.18;
    if (rpm <= 2500.0) return 1.12;
    if (rpm <= 3000.0) return 1.095;
    if (rpm <= 3500.0) return 1.07;
    return 1.06;
}

PointConstants MakePointConstants(const SimInputs& in, const RunConstants& run, int point, CarriedState& carried)
{
    PointConstants pc{};
    const double rpm = SpeedPointRpm(point);
    pc.rpm = rpm;
    pc.stepAngle = static_cast<float>(kStepDegreesPerRpm * rpm);
    pc.perStep = 1.0 / (kCrankDegreesPerSecondPerRpm * rpm);

    // Charge temperature and ram amplitude before forced induction changes them.
    carried.boost.chargeTemp = static_cast<float>(IntakeChargeTemperature(in.fuelType, rpm));
    carried.ramAmplitude = RamAmplitude(in.manifoldType, rpm, carried.ramAmplitude);
    BoostModel(in, run.valves.geometry.engineVolume, carried.vePrev, rpm, carried.boost);
    const double boost = carried.boost.boost;
    pc.boosted = boost > 0.0;
    if (pc.boosted) carried.ramAmplitude = static_cast<float>(0.001 * rpm + 2.0);
    pc.chargeTemp = carried.boost.chargeTemp;

    // Manifold vacuum grows with the square of the air demand over the
    // induction capacity; the demand uses the previous point's efficiency.
    const double demand = run.valves.geometry.engineVolume * rpm * carried.vePrev * 0.01 / run.inductionCapacity;
    double pm = kAtmospherePsi - 7.916e-06 * demand * demand;
    if (pc.boosted) pm += boost;
    pc.manifoldPressure = static_cast<float>(pm);

    pc.chargeEnthalpy = ChargeEnthalpy(pc.chargeTemp);
    pc.chargeSoundSpeed = std::sqrt(kSoundSpeedSquaredPerRankine * pc.chargeTemp);
    pc.perChargeTemp = 1.0 / pc.chargeTemp;
    pc.ramFrequency = 24000.0 / rpm;
    pc.boostedExhaustPressure = static_cast<float>(0.0013333333 * rpm + 25.0);
    pc.wave = MakeExhaustWave(GetExhaustSystem(in.exhaustSystem, rpm), run.valves.events.exhaustOpening, rpm);
    return pc;
}

// Terms of the cylinder gas at the start of a step.
struct CylinderGas {
    double pressure;    // psi
    double temp;        // R
    double soundSpeed;  // ft/s, sqrt(2405.018 T)
    double perTemp;     // 1 / T
};

// Exhaust-port pressure, ram wave and intake port pressure at the step's
// crank angle, psi. The port pressure is the manifold pressure less the
// dynamic head of the port flow of the last intake computation, plus the ram.
void UpdatePortPressures(const RunConstants& run, const PointConstants& pc, CarriedState& carried, CycleState& s,
                         double intakeArea)
{
    const double theta = s.theta;
    carried.exhaustPortPressure = pc.boosted ? pc.boostedExhaustPressure
                                             : ExhaustPortPressure(pc.wave, s.theta, carried.exhaustPortPressure);
    // Ram: a ramp towards BDC, then an oscillation in the runner.
    if (510.0f < s.theta && s.theta <= 540.0f)
        s.ram = static_cast<float>((theta - 510.0) * carried.ramAmplitude * 0.028571429);
    else if (540.0f < s.theta && s.theta < 650.0f)
        s.ram = static_cast<float>(CrankSin((theta - 540.0) * pc.ramFrequency * kRadiansPerDegree) *
                                   carried.ramAmplitude);
    const double portVelocity = std::sqrt(static_cast<double>(carried.intakeFlowFunction)) * carried.intakeSoundSpeed *
                                intakeArea / run.intakePortArea;  // ft/s
    const double dynamicHead = 0.5 * carried.intakePortDensity * portVelocity * portVelocity;  // lbf/sq ft
    s.portPressure = static_cast<float>(
        (pc.manifoldPressure * kSquareInchesPerSquareFoot - dynamicHead) * kSquareFeetPerSquareInch + s.ram);
}

// Mass flow through the intake valve into the cylinder, lb per crank degree
// (negative: charge pushed back into the port). Keeps the flow function,
// speed of sound and port density for the next steps' port pressure.
bool IntakeMassFlow(const PointConstants& pc, CarriedState& carried, const CylinderGas& gas, double area, double pp,
                    double& flow)
{
    const bool inward = pp > gas.pressure;
    const double pu = inward ? pp : gas.pressure;
    const double tu = inward ? static_cast<double>(pc.chargeTemp) : gas.temp;
    const double r = (inward ? gas.pressure : pp) / pu;
    if (r < 0.0 || tu < 0.0) return false;
    const double psi = FlowFunction(r);
    if (psi < 0.0) return false;
    const double soundSpeed = inward ? pc.chargeSoundSpeed : gas.soundSpeed;
    flow = OrificeFlow(psi, soundSpeed, pu, inward ? pc.perChargeTemp : gas.perTemp, area, pc.perStep);
    if (pp < gas.pressure) flow = -flow;
    carried.intakeFlowFunction = static_cast<float>(psi);
    carried.intakeSoundSpeed = static_cast<float>(soundSpeed);
    carried.intakePortDensity = static_cast<float>(pp * kSquareInchesPerSquareFoot / (tu * kGasConstantSlug));
    return true;
}

// Mass flow through the exhaust valve out of the cylinder, lb per crank
// degree (negative: port gas at 2000 R flowing back in).
bool ExhaustMassFlow(const PointConstants& pc, const CylinderGas& gas, double area, double pe, double& flow)
{
    const bool outward = gas.pressure >= pe;
    const double pu = outward ? gas.pressure : pe;
    const double tu = outward ? gas.temp : kExhaustBackflowTemperature;
    const double r = (outward ? pe : gas.pressure) / pu;
    if (r < 0.0 || tu < 0.0) return false;
    flow = OrificeFlow(FlowFunction(r), outward ? gas.soundSpeed : kBackflowSoundSpeed, pu,
                       outward ? gas.perTemp : 1.0 / kExhaustBackflowTemperature, area, pc.perStep);
    if (gas.pressure < pe) flow = -flow;
    return true;
}

struct Derivatives {
    double pressure;  // psi per crank degree
    double temp;      // R per crank degree
    double mass;      // lb per crank degree
};

// Energy and state equations of the cylinder gas, per crank degree:
//   dP = 9336 (dQburn + dQwall - P dV/9336 + min hI - mex hE - P dV K/9336 + (T cv - u) dm) / (K V)
//   dT = ((V dP + P dV)/9336 - T dm R) / (m R),   K = cv / R
Derivatives EnergyBalance(const RunConstants& run, const PointConstants& pc, const CycleState& s, double v, double dv,
                          double pe, double intakeFlow, double exhaustFlow)
{
    const double p = s.pressure;
    const double t = s.temp;
    const double pp = s.portPressure;
    const double cylinderEnthalpy = ChargeEnthalpy(t);  // BTU/lb
    const double intakeEnthalpy = p <= pp ? pc.chargeEnthalpy : cylinderEnthalpy;
    const double exhaustEnthalpy = pe <= p ? cylinderEnthalpy : kExhaustBackflowEnthalpy;

    // Heat to the walls (head, piston crown and the exposed liner), BTU per crank degree.
    const double wallHeat = kWallFilmCoefficient * (kWallTemperature - t) * (v * run.fourPerBore + run.wallArea) *
                            kWallFilmCoefficientUnit * pc.perStep;
    // Fraction of the charge burnt per crank degree: a half-sine over 60 degrees that sums to 1.
    double burnRate = 0.0;
    if (710.0f < s.theta && s.theta < 770.0f)
        burnRate = CrankSin((s.theta - 710.0) * kBurnPhasePerDegree) * kBurnFractionScale;
    const double burnHeat = burnRate * run.heatingValue * s.inducted / (run.airFuelRatio + 1.0);  // BTU per degree

    const double massRate = intakeFlow - exhaustFlow;
    const double cv = ChargeSpecificHeat(t);
    const double k = cv * kEnergyBalancePerGasConstant;
    const double pdv = p * dv;
    // The divisors are known before the flows; their reciprocals keep
    // divisions off the chain from one pressure to the next.
    const double perKV = 1.0 / (k * v);
    const double perMR = 1.0 / (static_cast<double>(s.mass) * kGasConstantBtu);
    Derivatives d;
    d.mass = massRate;
    d.pressure = kInchPoundsPerBtu *
                 (burnHeat + wallHeat - pdv * kBtuPerInchPound + intakeFlow * intakeEnthalpy -
                  exhaustFlow * exhaustEnthalpy - pdv * k * kBtuPerInchPound +
                  (t * cv - ChargeInternalEnergy(t)) * massRate) *
                 perKV;
    d.temp = ((v * d.pressure + pdv) * kBtuPerInchPound - t * massRate * kGasConstantBtu) * perMR;
    return d;
}

// One crank step of the filling-and-emptying cycle. v and dv are the volume
// (ci) and its rate (ci per crank degree) at the step's crank angle; they
// come back for the new crank angle. Returns false when the gas state stops
// making sense (a negative pressure ratio or temperature).
bool CrankStep(const RunConstants& run, const PointConstants& pc, CarriedState& carried, CycleState& s, double& v,
               double& dv)
{
    const ValveSetup& valves = run.valves;
    const ValveEvents& ev = valves.events;
    const double p = s.pressure;

    // Effective valve areas, sq in; a closed valve has none.
    double intakeArea = 0.0;
    double exhaustArea = 0.0;
    if (ev.intakeOpening < s.theta && s.theta < ev.intakeClosing)
        intakeArea = IntakeValveArea(valves.intakeLobe, valves.intakeFlow, valves.geometry.intakeDiameter, s.theta,
                                     s.portPressure, p);
    if (ev.exhaustOpening < s.theta && s.theta < ev.exhaustClosing)
        exhaustArea = ExhaustValveArea(valves.exhaustLobe, valves.exhaustFlow, valves.geometry.exhaustDiameter, s.theta);
    UpdatePortPressures(run, pc, carried, s, intakeArea);
    const double pe = carried.exhaustPortPressure;

    const CylinderGas gas{p, s.temp, std::sqrt(kSoundSpeedSquaredPerRankine * s.temp), 1.0 / s.temp};
    double intakeFlow = 0.0;
    double exhaustFlow = 0.0;
    if (intakeArea > 0.0) {
        if (!IntakeMassFlow(pc, carried, gas, intakeArea, s.portPressure, intakeFlow)) return false;
        s.inducted = static_cast<float>(s.inducted + intakeFlow * pc.stepAngle);
    }
    if (exhaustArea > 0.0 && !ExhaustMassFlow(pc, gas, exhaustArea, pe, exhaustFlow)) return false;

    // Second-order Adams-Bashforth step of pressure, temperature and mass.
    const Derivatives d = EnergyBalance(run, pc, s, v, dv, pe, intakeFlow, exhaustFlow);
    const double step = pc.stepAngle;
    s.pressure = static_cast<float>(p + (1.5 * d.pressure - 0.5 * s.dPressurePrev) * step);
    s.temp = static_cast<float>(s.temp + (1.5 * d.temp - 0.5 * s.dTempPrev) * step);
    s.mass = static_cast<float>(s.mass + (1.5 * d.mass - 0.5 * s.dMassPrev) * step);
    s.dPressurePrev = static_cast<float>(d.pressure);
    s.dTempPrev = static_cast<float>(d.temp);
    s.dMassPrev = static_cast<float>(d.mass);

    // Indicated work by the trapezoid rule over the volume swept, in-lbf.
    s.theta = s.theta + pc.stepAngle;
    const PistonMotion next = PistonKinematics(valves.geometry, s.theta);
    s.work = static_cast<float>(s.work + (static_cast<double>(s.pressure) + p) * (next.volume - v) * 0.5);
    v = next.volume;
    dv = next.rate;
    return true;
}

// One full cycle from EVO to EVO + 720 at one speed point, then the point's
// results. Returns false when the cycle fails.
bool SolvePoint(const SimInputs& in, const RunConstants& run, int point, CarriedState& carried,
                SimResults& results)
{
    const PointConstants pc = MakePointConstants(in, run, point, carried);
    const EngineGeometry& geo = run.valves.geometry;
    const float evo = run.valves.events.exhaustOpening;

    CycleState s{};
    s.theta = evo;
    s.pressure = point == 0 ? static_cast<float>(kStartPressurePsi) : carried.finalPressure;
    s.temp = static_cast<float>(kStartTemperature);
    PistonMotion start = PistonKinematics(geo, s.theta);
    s.mass = static_cast<float>(start.volume * s.pressure * kStartMassPerPsiCubicInch);
    s.portPressure = pc.manifoldPressure;
    const double referenceMass = start.volume * kStandardAirPerCubicInch;  // lb of standard air in that volume

    double v = start.volume;
    double dv = start.rate;
    const double lastAngle = static_cast<double>(evo) + 720.0;
    // Float accumulation decides whether the final step runs; the guard only
    // stops a cycle that could never end.
    const int stepLimit = static_cast<int>(720.0 / pc.stepAngle) + 8;
    for (int steps = 0; s.theta <= lastAngle; ++steps) {
        if (steps > stepLimit || !CrankStep(run, pc, carried, s, v, dv)) return false;
    }
    // A state that has once left the finite numbers never comes back (each
    // is updated from itself), so one look at the end of the cycle finds it.
    if (!(Finite(s.pressure) && Finite(s.temp) && Finite(s.mass) && Finite(s.inducted) && Finite(s.work)))
        return false;
    carried.finalPressure = s.pressure;

    const double rpm = pc.rpm;
    const double ve = s.inducted / referenceMass * 100.0;
    carried.vePrev = static_cast<float>(ve);
    const double pistonSpeed = rpm * geo.stroke / 6.0;  // ft/min
    const double fmep = 12.964 + pistonSpeed * (0.0030476 + 6.5476e-07 * pistonSpeed);
    const double fb = SpeedFactor(rpm);
    const double engineVolume = geo.engineVolume;
    const double imepCycle = s.work / static_cast<double>(geo.cylinderVolume);
    const double hp =
        engineVolume * rpm * (imepCycle - fmep - carried.boost.driveLoss) * kHorsepowerPerMepCubicInchRpm * fb +
        run.nitrousPower;
    const double bmep = hp * kMepCubicInchRpmPerHorsepower / (engineVolume * rpm);
    const double imep = bmep + fmep;

    results.power[point] = static_cast<float>(hp < 0.0 ? 0.0 : hp);
    results.torque[point] = static_cast<float>(results.power[point] * kTorqueRpmPerHorsepower / rpm);
    results.manifoldPressure[point] = pc.manifoldPressure;
    results.volumetricEfficiency[point] = static_cast<float>(ve);
    results.imep[point] = static_cast<float>((fb - 1.0) * bmep + imep);
    results.bmep[point] = static_cast<float>(bmep);
    results.fmep[point] = static_cast<float>(fmep);
    return PointIsFinite(carried, results, point);
}

}  // namespace

double ChargeInternalEnergy(double t)
{
    return t * (0.16528 + t * (5.1979e-06 + t * (3.9016e-09 + t * (-9.3632e-13 + t * 6.3156e-17))));
}

double ChargeSpecificHeat(double t)
{
    return 0.16528 + t * (1.0396e-05 + t * (1.17048e-08 + t * (-3.74528e-12 + t * 3.1578e-16)));
}

double ChargeEnthalpy(double t) { return ChargeInternalEnergy(t) + kGasConstantBtu * t; }

double FuelHeatingValue(int fuelType)
{
    if (fuelType <= 9) return 19000.0;   // gasoline, with or without nitrous
    if (fuelType <= 18) return 19800.0;  // methanol
    if (fuelType == 19) return 19100.0;  // ethanol
    if (fuelType == 20) return 18600.0;  // propane
    return 18839.0;                      // liquefied natural gas
}

double IntakeChargeTemperature(int fuelType, double rpm)
{
    // Liquid fuels cool the charge by evaporation; at low speed the charge
    // picks up heat from the manifold.
    if (fuelType < 10 && rpm < 5500.0) return 610.0 - 0.01272 * rpm;
    if (fuelType <= 19) return 540.0;
    return rpm <= 5500.0 ? 630.0 - 0.01272 * rpm : 560.0;
}

double InductionCapacity(const SimInputs& in)
{
    // A carburettor rated at 3.0 inHg passes 1 / 1.414 of its rating at the
    // 1.5 inHg basis: flow goes with the square root of the pressure drop.
    double g = in.inductionCfm * (in.ratingBarrels == 2 ? kPerRatedCfmAtThreeInches : kPerRatedCfm);
    // Individual runners: each cylinder draws on one barrel of four.
    if (in.manifoldType == 4) g = g * 0.25;
    return g * kInductionCapacityScale;
}

namespace {
double Held(double v, double lo, double hi)
{
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return v;
}
}  // namespace

float RamAmplitude(int manifoldType, double rpm, float previous)
{
    double v;
    switch (manifoldType) {
    case 1: v = Held(std::pow(rpm, 1.3) * 8.03e-05, 0.0, 7.5); break;           // single plane
    case 2: v = Held(std::pow(rpm, 1.33) * 9.03e-06 + 3.0, 0.0, 5.0); break;    // dual plane
    case 3: v = std::fmax(std::pow(rpm, 1.27) * 0.000103, 0.0); break;          // tunnel ram
    case 4: v = Held(std::pow(rpm, 1.3) * 0.000143, 0.0, 7.5); break;           // individual runners
    case 5: v = rpm <= 4000.0 ? 4.0 : 8.0 - 0.001 * rpm; break;                 // tuned port
    case 6: v = std::fmin(std::pow(rpm, 1.31) * 0.000103, 4.5); break;          // sequential injection
    default: return previous;                                                   // forced induction
    }
    return static_cast<float>(v);
}

ExhaustSystemData GetExhaustSystem(int exhaustSystem, double rpm)
{
    switch (exhaustSystem) {
    case 2: return {32.0, 0.3, 4000.0, 1.04};  // performance manifolds and mufflers
    case 3: return {26.5, 0.5, 5000.0, 1.04};  // small-tube headers, mufflers
    case 4: return {22.5, 0.5, 5000.0, 1.0};   // small-tube headers, open
    case 5: return {25.7, 0.5, 5000.0, 1.02};  // large-tube headers, mufflers
    case 6: return {22.7, 0.5, 5500.0, 0.94};  // large-tube headers, open
    case 7: {                                  // stepped race headers
        const double base = rpm >= 5500.0 ? 21.0 : 21.0 + 3.0 * (5500.0 - rpm) / rpm;
        return {base, 0.5, 6000.0, 0.95};
    }
    default: return {35.0, 0.3, 4000.0, 1.06};  // stock manifolds and mufflers
    }
}

ExhaustWave MakeExhaustWave(const ExhaustSystemData& system, double exhaustOpening, double rpm)
{
    ExhaustWave w{};
    w.exhaustOpening = exhaustOpening;
    w.tuningRpm = system.tuningRpm;
    w.rpm = rpm;
    w.angleScale = 270.0 / (360.0 - exhaustOpening);
    w.amplitude = std::pow(rpm, system.exponent) * 0.0013332;
    w.basePressure = system.basePressure;
    w.laterWaveFactor = system.laterWaveFactor;
    return w;
}

float ExhaustPortPressure(const ExhaustWave& w, float theta, float previous)
{
    // Wave angle: crank degrees since EVO, scaled by the tuning speed and
    // stretched so that the blowdown pulse fills the rest of the stroke.
    // The blowdown pulse (first half wave) is twice the amplitude, the
    // reflection that follows is weaker, later waves ring at 0.8.
    const double y = ((static_cast<double>(theta) - w.exhaustOpening) * w.tuningRpm / w.rpm) * w.angleScale;
    const double sinY = CrankSin(y * kRadiansPerDegree);
    if (y < 180.0) return static_cast<float>(2.0 * w.amplitude * sinY + w.basePressure);
    if (y > 180.0 && y < 360.0) return static_cast<float>(w.laterWaveFactor * w.amplitude * sinY + w.basePressure);
    if (y > 360.0) return static_cast<float>(0.8 * w.amplitude * sinY + w.basePressure);
    return previous;
}

bool RunEngineSim(const SimInputs& in, SimResults& results)
{
    RunConstants run{};
    bool ok = PrepareValveData(in, run.valves);
    if (ok) {
        const EngineGeometry& geo = run.valves.geometry;
        run.heatingValue = FuelHeatingValue(in.fuelType);
        run.inductionCapacity = InductionCapacity(in);
        run.nitrousPower = in.nitrousFlow * 25.0;
        run.airFuelRatio = run.valves.lifter.airFuelRatio;
        run.wallArea = kHeadAndCrownAreaPerBoreSquared * static_cast<double>(geo.bore) * geo.bore;
        run.fourPerBore = 4.0 / geo.bore;
        const double portDiameter = geo.intakePortDiameter;
        run.intakePortArea = kQuarterPi * (portDiameter * portDiameter);

        CarriedState carried;
        for (int point = 0; ok && point < kSpeedPointCount; ++point)
            ok = SolvePoint(in, run, point, carried, results);
    }
    if (!ok) results = SimResults{};
    return results.power[0] != 0.0f;
}
