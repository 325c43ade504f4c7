#include "ResultUnits.h"

#include "TorqDoc.h"
#include "base/ErrCode.h"
#include "base/Units.h"

#include <array>

namespace {

enum class Quantity { None, Power, Torque, Pressure };

Quantity QuantityOf(int series)
{
    TORQ_ASSERT(series >= kSeriesEngineSpeed && series <= kSeriesFmep);
    switch (series) {
        case kSeriesPower:
            return Quantity::Power;
        case kSeriesTorque:
            return Quantity::Torque;
        case kSeriesManifoldPressure:
        case kSeriesImep:
        case kSeriesBmep:
        case kSeriesFmep:
            return Quantity::Pressure;
        default:
            return Quantity::None;
    }
}

struct UnitsText {
    ResultUnits units;
    const char* name;
    const char* key;
};

constexpr std::array<UnitsText, kResultUnitsCount> kUnitsTexts{{
    {ResultUnits::English, "hp, ft-lbs, psi", "english"},
    {ResultUnits::MetricKpa, "kW, N\u00B7m, kPa", "kpa"},
    {ResultUnits::MetricBar, "kW, N\u00B7m, bar", "bar"},
}};

const UnitsText& TextOf(ResultUnits units)
{
    return kUnitsTexts[static_cast<std::size_t>(units)];
}

}  // namespace

ResultUnits ShownResultUnits(ResultUnits chosen, int unitSystem)
{
    return unitSystem == kMetricUnits ? chosen : ResultUnits::English;
}

ResultUnits ShownResultUnits(ResultUnits chosen, const CTorqDoc& document)
{
    return ShownResultUnits(chosen, document.GetUnitSystem());
}

double ConvertResult(int series, double modelValue, ResultUnits units)
{
    if (units == ResultUnits::English) return modelValue;
    switch (QuantityOf(series)) {
        case Quantity::Power:
            return modelValue * kKilowattsPerHorsepower;
        case Quantity::Torque:
            return modelValue * kNewtonMetresPerPoundFoot;
        case Quantity::Pressure:
            return modelValue * (units == ResultUnits::MetricBar ? kBarPerPsi : kKilopascalsPerPsi);
        case Quantity::None:
            break;
    }
    return modelValue;
}

const char* ResultUnitLabel(int series, ResultUnits units)
{
    const bool english = units == ResultUnits::English;
    switch (QuantityOf(series)) {
        case Quantity::Power:
            return english ? "hp" : "kW";
        case Quantity::Torque:
            return english ? "ft-lbs" : "N\u00B7m";
        case Quantity::Pressure:
            return english ? "psi" : units == ResultUnits::MetricBar ? "bar" : "kPa";
        case Quantity::None:
            break;
    }
    return series == kSeriesEngineSpeed ? "rpm" : "%";
}

const char* ResultTableFormat(int series, ResultUnits units)
{
    const Quantity quantity = QuantityOf(series);
    if (quantity == Quantity::None) return series == kSeriesEngineSpeed ? "%.0f" : "%.1f";
    if (quantity != Quantity::Pressure) return "%.0f";
    const bool manifold = series == kSeriesManifoldPressure;
    switch (units) {
        case ResultUnits::English:
            return manifold ? "%.2f" : "%.1f";
        case ResultUnits::MetricKpa:  // 14.70 psi = 101.4 kPa; 151.2 psi = 1043 kPa
            return manifold ? "%.1f" : "%.0f";
        case ResultUnits::MetricBar:  // 14.70 psi = 1.014 bar; 151.2 psi = 10.43 bar
            return manifold ? "%.3f" : "%.2f";
    }
    return "%.1f";
}

const char* ResultUnitsName(ResultUnits units)
{
    return TextOf(units).name;
}

const char* ResultUnitsKey(ResultUnits units)
{
    return TextOf(units).key;
}

bool ResultUnitsFromKey(const std::string& key, ResultUnits& units)
{
    for (const UnitsText& text : kUnitsTexts) {
        if (key == text.key) {
            units = text.units;
            return true;
        }
    }
    return false;
}
