#pragma once

#include "SimRecords.h"

// Sine and cosine of an angle in radians (|x| below 1e5), to within an ulp or
// two of the library functions, for the crank loop: every crank step takes
// the sine or cosine of several angles. The angle is reduced by the nearest
// multiple of pi/2 and a Taylor series is summed that is exact in double
// precision on the reduced angle. These are the crank loop's own (SIMD)
// functions on one value.
double CrankSin(double x);
double CrankCos(double x);

struct SineCosine {
    double sin;
    double cos;
};

SineCosine CrankSinCos(double x);

// Static engine geometry, valve timing, cam lobe shape and valve flow areas.
// Lengths in inches, areas in square inches, volumes in cubic inches,
// angles in crank degrees unless a name says cam degrees. Crank angle 0 is
// firing TDC, 180 the following BDC, 360 the TDC between exhaust and intake,
// 540 BDC after intake, 720 the next firing TDC.

// One row of the lifter table: the cam flank radius that suits the lifter,
// how much wider 0.050-inch figures are than seat-to-seat figures, and the
// air-fuel ratio the cycle burns with it.
struct LifterData {
    float flankRadius;      // in
    float timingAllowance;  // crank degrees
    float airFuelRatio;     // lb air per lb fuel
};

// Solid and roller lifters have their own rows; any other value takes the
// hydraulic row.
LifterData GetLifterData(LifterType lifter);

struct ValveEvents {
    float exhaustOpening;  // EVO, crank degrees after firing TDC; every cycle starts here
    float exhaustClosing;  // EVC
    float intakeOpening;   // IVO
    float intakeClosing;   // IVC
};

// Events from the nominal cam figures, the timing allowance of 0.050-inch
// figures and the cam advance; exhaust opening is taken 20 degrees later.
ValveEvents ComputeValveEvents(const SimInputs& inputs, const LifterData& lifter);

// Each record the crank loop reads lists its fields once, for the loop's
// lanes of several engines (CycleLanes.h); a field missing from its list
// fails the build.
// clang-format off
#define TORQWELL_VALVE_EVENTS_FIELDS(X) \
    X(exhaustOpening) X(exhaustClosing) X(intakeOpening) X(intakeClosing)
// clang-format on

// Circular-arc lobe with a flat follower, solved from valve lift and the
// event angles. Lobe angles are cam degrees counted from the opening point.
struct CamLobe {
    float opening;       // crank degrees
    float closing;       // crank degrees
    float duration;      // D, cam degrees
    float halfDuration;  // beta, cam degrees: the nose centre
    float flankEnd;      // alpha, cam degrees: end of the opening flank
    float noseEnd;       // B, cam degrees: start of the closing flank
    float noseOffset;    // n, in
    float noseRadius;    // m, in
    float flankOffset;   // A = flank radius - base-circle radius, in
};

// clang-format off
#define TORQWELL_CAM_LOBE_FIELDS(X) \
    X(opening) X(closing) X(duration) X(halfDuration) X(flankEnd) X(noseEnd) \
    X(noseOffset) X(noseRadius) X(flankOffset)
// clang-format on

// Returns false when no such lobe exists (the nose would not meet the flank).
bool SolveCamLobe(float opening, float closing, float valveLift, float flankRadius, CamLobe& lobe);

// Valve lift (1.5 rocker ratio) at crank angle theta, never below 0.000001 in.
double ValveLift(const CamLobe& lobe, double theta);

// Flow coefficient against valve lift: point 0 is (lift 0, coefficient 1),
// points 1..10 are the measured lifts (0 where the data has ended).
struct FlowTable {
    float lift[11];         // in
    float coefficient[11];  // measured airflow over the ideal orifice flow of the curtain area
    double slope[10];       // per inch of lift
};

// clang-format off
#define TORQWELL_FLOW_TABLE_FIELDS(X) \
    X(lift) X(coefficient) X(slope)
// clang-format on

// Fails when the bench pressure drop is negative.
bool BuildFlowTable(float testDiameter, float testDropInH2O, const float* airflowCfm, const float* liftIn,
                    FlowTable& table);

// Linear interpolation on the segment the lift falls in; beyond the last
// measured point the last measured segment is extended. slope[j] is the
// coefficient change per inch of lift from point j to point j + 1.
double FlowCoefficient(const FlowTable& table, double lift);

struct EngineGeometry {
    float bore;                // in
    float stroke;              // in
    float cylinderVolume;      // swept volume of one cylinder, ci
    float clearanceVolume;     // ci
    float engineVolume;        // all cylinders, ci
    float rodLength;           // in
    float intakeDiameter;      // all intake valves of a cylinder as one, in
    float exhaustDiameter;     // all exhaust valves of a cylinder as one, in
    float intakePortDiameter;  // in
    float crankRadius;         // in
    float pistonArea;          // sq in
    double crankOverRod;       // r / rod length
    double twoRodOverStroke;   // 2 rod length / stroke
};

// clang-format off
#define TORQWELL_ENGINE_GEOMETRY_FIELDS(X) \
    X(bore) X(stroke) X(cylinderVolume) X(clearanceVolume) X(engineVolume) \
    X(rodLength) X(intakeDiameter) X(exhaustDiameter) X(intakePortDiameter) X(crankRadius) \
    X(pistonArea) X(crankOverRod) X(twoRodOverStroke)
// clang-format on

EngineGeometry ComputeGeometry(const SimInputs& inputs);

struct PistonMotion {
    double volume;  // cylinder volume, ci
    double rate;    // ci per crank degree
};

PistonMotion PistonKinematics(const EngineGeometry& geometry, double theta);

// Everything the crank loop needs from the static inputs, built once per run.
struct ValveSetup {
    EngineGeometry geometry;
    LifterData lifter;
    ValveEvents events;
    CamLobe exhaustLobe;
    CamLobe intakeLobe;
    FlowTable exhaustFlow;
    FlowTable intakeFlow;
};

// Fails on a negative bench pressure drop, on a lobe that cannot be solved,
// and on any derived value that is not a finite number.
bool PrepareValveData(const SimInputs& inputs, ValveSetup& setup);

// The intake's bench coefficient corrected for the port-to-cylinder
// pressure ratio, held within 0.43 to 1.
double IntakeCoefficient(double benchCoefficient, double portPressure, double cylinderPressure);
