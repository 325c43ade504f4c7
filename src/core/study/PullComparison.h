#pragma once

#include "DynoPull.h"
#include "StudyScore.h"

#include <array>
#include <optional>

// A model run beside a measured pull: at every model speed point the pull
// covers, the measured figure (interpolated linearly between the pull's
// rows, never extrapolated beyond its first or last row) and the model's
// difference from it; and the root-mean-square difference over the covered
// points only.

enum class PullFigure { Power, Torque };

// The measured figure at an engine speed (rpm): a row's own value at its
// speed, the straight line between the two rows around it elsewhere; none
// outside the pull's speeds or for a figure the pull does not have.
std::optional<double> MeasuredAt(const DynoPull& pull, PullFigure figure, double rpm);

struct PointComparison {
    bool covered = false;         // the pull reaches this engine speed
    double measuredPower = 0.0;   // hp, when covered and the pull has power
    double measuredTorque = 0.0;  // lb-ft, when covered and the pull has torque
    double powerDiff = 0.0;       // model - measured, hp
    double torqueDiff = 0.0;      // model - measured, lb-ft
};

struct PullComparison {
    std::array<PointComparison, kResultPointCount> points{};
    int covered = 0;  // model speed points the pull covers
    bool hasPower = false;
    bool hasTorque = false;
    double rmsPowerHp = 0.0;     // over the covered points; 0 without power
    double rmsTorqueLbFt = 0.0;  // over the covered points; 0 without torque
    // Power and torque weighed alike: each point's difference in % of the
    // pull's peak of that figure, the root of the mean square over both.
    double rmsPercent = 0.0;
};

// results: series 1..8 of a run (the engine speeds of series 1).
PullComparison ComparePull(const RunSeries& results, const DynoPull& pull);
