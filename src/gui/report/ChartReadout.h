#pragma once

#include "ChartPicture.h"

#include <QString>

#include <vector>

// The graph's cursor read-out: every engine's figures at one engine-speed
// point, in the units and on the day the graph shows: the speed, power and
// torque, and the other series the axes show; and, where the graph measures
// the engines from a baseline engine, each engine's difference from it in
// the axes' series, in their units and in per cent.

struct ChartReadoutLine {
    QString engineName;
    CurveStyle style;         // of the engine's first curve, for its swatch
    QStringList figures;      // "5500 rpm", "346 hp", "330 ft-lbs", "Vol Eff 92.1 %"
    QStringList differences;  // "+12 hp (+3.6 %)", "-4 ft-lbs (-1.2 %)"; empty for the baseline
};

struct ChartReadout {
    int point = -1;                       // engine-speed point 0..18; -1 for none
    QString heading;                      // "5500 rpm"
    std::vector<ChartReadoutLine> lines;  // in the graph's engine order
    bool IsEmpty() const { return point < 0; }
    // Every line as plain text, one engine a line (for the clipboard and tests).
    QString Text() const;
};

ChartReadout BuildChartReadout(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                               int point);

// The engine-speed point of the curve point nearest to a position, given the
// curves' points already placed in the same coordinates as the position
// (one list per curve of the picture, in its order); -1 without any. Across
// only: the nearest along the x axis alone, as suits a graph against engine
// speed, where every engine has its points at the same x.
int NearestSpeedPoint(const ChartPicture& picture, const std::vector<QList<QPointF>>& placedCurves,
                      QPointF at, bool acrossOnly);
