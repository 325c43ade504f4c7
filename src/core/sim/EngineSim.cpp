#include "EngineSim.h"

#include "BoostModel.h"
#include "CycleLanes.h"
#include "SimConstants.h"
#include "ValveGeometry.h"
#include "base/ErrCode.h"

#include <algorithm>
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

// Everything that stays fixed for the whole run.
struct RunConstants {
    ValveSetup valves;
    double heatingValue;  // BTU/lb
    double inductionCapacity;
    double nitrousPower;  // hp
    double airFuelRatio;
    double wallArea;        // head and piston crown, sq in
    double fourPerBore;     // liner area per cubic inch of volume, 4 / bore
    double intakePortArea;  // sq in
};

// Values one speed point leaves to the next. The exhaust port pressure and
// the three values of the last intake flow live in the crank loop's lanes
// and are copied here after each point.
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
    float stepAngle;          // crank degrees per step
    float chargeTemp;         // R
    float manifoldPressure;   // psi absolute
    double chargeEnthalpy;    // BTU/lb of the incoming charge
    double chargeSoundSpeed;  // ft/s, sqrt(2405.018 Tin)
    double perChargeTemp;     // 1 / Tin
    double ramFrequency;      // degrees of ram wave per crank degree
    bool boosted;
    float boostedExhaustPressure;  // psi, exhaust port against a turbine or blower drive
    ExhaustWave wave;
    double perStep;  // 1 / (6 N): seconds per crank degree
};

bool Finite(double v)
{
    return std::isfinite(v);
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

PointConstants MakePointConstants(const SimInputs& in, const RunConstants& run, int point,
                                  CarriedState& carried)
{
    PointConstants pc{};
    const double rpm = SpeedPointRpm(point);
    pc.rpm = rpm;
    pc.stepAngle = static_cast<float>(kStepDegreesPerRpm * rpm);
    pc.perStep = 1.0 / (kCrankDegreesPerSecondPerRpm * rpm);

    // Charge temperature and ram amplitude before forced induction changes them.
    carried.boost.chargeTemp = static_cast<float>(IntakeChargeTemperature(FuelOf(in), rpm));
    carried.ramAmplitude = RamAmplitude(ManifoldOf(in), rpm, carried.ramAmplitude);
    BoostModel(in, run.valves.geometry.engineVolume, carried.vePrev, rpm, carried.boost);
    const double boost = carried.boost.boost;
    pc.boosted = boost > 0.0;
    if (pc.boosted) carried.ramAmplitude = static_cast<float>(0.001 * rpm + 2.0);
    pc.chargeTemp = carried.boost.chargeTemp;

    // Manifold vacuum grows with the square of the air demand over the
    // induction capacity; the demand uses the previous point's efficiency.
    const double demand =
        run.valves.geometry.engineVolume * rpm * carried.vePrev * 0.01 / run.inductionCapacity;
    double pm = kAtmospherePsi - 7.916e-06 * demand * demand;
    if (pc.boosted) pm += boost;
    pc.manifoldPressure = static_cast<float>(pm);

    pc.chargeEnthalpy = ChargeEnthalpy(pc.chargeTemp);
    pc.chargeSoundSpeed = std::sqrt(kSoundSpeedSquaredPerRankine * pc.chargeTemp);
    pc.perChargeTemp = 1.0 / pc.chargeTemp;
    pc.ramFrequency = 24000.0 / rpm;
    pc.boostedExhaustPressure = static_cast<float>(0.0013333333 * rpm + 25.0);
    pc.wave =
        MakeExhaustWave(GetExhaustSystem(ExhaustSystemOf(in), rpm), run.valves.events.exhaustOpening, rpm);
    return pc;
}

// The per-run constants of one engine; false when its valve data cannot be prepared.
bool PrepareRunConstants(const SimInputs& in, RunConstants& run)
{
    if (!PrepareValveData(in, run.valves)) return false;
    const EngineGeometry& geo = run.valves.geometry;
    run.heatingValue = FuelHeatingValue(FuelOf(in));
    run.inductionCapacity = InductionCapacity(in);
    run.nitrousPower = in.nitrousFlow * 25.0;
    run.airFuelRatio = run.valves.lifter.airFuelRatio;
    run.wallArea = kHeadAndCrownAreaPerBoreSquared * static_cast<double>(geo.bore) * geo.bore;
    run.fourPerBore = 4.0 / geo.bore;
    const double portDiameter = geo.intakePortDiameter;
    run.intakePortArea = kQuarterPi * (portDiameter * portDiameter);
    return true;
}

// One engine of a group: its records, its constants and what it carries
// from point to point.
struct LaneEngine {
    const SimInputs* inputs = nullptr;
    SimResults* results = nullptr;
    RunConstants run{};
    CarriedState carried;
    bool running = false;
};

void SetRunLane(CycleLanes& lanes, int lane, const RunConstants& run)
{
    const ValveSetup& valves = run.valves;
    lanes.intakeOpening.v[lane] = valves.events.intakeOpening;
    lanes.intakeClosing.v[lane] = valves.events.intakeClosing;
    lanes.exhaustOpening.v[lane] = valves.events.exhaustOpening;
    lanes.exhaustClosing.v[lane] = valves.events.exhaustClosing;
    SetLobeLane(lanes.intakeLobe, lane, valves.intakeLobe);
    SetLobeLane(lanes.exhaustLobe, lane, valves.exhaustLobe);
    SetFlowTableLane(lanes.intakeFlow, lane, valves.intakeFlow);
    SetFlowTableLane(lanes.exhaustFlow, lane, valves.exhaustFlow);
    lanes.intakeDiameter.v[lane] = valves.geometry.intakeDiameter;
    lanes.exhaustDiameter.v[lane] = valves.geometry.exhaustDiameter;
    SetPistonLane(lanes.piston, lane, valves.geometry);
    lanes.fourPerBore.v[lane] = run.fourPerBore;
    lanes.wallArea.v[lane] = run.wallArea;
    lanes.heatingValue.v[lane] = run.heatingValue;
    lanes.airFuelRatio.v[lane] = run.airFuelRatio;
    lanes.intakePortArea.v[lane] = run.intakePortArea;
    lanes.running.v[lane] = 1.0;
}

void SetPointLane(CycleLanes& lanes, int lane, int point, const PointConstants& pc,
                  const CarriedState& carried)
{
    lanes.startPressure.v[lane] = point == 0 ? static_cast<float>(kStartPressurePsi) : carried.finalPressure;
    lanes.manifoldPressure.v[lane] = pc.manifoldPressure;
    lanes.chargeTemp.v[lane] = pc.chargeTemp;
    lanes.chargeEnthalpy.v[lane] = pc.chargeEnthalpy;
    lanes.chargeSoundSpeed.v[lane] = pc.chargeSoundSpeed;
    lanes.perChargeTemp.v[lane] = pc.perChargeTemp;
    lanes.perStep.v[lane] = pc.perStep;
    lanes.ramFrequency.v[lane] = pc.ramFrequency;
    lanes.ramAmplitude.v[lane] = carried.ramAmplitude;
    lanes.boosted.v[lane] = pc.boosted ? 1.0 : 0.0;
    lanes.boostedExhaustPressure.v[lane] = pc.boostedExhaustPressure;
    SetWaveLane(lanes.wave, lane, pc.wave);
}

// The point's results from the lane's cylinder at the end of its cycle.
// Returns false when the cycle failed or left the finite numbers.
bool FinishPoint(const RunConstants& run, const PointConstants& pc, int point, const CycleLanes& lanes,
                 int lane, CarriedState& carried, SimResults& results)
{
    carried.exhaustPortPressure = static_cast<float>(lanes.exhaustPortPressure.v[lane]);
    carried.intakeFlowFunction = static_cast<float>(lanes.intakeFlowFunction.v[lane]);
    carried.intakeSoundSpeed = static_cast<float>(lanes.intakeSoundSpeed.v[lane]);
    carried.intakePortDensity = static_cast<float>(lanes.intakePortDensity.v[lane]);
    if (lanes.running.v[lane] == 0.0) return false;
    const float pressure = static_cast<float>(lanes.pressure.v[lane]);
    const float inducted = static_cast<float>(lanes.inducted.v[lane]);
    const float work = static_cast<float>(lanes.work.v[lane]);
    // A state that has once left the finite numbers never comes back (each
    // is updated from itself), so one look at the end of the cycle finds it.
    if (!(Finite(pressure) && Finite(lanes.temp.v[lane]) && Finite(lanes.mass.v[lane]) && Finite(inducted) &&
          Finite(work)))
        return false;
    carried.finalPressure = pressure;

    const EngineGeometry& geo = run.valves.geometry;
    const double referenceMass =
        lanes.startVolume.v[lane] * kStandardAirPerCubicInch;  // lb of standard air at EVO
    const double rpm = pc.rpm;
    const double ve = inducted / referenceMass * 100.0;
    carried.vePrev = static_cast<float>(ve);
    const double pistonSpeed = rpm * geo.stroke / 6.0;  // ft/min
    const double fmep = 12.964 + pistonSpeed * (0.0030476 + 6.5476e-07 * pistonSpeed);
    const double fb = SpeedFactor(rpm);
    const double engineVolume = geo.engineVolume;
    const double imepCycle = work / static_cast<double>(geo.cylinderVolume);
    const double hp = engineVolume * rpm * (imepCycle - fmep - carried.boost.driveLoss) *
                          kHorsepowerPerMepCubicInchRpm * fb +
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

// Runs up to width engines side by side: each speed point's constants and
// results engine by engine, its crank loop on all of them at once. An
// engine that fails drops out and ends with every result 0; the others go on.
void RunGroup(const SimInputs* inputs, SimResults* results, int count, int width)
{
    CycleLanes lanes{};
    LaneEngine engines[kMaxCycleLanes];
    for (int lane = 0; lane < count; ++lane) {
        LaneEngine& engine = engines[lane];
        engine.inputs = &inputs[lane];
        engine.results = &results[lane];
        engine.running = PrepareRunConstants(inputs[lane], engine.run);
        if (engine.running) SetRunLane(lanes, lane, engine.run);
    }
    PointConstants constants[kMaxCycleLanes];
    for (int point = 0; point < kSpeedPointCount; ++point) {
        bool anyRunning = false;
        for (int lane = 0; lane < count; ++lane) {
            LaneEngine& engine = engines[lane];
            if (!engine.running) continue;
            constants[lane] = MakePointConstants(*engine.inputs, engine.run, point, engine.carried);
            SetPointLane(lanes, lane, point, constants[lane], engine.carried);
            anyRunning = true;
        }
        if (!anyRunning) break;
        const float stepAngle = static_cast<float>(kStepDegreesPerRpm * SpeedPointRpm(point));
        const int stepLimit = static_cast<int>(720.0 / stepAngle) + 8;
        RunCrankCycle(lanes, width, stepAngle, stepLimit);
        for (int lane = 0; lane < count; ++lane) {
            LaneEngine& engine = engines[lane];
            if (!engine.running) continue;
            engine.running =
                FinishPoint(engine.run, constants[lane], point, lanes, lane, engine.carried, *engine.results);
            if (!engine.running) lanes.running.v[lane] = 0.0;
        }
    }
    for (int lane = 0; lane < count; ++lane)
        if (!engines[lane].running) results[lane] = SimResults{};
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

double ChargeEnthalpy(double t)
{
    return ChargeInternalEnergy(t) + kGasConstantBtu * t;
}

double FuelHeatingValue(Fuel fuel)
{
    switch (fuel) {
        case Fuel::Gasoline:
            return 19000.0;
        case Fuel::Methanol:
            return 19800.0;
        case Fuel::Ethanol:
            return 19100.0;
        case Fuel::Propane:
            return 18600.0;
        case Fuel::LiquefiedNaturalGas:
            break;
    }
    return 18839.0;
}

double IntakeChargeTemperature(Fuel fuel, double rpm)
{
    // Liquid fuels cool the charge by evaporation; at low speed the charge
    // picks up heat from the manifold.
    switch (fuel) {
        case Fuel::Gasoline:
            return rpm < 5500.0 ? 610.0 - 0.01272 * rpm : 540.0;
        case Fuel::Methanol:
        case Fuel::Ethanol:
            return 540.0;
        case Fuel::Propane:
        case Fuel::LiquefiedNaturalGas:
            break;
    }
    return rpm <= 5500.0 ? 630.0 - 0.01272 * rpm : 560.0;
}

double InductionCapacity(const SimInputs& in)
{
    // A carburettor rated at 3.0 inHg passes 1 / 1.414 of its rating at the
    // 1.5 inHg basis: flow goes with the square root of the pressure drop.
    const bool atThreeInches = CarburettorRatingOf(in) == CarburettorRating::TwoBarrelAtThreeInchesHg;
    double g = in.inductionCfm * (atThreeInches ? kPerRatedCfmAtThreeInches : kPerRatedCfm);
    // Individual runners: each cylinder draws on one barrel of four.
    if (ManifoldOf(in) == ManifoldType::IndividualRunners) g = g * 0.25;
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

float RamAmplitude(ManifoldType manifold, double rpm, float previous)
{
    double v;
    switch (manifold) {
        case ManifoldType::SinglePlane:
            v = Held(std::pow(rpm, 1.3) * 8.03e-05, 0.0, 7.5);
            break;
        case ManifoldType::DualPlane:
            v = Held(std::pow(rpm, 1.33) * 9.03e-06 + 3.0, 0.0, 5.0);
            break;
        case ManifoldType::TunnelRam:
            v = std::fmax(std::pow(rpm, 1.27) * 0.000103, 0.0);
            break;
        case ManifoldType::IndividualRunners:
            v = Held(std::pow(rpm, 1.3) * 0.000143, 0.0, 7.5);
            break;
        case ManifoldType::TunedPortInjection:
            v = rpm <= 4000.0 ? 4.0 : 8.0 - 0.001 * rpm;
            break;
        case ManifoldType::SequentialInjection:
            v = std::fmin(std::pow(rpm, 1.31) * 0.000103, 4.5);
            break;
        default:  // forced induction
            return previous;
    }
    return static_cast<float>(v);
}

ExhaustSystemData GetExhaustSystem(ExhaustSystem system, double rpm)
{
    switch (system) {
        case ExhaustSystem::PerformanceManifoldsAndMufflers:
            return {32.0, 0.3, 4000.0, 1.04};
        case ExhaustSystem::SmallTubeHeadersWithMufflers:
            return {26.5, 0.5, 5000.0, 1.04};
        case ExhaustSystem::SmallTubeHeadersOpen:
            return {22.5, 0.5, 5000.0, 1.0};
        case ExhaustSystem::LargeTubeHeadersWithMufflers:
            return {25.7, 0.5, 5000.0, 1.02};
        case ExhaustSystem::LargeTubeHeadersOpen:
            return {22.7, 0.5, 5500.0, 0.94};
        case ExhaustSystem::SteppedTubeRaceHeaders: {
            const double base = rpm >= 5500.0 ? 21.0 : 21.0 + 3.0 * (5500.0 - rpm) / rpm;
            return {base, 0.5, 6000.0, 0.95};
        }
        default:  // stock manifolds and mufflers
            return {35.0, 0.3, 4000.0, 1.06};
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

bool RunEngineSim(const SimInputs& in, SimResults& results)
{
    RunGroup(&in, &results, 1, 1);
    return results.power[0] != 0.0f;
}

void RunEngineSimBatch(std::span<const SimInputs> inputs, std::span<SimResults> results)
{
    TORQ_ASSERT(inputs.size() == results.size());
    const std::size_t width = static_cast<std::size_t>(CycleLaneWidth());
    for (std::size_t first = 0; first < inputs.size(); first += width) {
        const std::size_t count = std::min(width, inputs.size() - first);
        RunGroup(&inputs[first], &results[first], static_cast<int>(count), static_cast<int>(width));
    }
}

int EngineSimBatchWidth()
{
    return CycleLaneWidth();
}

const char* EngineSimInstructionSet()
{
    return CycleInstructionSet();
}

bool EngineSimFusesMultiplyAdd()
{
    return CycleFusesMultiplyAdd();
}
