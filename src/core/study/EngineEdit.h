#pragma once

#include "model/DocumentCommands.h"
#include "model/EnablingRules.h"
#include "model/TorqDoc.h"

#include <span>
#include <string>
#include <string_view>

// The edits a study makes to a copy of the user's engine, each one a user
// could make on the engine form: a choice from one of its popup menus, an
// induction rating typed in, a number typed into a field, or keeping what
// the engine has. A study's engine is the base engine with its edits applied
// in order, then recalculated: the engine the user gets by making the same
// edits by hand, so that its run gives the same figures to the bit.

// The numbers of the form that a study steps, named as iterate --sweep and
// new's options name them.
enum class NumberParameter {
    Bore,
    Stroke,
    Compression,
    IntakeValve,
    ExhaustValve,
    Induction,
    Nitrous,
    BlowerFlow,
    BlowerPressureRatio,
    BlowerEfficiency,
    BlowerRpm,
    BlowerSurgeFlow,
    BlowerInternalGear,
    BlowerBeltGear,
    BoostLimit,
    Intercooler,
    Ivo,
    Ivc,
    Evo,
    Evc,
    Advance,
    IntakeLift,
    ExhaustLift,
};

struct NumberParameterInfo {
    NumberParameter parameter;
    const char* name;   // "bore", "ivc", "int-lift", "blower-rpm"
    float englishStep;  // the step a builder would take, in the English unit
    CFloatPtSpec& (*spec)(CTorqDoc& engine);
};

// Every number parameter in the order of the form, top to bottom.
std::span<const NumberParameterInfo> NumberParameters();
const NumberParameterInfo& NumberParameterOf(NumberParameter parameter);
const CFloatPtSpec& ParameterSpec(const CTorqDoc& engine, NumberParameter parameter);

struct EngineEdit {
    enum class Kind {
        KeepOwn,          // nothing changes: the engine's own part stays
        MenuChoice,       // a row of the component choice table
        InductionRating,  // the induction flow and the pressure drop it is rated at
        Number,           // a number typed into a field of the form
    };
    Kind kind = Kind::KeepOwn;
    Choice choice{ChoiceGroup::CylinderHead, 0};        // MenuChoice: the row
    float cfm = 0.0f;                                   // InductionRating: flow (cfm) ...
    float inHg = 1.5f;                                  // ... at this pressure drop (inHg)
    NumberParameter parameter = NumberParameter::Bore;  // Number: the field ...
    std::string text;                                   // ... and what is typed, in its units

    static EngineEdit Pick(Choice choice);
    static EngineEdit Rating(float cfm, float inHg);
    static EngineEdit Typed(NumberParameter parameter, std::string text);
};

// Whether the engine form allows the edit on the engine as it stands.
Enabling EditEnabling(const CTorqDoc& engine, const EngineEdit& edit);

// Applies the edits in order to engine (a copy of the base engine), each
// only where the form allows it, then recalculates the derived values
// without running (Auto Run is kept as it was). False, with the engine half
// made, when the form or the document refuses an edit.
//
// The document may want to show a note about a choice (4-valve heads,
// individual runners): a study runs with QuietMessages installed.
bool MakeEditedEngine(CTorqDoc& engine, std::span<const EngineEdit> edits);

// The name of a menu choice as the form shows it ("Dual-Plane Manifold").
std::string ChoiceName(Choice choice);

// Keeps the document's notes to itself while a study makes engines on
// several threads: messages go nowhere, warnings are answered Cancel.
class QuietMessages {
public:
    QuietMessages();
    ~QuietMessages();
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

private:
    MessagePresenter* m_previous;
};
