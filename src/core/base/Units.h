#pragma once

#include <cstdint>

// Unit codes of the engine parameters. The label is shown after a value,
// the format turns a value into text.
enum class UnitCode : std::int32_t {
    Plain = 0,    // plain numbers (iterator bounds and steps)
    Ratio = 1,    // compression, blower pressure and gear ratios
    Percent = 2,  // efficiencies
    Inch = 3,     // lengths, English
    Centimetre = 4,
    Millimetre = 5,       // lengths, metric
    CubicInch = 6,        // total displacement, English
    CubicCentimetre = 7,  // volumes, both systems
    Degree = 8,           // crank angles
    Rpm = 9,              // speeds
    InchMercury = 10,     // induction pressure drop
    InchWater = 11,       // flow-bench test pressure, English
    CentimetreMercury = 12,
    CentimetreWater = 13,  // flow-bench test pressure, metric
    Psi = 14,              // boost pressure
    Cfm = 15,              // air flow, both systems
    LitresPerMinute = 16,
    PoundsPerMinute = 17,  // nitrous mass flow, both systems
    KilogramsPerMinute = 18,
};

struct UnitInfo {
    const char* label;
    const char* format;
};

// The label and display format of a unit code; nullptr for a code outside 0..18.
const UnitInfo* FindUnitInfo(UnitCode code);

// Conversion factors: metric value = English value * factor. They switch the
// values shown between the unit systems. The engine arithmetic (cylinder
// volumes, the cycle) takes its factors from sim/SimConstants.h, a layer
// above this one; its cc per cubic inch is the same 16.38706.
inline constexpr float kInchesToMillimetres = 25.4f;
inline constexpr float kCubicInchesToCubicCentimetres = 16.38706f;
inline constexpr float kInchesWaterToCentimetresWater = 2.54f;

// The two unit systems of a document.
enum UnitSystem : std::int32_t { kEnglishUnits = 0, kMetricUnits = 1 };
