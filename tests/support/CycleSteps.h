#pragma once

// How many crank steps each speed point's cycle takes for an engine. The
// crank angle accumulates in float from EVO while it stays within EVO + 720,
// so engines whose EVO differs in its low bits may take one step more or
// less at the same speed: a batch of them has lanes that finish apart.
// Header only, for the tests that link the cycle model.

#include "sim/SimRecords.h"
#include "sim/ValveGeometry.h"

#include <vector>

inline std::vector<int> CycleStepCounts(const SimInputs& in)
{
    const float evo = ComputeValveEvents(in, GetLifterData(LifterOf(in))).exhaustOpening;
    std::vector<int> counts;
    for (int point = 0; point < kSpeedPointCount; ++point) {
        const float step = static_cast<float>(0.0003 * SpeedPointRpm(point));
        int steps = 0;
        for (float theta = evo; theta <= static_cast<double>(evo) + 720.0; theta += step) ++steps;
        counts.push_back(steps);
    }
    return counts;
}
