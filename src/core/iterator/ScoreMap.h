#pragma once

#include "IterationParam.h"

#include <cstdint>
#include <vector>

// Where in a series the good scores lie: for every two swept parameters, the
// best score of the tests whose values fell in each cell of the two sweeps,
// over all the other swept parameters. The run dialog draws one pair as a
// heat map beside the kept results.
//
// A sweep of up to kMostCells values has a cell per value; a longer one
// shares its values out over kMostCells cells in order, so that memory stays
// small whatever the series (28 pairs of at most 60 x 60 cells).
class IteratorScoreMap {
public:
    static constexpr int kMostCells = 60;
    static constexpr int kMostAxes = 9;  // the iterator's slots

    struct Axis {
        IterationDataType type = kItrNone;
        float minValue = 0.0f;  // in the units the series sweeps them in (the engine's)
        float maxValue = 0.0f;
        float stepValue = 0.0f;
        std::int32_t steps = 0;  // values in the sweep (CountSteps)
        int cells = 0;           // min(steps, kMostCells)
    };
    static Axis MakeAxis(IterationDataType type, float minValue, float maxValue, float stepValue);

    // Forgets every score and takes the sweeps of a new series, in slot order.
    void Reset(const std::vector<Axis>& axes);
    // One test's values (one per axis, in the same order) and its score.
    void Record(const float* values, float score);

    int AxisCount() const { return static_cast<int>(m_axes.size()); }
    const Axis& GetAxis(int axis) const;
    std::int64_t GetTestsRecorded() const { return m_tests; }

    // The value's place in its sweep: 0 for Min Value, steps - 1 for Max
    // Value (also where the last step is a short one).
    std::int32_t StepOf(int axis, float value) const;
    int CellOf(int axis, float value) const;
    // The first and the last value of the sweep that fall in a cell.
    float CellLowValue(int axis, int cell) const;
    float CellHighValue(int axis, int cell) const;

    // The best scores over the cells of two different axes: columns are the
    // cells of axis x, rows those of axis y; a cell no test fell in holds NaN.
    struct Grid {
        int columns = 0;
        int rows = 0;
        std::vector<float> best;  // row-major: best[row * columns + column]
        float lowest = 0.0f;      // of the cells that hold a score
        float highest = 0.0f;
        bool empty = true;
        float At(int column, int row) const
        {
            return best[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                        static_cast<std::size_t>(column)];
        }
    };
    Grid GetGrid(int xAxis, int yAxis) const;

private:
    std::size_t PairIndex(int first, int second) const;  // first < second
    float SweepValue(int axis, std::int32_t step) const;

    std::vector<Axis> m_axes;
    std::vector<std::vector<float>> m_pairs;  // cells of first x cells of second, first < second
    std::int64_t m_tests = 0;
};
