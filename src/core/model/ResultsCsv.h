#pragma once

#include "WeatherCorrection.h"

#include <array>
#include <string>

class CTorqDoc;

// The results of an engine's last run as comma-separated values, the one
// form that the command line's "run --format csv" and the desktop program's
// "Export Results..." both write:
//   rpm,power,torque,manifold_pressure,volumetric_efficiency,imep,bmep,fmep
// and one line per engine speed, in the model's units (rpm, hp, lb-ft, psi
// absolute, %, psi), every value with the 9 significant digits that give back
// the 32-bit float. Lines end in "\n"; numbers carry '.' in any locale.

struct ResultSeriesKey {
    const char* key;
    int series;
};

// The column names and series of the CSV, in its order (also the JSON's keys).
const std::array<ResultSeriesKey, 8>& ResultSeriesKeys();

// On a corrected day (not the model's) the file begins with a comment line
// that says which standard and day, and the corrected columns' names carry
// the standard ("power_sae_j1349"); on the model's day it is byte for byte
// the plain form.
std::string FormatResultsCsv(const CTorqDoc& document, const ResultCorrection& correction = {});
