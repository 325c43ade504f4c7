#pragma once

#include "ChartPictureData.h"

#include <functional>
#include <vector>

// The picture of the engines (one to eight, the own engine first) under
// these options. The units shown are those chosen for the own engine when it
// is a metric engine, and the day is the one chosen for it; every engine's
// curves are drawn in them. With a difference chosen and its baseline among
// the engines, the y axes show each engine's difference from the baseline
// (the baseline's own curve lies on 0), scaled automatically, and the peaks
// are not labelled.
// addCurves, when given, adds curves beside the engines' (measured pulls:
// BuildMeasuredChartPicture) before the axes are fitted to every curve; it
// gets the picture with its units and the engines' curves.
using ChartCurveAdder = std::function<void(ChartPicture&)>;
ChartPicture BuildChartPicture(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                               const ChartCurveAdder& addCurves = {});

// 1, 2 or 5 times a power of ten: the tick interval for a span shown over so
// many pixels (or other length units) with at least minSpacing between two ticks,
// and never more than about six intervals.
double TickIntervalFor(double span, double length, double minSpacing);
