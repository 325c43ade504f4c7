#pragma once

#include <QJsonObject>
#include <QString>

class CTorqDoc;

namespace cli {

// The 19 result points of an engine's last run in the three output formats
// of "torqwell-cli run". All figures are the model's English units: hp,
// lb-ft, psi absolute, %, psi.

// The desktop program's results table: its title, the three header lines, the
// columns speed, power, torque, manifold pressure, volumetric efficiency,
// IMEP, FMEP, BMEP with their number formats, a blank line after every
// four rows, and the rules that frame it.
QString FormatResultsTable(const CTorqDoc& doc);

// "rpm,power,torque,manifold_pressure,volumetric_efficiency,imep,bmep,fmep"
// and one line per speed; every value with 9 significant digits, enough to
// give back the 32-bit float.
QString FormatResultsCsv(const CTorqDoc& doc);

// {"file": ..., "engine": {main choices and dimensions}, "results": {one
// array of 19 numbers per series}}, numbers with the CSV's digits.
QString FormatResultsJson(const CTorqDoc& doc, const QString& file);

// The engine's main choices and dimensions; keys name their units.
QJsonObject EngineSummary(const CTorqDoc& doc);

}  // namespace cli
