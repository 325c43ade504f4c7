#pragma once

#include "SimRecords.h"

#include <span>

// The engine cycle: a single-zone, crank-angle filling-and-emptying model of
// one cylinder, solved over one 720-degree cycle at each of the 19 speed
// points. Pressures psi absolute, temperatures degrees Rankine, masses
// pounds, volumes cubic inches, energies BTU, angles crank degrees.

// Runs all 19 speed points in increasing speed order. Returns true when power
// at the first point is not 0; a failed run (valve data that cannot be
// prepared, a cycle whose pressures or temperatures turn negative or stop
// being finite) leaves every result at 0. Pure: it touches nothing but its
// two arguments, so several threads can run engines at once.
bool RunEngineSim(const SimInputs& inputs, SimResults& results);

// Runs several engines at once, side by side in the lanes of the processor's
// SIMD registers (EngineSimBatchWidth engines at a time). results[i] is,
// bit for bit, what RunEngineSim gives for inputs[i]: the one-engine run is
// the same arithmetic on a single lane. The two spans have the same size.
void RunEngineSimBatch(std::span<const SimInputs> inputs, std::span<SimResults> results);

// Engines the batch runs side by side on this processor (1 without SIMD),
// and the name of the instruction set it runs with ("AVX3", "AVX2", "SSE4",
// "NEON", ...).
int EngineSimBatchWidth();
const char* EngineSimInstructionSet();

// Whether the instruction set rounds a multiply-add once (AVX2 and newer,
// NEON, ...) or twice (SSE4 and older). Within each kind every instruction
// set gives the same results to the bit; between the kinds the last bits of
// a result may differ.
bool EngineSimFusesMultiplyAdd();

// ---- Pieces of the cycle, exposed for tests ----

// Enthalpy of the cylinder charge at temperature tempR in degrees Rankine,
// BTU/lb: the crank loop's own polynomial on one value.
double ChargeEnthalpy(double tempR);

// Lower heating value of the fuel, BTU/lb.
double FuelHeatingValue(Fuel fuel);

// Intake charge temperature before any blower, degrees Rankine.
double IntakeChargeTemperature(Fuel fuel, double rpm);

// Flow capacity of the carburettor and manifold that the manifold-pressure
// drop is measured against.
double InductionCapacity(const SimInputs& inputs);

// Amplitude of the intake ram wave, psi; previous is the amplitude of the
// previous point, which forced induction keeps.
float RamAmplitude(ManifoldType manifold, double rpm, float previous);

struct ExhaustSystemData {
    double basePressure;     // psi absolute
    double laterWaveFactor;  // amplitude factor of the second half-wave
    double tuningRpm;        // speed at which the pulse is tuned to the cycle
    double exponent;         // of engine speed in the pulse amplitude
};

ExhaustSystemData GetExhaustSystem(ExhaustSystem system, double rpm);

// The exhaust-port pressure wave of one speed point.
struct ExhaustWave {
    double exhaustOpening;  // EVO, crank degrees
    double tuningRpm;
    double rpm;
    double angleScale;    // 270 / (360 - EVO)
    double amplitude;     // psi
    double basePressure;  // psi absolute
    double laterWaveFactor;
};

// clang-format off
#define TORQWELL_EXHAUST_WAVE_FIELDS(X) \
    X(exhaustOpening) X(tuningRpm) X(rpm) X(angleScale) X(amplitude) \
    X(basePressure) X(laterWaveFactor)
// clang-format on

ExhaustWave MakeExhaustWave(const ExhaustSystemData& system, double exhaustOpening, double rpm);

// Exhaust-port pressure at crank angle theta, psi absolute. Exactly on the
// wave angles 180 and 360 the pressure keeps its previous value.
float ExhaustPortPressure(const ExhaustWave& wave, float theta, float previous);
