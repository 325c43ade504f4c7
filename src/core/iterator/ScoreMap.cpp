#include "ScoreMap.h"

#include "base/ErrCode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kNoScore = std::numeric_limits<float>::quiet_NaN();

}  // namespace

IteratorScoreMap::Axis IteratorScoreMap::MakeAxis(IterationDataType type, float minValue, float maxValue,
                                                  float stepValue)
{
    Axis axis;
    axis.type = type;
    axis.minValue = minValue;
    axis.maxValue = maxValue;
    axis.stepValue = stepValue;
    axis.steps = std::max<std::int32_t>(1, CountSteps(minValue, maxValue, stepValue));
    axis.cells = std::min<int>(axis.steps, kMostCells);
    return axis;
}

void IteratorScoreMap::Reset(const std::vector<Axis>& axes)
{
    TORQ_ASSERT(axes.size() <= std::size_t(kMostAxes));
    m_axes = axes;
    m_tests = 0;
    m_pairs.clear();
    for (std::size_t first = 0; first < m_axes.size(); ++first) {
        for (std::size_t second = first + 1; second < m_axes.size(); ++second) {
            m_pairs.emplace_back(static_cast<std::size_t>(m_axes[first].cells * m_axes[second].cells),
                                 kNoScore);
        }
    }
}

std::size_t IteratorScoreMap::PairIndex(int first, int second) const
{
    // Pairs are stored (0,1), (0,2), ... (0,n-1), (1,2), ...
    const int n = AxisCount();
    return static_cast<std::size_t>(first) * static_cast<std::size_t>(2 * n - first - 1) / 2 +
           static_cast<std::size_t>(second - first - 1);
}

const IteratorScoreMap::Axis& IteratorScoreMap::GetAxis(int axis) const
{
    TORQ_ASSERT(axis >= 0 && axis < AxisCount());
    return m_axes[static_cast<std::size_t>(axis)];
}

std::int32_t IteratorScoreMap::StepOf(int axis, float value) const
{
    const Axis& a = GetAxis(axis);
    if (value >= a.maxValue || a.steps <= 1) return a.steps - 1;
    // Min + k Step for the steps before the last; the sweep adds its step in
    // floats, so the quotient lies within a rounding of k.
    const long step = std::lround((static_cast<double>(value) - a.minValue) / a.stepValue);
    return static_cast<std::int32_t>(std::clamp<long>(step, 0, a.steps - 2));
}

int IteratorScoreMap::CellOf(int axis, float value) const
{
    const Axis& a = GetAxis(axis);
    return static_cast<int>(std::int64_t(StepOf(axis, value)) * a.cells / a.steps);
}

float IteratorScoreMap::SweepValue(int axis, std::int32_t step) const
{
    const Axis& a = GetAxis(axis);
    if (step >= a.steps - 1) return a.maxValue;
    return static_cast<float>(a.minValue + static_cast<double>(step) * a.stepValue);
}

float IteratorScoreMap::CellLowValue(int axis, int cell) const
{
    const Axis& a = GetAxis(axis);
    TORQ_ASSERT(cell >= 0 && cell < a.cells);
    // The first step whose cell is this one: ceil(cell x steps / cells).
    const std::int64_t step = (std::int64_t(cell) * a.steps + a.cells - 1) / a.cells;
    return SweepValue(axis, static_cast<std::int32_t>(step));
}

float IteratorScoreMap::CellHighValue(int axis, int cell) const
{
    const Axis& a = GetAxis(axis);
    TORQ_ASSERT(cell >= 0 && cell < a.cells);
    const std::int64_t nextFirst = (std::int64_t(cell + 1) * a.steps + a.cells - 1) / a.cells;
    return SweepValue(axis, static_cast<std::int32_t>(nextFirst - 1));
}

void IteratorScoreMap::Record(const float* values, float score)
{
    ++m_tests;
    const int n = AxisCount();
    int cells[kMostAxes];
    for (int axis = 0; axis < n; ++axis) cells[axis] = CellOf(axis, values[axis]);
    std::size_t pair = 0;
    for (int first = 0; first < n; ++first) {
        for (int second = first + 1; second < n; ++second, ++pair) {
            float& best = m_pairs[pair][static_cast<std::size_t>(cells[first]) *
                                            static_cast<std::size_t>(m_axes[second].cells) +
                                        static_cast<std::size_t>(cells[second])];
            if (std::isnan(best) || score > best) best = score;
        }
    }
}

IteratorScoreMap::Grid IteratorScoreMap::GetGrid(int xAxis, int yAxis) const
{
    TORQ_ASSERT(xAxis != yAxis);
    Grid grid;
    grid.columns = GetAxis(xAxis).cells;
    grid.rows = GetAxis(yAxis).cells;
    grid.best.assign(static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows), kNoScore);
    const bool xFirst = xAxis < yAxis;
    const std::vector<float>& cells = m_pairs[xFirst ? PairIndex(xAxis, yAxis) : PairIndex(yAxis, xAxis)];
    for (int column = 0; column < grid.columns; ++column) {
        for (int row = 0; row < grid.rows; ++row) {
            // Stored with the lower axis's cells as the rows of the pair.
            const int stored = xFirst ? column * grid.rows + row : row * grid.columns + column;
            const float score = cells[static_cast<std::size_t>(stored)];
            grid.best[static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns) +
                      static_cast<std::size_t>(column)] = score;
            if (std::isnan(score)) continue;
            grid.lowest = grid.empty ? score : std::min(grid.lowest, score);
            grid.highest = grid.empty ? score : std::max(grid.highest, score);
            grid.empty = false;
        }
    }
    return grid;
}
