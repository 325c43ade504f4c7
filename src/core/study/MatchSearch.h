#pragma once

#include "MatchEvaluator.h"
#include "MatchSolve.h"

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The search steps of a match as tasks that run side by side: each task
// says which lattice points it needs next (Want), and once they have run it
// takes their answers and moves on (Advance). Running the wants of several
// tasks together fills the batch kernel's lanes, and since every answer is
// the same to the bit however the points are batched, the tasks end exactly
// as they would one after the other.
class MatchTask {
public:
    virtual ~MatchTask() = default;
    virtual bool Done() const = 0;
    // The points the task needs run before its next move; never empty while not done.
    virtual std::vector<LatticePoint> Want() const = 0;
    virtual void Advance() = 0;
};

// The evaluator's answers, with the order in which points are preferred on a tie.
class MatchScores {
public:
    explicit MatchScores(const MatchEvaluator& evaluator) : m_evaluator(evaluator) {}
    double MeanSquare(const LatticePoint& point) const { return m_evaluator.Known(point).meanSquare; }
    // Strictly lower error; on a tie the point held already stays.
    bool Better(const LatticePoint& a, const LatticePoint& b) const { return MeanSquare(a) < MeanSquare(b); }
    const MatchEvaluator& Evaluator() const { return m_evaluator; }

    // A move by some natural steps, in lattice points (at least one).
    std::int64_t StepPoints(std::size_t i, double naturalSteps) const;
    LatticePoint Moved(const LatticePoint& point, std::size_t i, std::int64_t by) const;

private:
    const MatchEvaluator& m_evaluator;
};

// Compass search on the lattice: from x, to the best of the neighbours one
// step away along each figure and along the diagonals of each pair (which
// follow a valley where two figures trade off) while one is better; when
// none is, the steps are halved, from one natural step down to finest
// natural steps (0: down to the lattice). A fixed figure does not move.
class CompassTask final : public MatchTask {
public:
    CompassTask(const MatchScores& scores, LatticePoint x, std::optional<std::size_t> fixed, double finest);
    bool Done() const override { return m_done; }
    std::vector<LatticePoint> Want() const override;
    void Advance() override;
    const LatticePoint& Point() const { return m_x; }

private:
    std::vector<LatticePoint> Neighbours() const;
    bool AtFinestSteps() const;

    static constexpr int kMostMoves = 400;
    const MatchScores& m_scores;
    LatticePoint m_x;
    std::optional<std::size_t> m_fixed;
    double m_finest;
    double m_size = 1.0;  // natural steps
    int m_moves = 0;
    bool m_done = false;
};

// Levenberg-Marquardt on the differences from x: the Jacobian by central
// differences of one natural step (one-sided at a range's end), then the
// trial steps of three dampings together; a better trial is taken and the
// damping eased, else the damping grows until it gives up.
class SolverTask final : public MatchTask {
public:
    SolverTask(const MatchScores& scores, LatticePoint x);
    bool Done() const override { return m_done; }
    std::vector<LatticePoint> Want() const override;
    void Advance() override;
    const LatticePoint& Point() const { return m_x; }

private:
    std::vector<LatticePoint> Around() const;
    Matrix Jacobian() const;
    void PlanTrials();
    void TakeTrials();

    static constexpr int kMostSteps = 30;
    const MatchScores& m_scores;
    LatticePoint m_x;
    double m_lambda = 1e-3;
    int m_steps = 0;
    bool m_measuring = true;  // the points around x are wanted; else the trials
    std::vector<LatticePoint> m_trials;
    std::vector<double> m_dampings;
    bool m_done = false;
};

// The firm end of figure i on one side: from the best point, figure i moves
// one natural step at a time (direction -1 or 1) and the other figures are
// matched again at each step (a compass search down to a quarter of their
// natural steps, from the last step's), until the rms error (% of peak)
// passes the margin or the range ends. The end is interpolated between the
// last step inside and the first outside.
class WalkTask final : public MatchTask {
public:
    WalkTask(const MatchScores& scores, const LatticePoint& best, std::size_t figure, int direction,
             double margin);
    bool Done() const override { return m_done; }
    std::vector<LatticePoint> Want() const override;
    void Advance() override;

    double FirmEnd() const { return m_firmEnd; }  // English units
    const LatticePoint& LastInside() const { return m_end; }
    // A point better than the best the walk started from, if it met one.
    const std::optional<LatticePoint>& Better() const { return m_better; }

private:
    void StartStep();
    void FinishStep(const LatticePoint& matched);

    static constexpr int kMostSteps = 60;
    static constexpr double kFinestSteps = 0.25;
    const MatchScores& m_scores;
    const LatticePoint m_best;
    const std::size_t m_figure;
    const int m_direction;
    const double m_margin;
    LatticePoint m_end;
    double m_endRms;
    int m_step = 0;
    std::unique_ptr<CompassTask> m_compass;
    std::optional<LatticePoint> m_better;
    double m_firmEnd = 0.0;
    bool m_done = false;
};
