#pragma once

#include <string>
#include <string_view>
#include <vector>

// A measured dyno pull: engine speed against flywheel power and/or torque,
// read from the comma-, semicolon- or tab-separated text a dyno's software
// exports (or from "torqwell-cli run --format csv").
//
// What the reader takes:
//   - lines before the header, blank lines and lines starting with '#' are
//     skipped; the header is the first line that names an engine-speed
//     column ("RPM", "Engine Speed", "Speed");
//   - a power column ("Power", "HP", "BHP", "kW", "PS") and/or a torque
//     column ("Torque", "TQ", "lb-ft", "ft-lbs", "Nm"), names compared
//     without regard to case;
//   - units from the header text ("Power (kW)", "Torque [Nm]"), from the
//     column's name ("kW", "Nm"), or else as given in PullReadOptions;
//   - a decimal comma where the separator is not a comma;
//   - rows in any order: they are sorted by speed.
// Columns it does not know, or whose unit it does not know, are skipped and
// named in the notes. Figures are kept in the model's units: hp and lb-ft.

enum class PullPowerUnit { Horsepower, Kilowatt, MetricHorsepower };
enum class PullTorqueUnit { PoundFeet, NewtonMetre };

struct PullReadOptions {
    // Columns to take instead of those found by their usual names: the
    // header's text of the column, or its name without the unit (empty: by name).
    std::string speedColumn;
    std::string powerColumn;
    std::string torqueColumn;
    // The units of a power or torque column whose header names none.
    PullPowerUnit powerUnit = PullPowerUnit::Horsepower;
    PullTorqueUnit torqueUnit = PullTorqueUnit::PoundFeet;
};

struct PullRow {
    double rpm = 0.0;
    double powerHp = 0.0;     // when the pull has power
    double torqueLbFt = 0.0;  // when the pull has torque
    int line = 0;             // 1-based line of the file
};

struct DynoPull {
    std::vector<PullRow> rows;  // sorted by rising speed, no speed twice
    bool hasPower = false;
    bool hasTorque = false;
    // Whether the file names the unit of its power or torque column (in the
    // header or as the column's name); false where PullReadOptions gave it.
    bool powerUnitNamed = false;
    bool torqueUnitNamed = false;
    // What was skipped ("column 4 (AFR) is not a figure the pull uses").
    std::vector<std::string> notes;

    double PeakPowerHp() const;
    double PeakTorqueLbFt() const;
};

// The engine speeds a pull must cover at least four rows of: those of the model's results.
inline constexpr double kPullLowestRpm = 2000.0;
inline constexpr double kPullHighestRpm = 11000.0;
inline constexpr int kPullFewestRows = 4;

struct PullReading {
    bool ok = false;
    DynoPull pull;
    // Why the pull was refused, naming the line and the column:
    // "line 7, column 2 (Power): 'x' is not a number".
    std::string error;
};

PullReading ReadDynoPull(std::string_view text, const PullReadOptions& options = {});

// The same from a file; a file that cannot be read is refused with
// "cannot be read". Only a regular file is opened.
PullReading ReadDynoPullFile(const std::string& path, const PullReadOptions& options = {});

// Unit names as the command line and the dialog take them: "hp", "kW",
// "PS"; "lb-ft", "Nm" (without regard to case). False for any other.
bool ParsePullPowerUnit(std::string_view text, PullPowerUnit& unit);
bool ParsePullTorqueUnit(std::string_view text, PullTorqueUnit& unit);
