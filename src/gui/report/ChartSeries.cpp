#include "ChartSeries.h"

#include "base/ErrCode.h"

#include <utility>

namespace {

constexpr std::array<ChartSeriesInfo, kChartSeriesCount> kSeriesTable{{
    {0, "(None)", " ", "(None)", {{{0, 0}, {0, 0}, {0, 0}}}},
    {1, "Engine Speed (RPM)", "RPM", "Engine Speed", {{{0, 5000}, {0, 8000}, {0, 11000}}}},
    {2, "Power (HP)", "HP", "Power", {{{0, 500}, {0, 1000}, {0, 2000}}}},
    {3, "Torque (ft-lbs)", "ft-lbs", "Torque", {{{0, 500}, {0, 1000}, {0, 2000}}}},
    {4, "Manifold Pressure (psi)", "psi", "Manifold Pressure", {{{0, 10}, {0, 15}, {0, 20}}}},
    {5, "Volumetric Eff.(%)", "%", "Volumetric Eff.", {{{0, 50}, {0, 75}, {0, 100}}}},
    {6, "IMEP (psi)", "psi", "IMEP", {{{0, 50}, {0, 100}, {0, 500}}}},
    {7, "BMEP (psi)", "psi", "BMEP", {{{0, 50}, {0, 100}, {0, 500}}}},
    {8, "FMEP (psi)", "psi", "FMEP", {{{0, 50}, {0, 100}, {0, 500}}}},
}};

constexpr std::array<const char*, kChartRangeKinds> kRangeKindNames{"Auto-Range", "Low-Range", "Mid-Range",
                                                                    "Hi-Range"};

}  // namespace

const ChartSeriesInfo& GetChartSeries(int index)
{
    TORQ_ASSERT(index >= 0 && index < kChartSeriesCount);
    const ChartSeriesInfo& info = kSeriesTable[static_cast<std::size_t>(index)];
    TORQ_ASSERT(info.index == index);
    return info;
}

std::string ChartSeriesTitle(int index, ResultUnits units)
{
    const ChartSeriesInfo& info = GetChartSeries(index);
    if (units == ResultUnits::English || index == 0 || ConvertResult(index, 1.0, units) == 1.0)
        return info.title;
    return std::string(info.menuName) + " (" + ResultUnitLabel(index, units) + ")";
}

const char* GetRangeKindName(int rangeKind)
{
    TORQ_ASSERT(rangeKind >= 0 && rangeKind < kChartRangeKinds);
    return kRangeKindNames[static_cast<std::size_t>(rangeKind)];
}

void ChartAxisDescription::SetSeries(int newSeries)
{
    const ChartSeriesInfo& info = GetChartSeries(newSeries);
    series = newSeries;
    title = info.title;
    units = info.units;
    SetRangeKind(rangeKind);
}

void ChartAxisDescription::SetRangeKind(int newKind)
{
    TORQ_ASSERT(newKind >= 0 && newKind < kChartRangeKinds);
    rangeKind = newKind;
    if (rangeKind != kAutoRange) {
        const auto& range = GetChartSeries(series).fixedRanges[static_cast<std::size_t>(rangeKind - 1)];
        minimum = range[0];
        maximum = range[1];
    }
}

ChartAxisDescription ChartAxisDescription::Make(int series, int rangeKind)
{
    ChartAxisDescription description;
    description.rangeKind = rangeKind;
    description.SetSeries(series);
    return description;
}

const ChartAxisDescription& ChartAxes::operator[](ChartAxis axis) const
{
    switch (axis) {
        case ChartAxis::X:
            return x;
        case ChartAxis::Y1:
            return y1;
        case ChartAxis::Y2:
            return y2;
    }
    ReportAssertion(__FILE__, __LINE__);
}

ChartAxisDescription& ChartAxes::operator[](ChartAxis axis)
{
    return const_cast<ChartAxisDescription&>(std::as_const(*this)[axis]);
}
