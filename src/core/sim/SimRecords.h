#pragma once

#include <array>
#include <cstdint>

// The input and result records of one engine simulation run. Every value is
// in English units: lengths in inches, airflows in cubic feet per minute,
// pressures in psi, angles in crank degrees, unless the field says otherwise.

constexpr int kSpeedPointCount = 19;

// Engine speed of point i (0-based): 2000, 2500, ..., 11000 rpm.
constexpr int SpeedPointRpm(int point)
{
    return (point + 4) * 500;
}

// The parts the cycle model tells apart, numbered as the engine document and
// the files number them (the record below keeps the numbers).
enum class ManifoldType : std::int16_t {
    SinglePlane = 1,
    DualPlane = 2,
    TunnelRam = 3,
    IndividualRunners = 4,
    TunedPortInjection = 5,
    SequentialInjection = 6,
    ForcedInduction = 7,
};

enum class ExhaustSystem : std::int16_t {
    StockManifoldsAndMufflers = 1,
    PerformanceManifoldsAndMufflers = 2,
    SmallTubeHeadersWithMufflers = 3,
    SmallTubeHeadersOpen = 4,
    LargeTubeHeadersWithMufflers = 5,
    LargeTubeHeadersOpen = 6,
    SteppedTubeRaceHeaders = 7,
};

enum class LifterType : std::int16_t {
    Hydraulic = 1,
    Solid = 2,
    Roller = 3,
};

// What the cam's event figures are measured from.
enum class CamTiming : std::int16_t {
    SeatToSeat = 0,
    AtFiftyThousandthsLift = 1,  // 0.050 in of lift
};

// The depression a carburettor's flow rating is taken at, named as the
// record names it: by the barrels of the carburettors rated so.
enum class CarburettorRating : std::int16_t {
    TwoBarrelAtThreeInchesHg = 2,
    FourBarrelAtOneAndAHalfInchesHg = 4,
};

enum class BoostKind : std::int16_t {
    None = 0,
    Turbocharger = 1,
    CentrifugalBlower = 2,
    RootsBlower = 3,
};

// The fuels behind the fuel type numbers: 1 to 9 gasoline (with nitrous
// from 3 on), 10 to 18 methanol, 19 ethanol, 20 propane, 21 liquefied
// natural gas.
enum class Fuel {
    Gasoline,
    Methanol,
    Ethanol,
    Propane,
    LiquefiedNaturalGas,
};

struct SimInputs {
    std::int16_t manifoldType;   // a ManifoldType, 1..7
    std::int16_t headType;       // 1..17, carried only
    std::int16_t exhaustSystem;  // an ExhaustSystem, 1..7
    std::int16_t camType;        // 1..6, carried only
    std::int16_t timingAt050;    // a CamTiming: 1 at 0.050-inch lift, 0 seat to seat
    std::int16_t lifterType;     // a LifterType: 1 hydraulic, 2 solid, 3 roller
    float bore;                  // in
    float stroke;                // in
    std::int16_t cylinders;
    float intakeValveDia;   // in
    float exhaustValveDia;  // in
    float compressionRatio;
    std::int16_t inductionCfm;   // carburettor flow rating, cfm
    std::int16_t ratingBarrels;  // a CarburettorRating: 4 rated at 1.5 inHg, 2 at 3.0 inHg
    float exhaustOpening;        // crank degrees before BDC
    float exhaustClosing;        // crank degrees after TDC
    float intakeOpening;         // crank degrees before TDC
    float intakeClosing;         // crank degrees after BDC
    float intakeLift;            // valve lift, in
    float exhaustLift;           // valve lift, in
    std::int16_t camAdvance;     // whole crank degrees, + advances every event
    std::int16_t fuelType;       // 1..21, see Fuel
    float nitrousFlow;           // lb/min
    std::int16_t intakeValves;   // per cylinder, 1 or 2
    std::int16_t exhaustValves;  // per cylinder, 1 or 2
    float flowTestIntakeDia;     // flow-bench test valve diameter, in
    float flowTestIntakeDrop;    // flow-bench test pressure drop, inH2O
    float flowTestExhaustDia;    // in
    float flowTestExhaustDrop;   // inH2O
    float intakeFlow[10];        // cfm at the test pressure drop, per measured point; 0 beyond the last
    float intakeFlowLift[10];    // in; a lift of 0 beyond the last point ends the data
    float exhaustFlow[10];       // cfm at the test pressure drop
    float exhaustFlowLift[10];   // in; 0 ends the data
    std::int16_t boostKind;      // a BoostKind: 0 none, 1 turbocharger, 2 centrifugal, 3 Roots
    // The blower's figures. Each kind reads only some of them:
    //   turbocharger  pressure ratio, flow (cfm), surge flow
    //   centrifugal   pressure ratio, rpm, internal and belt gear ratios
    //   Roots         flow (cubic inches per revolution), belt gear ratio
    // and every kind efficiency, boost limit and intercooler efficiency.
    float blowerPressureRatio;    // outlet over inlet pressure, absolute, at the rated flow or speed
    float blowerFlow;             // turbocharger: rated flow, cfm; Roots: displacement, ci per revolution
    float blowerEfficiency;       // %, at the best point: rated flow or speed; 30000 rpm for a Roots blower
    float blowerRpm;              // centrifugal: rated impeller speed, rpm; turbocharger: speed of the
                                  // rated flow, which cancels (its boost follows flow over rated flow)
    float boostLimit;             // psi above atmosphere
    float intercoolerEfficiency;  // %
    float internalGearRatio;      // centrifugal: impeller turns per turn of the blower's pulley
    float beltGearRatio;          // centrifugal and Roots: blower pulley turns per crank turn
    float surgeFlow;              // turbocharger: surge flow at blowerPressureRatio, cfm
};

// The record's numbers as the parts they stand for. A number outside the
// named ones stays what it is; the model treats it as its tables' first row.
inline ManifoldType ManifoldOf(const SimInputs& in)
{
    return static_cast<ManifoldType>(in.manifoldType);
}
inline ExhaustSystem ExhaustSystemOf(const SimInputs& in)
{
    return static_cast<ExhaustSystem>(in.exhaustSystem);
}
inline LifterType LifterOf(const SimInputs& in)
{
    return static_cast<LifterType>(in.lifterType);
}
inline CamTiming CamTimingOf(const SimInputs& in)
{
    return static_cast<CamTiming>(in.timingAt050);
}
inline CarburettorRating CarburettorRatingOf(const SimInputs& in)
{
    return static_cast<CarburettorRating>(in.ratingBarrels);
}
inline BoostKind BoostKindOf(const SimInputs& in)
{
    return static_cast<BoostKind>(in.boostKind);
}
Fuel FuelOf(const SimInputs& in);

using SpeedCurve = std::array<float, kSpeedPointCount>;

struct SimResults {
    SpeedCurve power;                 // flywheel power, hp
    SpeedCurve torque;                // lb-ft
    SpeedCurve manifoldPressure;      // intake manifold, psi absolute
    SpeedCurve volumetricEfficiency;  // %
    SpeedCurve imep;                  // indicated mean effective pressure, psi
    SpeedCurve bmep;                  // brake mean effective pressure, psi
    SpeedCurve fmep;                  // friction mean effective pressure, psi
};

// Zeroes every input field and all seven result curves.
void ResetInputs(SimInputs& inputs, SimResults& results);

// Each copies kSpeedPointCount values; any other count is an internal
// consistency failure.
void GetSpeedPoints(float* dest, int count);
void GetPower(const SimResults& results, float* dest, int count);
void GetTorque(const SimResults& results, float* dest, int count);
void GetManifoldPressure(const SimResults& results, float* dest, int count);
void GetVolumetricEfficiency(const SimResults& results, float* dest, int count);
void GetImep(const SimResults& results, float* dest, int count);
void GetBmep(const SimResults& results, float* dest, int count);
void GetFmep(const SimResults& results, float* dest, int count);
