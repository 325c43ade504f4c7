#include "ResultDifference.h"

#include <cmath>

double DifferenceInUnits(double value, double baseline)
{
    return value - baseline;
}

std::optional<double> DifferenceInPercent(double value, double baseline)
{
    if (baseline == 0.0 || !std::isfinite(baseline)) return std::nullopt;
    return 100.0 * (value - baseline) / baseline;
}

std::optional<double> Difference(DifferenceKind kind, double value, double baseline)
{
    switch (kind) {
        case DifferenceKind::None:
            break;
        case DifferenceKind::Units:
            return DifferenceInUnits(value, baseline);
        case DifferenceKind::Percent:
            return DifferenceInPercent(value, baseline);
    }
    return value;
}

const char* DifferenceKindName(DifferenceKind kind)
{
    switch (kind) {
        case DifferenceKind::None:
            break;
        case DifferenceKind::Units:
            return "Difference";
        case DifferenceKind::Percent:
            return "Difference (%)";
    }
    return "Values";
}
