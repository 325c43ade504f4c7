#pragma once

#include <variant>

// The commands an engine document answers, by name: a choice from one of
// the component groups of the engine form's popup menus (a row of the
// component choice table), or one of the document's own commands. The
// desktop program's menus carry identifiers of their own (MenuCommands.h)
// and map them to these.

// The groups of the component choice table, one for each list of parts or
// figures that the form offers.
enum class ChoiceGroup {
    ShortBlock,
    CylinderHead,  // the 16 listed heads; airflow data of the user's own is no choice of the list
    IntakeValveDiameter,
    ExhaustValveDiameter,
    IntakeValveLift,
    ExhaustValveLift,
    CompressionRatio,
    Induction,  // flow and the pressure drop it is rated at
    Manifold,
    ForcedInduction,
    Intercooler,
    Fuel,
    ExhaustSystem,
    CamType,
    TimingMethod,
    LifterType,
};

inline constexpr ChoiceGroup kChoiceGroups[] = {
    ChoiceGroup::ShortBlock,           ChoiceGroup::CylinderHead,    ChoiceGroup::IntakeValveDiameter,
    ChoiceGroup::ExhaustValveDiameter, ChoiceGroup::IntakeValveLift, ChoiceGroup::ExhaustValveLift,
    ChoiceGroup::CompressionRatio,     ChoiceGroup::Induction,       ChoiceGroup::Manifold,
    ChoiceGroup::ForcedInduction,      ChoiceGroup::Intercooler,     ChoiceGroup::Fuel,
    ChoiceGroup::ExhaustSystem,        ChoiceGroup::CamType,         ChoiceGroup::TimingMethod,
    ChoiceGroup::LifterType,
};

// One choice: its group and its place in the group's list (0 for the first
// row). ChoicesOf (ComponentTable.h) gives the rows with their names.
struct Choice {
    ChoiceGroup group;
    int index;
    bool operator==(const Choice&) const = default;
};

// The choices the document and the command line name.
namespace NamedChoice {
inline constexpr Choice kForcedInductionManifold{ChoiceGroup::Manifold, 6};   // "Forced Induction"
inline constexpr Choice kNoForcedInduction{ChoiceGroup::ForcedInduction, 0};  // "None"
inline constexpr Choice kCustomTurbo{ChoiceGroup::ForcedInduction, 34};
inline constexpr Choice kCustomCentrifugalBlower{ChoiceGroup::ForcedInduction, 45};
inline constexpr Choice kCustomRootsBlower{ChoiceGroup::ForcedInduction, 70};
inline constexpr Choice kNoIntercooler{ChoiceGroup::Intercooler, 0};  // "None"
inline constexpr Choice kGasoline{ChoiceGroup::Fuel, 0};
inline constexpr Choice kStockExhaust{ChoiceGroup::ExhaustSystem, 0};  // "Stock Manifolds And Mufflers"
inline constexpr Choice kCustomCamType{ChoiceGroup::CamType, 5};       // named by the user
inline constexpr Choice kSeatToSeatTiming{ChoiceGroup::TimingMethod, 0};
inline constexpr Choice kFiftyLiftTiming{ChoiceGroup::TimingMethod, 1};
}  // namespace NamedChoice

// The document's commands that are no row of the table.
enum class EngineCommand {
    OneIntakeValve,  // valves per cylinder
    TwoIntakeValves,
    OneExhaustValve,
    TwoExhaustValves,
    PressureDrop15,  // the induction's rating pressure drop: 1.5 inHg
    PressureDrop30,  // 3.0 inHg
    AutoValveSizes,  // switches
    AutoValveLift,
    AutoRun,
    EnglishUnits,
    MetricUnits,
    Run,
    ClearComponents,
};

using DocumentCommand = std::variant<Choice, EngineCommand>;

// What a menu shows for a command: whether it can be chosen and its check mark.
struct CommandState {
    bool enabled = true;
    bool checked = false;
};

// The outcome of a command.
enum class CommandResult {
    NotHandled,  // not a command of the engine document
    Applied,     // the engine changed
    Refused,     // the user declined a warning, or the command is not available; nothing changed
};
