#pragma once

#include "DynoPull.h"
#include "MatchFigures.h"
#include "PullComparison.h"
#include "StudyRunner.h"

#include <cstdint>
#include <limits>
#include <map>
#include <vector>

class CTorqDoc;

// A point of the match's lattice: per freed figure, the whole number n whose
// value is n times the figure's resolution (English units).
using LatticePoint = std::vector<std::int64_t>;

// How far an engine's run is from the pull: the differences at the covered
// points in % of the pull's peaks (power first, then torque), and their mean
// square. An engine that does not run is as far as can be.
struct MatchEvaluation {
    double meanSquare = std::numeric_limits<double>::infinity();  // %^2
    std::vector<double> residuals;                                // %
    bool ran = false;
};

// The float a figure takes at a lattice point: the value the engine file's
// "%f" writes and reads back unchanged (the nearest float to n * resolution
// written with six decimals).
float LatticeValue(std::int64_t n, double resolution);

// The engine file's own round trip of a float: written with "%f", read back.
float FileRoundTrip(float value);

// Puts the engine into the very state its saved engine file opens in: every
// value as the file's six decimals hold it (a valve lift the engine worked
// out itself has more), then recalculated as Open does, without a run. The
// file's items are written to memory and read back: no file, no run, no
// message, so that a match may run on a thread of its own. False (the
// engine unchanged) when they cannot be.
bool SettleAsSaved(CTorqDoc& engine);

// Sets the figures of a lattice point on an engine (in English units) and
// recalculates it as the engine file opens it (derived values, the engine's
// own units), without a run.
void SetMatchFigures(CTorqDoc& engine, const std::vector<FigureRange>& ranges, const LatticePoint& point);

// Makes the engines of lattice points from one base engine and runs them
// on the study runner, each point once: the answers are kept, so that asking
// again costs nothing. Every point's engine is the base with the figures set
// (in English units) and the engine recalculated, exactly as the matched
// engine is made and as its saved file opens.
class MatchEvaluator {
public:
    MatchEvaluator(const CTorqDoc& base, const DynoPull& pull, std::vector<FigureRange> ranges,
                   const StudyRunner& runner);

    std::size_t FigureCount() const { return m_ranges.size(); }
    const FigureRange& Range(std::size_t i) const { return m_ranges[i]; }
    double Resolution(std::size_t i) const { return m_resolution[i]; }
    // Lattice points per natural step of figure i.
    double PointsPerStep(std::size_t i) const { return m_pointsPerStep[i]; }
    std::int64_t Lowest(std::size_t i) const { return m_lowest[i]; }
    std::int64_t Highest(std::size_t i) const { return m_highest[i]; }

    // The nearest lattice point to English values, inside the ranges.
    LatticePoint Nearest(const std::vector<double>& values) const;
    // Figure i's value at a lattice point (English units).
    double Value(const LatticePoint& point, std::size_t i) const;
    LatticePoint Clamped(LatticePoint point) const;

    // Runs the points not run yet (all together, on every core) and gives
    // each point's evaluation, in order.
    std::vector<MatchEvaluation> Evaluate(const std::vector<LatticePoint>& points);
    const MatchEvaluation& Known(const LatticePoint& point) const;

    // Engines run so far (each distinct point once).
    int TestsRun() const { return m_testsRun; }

    // The evaluation of a run's results.
    MatchEvaluation Evaluate(const RunSeries& results) const;

private:
    const CTorqDoc& m_base;
    const DynoPull& m_pull;
    std::vector<FigureRange> m_ranges;
    std::vector<double> m_resolution;
    std::vector<double> m_pointsPerStep;
    std::vector<std::int64_t> m_lowest;
    std::vector<std::int64_t> m_highest;
    const StudyRunner& m_runner;
    std::map<LatticePoint, MatchEvaluation> m_known;
    int m_testsRun = 0;
};
