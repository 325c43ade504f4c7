#include "SearchGrid.h"

#include "base/ErrCode.h"

namespace {

// The values of a slot in the order the odometer issues them: the sum is
// carried from value to value in a 32-bit float, as the odometer carries
// it, and the last value is Max Value itself.
std::vector<float> SlotValues(const IterationParam& slot, std::int32_t steps)
{
    std::vector<float> values(static_cast<std::size_t>(steps));
    const float step = slot.stepValue.GetValue();
    float value = slot.minValue.GetValue();
    for (std::size_t i = 0; i + 1 < values.size(); ++i) {
        values[i] = value;
        value = value + step;
    }
    values.back() = slot.maxValue.GetValue();
    return values;
}

}  // namespace

SearchGrid::SearchGrid(const IteratorTest& iterator)
{
    std::vector<IterationParam> active;
    for (int i = 0; i < kIterationSlotCount; ++i) {
        IterationParam slot;
        iterator.GetSlot(i, slot);
        if (slot.dataType != kItrNone) active.push_back(slot);
    }
    TORQ_ASSERT(!active.empty());
    m_countedPoints = 1.0L;
    bool stepsFit = true;
    std::vector<std::int32_t> steps;
    for (IterationParam& slot : active) {
        steps.push_back(slot.ComputeSteps());
        TORQ_ASSERT(steps.back() >= 2);
        m_countedPoints *= steps.back();
        stepsFit = stepsFit && steps.back() <= kMostSteps;
    }
    m_searchable = stepsFit && m_countedPoints <= static_cast<long double>(kMostPoints);
    if (!m_searchable) return;

    m_axes.resize(active.size());
    m_size = 1;
    for (std::size_t k = active.size(); k-- > 0;) {
        m_axes[k].values = SlotValues(active[k], steps[k]);
        m_axes[k].stride = m_size;
        m_size *= steps[k];
    }
}

CombinationValues SearchGrid::Values(const GridPoint& point) const
{
    CombinationValues values{};
    for (int k = 0; k < Dimensions(); ++k) values[Index(k)] = Value(k, point[Index(k)]);
    return values;
}

std::int64_t SearchGrid::TestNumber(const GridPoint& point) const
{
    std::int64_t number = 1;
    for (std::size_t k = 0; k < m_axes.size(); ++k) {
        TORQ_ASSERT(point[k] >= 0 && Index(point[k]) < m_axes[k].values.size());
        number += point[k] * m_axes[k].stride;
    }
    return number;
}

GridPoint SearchGrid::PointOf(std::int64_t testNumber) const
{
    TORQ_ASSERT(testNumber >= 1 && testNumber <= m_size);
    GridPoint point{};
    std::int64_t rest = testNumber - 1;
    for (std::size_t k = 0; k < m_axes.size(); ++k) {
        point[k] = static_cast<std::int32_t>(rest / m_axes[k].stride);
        rest %= m_axes[k].stride;
    }
    return point;
}
