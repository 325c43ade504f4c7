#pragma once

#include "iterator/Iterator.h"

#include <array>
#include <cstdint>
#include <vector>

// A combination as step indexes: element k is the index (0 .. steps - 1) of
// the value of the k-th active slot; the elements past the active slots are 0.
using GridPoint = std::array<std::int32_t, kIterationSlotCount>;

// The combinations of an iterator series as a lattice with one axis per
// active slot, in slot order, so that a search can pick any of them: the
// values each slot takes, exactly as the series' odometer issues them (Min
// Value, then Step Value added in 32-bit floats, and Max Value itself last),
// and the test number the series gives each combination (the first slot
// changes slowest). A combination and its test number therefore get the
// same engine, and so the same score to the bit, as that test of the series.
class SearchGrid {
public:
    // The largest grid a search takes: every test number is then exact in a
    // double, as JSON readers keep numbers.
    static constexpr std::int64_t kMostPoints = std::int64_t{1} << 53;
    // The most values one slot may take; far beyond what a step template
    // allows over a parameter's range, it bounds the value tables.
    static constexpr std::int32_t kMostSteps = 1 << 20;

    // The active slots of a configured iterator (a slot's steps as
    // IterationParam::ComputeSteps counts them).
    explicit SearchGrid(const IteratorTest& iterator);

    // Within kMostPoints and kMostSteps; nothing else may be asked otherwise.
    bool IsSearchable() const { return m_searchable; }
    // The number of combinations, as a floating value also when it is too large.
    long double CountedPoints() const { return m_countedPoints; }

    int Dimensions() const { return static_cast<int>(m_axes.size()); }
    std::int32_t Steps(int axis) const
    {
        return static_cast<std::int32_t>(m_axes[Index(axis)].values.size());
    }
    std::int64_t Size() const { return m_size; }

    // The value a slot takes at a step index, in the engine's units.
    float Value(int axis, std::int32_t step) const { return m_axes[Index(axis)].values[Index(step)]; }
    // The values of a combination, as IteratorTest::IssueNextTest gives them.
    CombinationValues Values(const GridPoint& point) const;

    // 1-based, as the series numbers its tests.
    std::int64_t TestNumber(const GridPoint& point) const;
    GridPoint PointOf(std::int64_t testNumber) const;

private:
    struct Axis {
        std::vector<float> values;
        std::int64_t stride = 1;  // test numbers between neighbouring values
    };

    static std::size_t Index(std::int64_t i) { return static_cast<std::size_t>(i); }

    std::vector<Axis> m_axes;
    long double m_countedPoints = 0.0L;
    std::int64_t m_size = 0;
    bool m_searchable = false;
};
