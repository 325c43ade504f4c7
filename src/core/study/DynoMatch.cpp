#include "DynoMatch.h"

#include "MatchEvaluator.h"
#include "MatchSearch.h"

#include "base/ErrCode.h"
#include "base/Units.h"
#include "base/Util.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

namespace {

// ---------------------------------------------------------------- the engine the candidates come from

bool IsValveDiameter(MatchFigure figure)
{
    return figure == MatchFigure::IntakeValve || figure == MatchFigure::ExhaustValve;
}

bool IsLift(MatchFigure figure)
{
    return figure == MatchFigure::IntakeLift || figure == MatchFigure::ExhaustLift;
}

bool ChangesCalculatorCompression(MatchFigure figure)
{
    return figure == MatchFigure::Bore || figure == MatchFigure::Stroke || figure == MatchFigure::Compression;
}

// The base engine as every candidate starts from it: an automatic
// calculation that would overwrite a freed figure is switched off, and the
// compression calculator's figures, which a freed bore, stroke or ratio no
// longer agrees with, are cleared (as the iterator clears them); then the
// engine as its saved file opens, so that the matched engine's file gives
// the results the match found, to the bit.
void PrepareBase(const CTorqDoc& base, const std::vector<FigureRange>& ranges, CTorqDoc& prepared,
                 std::vector<std::string>* notes)
{
    base.CopyTo(prepared);
    const auto note = [&](const char* text) {
        if (notes != nullptr) notes->emplace_back(text);
    };
    for (const FigureRange& range : ranges) {
        if (IsValveDiameter(range.figure) && prepared.IsAutoValveSizes()) {
            prepared.SetAutoValveSizes(false);
            note(
                "Auto Calculate Valve Sizes is off in the matched engine, so that it keeps the valves "
                "found.");
        }
        if (IsLift(range.figure) && prepared.Cam().IsAutoValveLift()) {
            prepared.Cam().SetAutoValveLift(false);
            note("Auto Calculate Valve Lift is off in the matched engine, so that it keeps the lifts found.");
        }
        if (ChangesCalculatorCompression(range.figure) && prepared.IsCompressionFromCalculator()) {
            prepared.ClearCalculatorInputs();
            note("The compression calculator's figures no longer fit the matched engine and are cleared.");
        }
    }
    SettleAsSaved(prepared);
}

std::string ShownValue(const CTorqDoc& engine, MatchFigure figure, double english)
{
    const CFloatPtSpec& spec = FigureParameter(engine, figure);
    return FormatC(FindUnitInfo(spec.GetUnitCode())->format, ToShownUnits(engine, figure, english)) + " " +
           spec.GetUnitsLabel();
}

// ---------------------------------------------------------------- the search

constexpr int kMostProfileRounds = 3;
constexpr std::size_t kGlobalPoints = 256;
constexpr int kStartsFromTheLook = 3;

// The progress of the four steps, as shares of the whole.
constexpr double kLookShare = 0.10;
constexpr double kSolverShare = 0.30;
constexpr double kPolishShare = 0.10;
constexpr double kWalkShare = 1.0 - kLookShare - kSolverShare - kPolishShare;

class MatchDriver {
public:
    MatchDriver(MatchEvaluator& evaluator, const MatchSetup& setup, const MatchProgressCallback& progress)
        : m_evaluator(evaluator),
          m_scores(evaluator),
          m_setup(setup),
          m_progress(progress),
          m_count(evaluator.FigureCount())
    {
    }

    // Steps 1 to 3; the best point.
    LatticePoint FindBest(const LatticePoint& today)
    {
        m_best = today;
        Evaluate({today});
        const std::vector<LatticePoint> starts = Look(today);
        SetStage(kLookShare, kSolverShare);
        std::vector<std::unique_ptr<SolverTask>> solvers;
        solvers.reserve(starts.size());
        for (const LatticePoint& start : starts)
            solvers.push_back(std::make_unique<SolverTask>(m_scores, start));
        RunTogether(solvers);
        // Every distinct end of the solver is polished: the best of them wins.
        SetStage(kLookShare + kSolverShare, kPolishShare);
        std::vector<std::unique_ptr<CompassTask>> polishes;
        for (const auto& solver : solvers) {
            const bool seen = std::any_of(polishes.begin(), polishes.end(), [&](const auto& polish) {
                return polish->Point() == solver->Point();
            });
            if (!seen)
                polishes.push_back(
                    std::make_unique<CompassTask>(m_scores, solver->Point(), std::nullopt, 0.0));
        }
        RunTogether(polishes);
        for (const auto& polish : polishes) {
            if (m_scores.Better(polish->Point(), m_best)) m_best = polish->Point();
        }
        return m_best;
    }

    // Step 4: the firm range of every figure; a better point met on a walk
    // is polished and the walks start again from it.
    void FindFirmRanges(std::vector<MatchedFigure>& figures,
                        std::vector<std::pair<std::size_t, std::size_t>>& tradeOffs, double& marginPercent)
    {
        for (int round = 0; round < kMostProfileRounds && !m_stopped; ++round) {
            marginPercent = Margin();
            SetStage(kLookShare + kSolverShare + kPolishShare, kWalkShare);
            std::vector<std::unique_ptr<WalkTask>> walks;
            for (std::size_t i = 0; i < m_count; ++i) {
                for (int direction : {-1, 1})
                    walks.push_back(
                        std::make_unique<WalkTask>(m_scores, m_best, i, direction, marginPercent));
            }
            RunTogether(walks);
            if (m_stopped) return;
            std::optional<LatticePoint> better;
            for (const auto& walk : walks) {
                if (walk->Better() && (!better || m_scores.Better(*walk->Better(), *better)))
                    better = walk->Better();
            }
            if (!better) {
                for (std::size_t i = 0; i < m_count; ++i) {
                    figures[i].firmFrom = walks[2 * i]->FirmEnd();
                    figures[i].firmTo = walks[2 * i + 1]->FirmEnd();
                }
                FindTradeOffs(walks, tradeOffs);
                m_firmKnown = true;
                return;
            }
            std::vector<std::unique_ptr<CompassTask>> polish;
            polish.push_back(std::make_unique<CompassTask>(m_scores, *better, std::nullopt, 0.0));
            RunTogether(polish);
            m_best = polish.front()->Point();
        }
    }

    const LatticePoint& Best() const { return m_best; }
    bool Stopped() const { return m_stopped; }
    bool StoppedByBudget() const { return m_budgetSpent; }
    bool FirmRangesKnown() const { return m_firmKnown; }

private:
    double MeanSquare(const LatticePoint& point) const { return m_scores.MeanSquare(point); }

    void SetStage(double start, double share)
    {
        m_stageStart = start;
        m_stageShare = share;
        m_stageRuns = 0;
    }

    // Runs the points (those run before cost nothing); keeps the best; tells
    // the caller, who may stop.
    void Evaluate(const std::vector<LatticePoint>& points)
    {
        if (m_stopped || points.empty()) return;
        m_evaluator.Evaluate(points);
        for (const LatticePoint& point : points) {
            if (m_scores.Better(point, m_best)) m_best = point;
        }
        if (m_evaluator.TestsRun() >= m_setup.mostTests) {
            m_stopped = true;
            m_budgetSpent = true;
        }
        // Within a step, the share done grows as 1 - 1/(1 + runs/200): never quite all of it.
        m_stageRuns += static_cast<int>(points.size());
        const double done = 1.0 - 1.0 / (1.0 + double(m_stageRuns) / 200.0);
        if (m_progress) {
            const MatchProgress progress{m_stageStart + m_stageShare * done, m_evaluator.TestsRun(),
                                         std::sqrt(MeanSquare(m_best))};
            if (!m_progress(progress)) m_stopped = true;
        }
    }

    // Runs tasks side by side, the wants of all of them in one batch, until
    // every one is done or the match stops.
    template <typename Task>
    void RunTogether(std::vector<std::unique_ptr<Task>>& tasks)
    {
        while (!m_stopped) {
            std::vector<LatticePoint> wanted;
            for (const auto& task : tasks) {
                if (task->Done()) continue;
                for (LatticePoint& point : task->Want()) wanted.push_back(std::move(point));
            }
            if (wanted.empty()) return;
            Evaluate(wanted);
            if (m_stopped) return;
            for (const auto& task : tasks) {
                if (!task->Done()) task->Advance();
            }
        }
    }

    // ---- step 1: the coarse look

    std::vector<std::int64_t> Levels(std::size_t i, std::size_t count) const
    {
        const double low = double(m_evaluator.Lowest(i));
        const double span = double(m_evaluator.Highest(i)) - low;
        std::vector<std::int64_t> levels;
        for (std::size_t j = 0; j < count; ++j) {
            const std::int64_t level = std::llround(low + (double(j) + 0.5) * span / double(count));
            if (levels.empty() || levels.back() != level) levels.push_back(level);
        }
        return levels;
    }

    // Levels per figure of a grid of about kGlobalPoints points; 0 beyond five figures.
    std::size_t GridLevels() const
    {
        static constexpr std::array<std::size_t, 5> kLevels = {17, 16, 6, 4, 3};
        return m_count <= kLevels.size() ? kLevels[m_count - 1] : 0;
    }

    std::vector<LatticePoint> GridPoints(std::size_t levelCount) const
    {
        std::vector<std::vector<std::int64_t>> levels;
        for (std::size_t i = 0; i < m_count; ++i) levels.push_back(Levels(i, levelCount));
        std::vector<LatticePoint> points;
        std::vector<std::size_t> at(m_count, 0);
        while (true) {
            LatticePoint point(m_count);
            for (std::size_t i = 0; i < m_count; ++i) point[i] = levels[i][at[i]];
            points.push_back(point);
            std::size_t i = m_count;
            while (i > 0 && ++at[i - 1] == levels[i - 1].size()) at[--i] = 0;
            if (i == 0) return points;
        }
    }

    // The radical inverse of index in a prime base: the Halton sequence.
    static double Halton(std::size_t index, std::size_t base)
    {
        double value = 0.0;
        double weight = 1.0 / double(base);
        for (; index > 0; index /= base, weight /= double(base)) value += weight * double(index % base);
        return value;
    }

    std::vector<LatticePoint> HaltonPoints() const
    {
        static constexpr std::array<std::size_t, kMatchFigureCount> kPrimes = {2,  3,  5,  7,  11, 13,
                                                                               17, 19, 23, 29, 31, 37};
        std::vector<LatticePoint> points;
        for (std::size_t j = 1; j <= kGlobalPoints; ++j) {
            LatticePoint point(m_count);
            for (std::size_t i = 0; i < m_count; ++i) {
                const double low = double(m_evaluator.Lowest(i));
                const double span = double(m_evaluator.Highest(i)) - low;
                point[i] = std::llround(low + Halton(j, kPrimes[i]) * span);
            }
            points.push_back(point);
        }
        return points;
    }

    // The look over the box; the starts of step 2: today's values, then the
    // best points of the look that lie more than a cell from every start.
    std::vector<LatticePoint> Look(const LatticePoint& today)
    {
        SetStage(0.0, kLookShare);
        const std::size_t levels = GridLevels();
        std::vector<LatticePoint> points = levels > 0 ? GridPoints(levels) : HaltonPoints();
        Evaluate(points);
        std::vector<LatticePoint> starts;
        if (std::isfinite(MeanSquare(today))) starts.push_back(today);
        if (m_stopped) return starts;
        std::stable_sort(points.begin(), points.end(), [this](const LatticePoint& a, const LatticePoint& b) {
            return m_scores.Better(a, b);
        });
        const double cells =
            levels > 0 ? double(levels) : std::pow(double(kGlobalPoints), 1.0 / double(m_count));
        const auto near = [&](const LatticePoint& point, const LatticePoint& start) {
            for (std::size_t i = 0; i < m_count; ++i) {
                const double cell = double(m_evaluator.Highest(i) - m_evaluator.Lowest(i)) / cells;
                if (std::abs(double(point[i] - start[i])) > cell) return false;
            }
            return true;
        };
        int taken = 0;
        for (const LatticePoint& point : points) {
            if (taken == kStartsFromTheLook || !std::isfinite(MeanSquare(point))) break;
            if (std::any_of(starts.begin(), starts.end(),
                            [&](const LatticePoint& s) { return near(point, s); }))
                continue;
            starts.push_back(point);
            ++taken;
        }
        return starts;
    }

    // ---- step 4: the firm ranges

    double Margin() const
    {
        const double best = std::sqrt(MeanSquare(m_best));
        return std::max(best * (1.0 + kFirmMarginShare), best + kFirmMarginFloorPercent);
    }

    // Figures i and j trade off when j's best value moves by a natural step
    // or more from one end of i's firm range to the other.
    void FindTradeOffs(const std::vector<std::unique_ptr<WalkTask>>& walks,
                       std::vector<std::pair<std::size_t, std::size_t>>& tradeOffs) const
    {
        tradeOffs.clear();
        std::vector<std::vector<bool>> trade(m_count, std::vector<bool>(m_count, false));
        for (std::size_t i = 0; i < m_count; ++i) {
            const LatticePoint& low = walks[2 * i]->LastInside();
            const LatticePoint& high = walks[2 * i + 1]->LastInside();
            for (std::size_t j = 0; j < m_count; ++j) {
                if (i == j) continue;
                const double moved = std::abs(double(high[j] - low[j])) / m_evaluator.PointsPerStep(j);
                if (moved >= 1.0) trade[std::min(i, j)][std::max(i, j)] = true;
            }
        }
        for (std::size_t i = 0; i < m_count; ++i) {
            for (std::size_t j = i + 1; j < m_count; ++j) {
                if (trade[i][j]) tradeOffs.emplace_back(i, j);
            }
        }
    }

    MatchEvaluator& m_evaluator;
    MatchScores m_scores;
    const MatchSetup& m_setup;
    const MatchProgressCallback& m_progress;
    const std::size_t m_count;
    LatticePoint m_best;
    bool m_stopped = false;
    bool m_budgetSpent = false;
    bool m_firmKnown = false;
    double m_stageStart = 0.0;
    double m_stageShare = 0.0;
    int m_stageRuns = 0;
};

// ---------------------------------------------------------------- the result

void RunAndCompare(CTorqDoc& engine, const DynoPull& pull, bool& ran, RunSeries& results,
                   PullComparison& comparison)
{
    const StudyRunner::Outcome outcome = StudyRunner::RunAlone(engine);
    ran = outcome.kind == StudyRunner::Outcome::Kind::Simulated;
    if (!ran) return;
    results = outcome.results;
    comparison = ComparePull(results, pull);
}

void AddNotes(const CTorqDoc& base, const MatchDriver& search, MatchResult& result)
{
    if (search.StoppedByBudget()) {
        result.notes.push_back("The match stopped after " + std::to_string(result.testsRun) +
                               " engines, the most it runs; the figures are the best it found.");
    } else if (result.stopped) {
        result.notes.push_back("The match was stopped; the figures are the best it found so far.");
    }
    for (const MatchedFigure& figure : result.figures) {
        if (!figure.atRangeEdge) continue;
        result.notes.push_back(
            std::string(FigureInfo(figure.range.figure).name) + " ended on an end of its range (" +
            ShownValue(base, figure.range.figure, figure.after) + "): a wider range may come nearer.");
    }
    if (!result.afterRan) {
        result.notes.push_back("No engine inside the ranges runs.");
    } else if (result.after.rmsPercent > kFarFromPullPercent) {
        result.notes.push_back(
            "The model comes no nearer to the pull than " + FormatC("%.1f", result.after.rmsPercent) +
            " % of its peak (rms) with these figures free: the engine may differ in parts the "
            "match does not change, or the ranges may be too narrow.");
    }
}

}  // namespace

std::string CheckMatchSetup(const CTorqDoc& base, const MatchSetup& setup)
{
    if (setup.ranges.empty()) return "no figure is free to match";
    if (setup.ranges.size() > std::size_t(kMatchFigureCount)) return "at most 12 figures can be free";
    for (std::size_t i = 0; i < setup.ranges.size(); ++i) {
        const FigureRange& range = setup.ranges[i];
        const char* name = FigureInfo(range.figure).name;
        for (std::size_t j = 0; j < i; ++j) {
            if (setup.ranges[j].figure == range.figure) return std::string(name) + " is free twice";
        }
        const std::string problem = CheckRange(base, range);
        if (!problem.empty()) return std::string(name) + ": " + problem;
        const double resolution = FigureInfo(range.figure).resolution;
        if (std::ceil(range.min / resolution - 1e-6) > std::floor(range.max / resolution + 1e-6))
            return std::string(name) + ": the range is narrower than " + FormatC("%g", resolution);
    }
    ErrorCode code = 0;
    if (!base.Validate(code)) return GetErrorMessage(code).text;
    if (setup.mostTests < 1) return "the most engines to run must be at least 1";
    return {};
}

MatchResult MatchToPull(const CTorqDoc& base, const DynoPull& pull, const MatchSetup& setup,
                        const StudyRunner& runner, const MatchProgressCallback& progress)
{
    TORQ_ASSERT(CheckMatchSetup(base, setup).empty());
    MatchResult result;
    CTorqDoc before;
    base.CopyTo(before);
    RunAndCompare(before, pull, result.beforeRan, result.beforeResults, result.before);

    CTorqDoc prepared;
    PrepareBase(base, setup.ranges, prepared, &result.notes);
    prepared.SetAutoRun(false);
    MatchEvaluator evaluator(prepared, pull, setup.ranges, runner);
    std::vector<double> today;
    for (const FigureRange& range : setup.ranges) today.push_back(EnglishValue(base, range.figure));

    MatchDriver search(evaluator, setup, progress);
    const LatticePoint best = search.FindBest(evaluator.Nearest(today));
    for (std::size_t i = 0; i < setup.ranges.size(); ++i) {
        MatchedFigure figure;
        figure.range = setup.ranges[i];
        figure.before = today[i];
        figure.after = evaluator.Value(best, i);
        figure.firmFrom = figure.firmTo = figure.after;
        result.figures.push_back(figure);
    }
    search.FindFirmRanges(result.figures, result.tradeOffs, result.marginPercent);
    // A better point found while walking the figures out moves the best.
    const LatticePoint& final = search.Best();
    for (std::size_t i = 0; i < result.figures.size(); ++i) {
        MatchedFigure& figure = result.figures[i];
        figure.after = evaluator.Value(final, i);
        figure.atRangeEdge = final[i] == evaluator.Lowest(i) || final[i] == evaluator.Highest(i);
        if (!search.FirmRangesKnown()) figure.firmFrom = figure.firmTo = figure.after;
    }
    result.firmRangesKnown = search.FirmRangesKnown();
    result.testsRun = evaluator.TestsRun();
    result.stopped = search.Stopped();

    CTorqDoc matched;
    MakeMatchedEngine(base, result, matched);
    RunAndCompare(matched, pull, result.afterRan, result.afterResults, result.after);
    AddNotes(base, search, result);
    return result;
}

void MakeMatchedEngine(const CTorqDoc& base, const MatchResult& result, CTorqDoc& engine)
{
    std::vector<FigureRange> ranges;
    LatticePoint point;
    for (const MatchedFigure& figure : result.figures) {
        ranges.push_back(figure.range);
        point.push_back(std::llround(figure.after / FigureInfo(figure.range.figure).resolution));
    }
    PrepareBase(base, ranges, engine, nullptr);
    SetMatchFigures(engine, ranges, point);
}
