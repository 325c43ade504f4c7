#pragma once

#include <optional>

// How one engine's results differ from a baseline engine's at the same
// engine speed: in the series' own units (hp, ft-lbs, psi, ...) or in per
// cent of the baseline's figure. The graph draws these as difference curves
// and the cursor read-out gives both at the point it stands on.
enum class DifferenceKind { None, Units, Percent };
inline constexpr int kDifferenceKindCount = 3;

// value - baseline, in the series' units.
double DifferenceInUnits(double value, double baseline);
// 100 (value - baseline) / baseline; none where the baseline is 0 (an
// engine that makes no power at that speed), where no share can be given.
std::optional<double> DifferenceInPercent(double value, double baseline);
// Either, as the kind asks; None gives the value itself.
std::optional<double> Difference(DifferenceKind kind, double value, double baseline);

// "Values", "Difference", "Difference (%)": the choices of the graph's properties.
const char* DifferenceKindName(DifferenceKind kind);
