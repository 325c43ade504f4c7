#include "MatchFigures.h"

#include "base/ErrCode.h"
#include "base/Units.h"
#include "base/Util.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Steps and bands in English units: inches, crank degrees, cfm, ratio.
constexpr std::array<MatchFigureInfo, kMatchFigureCount> kFigures = {{
    {MatchFigure::Bore, "bore", "Bore", 0.010, 0.001, 0.060, false},
    {MatchFigure::Stroke, "stroke", "Stroke", 0.010, 0.001, 0.125, false},
    {MatchFigure::Compression, "compression", "Compression", 0.1, 0.01, 1.5, false},
    {MatchFigure::Ivo, "ivo", "IVO", 2.0, 0.5, 20.0, false},
    {MatchFigure::Ivc, "ivc", "IVC", 2.0, 0.5, 20.0, false},
    {MatchFigure::Evo, "evo", "EVO", 2.0, 0.5, 20.0, false},
    {MatchFigure::Evc, "evc", "EVC", 2.0, 0.5, 20.0, false},
    {MatchFigure::IntakeLift, "int-lift", "Int Lift", 0.010, 0.001, 0.100, false},
    {MatchFigure::ExhaustLift, "exh-lift", "Exh Lift", 0.010, 0.001, 0.100, false},
    {MatchFigure::Induction, "induction", "Induction", 25.0, 1.0, 30.0, true},
    {MatchFigure::IntakeValve, "intake-valve", "Int Valve", 0.010, 0.001, 0.150, false},
    {MatchFigure::ExhaustValve, "exhaust-valve", "Exh Valve", 0.010, 0.001, 0.150, false},
}};

double Factor(const CFloatPtSpec& spec)
{
    return spec.IsMetric() ? double(spec.GetFactor()) : 1.0;
}

// The lattice value nearest above (up) or below a value.
double OnLattice(double value, double resolution, bool up)
{
    // A hair of slack, so that a value that is a lattice point in decimal
    // but not quite in binary stays where it is.
    const double steps = value / resolution;
    const double whole = up ? std::ceil(steps - 1e-6) : std::floor(steps + 1e-6);
    return whole * resolution;
}

// A value as the parameter shows it, with its unit when it has one: "2.800 in", "6.00".
std::string Shown(const CFloatPtSpec& spec, double value)
{
    std::string text = FormatC(FindUnitInfo(spec.GetUnitCode())->format, value);
    const std::string label = TrimBlanks(spec.GetUnitsLabel());
    return label.empty() ? text : text + " " + label;
}

}  // namespace

const MatchFigureInfo& FigureInfo(MatchFigure figure)
{
    const auto index = static_cast<std::size_t>(figure);
    TORQ_ASSERT(index < kFigures.size() && kFigures[index].figure == figure);
    return kFigures[index];
}

std::span<const MatchFigureInfo> AllMatchFigures()
{
    return kFigures;
}

std::optional<MatchFigure> MatchFigureNamed(std::string_view name)
{
    for (const MatchFigureInfo& info : kFigures) {
        if (name == info.name) return info.figure;
    }
    return std::nullopt;
}

CFloatPtSpec& FigureParameter(CTorqDoc& engine, MatchFigure figure)
{
    switch (figure) {
        case MatchFigure::Bore:
            return engine.Bore();
        case MatchFigure::Stroke:
            return engine.Stroke();
        case MatchFigure::Compression:
            return engine.CompressionRatio();
        case MatchFigure::Ivo:
            return engine.Cam().NominalIvo();
        case MatchFigure::Ivc:
            return engine.Cam().NominalIvc();
        case MatchFigure::Evo:
            return engine.Cam().NominalEvo();
        case MatchFigure::Evc:
            return engine.Cam().NominalEvc();
        case MatchFigure::IntakeLift:
            return engine.Cam().IntakeLift();
        case MatchFigure::ExhaustLift:
            return engine.Cam().ExhaustLift();
        case MatchFigure::Induction:
            return engine.InductionFlow();
        case MatchFigure::IntakeValve:
            return engine.IntakeValveDiameter();
        case MatchFigure::ExhaustValve:
            return engine.ExhaustValveDiameter();
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& FigureParameter(const CTorqDoc& engine, MatchFigure figure)
{
    return FigureParameter(const_cast<CTorqDoc&>(engine), figure);
}

double EnglishValue(const CTorqDoc& engine, MatchFigure figure)
{
    return FigureParameter(engine, figure).GetEnglishValue();
}

double ToShownUnits(const CTorqDoc& engine, MatchFigure figure, double english)
{
    return english * Factor(FigureParameter(engine, figure));
}

double ToEnglishUnits(const CTorqDoc& engine, MatchFigure figure, double shown)
{
    return shown / Factor(FigureParameter(engine, figure));
}

FigureRange ParameterRange(const CTorqDoc& engine, MatchFigure figure)
{
    const CFloatPtSpec& spec = FigureParameter(engine, figure);
    return {figure, spec.GetEnglishMinimum(), spec.GetEnglishMaximum()};
}

FigureRange DefaultRange(const CTorqDoc& engine, MatchFigure figure)
{
    const MatchFigureInfo& info = FigureInfo(figure);
    const FigureRange limits = ParameterRange(engine, figure);
    // Today's value on the lattice first: a float's last bits must not move a band's end by a step.
    const double today = std::round(EnglishValue(engine, figure) / info.resolution) * info.resolution;
    const double half = info.bandInPercent ? today * info.halfBand / 100.0 : info.halfBand;
    // Ends on the natural step, so that the band reads as a builder would give it.
    double min = OnLattice(today - half, info.naturalStep, false);
    double max = OnLattice(today + half, info.naturalStep, true);
    min = std::max(min, OnLattice(limits.min, info.resolution, true));
    max = std::min(max, OnLattice(limits.max, info.resolution, false));
    return {figure, min, max};
}

std::string CheckRange(const CTorqDoc& engine, const FigureRange& range)
{
    const FigureRange limits = ParameterRange(engine, range.figure);
    const CFloatPtSpec& spec = FigureParameter(engine, range.figure);
    const auto inside = [&](double value) {
        return spec.IsInRange(float(ToShownUnits(engine, range.figure, value)));
    };
    if (!(range.min < range.max)) return "the range's minimum is not below its maximum";
    if (!inside(range.min) || !inside(range.max)) {
        const auto shown = [&](double english) {
            return Shown(spec, ToShownUnits(engine, range.figure, english));
        };
        return "the range must lie within " + shown(limits.min) + " to " + shown(limits.max);
    }
    return {};
}
