#pragma once

#include "ChartPicture.h"

class CMeasuredPulls;
class CTorqDoc;

// The curves of what was measured, drawn beside the own engine's: each pull's
// power and torque wherever a y axis shows them against engine speed, in the
// colour of the engine's curve on that axis with a dotted line and markers of
// their own, and the published peaks of a reference engine as single marks.
// Each pull's legend tooltip gives its differences from the engine's run at
// the speeds the pull covers and their root-mean-square.

inline constexpr int kMostMarkersPerPull = 24;

// The style of pull number 0, 1, ... on the first or the second y axis.
CurveStyle MeasuredCurveStyle(int pull, bool y2, bool colourEachEngine);
// The style of the published peaks' marks.
CurveStyle PublishedMarkStyle(bool y2, bool colourEachEngine);

// Adds the curves to the picture, the pulls from set firstSet on and the
// published peaks after them; nothing unless the x axis shows engine speed.
void AddMeasuredCurves(ChartPicture& picture, const CMeasuredPulls& measured, const CTorqDoc& own,
                       const ChartOptions& options, int firstSet);

// The picture of the engines (BuildChartPicture) with the own engine's
// measured pulls and published peaks beside it; as BuildChartPicture alone
// when measured is null.
ChartPicture BuildMeasuredChartPicture(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                                       const CMeasuredPulls* measured);
