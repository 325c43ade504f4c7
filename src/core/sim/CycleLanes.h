#pragma once

// Several engines side by side for the crank loop: every value that the
// loop reads or carries, one array slot per engine (a lane of the SIMD
// registers). Values stored in single precision in the one-engine records
// (angles, pressures, the cycle state) are held here as the doubles those
// floats convert to, and the loop rounds each new value to float before it
// stores it, so that a lane computes exactly what one engine on its own does.
//
// Internal to the cycle model; the lane arithmetic is in CrankStep-inl.h.

#include "EngineSim.h"
#include "ValveGeometry.h"

// Engines the crank loop runs at once: two 512-bit registers of doubles.
inline constexpr int kMaxCycleLanes = 16;

struct alignas(64) LaneValues {
    double v[kMaxCycleLanes];
};

// A cam lobe per lane (see CamLobe): angles in cam degrees from the opening point.
struct LobeLanes {
    LaneValues opening;       // crank degrees
    LaneValues flankEnd;      // alpha
    LaneValues noseEnd;       // B
    LaneValues halfDuration;  // beta
    LaneValues noseOffset;    // n, in
    LaneValues noseRadius;    // m, in
    LaneValues flankOffset;   // A, in
};

// A flow-coefficient table per lane (see FlowTable).
struct FlowTableLanes {
    LaneValues lift[11];  // in
    LaneValues coefficient[11];
    LaneValues slope[10];  // per inch of lift
};

// The piston's motion per lane (see EngineGeometry).
struct PistonLanes {
    LaneValues crankRadius;      // in
    LaneValues rodLength;        // in
    LaneValues pistonArea;       // sq in
    LaneValues clearanceVolume;  // ci
    LaneValues crankOverRod;
    LaneValues twoRodOverStroke;
};

// The exhaust-port wave of one speed point per lane (see ExhaustWave).
struct WaveLanes {
    LaneValues exhaustOpening;  // crank degrees
    LaneValues tuningRpm;
    LaneValues rpm;
    LaneValues angleScale;
    LaneValues amplitude;     // psi
    LaneValues basePressure;  // psi absolute
    LaneValues laterWaveFactor;
};

struct CycleLanes {
    // ---- Fixed for the run
    LaneValues intakeOpening, intakeClosing;    // crank degrees
    LaneValues exhaustOpening, exhaustClosing;  // crank degrees
    LobeLanes intakeLobe, exhaustLobe;
    FlowTableLanes intakeFlow, exhaustFlow;
    LaneValues intakeDiameter, exhaustDiameter;  // in, all valves of a side as one
    PistonLanes piston;
    LaneValues fourPerBore;   // 1/in
    LaneValues wallArea;      // sq in, head and crown
    LaneValues heatingValue;  // BTU/lb
    LaneValues airFuelRatio;
    LaneValues intakePortArea;  // sq in

    // ---- Fixed for one speed point
    LaneValues startPressure;           // psi, cylinder at EVO
    LaneValues manifoldPressure;        // psi absolute
    LaneValues chargeTemp;              // R
    LaneValues chargeEnthalpy;          // BTU/lb
    LaneValues chargeSoundSpeed;        // ft/s
    LaneValues perChargeTemp;           // 1/R
    LaneValues perStep;                 // s per crank degree
    LaneValues ramFrequency;            // degrees of ram wave per crank degree
    LaneValues ramAmplitude;            // psi
    LaneValues boosted;                 // 1 with boost above 0, else 0
    LaneValues boostedExhaustPressure;  // psi
    WaveLanes wave;

    // ---- Carried from point to point (read and written by the loop)
    LaneValues exhaustPortPressure;  // psi
    LaneValues intakeFlowFunction;
    LaneValues intakeSoundSpeed;   // ft/s
    LaneValues intakePortDensity;  // slug/ft3

    // ---- Written by the loop: the cylinder at the end of the cycle
    LaneValues startVolume;  // ci, at EVO
    LaneValues pressure;     // psi
    LaneValues temp;         // R
    LaneValues mass;         // lb
    LaneValues inducted;     // lb
    LaneValues work;         // in-lbf

    // 1 while the lane's engine runs; the loop clears it when the cycle fails.
    // Lanes without an engine, or whose engine has failed, stay 0 and are
    // carried along masked.
    LaneValues running;
};

// Runs one full cycle (EVO to EVO + 720) of one speed point for every running
// lane of lanes. width is 1 (the one-engine path) or CycleLaneWidth() (the
// batch path); both compute every lane with the same operations.
void RunCrankCycle(CycleLanes& lanes, int width, float stepAngle, int stepLimit);

// Lanes of the batch path on this processor (at most kMaxCycleLanes), and
// the name of the instruction set the loop runs with ("AVX3", "AVX2", ...).
int CycleLaneWidth();
const char* CycleInstructionSet();
bool CycleFusesMultiplyAdd();

// One engine's values into lane `lane` of the lane records.
void SetLobeLane(LobeLanes& lanes, int lane, const CamLobe& lobe);
void SetFlowTableLane(FlowTableLanes& lanes, int lane, const FlowTable& table);
void SetPistonLane(PistonLanes& lanes, int lane, const EngineGeometry& geometry);
void SetWaveLane(WaveLanes& lanes, int lane, const ExhaustWave& wave);
