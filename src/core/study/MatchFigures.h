#pragma once

#include "base/TorqSpec.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

class CTorqDoc;

// The engine figures a match to a dyno pull may free: those a builder is
// least sure of. Every figure is searched on a lattice of short decimals in
// English units (0.001 in, 0.5 degree, 1 cfm, 0.01 of a ratio), values the
// engine file's six decimals hold exactly, so that a matched engine saved and
// opened again gives the very results the match found.
enum class MatchFigure {
    Bore,
    Stroke,
    Compression,
    Ivo,
    Ivc,
    Evo,
    Evc,
    IntakeLift,
    ExhaustLift,
    Induction,
    IntakeValve,
    ExhaustValve,
};

inline constexpr int kMatchFigureCount = 12;

struct MatchFigureInfo {
    MatchFigure figure;
    const char* name;    // on the command line, as iterate --sweep names them: "ivc", "int-lift"
    const char* label;   // in the dialog and the tables: "Intake Closing"
    double naturalStep;  // English: the step a builder changes the figure by (2 degrees, 25 cfm, 0.010 in)
    double resolution;   // English: the lattice the match puts the figure on
    double halfBand;     // English: the default range is today's value plus and minus this...
    bool bandInPercent;  // ...in % of today's value when true
};

const MatchFigureInfo& FigureInfo(MatchFigure figure);
std::span<const MatchFigureInfo> AllMatchFigures();
std::optional<MatchFigure> MatchFigureNamed(std::string_view name);

// The engine's parameter that holds the figure.
CFloatPtSpec& FigureParameter(CTorqDoc& engine, MatchFigure figure);
const CFloatPtSpec& FigureParameter(const CTorqDoc& engine, MatchFigure figure);

// The figure's value in English units (in, degrees, cfm, ratio).
double EnglishValue(const CTorqDoc& engine, MatchFigure figure);

// Conversions of a figure's value between English units and the units the
// engine shows it in (mm for a length in a metric engine).
double ToShownUnits(const CTorqDoc& engine, MatchFigure figure, double english);
double ToEnglishUnits(const CTorqDoc& engine, MatchFigure figure, double shown);

// A figure's range in English units.
struct FigureRange {
    MatchFigure figure;
    double min = 0.0;
    double max = 0.0;
};

// The parameter's own range in English units.
FigureRange ParameterRange(const CTorqDoc& engine, MatchFigure figure);

// Today's value plus and minus the figure's half band (on its natural step),
// inside the parameter's range.
FigureRange DefaultRange(const CTorqDoc& engine, MatchFigure figure);

// A range the user gave: min below max, both inside the parameter's range
// (English units). Empty when it is fine; otherwise why not.
std::string CheckRange(const CTorqDoc& engine, const FigureRange& range);
