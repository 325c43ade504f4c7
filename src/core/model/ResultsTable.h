#pragma once

#include "ResultUnits.h"
#include "WeatherCorrection.h"

#include <array>
#include <string>

class CTorqDoc;

// The results table of an engine's last run, as the desktop program draws
// it and the command line prints it: one row per engine speed, eight columns
// with two header lines each and a line with the column's units. FMEP comes
// before BMEP here, unlike the result-series order.
struct ResultsTableColumn {
    const char* header1;
    const char* header2;
    const char* name;  // the column's name on one line, for copies and exports
    int series;        // result series shown in the column (1..8)
};

inline constexpr int kResultsTableColumnCount = 8;
inline constexpr const char* kResultsTableTitle = "CALCULATED POWER AND ENGINE PRESSURES";

const std::array<ResultsTableColumn, kResultsTableColumnCount>& ResultsTableColumns();

// The third header line: the column's units in brackets ("(hp)"), empty for
// the columns whose first two lines name their units already (RPM, Eff %).
std::string ResultsTableUnitsHeader(int column, ResultUnits units);

// The text of one cell: the column's series at the point, on the corrected
// day, converted to the units and in the column's format for them.
std::string FormatResultsTableCell(const CTorqDoc& document, int column, int point,
                                   ResultUnits units = ResultUnits::English,
                                   const ResultCorrection& correction = {});

// The table as tab-separated text for a spreadsheet: a header row with each
// column's name and units ("Power (hp)", "Power (hp, SAE J1349)" for a
// corrected figure), then the 19 rows as the table shows them; every line
// ends in "\n".
std::string FormatResultsTableTsv(const CTorqDoc& document, ResultUnits units,
                                  const ResultCorrection& correction = {});

// The largest value of a result series and the engine speed it is reached at
// (the first such point on a tie). Meaningful only after a run.
struct ResultPeak {
    int point = 0;
    float value = 0;  // model units
    float rpm = 0;
};
ResultPeak FindResultPeak(const CTorqDoc& document, int series);

// "Peak power 346 hp @ 5500 rpm   Peak torque 380 ft-lbs @ 4000 rpm" in the
// given units and on the corrected day (the speeds of the peaks are the
// model's: one factor holds at every speed); empty when the engine has no results.
std::string FormatResultPeaks(const CTorqDoc& document, ResultUnits units,
                              const ResultCorrection& correction = {});
// One peak as a short label: "346 hp @ 5500 rpm".
std::string FormatResultPeak(const CTorqDoc& document, int series, ResultUnits units,
                             const ResultCorrection& correction = {});
