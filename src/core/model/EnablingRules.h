#pragma once

#include "DocumentCommands.h"

#include <vector>

class CTorqDoc;
class CTorqSpec;
struct ComponentChoice;

// Which of an engine's values and menu commands a person may set, given the
// rest of the engine. The engine form enables and disables its controls by
// these rules and the command line refuses an option they do not allow, so
// an engine built either way is one the other could have built.
//
//   Forced induction  the blower type and the intercooler only on the
//                     forced-induction manifold; of the blower's figures only
//                     those its kind reads:
//
//                       kind          flow ratio eff speed surge internal belt boost
//                       none           -    -     -    -     -      -      -    -
//                       turbocharger   x    x     x    -     x      -      -    x
//                       centrifugal    x    x     x    x     -      x      x    x
//                       Roots          x    -     x    -     -      -      x    x
//
//   Exhaust           the forced-induction manifold takes the exhaust over:
//                     the system is not chosen while it is on (the form shows
//                     kForcedInductionExhaustText in its place)
//   Nitrous           the nitrous flow only with a fuel that carries nitrous
//   Valve sizes       "Auto Calculate Valve Size" only for one of the listed
//                     heads, not for airflow data of the user's own

// Why a value or command is not available; Enabled when it is.
enum class Enabling {
    Enabled,
    NoForcedInductionManifold,  // the blower type, its figures, the intercooler
    NotReadByBlowerKind,        // a figure the chosen unit's kind does not use
    ExhaustTakenByBlower,       // the exhaust system on the forced-induction manifold
    FuelWithoutNitrous,         // the nitrous flow with a fuel that carries none
    AutoSizesNeedListedHead,    // automatic valve sizes without one of the listed heads
};

inline constexpr const char* kForcedInductionExhaustText = "Forced Induction Exhaust";

// The rule for one of the document's own parameters (compared by identity:
// pass doc.BlowerRpm(), not a copy). A unit kind outside 0 to 3, or a kind
// that does not match the unit ("None" has kind 0, every other unit 1 to 3),
// is an internal consistency failure.
Enabling ParameterEnabling(const CTorqDoc& doc, const CTorqSpec& parameter);
bool IsParameterEnabled(const CTorqDoc& doc, const CTorqSpec& parameter);

// The rule for a choice of the form's popup menus: a choice is available
// while the value it sets is (a blower only on the forced-induction
// manifold, ...).
Enabling ChoiceEnabling(const CTorqDoc& doc, Choice choice);
// The rule for one of the document's own commands: a switch as the
// document's command state says.
Enabling CommandEnabling(const CTorqDoc& doc, EngineCommand command);

// A choice of a group as the engine form offers it now: its row (name and
// values) and whether the rules allow it.
struct ListedChoice {
    Choice choice;
    const ComponentChoice* row;
    Enabling enabling;
};
// Every choice of the group, in menu order.
std::vector<ListedChoice> ListChoices(const CTorqDoc& doc, ChoiceGroup group);

// The form shows kForcedInductionExhaustText instead of the exhaust system.
bool ShowsForcedInductionExhaust(const CTorqDoc& doc);
