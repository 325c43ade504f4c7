#include "MatchEvaluator.h"

#include "base/ErrCode.h"
#include "base/Util.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

float ParseFloat(const std::string& text)
{
    float value = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

float LatticeValue(std::int64_t n, double resolution)
{
    return ParseFloat(FormatC("%.6f", double(n) * resolution));
}

float FileRoundTrip(float value)
{
    return ParseFloat(FormatC("%f", double(value)));
}

bool SettleAsSaved(CTorqDoc& engine)
{
    CTorqDoc opened;
    if (!RoundTripEngineItems(engine, opened)) return false;
    opened.CopyTo(engine);
    const bool autoRun = engine.IsAutoRun();
    engine.SetAutoRun(false);
    engine.Recalculate();
    engine.SetAutoRun(autoRun);
    return true;
}

void SetMatchFigures(CTorqDoc& engine, const std::vector<FigureRange>& ranges, const LatticePoint& point)
{
    TORQ_ASSERT(point.size() == ranges.size());
    for (std::size_t i = 0; i < point.size(); ++i) {
        const double resolution = FigureInfo(ranges[i].figure).resolution;
        FigureParameter(engine, ranges[i].figure).SetValueIn(LatticeValue(point[i], resolution), true);
    }
    const bool autoRun = engine.IsAutoRun();
    engine.SetAutoRun(false);
    engine.Recalculate();
    engine.SetAutoRun(autoRun);
}

MatchEvaluator::MatchEvaluator(const CTorqDoc& base, const DynoPull& pull, std::vector<FigureRange> ranges,
                               const StudyRunner& runner)
    : m_base(base), m_pull(pull), m_ranges(std::move(ranges)), m_runner(runner)
{
    for (const FigureRange& range : m_ranges) {
        const MatchFigureInfo& info = FigureInfo(range.figure);
        m_resolution.push_back(info.resolution);
        m_pointsPerStep.push_back(info.naturalStep / info.resolution);
        // Inside the range by a hair less than a lattice point, so that a
        // range end typed in decimals is a lattice point itself.
        m_lowest.push_back(std::int64_t(std::ceil(range.min / info.resolution - 1e-6)));
        m_highest.push_back(std::int64_t(std::floor(range.max / info.resolution + 1e-6)));
        TORQ_ASSERT(m_lowest.back() <= m_highest.back());
    }
}

LatticePoint MatchEvaluator::Clamped(LatticePoint point) const
{
    for (std::size_t i = 0; i < point.size(); ++i) point[i] = std::clamp(point[i], m_lowest[i], m_highest[i]);
    return point;
}

LatticePoint MatchEvaluator::Nearest(const std::vector<double>& values) const
{
    LatticePoint point(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) point[i] = std::llround(values[i] / m_resolution[i]);
    return Clamped(point);
}

double MatchEvaluator::Value(const LatticePoint& point, std::size_t i) const
{
    return double(point[i]) * m_resolution[i];
}

MatchEvaluation MatchEvaluator::Evaluate(const RunSeries& results) const
{
    const PullComparison comparison = ComparePull(results, m_pull);
    const double peakPower = m_pull.PeakPowerHp();
    const double peakTorque = m_pull.PeakTorqueLbFt();
    MatchEvaluation evaluation;
    evaluation.ran = true;
    for (const PointComparison& point : comparison.points) {
        if (!point.covered) continue;
        if (m_pull.hasPower && peakPower > 0.0)
            evaluation.residuals.push_back(100.0 * point.powerDiff / peakPower);
        if (m_pull.hasTorque && peakTorque > 0.0)
            evaluation.residuals.push_back(100.0 * point.torqueDiff / peakTorque);
    }
    // The comparison's own figure, so that the match and the error shown beside the curves agree.
    evaluation.meanSquare = comparison.rmsPercent * comparison.rmsPercent;
    return evaluation;
}

std::vector<MatchEvaluation> MatchEvaluator::Evaluate(const std::vector<LatticePoint>& points)
{
    std::vector<LatticePoint> fresh;
    for (const LatticePoint& point : points) {
        if (m_known.count(point) == 0 && std::find(fresh.begin(), fresh.end(), point) == fresh.end())
            fresh.push_back(point);
    }
    if (!fresh.empty()) {
        std::vector<StudyRunner::Outcome> outcomes(fresh.size());
        m_runner.Run(
            m_base,
            [&](std::size_t index, CTorqDoc& engine) {
                SetMatchFigures(engine, m_ranges, fresh[index]);
                return true;
            },
            outcomes);
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            const bool ran = outcomes[i].kind == StudyRunner::Outcome::Kind::Simulated;
            m_known[fresh[i]] = ran ? Evaluate(outcomes[i].results) : MatchEvaluation{};
        }
        m_testsRun += static_cast<int>(fresh.size());
    }
    std::vector<MatchEvaluation> evaluations;
    evaluations.reserve(points.size());
    for (const LatticePoint& point : points) evaluations.push_back(m_known.at(point));
    return evaluations;
}

const MatchEvaluation& MatchEvaluator::Known(const LatticePoint& point) const
{
    return m_known.at(point);
}
