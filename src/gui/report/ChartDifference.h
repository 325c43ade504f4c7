#pragma once

#include "ChartPictureData.h"

#include <QString>

#include <vector>

// Difference curves: each engine's curves less those of a baseline engine
// shown on the same graph, point by point at the same engine speed, in the
// units shown (hp, ft-lbs, ...) or in per cent of the baseline's figure.

// The baseline's place among the engines (its set), or -1 when no
// difference is asked for or the baseline is not among them.
int DifferenceBaselineSet(const std::vector<ChartEngine>& engines, const ChartOptions& options);

// The baseline set's curves become 0 and every other curve its difference
// from the baseline's curve on the same axis; a point without a difference
// (a per cent of a baseline figure of 0) is left out of its curve. The
// legends take the axes' difference titles.
void MakeDifferenceCurves(std::vector<ChartCurve>& curves, int baselineSet, DifferenceKind kind,
                          const QString& y1Title, const QString& y2Title);

// The name of the baseline set's engine.
QString BaselineName(const std::vector<ChartCurve>& curves, int baselineSet);

// "Power vs. chevy-350 (HP)", "Torque vs. chevy-350 (%)".
QString DifferenceAxisTitle(int series, ResultUnits units, const QString& baselineName, DifferenceKind kind);
// "HP", "%": the title of an axis too short for the whole one.
QString DifferenceShortTitle(int series, ResultUnits units, DifferenceKind kind);
