#pragma once

#include "ResultsTableLayout.h"

#include <QString>

struct MeasuredPull;

// A measured pull beside the results table: four columns after the eight,
// "Measured" and "Diff" (model - measured) for power and for torque, at the
// speeds the pull covers ("-" elsewhere), and under the table the pull's
// name with its root-mean-square differences.

inline constexpr int kMeasuredColumnCount = 4;

void AddMeasuredColumns(ResultsTableLayout& layout, const CTorqDoc& document, const MeasuredPull& pull,
                        ResultUnits units);

// The table's tab-separated copy with the measured columns of the layout
// added to its header row and its 19 rows.
QString WithMeasuredColumns(const QString& tsv, const ResultsTableLayout& layout);
