#pragma once

#include <string>

class CTorqDoc;

// The units a document's results are shown in. The model always works in
// horsepower, pound-feet and psi; a metric document may show them in
// kilowatts, newton-metres and kilopascals or bar instead. Engine speed and
// volumetric efficiency keep their units (rpm, %).
enum class ResultUnits { English, MetricKpa, MetricBar };

inline constexpr int kResultUnitsCount = 3;

// Mechanical horsepower: 550 ft·lbf/s = 745.699872 W.
inline constexpr double kKilowattsPerHorsepower = 0.745699872;
// 1 lbf = 4.4482216152605 N, 1 ft = 0.3048 m.
inline constexpr double kNewtonMetresPerPoundFoot = 1.3558179483314;
// 1 psi = 1 lbf/in² = 6894.757293168 Pa.
inline constexpr double kKilopascalsPerPsi = 6.894757293168;
inline constexpr double kBarPerPsi = 0.06894757293168;

// Units as they can be chosen for a document: an English document always
// shows the model's units, whatever was chosen for it.
ResultUnits ShownResultUnits(ResultUnits chosen, int unitSystem);
ResultUnits ShownResultUnits(ResultUnits chosen, const CTorqDoc& document);

// A result of series 1..8, given in the model's units, in the chosen units.
double ConvertResult(int series, double modelValue, ResultUnits units);

// The unit of a result series, as a label: "rpm", "hp", "ft-lbs", "psi",
// "%", "kW", "N·m" (UTF-8), "kPa", "bar".
const char* ResultUnitLabel(int series, ResultUnits units);

// The printf format a result of the series is shown with in the table:
// the model's formats in English units; metric formats keep about the same
// number of significant digits.
const char* ResultTableFormat(int series, ResultUnits units);

// "hp, ft-lbs, psi", "kW, N·m, kPa" or "kW, N·m, bar" (UTF-8), for menus.
const char* ResultUnitsName(ResultUnits units);
// "english", "kpa" or "bar": the name on the command line and in the settings.
const char* ResultUnitsKey(ResultUnits units);
// The units of a key; false for an unknown key.
bool ResultUnitsFromKey(const std::string& key, ResultUnits& units);
