#include "MatchSearch.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- scores

std::int64_t MatchScores::StepPoints(std::size_t i, double naturalSteps) const
{
    return std::max<std::int64_t>(1, std::llround(naturalSteps * m_evaluator.PointsPerStep(i)));
}

LatticePoint MatchScores::Moved(const LatticePoint& point, std::size_t i, std::int64_t by) const
{
    LatticePoint moved = point;
    moved[i] += by;
    return m_evaluator.Clamped(moved);
}

// ---------------------------------------------------------------- compass

CompassTask::CompassTask(const MatchScores& scores, LatticePoint x, std::optional<std::size_t> fixed,
                         double finest)
    : m_scores(scores), m_x(std::move(x)), m_fixed(fixed), m_finest(finest)
{
}

std::vector<LatticePoint> CompassTask::Neighbours() const
{
    const std::size_t count = m_x.size();
    std::vector<std::int64_t> steps(count);
    for (std::size_t i = 0; i < count; ++i) steps[i] = m_scores.StepPoints(i, m_size);
    std::vector<LatticePoint> neighbours;
    const auto add = [&](LatticePoint point) {
        point = m_scores.Evaluator().Clamped(point);
        if (point != m_x && std::find(neighbours.begin(), neighbours.end(), point) == neighbours.end())
            neighbours.push_back(std::move(point));
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (i == m_fixed) continue;
        for (int sign : {-1, 1}) add(m_scores.Moved(m_x, i, sign * steps[i]));
    }
    // Pairs' diagonals: 2 n (n - 1) more points, too many beyond six figures.
    if (count > 6) return neighbours;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            if (i == m_fixed || j == m_fixed) continue;
            for (int a : {-1, 1}) {
                for (int b : {-1, 1}) {
                    LatticePoint point = m_x;
                    point[i] += a * steps[i];
                    point[j] += b * steps[j];
                    add(point);
                }
            }
        }
    }
    return neighbours;
}

bool CompassTask::AtFinestSteps() const
{
    if (m_size <= m_finest) return true;
    for (std::size_t i = 0; i < m_x.size(); ++i) {
        if (i != m_fixed && m_scores.StepPoints(i, m_size) > 1) return false;
    }
    return true;
}

std::vector<LatticePoint> CompassTask::Want() const
{
    std::vector<LatticePoint> points = Neighbours();
    points.push_back(m_x);
    return points;
}

void CompassTask::Advance()
{
    const std::vector<LatticePoint> neighbours = Neighbours();
    const LatticePoint* best = &m_x;
    for (const LatticePoint& point : neighbours) {
        if (m_scores.Better(point, *best)) best = &point;
    }
    if (best != &m_x) {
        m_x = *best;
        m_done = ++m_moves >= kMostMoves;
    } else if (neighbours.empty() || AtFinestSteps()) {
        m_done = true;
    } else {
        m_size /= 2.0;
    }
}

// ---------------------------------------------------------------- solver

namespace {

constexpr double kLambdaGiveUp = 1e4;
constexpr double kLambdaLeast = 1e-7;

}  // namespace

SolverTask::SolverTask(const MatchScores& scores, LatticePoint x) : m_scores(scores), m_x(std::move(x))
{
    m_done = !m_scores.Evaluator().Known(m_x).ran;
}

std::vector<LatticePoint> SolverTask::Around() const
{
    std::vector<LatticePoint> around;
    for (std::size_t i = 0; i < m_x.size(); ++i) {
        around.push_back(m_scores.Moved(m_x, i, m_scores.StepPoints(i, 1.0)));
        around.push_back(m_scores.Moved(m_x, i, -m_scores.StepPoints(i, 1.0)));
    }
    return around;
}

std::vector<LatticePoint> SolverTask::Want() const
{
    return m_measuring ? Around() : m_trials;
}

// The differences' change per natural step of each figure; a figure that
// cannot move (or whose neighbours do not run) has a column of 0.
Matrix SolverTask::Jacobian() const
{
    const MatchEvaluator& evaluator = m_scores.Evaluator();
    const std::vector<LatticePoint> around = Around();
    const std::vector<double>& center = evaluator.Known(m_x).residuals;
    Matrix jacobian(center.size(), m_x.size());
    for (std::size_t i = 0; i < m_x.size(); ++i) {
        const LatticePoint* plus = &around[2 * i];
        const LatticePoint* minus = &around[2 * i + 1];
        if (!evaluator.Known(*plus).ran) plus = &m_x;
        if (!evaluator.Known(*minus).ran) minus = &m_x;
        const double apart = double((*plus)[i] - (*minus)[i]) / evaluator.PointsPerStep(i);
        if (apart == 0.0) continue;
        const std::vector<double>& high = evaluator.Known(*plus).residuals;
        const std::vector<double>& low = evaluator.Known(*minus).residuals;
        for (std::size_t r = 0; r < center.size(); ++r) jacobian(r, i) = (high[r] - low[r]) / apart;
    }
    return jacobian;
}

void SolverTask::PlanTrials()
{
    const Matrix jacobian = Jacobian();
    const std::vector<double>& residuals = m_scores.Evaluator().Known(m_x).residuals;
    m_trials.clear();
    m_dampings.clear();
    for (double factor : {0.1, 1.0, 10.0}) {
        const std::vector<double> delta = DampedGaussNewtonStep(jacobian, residuals, m_lambda * factor);
        LatticePoint trial = m_x;
        for (std::size_t i = 0; i < m_x.size(); ++i)
            trial[i] += std::llround(delta[i] * m_scores.Evaluator().PointsPerStep(i));
        trial = m_scores.Evaluator().Clamped(trial);
        if (trial != m_x && std::find(m_trials.begin(), m_trials.end(), trial) == m_trials.end()) {
            m_trials.push_back(trial);
            m_dampings.push_back(m_lambda * factor);
        }
    }
}

void SolverTask::TakeTrials()
{
    std::size_t best = 0;
    for (std::size_t t = 1; t < m_trials.size(); ++t) {
        if (m_scores.Better(m_trials[t], m_trials[best])) best = t;
    }
    if (m_scores.Better(m_trials[best], m_x)) {
        m_x = m_trials[best];
        m_lambda = std::max(m_dampings[best] * 0.3, kLambdaLeast);
    } else {
        m_lambda *= 10.0;
        m_done = m_lambda > kLambdaGiveUp;
    }
}

void SolverTask::Advance()
{
    if (m_measuring) {
        PlanTrials();
        if (m_trials.empty()) {
            m_done = true;
            return;
        }
        m_measuring = false;
        return;
    }
    TakeTrials();
    m_measuring = true;
    if (++m_steps >= kMostSteps) m_done = true;
}

// ---------------------------------------------------------------- walk

WalkTask::WalkTask(const MatchScores& scores, const LatticePoint& best, std::size_t figure, int direction,
                   double margin)
    : m_scores(scores),
      m_best(best),
      m_figure(figure),
      m_direction(direction),
      m_margin(margin),
      m_end(best),
      m_endRms(std::sqrt(scores.MeanSquare(best)))
{
    m_firmEnd = scores.Evaluator().Value(best, figure);
    StartStep();
}

void WalkTask::StartStep()
{
    const MatchEvaluator& evaluator = m_scores.Evaluator();
    if (++m_step > kMostSteps) {
        m_done = true;
        return;
    }
    const std::int64_t target =
        m_best[m_figure] + m_direction * m_scores.StepPoints(m_figure, double(m_step));
    LatticePoint start = m_end;
    start[m_figure] = std::clamp(target, evaluator.Lowest(m_figure), evaluator.Highest(m_figure));
    if (start[m_figure] == m_end[m_figure]) {  // the range's end
        m_done = true;
        return;
    }
    m_compass = std::make_unique<CompassTask>(m_scores, start, m_figure, kFinestSteps);
}

void WalkTask::FinishStep(const LatticePoint& matched)
{
    const MatchEvaluator& evaluator = m_scores.Evaluator();
    const double meanSquare = m_scores.MeanSquare(matched);
    if (meanSquare < m_scores.MeanSquare(m_best) && (!m_better || m_scores.Better(matched, *m_better)))
        m_better = matched;
    const double rms = std::sqrt(meanSquare);
    if (!(rms <= m_margin)) {
        m_done = true;
        if (!std::isfinite(rms)) return;
        // The error along the walk taken as straight between the two steps.
        const double share = (m_margin - m_endRms) / (rms - m_endRms);
        const double inside = evaluator.Value(m_end, m_figure);
        m_firmEnd = inside + share * (evaluator.Value(matched, m_figure) - inside);
        return;
    }
    m_end = matched;
    m_endRms = rms;
    m_firmEnd = evaluator.Value(m_end, m_figure);
    StartStep();
}

std::vector<LatticePoint> WalkTask::Want() const
{
    return m_compass->Want();
}

void WalkTask::Advance()
{
    m_compass->Advance();
    if (m_compass->Done()) FinishStep(m_compass->Point());
}
