#include "IteratorSearch.h"

#include "base/ErrCode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The score of a test without results: below every score (scores are 0 at least).
constexpr float kFailed = -std::numeric_limits<float>::infinity();

// Lattice points per batch: the lattice is run in pieces of this size so
// that progress shows and a stop is heard. A fixed number, so that the
// batches, and with them the search, do not depend on the threads.
constexpr std::size_t kLatticeBatch = 256;

// The lattice has about as many points as the square root of the grid (a
// grid of 10^6 gets about 1000), within these bounds: enough to see every
// region of a small grid, few enough that a grid of 10^11 costs seconds.
constexpr long double kFewestLatticePoints = 64.0L;
constexpr long double kMostLatticePoints = 4096.0L;

// Compass searches started from the best lattice points.
constexpr std::size_t kClimbCount = 6;

// The most values of a slot that a line from the best point runs.
constexpr std::int32_t kMostLineValues = 128;

// Results kept ranked with their results. A series keeps ten; when a tie
// with the tenth score decides which tests stay, those that stay are among
// the first twenty tied tests in test order (at most ten arrive while
// fewer than ten are kept, and at most ten more each displace a lower
// score), so thirty always hold every kept result.
constexpr std::size_t kEliteCount = 30;

bool Ranks(float score, std::int64_t test, float otherScore, std::int64_t otherTest)
{
    return score > otherScore || (score == otherScore && test < otherTest);
}

// The step index of lattice value level (0 .. levels - 1) on a slot of
// steps values: evenly spread, rounded to the nearest, both ends included.
std::int32_t LatticeStep(std::int32_t level, std::int32_t levels, std::int32_t steps)
{
    const std::int64_t last = steps - 1;
    const std::int64_t spans = levels - 1;
    return static_cast<std::int32_t>((level * last * 2 + spans) / (2 * spans));
}

// The generation of each lattice value of a slot: its two ends 0, the value
// halfway between them 1, the values halfway between those 2, and so on.
std::vector<int> Generations(std::int32_t levels)
{
    std::vector<int> generations(static_cast<std::size_t>(levels), 0);
    struct Span {
        std::int32_t low;
        std::int32_t high;
        int generation;
    };
    std::vector<Span> spans{{0, levels - 1, 1}};
    while (!spans.empty()) {
        const Span span = spans.back();
        spans.pop_back();
        if (span.high - span.low < 2) continue;
        const std::int32_t middle = (span.low + span.high) / 2;
        generations[static_cast<std::size_t>(middle)] = span.generation;
        spans.push_back({span.low, middle, span.generation + 1});
        spans.push_back({middle, span.high, span.generation + 1});
    }
    return generations;
}

StudyCriterion CriterionOf(const IteratorTest& iterator)
{
    return iterator.GetCriterion() == kMaxPower ? StudyCriterion::PeakPower : StudyCriterion::PeakTorque;
}

}  // namespace

IteratorSearch::IteratorSearch(IteratorTest& iterator, int threads) : m_iterator(iterator), m_runner(threads)
{
}

bool IteratorSearch::Start(std::int64_t budget)
{
    TORQ_ASSERT(budget >= 0);
    auto grid = std::make_unique<SearchGrid>(m_iterator);
    if (!grid->IsSearchable()) return false;
    m_grid = std::move(grid);
    m_criterion = CriterionOf(m_iterator);
    m_iterator.GetScoringBand(m_band.minRpm, m_band.maxRpm);
    m_budget = budget;
    m_scores.clear();
    m_order.clear();
    m_elite.clear();
    m_history.clear();
    m_testsRun = 0;
    m_failedTests = 0;
    m_climbs.clear();
    m_closed.clear();
    m_lined.clear();

    BuildLattice();
    m_stage = Stage::Lattice;
    m_iterator.PrepareSearch();
    return true;
}

float IteratorSearch::GetBestScore() const
{
    TORQ_ASSERT(!m_elite.empty());
    return m_elite.front().score;
}

// ---------------------------------------------------------------- batches

bool IteratorSearch::RunBatch()
{
    TORQ_ASSERT(m_stage != Stage::Idle);
    while (m_stage != Stage::Done) {
        std::vector<GridPoint> wanted;
        switch (m_stage) {
            case Stage::Lattice:
                wanted = PlanLattice();
                break;
            case Stage::Climbs:
                wanted = PlanClimbs();
                break;
            case Stage::Closure:
                wanted = PlanClosure();
                break;
            case Stage::Lines:
                wanted = PlanLines();
                break;
            case Stage::Idle:
            case Stage::Done:
                ReportAssertion(__FILE__, __LINE__);
        }
        const std::vector<GridPoint> fresh = FreshPoints(wanted);
        Evaluate(fresh);
        if (ReachedBudget()) {
            Finish();
        } else if (m_stage == Stage::Lattice && m_latticeNext == m_lattice.size()) {
            StartClimbs();
        } else if (m_stage == Stage::Climbs) {
            UpdateClimbs();
        }
        if (!fresh.empty()) return true;
    }
    return false;
}

// The points of the batch that have not run yet, each once, in the order
// planned, cut to what is left of the budget.
std::vector<GridPoint> IteratorSearch::FreshPoints(const std::vector<GridPoint>& wanted)
{
    std::vector<GridPoint> fresh;
    std::unordered_set<std::int64_t> planned;
    for (const GridPoint& point : wanted) {
        if (m_budget > 0 && m_testsRun + static_cast<std::int64_t>(fresh.size()) >= m_budget) break;
        const std::int64_t test = m_grid->TestNumber(point);
        if (m_scores.count(test) != 0 || !planned.insert(test).second) continue;
        fresh.push_back(point);
    }
    return fresh;
}

void IteratorSearch::Evaluate(const std::vector<GridPoint>& points)
{
    if (points.empty()) return;
    std::vector<CombinationValues> values;
    values.reserve(points.size());
    for (const GridPoint& point : points) values.push_back(m_grid->Values(point));
    std::vector<StudyRunner::Outcome> outcomes(points.size());
    const IteratorTest& iterator = m_iterator;
    m_runner.Run(
        iterator.GetWorkingEngine(),
        [&](std::size_t i, CTorqDoc& engine) {
            iterator.ApplyValues(engine, values[i]);
            return true;
        },
        outcomes);
    for (std::size_t i = 0; i < points.size(); ++i) Record(m_grid->TestNumber(points[i]), outcomes[i]);
}

void IteratorSearch::Record(std::int64_t testNumber, const StudyRunner::Outcome& outcome)
{
    ++m_testsRun;
    m_order.push_back(testNumber);
    if (outcome.kind != StudyRunner::Outcome::Kind::Simulated) {
        ++m_failedTests;
        m_scores.emplace(testNumber, kFailed);
        return;
    }
    const float score = StudyScore(outcome.results, m_criterion, m_band);
    m_scores.emplace(testNumber, score);
    if (m_elite.empty() || score > m_elite.front().score) m_history.push_back({m_testsRun, score});
    const auto place = std::find_if(m_elite.begin(), m_elite.end(), [&](const Found& found) {
        return Ranks(score, testNumber, found.score, found.testNumber);
    });
    if (place == m_elite.end() && m_elite.size() == kEliteCount) return;
    m_elite.insert(place, Found{testNumber, score, outcome.results});
    if (m_elite.size() > kEliteCount) m_elite.pop_back();
}

void IteratorSearch::Finish()
{
    m_stage = Stage::Done;
    KeepResults();
}

float IteratorSearch::ScoreOf(const GridPoint& point) const
{
    const auto found = m_scores.find(m_grid->TestNumber(point));
    TORQ_ASSERT(found != m_scores.end());
    return found->second;
}

bool IteratorSearch::WasRun(const GridPoint& point) const
{
    return m_scores.count(m_grid->TestNumber(point)) != 0;
}

// ---------------------------------------------------------------- lattice

// Two values per slot (its ends), then one more at a time for the slot
// whose values lie furthest apart, while the lattice stays within its size:
// about equal spacing in step indexes on every slot. The points are then
// ordered coarse to fine, and in test-number order within a generation.
void IteratorSearch::BuildLattice()
{
    const long double target = std::clamp(std::sqrt(static_cast<long double>(m_grid->Size())),
                                          kFewestLatticePoints, kMostLatticePoints);
    const int dimensions = m_grid->Dimensions();
    m_levels.assign(static_cast<std::size_t>(dimensions), 2);
    long double points = std::pow(2.0L, dimensions);
    for (;;) {
        int widest = -1;
        double widestSpacing = 1.0;
        for (int k = 0; k < dimensions; ++k) {
            const std::int32_t levels = m_levels[static_cast<std::size_t>(k)];
            const double spacing = double(m_grid->Steps(k) - 1) / double(levels - 1);
            if (spacing > widestSpacing) {
                widest = k;
                widestSpacing = spacing;
            }
        }
        if (widest < 0) break;
        std::int32_t& levels = m_levels[static_cast<std::size_t>(widest)];
        const long double grown = points / levels * (levels + 1);
        if (grown > target) break;
        points = grown;
        ++levels;
    }

    std::vector<std::vector<int>> generations;
    for (std::int32_t levels : m_levels) generations.push_back(Generations(levels));
    std::vector<std::pair<int, std::int64_t>> order;  // generation, test number
    m_lattice.clear();
    const auto count = static_cast<std::int64_t>(points);
    for (std::int64_t j = 0; j < count; ++j) {
        GridPoint point{};
        int generation = 0;
        std::int64_t rest = j;
        for (int k = dimensions; k-- > 0;) {
            const auto axis = static_cast<std::size_t>(k);
            const std::int32_t levels = m_levels[axis];
            const auto level = static_cast<std::int32_t>(rest % levels);
            rest /= levels;
            point[axis] = LatticeStep(level, levels, m_grid->Steps(k));
            generation = std::max(generation, generations[axis][static_cast<std::size_t>(level)]);
        }
        order.emplace_back(generation, m_grid->TestNumber(point));
    }
    std::sort(order.begin(), order.end());
    for (const auto& [generation, test] : order) m_lattice.push_back(m_grid->PointOf(test));
    m_latticeNext = 0;
}

std::vector<GridPoint> IteratorSearch::PlanLattice()
{
    const std::size_t end = std::min(m_lattice.size(), m_latticeNext + kLatticeBatch);
    std::vector<GridPoint> points(m_lattice.begin() + static_cast<std::ptrdiff_t>(m_latticeNext),
                                  m_lattice.begin() + static_cast<std::ptrdiff_t>(end));
    m_latticeNext = end;
    return points;
}

// ---------------------------------------------------------------- climbs

// From the best lattice points, each at least a lattice spacing away on
// some slot from every better start: so that the climbs explore different
// hills rather than one.
void IteratorSearch::StartClimbs()
{
    std::vector<std::pair<std::int64_t, float>> ranked;
    for (const auto& [test, score] : m_scores) {
        if (score != kFailed) ranked.emplace_back(test, score);
    }
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& a, const auto& b) { return Ranks(a.second, a.first, b.second, b.first); });
    const int dimensions = m_grid->Dimensions();
    GridPoint spacing{};
    GridPoint firstSteps{};
    for (int k = 0; k < dimensions; ++k) {
        const auto axis = static_cast<std::size_t>(k);
        const double width = double(m_grid->Steps(k) - 1) / double(m_levels[axis] - 1);
        spacing[axis] = static_cast<std::int32_t>(std::ceil(width));
        firstSteps[axis] = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(width / 2.0)));
    }
    for (const auto& [test, score] : ranked) {
        if (m_climbs.size() == kClimbCount) break;
        const GridPoint point = m_grid->PointOf(test);
        const bool apart = std::all_of(m_climbs.begin(), m_climbs.end(), [&](const Climb& climb) {
            for (int k = 0; k < dimensions; ++k) {
                const auto axis = static_cast<std::size_t>(k);
                if (std::abs(climb.point[axis] - point[axis]) >= spacing[axis]) return true;
            }
            return false;
        });
        if (apart) m_climbs.push_back(Climb{point, score, firstSteps, false});
    }
    m_stage = Stage::Climbs;
}

// One step up and one down on every slot; a step past the end of a slot
// stops at the end.
void IteratorSearch::AddPolls(const GridPoint& from, const GridPoint& steps,
                              std::vector<GridPoint>& polls) const
{
    for (int k = 0; k < m_grid->Dimensions(); ++k) {
        const auto axis = static_cast<std::size_t>(k);
        const std::int32_t last = m_grid->Steps(k) - 1;
        for (const std::int32_t target : {from[axis] + steps[axis], from[axis] - steps[axis]}) {
            const std::int32_t clipped = std::clamp(target, 0, last);
            if (clipped == from[axis]) continue;
            GridPoint poll = from;
            poll[axis] = clipped;
            polls.push_back(poll);
        }
    }
}

std::vector<GridPoint> IteratorSearch::PlanClimbs()
{
    std::vector<GridPoint> polls;
    for (const Climb& climb : m_climbs) {
        if (!climb.finished) AddPolls(climb.point, climb.steps, polls);
    }
    if (polls.empty()) m_stage = Stage::Closure;
    return polls;
}

void IteratorSearch::UpdateClimbs()
{
    const int dimensions = m_grid->Dimensions();
    for (std::size_t c = 0; c < m_climbs.size(); ++c) {
        Climb& climb = m_climbs[c];
        if (climb.finished) continue;
        std::vector<GridPoint> polls;
        AddPolls(climb.point, climb.steps, polls);
        const GridPoint* best = nullptr;
        float bestScore = climb.score;
        std::int64_t bestTest = 0;
        for (const GridPoint& poll : polls) {
            const float score = ScoreOf(poll);
            const std::int64_t test = m_grid->TestNumber(poll);
            if (score > climb.score && (best == nullptr || Ranks(score, test, bestScore, bestTest))) {
                best = &poll;
                bestScore = score;
                bestTest = test;
            }
        }
        if (best != nullptr) {
            climb.point = *best;
            climb.score = bestScore;
        } else {
            bool single = true;
            for (int k = 0; k < dimensions; ++k) {
                std::int32_t& step = climb.steps[static_cast<std::size_t>(k)];
                single = single && step == 1;
                step = (step + 1) / 2;
            }
            climb.finished = single;
        }
        // A climb that reaches another's point would repeat it.
        for (std::size_t other = 0; other < c; ++other) {
            if (m_climbs[other].point == climb.point) climb.finished = true;
        }
    }
}

// ---------------------------------------------------------------- closure

std::vector<GridPoint> IteratorSearch::PlanClosure()
{
    std::vector<GridPoint> neighbours;
    const std::size_t kept = std::min<std::size_t>(m_elite.size(), kBestResultCount);
    GridPoint single{};
    single.fill(1);
    for (std::size_t i = 0; i < kept; ++i) {
        const std::int64_t test = m_elite[i].testNumber;
        if (!m_closed.insert(test).second) continue;
        AddPolls(m_grid->PointOf(test), single, neighbours);
    }
    if (neighbours.empty()) m_stage = Stage::Lines;
    return neighbours;
}

std::vector<GridPoint> IteratorSearch::PlanLines()
{
    if (m_elite.empty() || !m_lined.insert(m_elite.front().testNumber).second) {
        Finish();
        return {};
    }
    const GridPoint best = m_grid->PointOf(m_elite.front().testNumber);
    std::vector<GridPoint> line;
    for (int k = 0; k < m_grid->Dimensions(); ++k) {
        const auto axis = static_cast<std::size_t>(k);
        const std::int32_t steps = m_grid->Steps(k);
        const std::int32_t values = std::min(steps, kMostLineValues);
        for (std::int32_t level = 0; level < values; ++level) {
            GridPoint point = best;
            point[axis] = LatticeStep(level, values, steps);
            line.push_back(point);
        }
    }
    m_stage = Stage::Closure;
    return line;
}

// ---------------------------------------------------------------- kept results

std::vector<std::size_t> IteratorSearch::KeptSlots(const std::vector<float>& scores)
{
    std::vector<std::size_t> slots;
    std::size_t ring = kBestResultCount - 1;
    std::size_t lowest = 0;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        std::size_t slot;
        if (slots.size() < kBestResultCount) {
            ring = (ring + 1) % kBestResultCount;
            slots.push_back(i);
            slot = ring;
        } else if (scores[i] > scores[slots[lowest]]) {
            slot = lowest;
        } else {
            continue;
        }
        slots[slot] = i;
        lowest = 0;
        for (std::size_t k = 1; k < slots.size(); ++k) {
            if (scores[slots[k]] < scores[slots[lowest]]) lowest = k;
        }
    }
    return slots;
}

void IteratorSearch::KeepResults()
{
    // The tests with results in test-number order, as a series offers them.
    std::vector<std::int64_t> tests;
    for (const auto& [test, score] : m_scores) {
        if (score != kFailed) tests.push_back(test);
    }
    std::sort(tests.begin(), tests.end());
    std::vector<float> scores;
    scores.reserve(tests.size());
    for (std::int64_t test : tests) scores.push_back(m_scores.at(test));
    const std::vector<std::size_t> slots = KeptSlots(scores);

    std::array<bool, kBestResultCount> keep{};
    for (int i = 0; i < kBestResultCount; ++i) keep[static_cast<std::size_t>(i)] = m_iterator.GetKeepFlag(i);
    m_iterator.PrepareSearch();
    // Offered in slot order to an empty ten, each takes the next slot.
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        const std::int64_t test = tests[slots[slot]];
        const auto found = std::find_if(m_elite.begin(), m_elite.end(),
                                        [&](const Found& entry) { return entry.testNumber == test; });
        TORQ_ASSERT(found != m_elite.end());
        IteratorTest::TestOutcome outcome;
        outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
        outcome.results = found->results;
        bool isNewBest = false;
        m_iterator.FinishTest(m_grid->Values(m_grid->PointOf(test)), test, outcome, isNewBest);
        const int index = static_cast<int>(slot);
        TORQ_ASSERT(isNewBest && m_iterator.GetBestTestNumber(index) == test);
        TORQ_ASSERT(m_iterator.GetBestScore(index) == found->score);
        m_iterator.SetKeepFlag(index, keep[slot]);
    }
}
