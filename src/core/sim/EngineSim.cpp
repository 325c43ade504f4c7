#include "EngineSim.h"

#include "BoostModel.h"
#include "CycleLanes.h"
#include "SimConstants.h"
#include "ValveGeometry.h"
#include "base/ErrCode.h"

#include <algorithm>
#include <cmath>

namespace {

// Fixed for the whole run, besides what the crank loop reads.
struct RunConstants {
    Fuel fuel;
    ManifoldType manifold;
    ExhaustSystem exhaust;
    double inductionCapacity;
    double nitrousPower;  // hp
};

// Values one speed point leaves to the next, besides those the crank loop
// carries itself (EngineCycle::carried).
struct CarriedState {
    float vePrev = kFirstVolumetricEfficiency;  // %
    float finalPressure = 0.0f;                 // psi, cylinder at the end of the last cycle
    float ramAmplitude = 0.0f;                  // psi
    BoostState boost;
};

// One engine of a run: its records, its constants, its crank loop's record
// and what it carries from point to point.
struct Engine {
    const SimInputs* inputs = nullptr;
    SimResults* results = nullptr;
    RunConstants run{};
    EngineCycle cycle{};
    CarriedState carried;
    bool running = false;
};

bool Finite(double v)
{
    return std::isfinite(v);
}

// Any value carried to the next point or stored as a result that is not a
// finite number fails the run: a cycle pushed there (an absolute boost
// pressure below zero, say) has no meaningful result.
bool PointIsFinite(const Engine& e, int point)
{
    const CarriedState& c = e.carried;
    const CycleCarried& loop = e.cycle.carried;
    const SimResults& r = *e.results;
    const float values[] = {c.vePrev,
                            c.finalPressure,
                            loop.exhaustPortPressure,
                            c.ramAmplitude,
                            loop.intakeFlowFunction,
                            loop.intakeSoundSpeed,
                            loop.intakePortDensity,
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

float StepAngle(int point)
{
    return static_cast<float>(kStepDegreesPerRpm * SpeedPointRpm(point));  // crank degrees
}

int StepLimit(int point)
{
    return static_cast<int>(720.0 / StepAngle(point)) + 8;
}

// The engine's constants and the crank loop's records fixed for the run;
// false when its valve data cannot be prepared.
bool PrepareEngine(const SimInputs& in, SimResults& results, Engine& e)
{
    e.inputs = &in;
    e.results = &results;
    ValveSetup valves{};
    if (!PrepareValveData(in, valves)) return false;
    e.run = {FuelOf(in), ManifoldOf(in), ExhaustSystemOf(in), InductionCapacity(in), in.nitrousFlow * 25.0};
    EngineCycle& cycle = e.cycle;
    cycle.events = valves.events;
    cycle.intakeLobe = valves.intakeLobe;
    cycle.exhaustLobe = valves.exhaustLobe;
    cycle.intakeFlow = valves.intakeFlow;
    cycle.exhaustFlow = valves.exhaustFlow;
    cycle.geometry = valves.geometry;
    const EngineGeometry& geo = valves.geometry;
    const double portDiameter = geo.intakePortDiameter;
    cycle.run = {4.0 / geo.bore, kHeadAndCrownAreaPerBoreSquared * static_cast<double>(geo.bore) * geo.bore,
                 FuelHeatingValue(e.run.fuel), valves.lifter.airFuelRatio,
                 kQuarterPi * (portDiameter * portDiameter)};
    cycle.running = true;
    return true;
}

// The speed point's charge, ram, boost and manifold pressure, into the
// crank loop's record.
void PreparePoint(Engine& e, int point)
{
    const double rpm = SpeedPointRpm(point);
    CarriedState& carried = e.carried;
    CyclePoint& pc = e.cycle.point;
    const double engineVolume = e.cycle.geometry.engineVolume;
    pc.startPressure = point == 0 ? static_cast<float>(kStartPressurePsi) : carried.finalPressure;
    pc.perStep = 1.0 / (kCrankDegreesPerSecondPerRpm * rpm);

    // Charge temperature and ram amplitude before forced induction changes them.
    carried.boost.chargeTemp = static_cast<float>(IntakeChargeTemperature(e.run.fuel, rpm));
    carried.ramAmplitude = RamAmplitude(e.run.manifold, rpm, carried.ramAmplitude);
    BoostModel(*e.inputs, engineVolume, carried.vePrev, rpm, carried.boost);
    const double boost = carried.boost.boost;
    pc.boosted = boost > 0.0;
    if (pc.boosted) carried.ramAmplitude = static_cast<float>(0.001 * rpm + 2.0);
    pc.ramAmplitude = carried.ramAmplitude;
    pc.chargeTemp = carried.boost.chargeTemp;

    // Manifold vacuum grows with the square of the air demand over the
    // induction capacity; the demand uses the previous point's efficiency.
    const double demand = engineVolume * rpm * carried.vePrev * 0.01 / e.run.inductionCapacity;
    double pm = kAtmospherePsi - 7.916e-06 * demand * demand;
    if (pc.boosted) pm += boost;
    pc.manifoldPressure = static_cast<float>(pm);

    pc.chargeEnthalpy = ChargeEnthalpy(pc.chargeTemp);
    pc.chargeSoundSpeed = std::sqrt(kSoundSpeedSquaredPerRankine * pc.chargeTemp);
    pc.perChargeTemp = 1.0 / pc.chargeTemp;
    pc.ramFrequency = 24000.0 / rpm;
    pc.boostedExhaustPressure = static_cast<float>(kBoostedExhaustPsiPerRpm * rpm + kBoostedExhaustBasePsi);
    e.cycle.wave = MakeExhaustWave(GetExhaustSystem(e.run.exhaust, rpm), e.cycle.events.exhaustOpening, rpm);
}

// The point's results from the cylinder at the end of its cycle. Returns
// false when the cycle failed or left the finite numbers.
bool FinishPoint(Engine& e, int point)
{
    if (!e.cycle.running) return false;
    const CycleEnd& end = e.cycle.end;
    const float pressure = static_cast<float>(end.pressure);
    const float inducted = static_cast<float>(end.inducted);
    const float work = static_cast<float>(end.work);
    // A state that has once left the finite numbers never comes back (each
    // is updated from itself), so one look at the end of the cycle finds it.
    if (!(Finite(pressure) && Finite(end.temp) && Finite(end.mass) && Finite(inducted) && Finite(work)))
        return false;
    e.carried.finalPressure = pressure;

    const EngineGeometry& geo = e.cycle.geometry;
    const double referenceMass = end.startVolume * kStandardAirPerCubicInch;  // lb of standard air at EVO
    const double rpm = SpeedPointRpm(point);
    const double ve = inducted / referenceMass * 100.0;
    e.carried.vePrev = static_cast<float>(ve);
    const double pistonSpeed = rpm * geo.stroke / 6.0;  // ft/min
    const double fmep = 12.964 + pistonSpeed * (0.0030476 + 6.5476e-07 * pistonSpeed);
    const double fb = SpeedFactor(rpm);
    const double engineVolume = geo.engineVolume;
    const double imepCycle = work / static_cast<double>(geo.cylinderVolume);
    const double hp = engineVolume * rpm * (imepCycle - fmep - e.carried.boost.driveLoss) *
                          kHorsepowerPerMepCubicInchRpm * fb +
                      e.run.nitrousPower;
    const double bmep = hp * kMepCubicInchRpmPerHorsepower / (engineVolume * rpm);
    const double imep = bmep + fmep;

    SimResults& results = *e.results;
    results.power[point] = static_cast<float>(hp < 0.0 ? 0.0 : hp);
    results.torque[point] = static_cast<float>(results.power[point] * kTorqueRpmPerHorsepower / rpm);
    results.manifoldPressure[point] = e.cycle.point.manifoldPressure;
    results.volumetricEfficiency[point] = static_cast<float>(ve);
    results.imep[point] = static_cast<float>((fb - 1.0) * bmep + imep);
    results.bmep[point] = static_cast<float>(bmep);
    results.fmep[point] = static_cast<float>(fmep);
    return PointIsFinite(e, point);
}

// One engine on its own: the crank loop as plain scalar arithmetic.
void RunOne(const SimInputs& in, SimResults& results)
{
    Engine e;
    e.running = PrepareEngine(in, results, e);
    for (int point = 0; point < kSpeedPointCount && e.running; ++point) {
        PreparePoint(e, point);
        RunCrankCycle(e.cycle, StepAngle(point), StepLimit(point));
        e.running = FinishPoint(e, point);
    }
    if (!e.running) results = SimResults{};
}

// Up to CycleLaneWidth() engines side by side: each speed point's constants
// and results engine by engine, its crank loop on all of them at once. An
// engine that fails drops out and ends with every result 0; the others go on.
void RunGroup(const SimInputs* inputs, SimResults* results, int count)
{
    CycleLanes lanes{};
    Engine engines[kMaxCycleLanes];
    for (int lane = 0; lane < count; ++lane) {
        engines[lane].running = PrepareEngine(inputs[lane], results[lane], engines[lane]);
        if (engines[lane].running) SetRunLane(lanes, lane, engines[lane].cycle);
    }
    for (int point = 0; point < kSpeedPointCount; ++point) {
        bool anyRunning = false;
        for (int lane = 0; lane < count; ++lane) {
            if (!engines[lane].running) continue;
            PreparePoint(engines[lane], point);
            SetPointLane(lanes, lane, engines[lane].cycle);
            anyRunning = true;
        }
        if (!anyRunning) break;
        RunCrankCycle(lanes, StepAngle(point), StepLimit(point));
        for (int lane = 0; lane < count; ++lane) {
            Engine& engine = engines[lane];
            if (!engine.running) continue;
            GetCycleLane(lanes, lane, engine.cycle);
            engine.running = FinishPoint(engine, point);
            if (!engine.running) SetLane(lanes.running, lane, false);
        }
    }
    for (int lane = 0; lane < count; ++lane)
        if (!engines[lane].running) results[lane] = SimResults{};
}

}  // namespace

bool RunEngineSim(const SimInputs& in, SimResults& results)
{
    RunOne(in, results);
    return results.power[0] != 0.0f;
}

void RunEngineSimBatch(std::span<const SimInputs> inputs, std::span<SimResults> results)
{
    TORQ_ASSERT(inputs.size() == results.size());
    const std::size_t width = static_cast<std::size_t>(CycleLaneWidth());
    for (std::size_t first = 0; first < inputs.size(); first += width) {
        const std::size_t count = std::min(width, inputs.size() - first);
        RunGroup(&inputs[first], &results[first], static_cast<int>(count));
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
