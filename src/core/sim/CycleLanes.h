#pragma once

// What the crank loop reads and writes: EngineCycle for one engine, made of
// the model's own records, and CycleLanes for several engines side by side,
// one lane of the SIMD registers each. The one-engine path runs the loop's
// stages on an EngineCycle directly; the batch copies each engine's records
// into its lane, runs the same stages on all lanes at once and copies the
// results back. Values stored in single precision (angles, pressures, the
// cycle state) are held in the lanes as the doubles those floats convert
// to, and the loop rounds each new value to float before it keeps it, so
// that a lane computes exactly what one engine on its own does.
//
// Internal to the cycle model; the loop is in CrankLoop.cpp, its stages in
// CrankStep-inl.h.

#include "EngineSim.h"
#include "LaneRecords.h"
#include "ValveGeometry.h"

// Fixed for the run, besides the valves and the geometry.
struct CycleRun {
    double fourPerBore;     // liner area per cubic inch of volume, 4 / bore, 1/in
    double wallArea;        // head and piston crown, sq in
    double heatingValue;    // BTU/lb
    double airFuelRatio;    // lb air per lb fuel
    double intakePortArea;  // sq in
};
// clang-format off
#define TORQWELL_CYCLE_RUN_FIELDS(X) \
    X(fourPerBore) X(wallArea) X(heatingValue) X(airFuelRatio) X(intakePortArea)
// clang-format on

// Fixed for one speed point.
struct CyclePoint {
    float startPressure;           // psi, cylinder at EVO
    float manifoldPressure;        // psi absolute
    float chargeTemp;              // R, intake charge
    double chargeEnthalpy;         // BTU/lb, intake charge
    double chargeSoundSpeed;       // ft/s, sqrt(2405.018 Tin)
    double perChargeTemp;          // 1/R
    double perStep;                // s per crank degree, 1 / (6 N)
    double ramFrequency;           // degrees of ram wave per crank degree
    float ramAmplitude;            // psi
    bool boosted;                  // boost above 0
    float boostedExhaustPressure;  // psi, exhaust port against a turbine or blower drive
};
// clang-format off
#define TORQWELL_CYCLE_POINT_FIELDS(X) \
    X(startPressure) X(manifoldPressure) X(chargeTemp) X(chargeEnthalpy) \
    X(chargeSoundSpeed) X(perChargeTemp) X(perStep) X(ramFrequency) X(ramAmplitude) X(boosted) \
    X(boostedExhaustPressure)
// clang-format on

// What a cycle takes over from the previous point and leaves to the next.
struct CycleCarried {
    float exhaustPortPressure;  // psi
    float intakeFlowFunction;   // compressible flow function of the last intake flow
    float intakeSoundSpeed;     // ft/s, speed of sound upstream of the last intake flow
    float intakePortDensity;    // slug/ft3, port gas of the last intake flow
};
// clang-format off
#define TORQWELL_CYCLE_CARRIED_FIELDS(X) \
    X(exhaustPortPressure) X(intakeFlowFunction) X(intakeSoundSpeed) X(intakePortDensity)
// clang-format on

// The cylinder at the end of the cycle.
struct CycleEnd {
    double startVolume;  // ci, at EVO
    double pressure;     // psi
    double temp;         // R
    double mass;         // lb
    double inducted;     // lb, net mass taken in through the intake valve
    double work;         // in-lbf, indicated
};
// clang-format off
#define TORQWELL_CYCLE_END_FIELDS(X) \
    X(startVolume) X(pressure) X(temp) X(mass) X(inducted) X(work)
// clang-format on

TORQWELL_RECORD_LANES(ValveEvents, TORQWELL_VALVE_EVENTS_FIELDS);
TORQWELL_RECORD_LANES(CamLobe, TORQWELL_CAM_LOBE_FIELDS);
TORQWELL_RECORD_LANES(FlowTable, TORQWELL_FLOW_TABLE_FIELDS);
TORQWELL_RECORD_LANES(EngineGeometry, TORQWELL_ENGINE_GEOMETRY_FIELDS);
TORQWELL_RECORD_LANES(ExhaustWave, TORQWELL_EXHAUST_WAVE_FIELDS);
TORQWELL_RECORD_LANES(CycleRun, TORQWELL_CYCLE_RUN_FIELDS);
TORQWELL_RECORD_LANES(CyclePoint, TORQWELL_CYCLE_POINT_FIELDS);
TORQWELL_RECORD_LANES(CycleCarried, TORQWELL_CYCLE_CARRIED_FIELDS);
TORQWELL_RECORD_LANES(CycleEnd, TORQWELL_CYCLE_END_FIELDS);

// One engine's crank loop. The loop reads every record and writes carried,
// end and running.
struct EngineCycle {
    // ---- Fixed for the run
    ValveEvents events;
    CamLobe intakeLobe, exhaustLobe;
    FlowTable intakeFlow, exhaustFlow;
    EngineGeometry geometry;
    CycleRun run;

    // ---- Fixed for one speed point
    CyclePoint point;
    ExhaustWave wave;

    // ---- Carried from point to point
    CycleCarried carried;

    // ---- Written by the loop
    CycleEnd end;
    bool running;  // the loop clears it when the cycle fails
};

// The same records for up to kMaxCycleLanes engines. Lanes without an
// engine, or whose engine has failed, are not running and are carried
// along masked.
struct CycleLanes {
    LanesOf<ValveEvents> events;
    LanesOf<CamLobe> intakeLobe, exhaustLobe;
    LanesOf<FlowTable> intakeFlow, exhaustFlow;
    LanesOf<EngineGeometry> geometry;
    LanesOf<CycleRun> run;
    LanesOf<CyclePoint> point;
    LanesOf<ExhaustWave> wave;
    LanesOf<CycleCarried> carried;
    LanesOf<CycleEnd> end;
    LaneValues running;
};

// One engine's records into lane `lane`: those fixed for the run, and those
// of a speed point (its running state included); and what the loop wrote
// back out of it.
void SetRunLane(CycleLanes& lanes, int lane, const EngineCycle& cycle);
void SetPointLane(CycleLanes& lanes, int lane, const EngineCycle& cycle);
void GetCycleLane(const CycleLanes& lanes, int lane, EngineCycle& cycle);

// Runs one full cycle (EVO to EVO + 720) of one speed point: for one engine,
// or for every running lane of lanes. Both compute each engine with the same
// operations; stepLimit only stops a cycle that could never end.
void RunCrankCycle(EngineCycle& cycle, float stepAngle, int stepLimit);
void RunCrankCycle(CycleLanes& lanes, float stepAngle, int stepLimit);

// Lanes of the batch on this processor (at most kMaxCycleLanes), and the
// name of the instruction set the loop runs with ("AVX3", "AVX2", ...).
int CycleLaneWidth();
const char* CycleInstructionSet();
bool CycleFusesMultiplyAdd();
