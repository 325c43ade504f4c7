#pragma once

#include <array>
#include <string>

class CTorqDoc;

// The results table of an engine's last run, as the desktop program draws
// it and the command line prints it: one row per engine speed, eight columns
// with two header lines each. FMEP comes before BMEP here, unlike the
// result-series order.
struct ResultsTableColumn {
    const char* header1;
    const char* header2;
    int series;          // result series shown in the column (1..8)
    const char* format;  // printf format of its values
};

inline constexpr int kResultsTableColumnCount = 8;
inline constexpr const char* kResultsTableTitle = "CALCULATED POWER AND ENGINE PRESSURES";

const std::array<ResultsTableColumn, kResultsTableColumnCount>& ResultsTableColumns();

// The text of one cell: the column's series at the point, in its format.
std::string FormatResultsTableCell(const CTorqDoc& document, int column, int point);
