// The engine document's commands: a choice of the component choice table
// goes to the rule of its group, one of the document's own commands to its
// rule; either ends by telling the views as its rule says. The document's
// own commands (valve counts, the rating's pressure drop, the switches of
// the Engine menu, Run and Clear Components) are applied here, the choices
// in TorqDocChoices.cpp.

#include "TorqDoc.h"

#include "ComponentTable.h"
#include "DocumentCommands.h"
#include "base/Assertion.h"

#include <variant>

// What a choice of a group applies, and how it ends.
struct CTorqDoc::ChoiceRule {
    ChoiceGroup group;
    void (CTorqDoc::*apply)(Choice choice);
    CommandEnding ending;
    // The parameter the choice changes that the compression calculator's
    // results depend on: the user must agree first (Msg::BoreStrokeAgainstCalculator,
    // Msg::CompressionRatioAgainstCalculator).
    CFloatPtSpec EngineValues::*askedAgainstCalculator = nullptr;
};

struct CTorqDoc::EngineCommandRule {
    EngineCommand command;
    void (CTorqDoc::*apply)(EngineCommand command);
    CommandEnding ending;
};

const CTorqDoc::ChoiceRule& CTorqDoc::RuleFor(ChoiceGroup group)
{
    using enum CommandEnding;
    using G = ChoiceGroup;
    static constexpr ChoiceRule kRules[] = {
        {G::ShortBlock, &CTorqDoc::ApplyShortBlock, ShowInEditor, &EngineValues::bore},
        {G::CylinderHead, &CTorqDoc::ApplyCylinderHead, Recalculate},
        {G::IntakeValveDiameter, &CTorqDoc::ApplyValveDiameter, ShowInEditor},
        {G::ExhaustValveDiameter, &CTorqDoc::ApplyValveDiameter, ShowInEditor},
        {G::IntakeValveLift, &CTorqDoc::ApplyValveLift, ShowInEditor},
        {G::ExhaustValveLift, &CTorqDoc::ApplyValveLift, ShowInEditor},
        {G::CompressionRatio, &CTorqDoc::ApplyCompressionRatio, ShowInEditor,
         &EngineValues::compressionRatio},
        {G::Induction, &CTorqDoc::ApplyInduction, ShowInEditor},
        {G::Manifold, &CTorqDoc::ApplyManifold, ShowInEditor},
        {G::ForcedInduction, &CTorqDoc::ApplyForcedInduction, ShowInEditor},
        {G::Intercooler, &CTorqDoc::ApplyIntercooler, ShowInEditor},
        {G::Fuel, &CTorqDoc::ApplyFuel, ShowInEditor},
        {G::ExhaustSystem, &CTorqDoc::ApplyExhaustSystem, ShowInEditor},
        {G::CamType, &CTorqDoc::ApplyCamType, ShowInEditor},
        {G::TimingMethod, &CTorqDoc::ApplyTimingMethod, ShowInEditor},
        {G::LifterType, &CTorqDoc::ApplyLifterType, ShowInEditor},
    };
    for (const ChoiceRule& rule : kRules) {
        if (rule.group == group) return rule;
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CTorqDoc::EngineCommandRule& CTorqDoc::RuleFor(EngineCommand command)
{
    using enum CommandEnding;
    using E = EngineCommand;
    static constexpr EngineCommandRule kRules[] = {
        {E::OneIntakeValve, &CTorqDoc::ApplyValveCount, ShowInEditor},
        {E::TwoIntakeValves, &CTorqDoc::ApplyValveCount, ShowInEditor},
        {E::OneExhaustValve, &CTorqDoc::ApplyValveCount, ShowInEditor},
        {E::TwoExhaustValves, &CTorqDoc::ApplyValveCount, ShowInEditor},
        {E::PressureDrop15, &CTorqDoc::ApplyPressureDrop, ShowInEditor},
        {E::PressureDrop30, &CTorqDoc::ApplyPressureDrop, ShowInEditor},
        {E::AutoValveSizes, &CTorqDoc::ToggleAutoValveSizes, ShowInEditor},
        {E::AutoValveLift, &CTorqDoc::ToggleAutoValveLift, ShowInEditor},
        {E::AutoRun, &CTorqDoc::ToggleAutoRun, ShowInEditor},
        {E::EnglishUnits, &CTorqDoc::ApplyUnitsChoice, UpdateViews},
        {E::MetricUnits, &CTorqDoc::ApplyUnitsChoice, UpdateViews},
        {E::Run, &CTorqDoc::ApplyRun, UpdateViews},
        {E::ClearComponents, &CTorqDoc::ApplyClearComponents, None},
    };
    for (const EngineCommandRule& rule : kRules) {
        if (rule.command == command) return rule;
    }
    ReportAssertion(__FILE__, __LINE__);
}

CommandResult CTorqDoc::Apply(Choice choice)
{
    TORQ_ASSERT(IsChoice(choice));
    const ChoiceRule& rule = RuleFor(choice.group);
    if (rule.askedAgainstCalculator != nullptr &&
        !ConfirmChangeAgainstCalculator(m_values.*rule.askedAgainstCalculator)) {
        return CommandResult::Refused;
    }
    (this->*rule.apply)(choice);
    EndCommand(rule.ending);
    return CommandResult::Applied;
}

CommandResult CTorqDoc::Apply(EngineCommand command)
{
    if (!GetCommandState(command).enabled) return CommandResult::Refused;
    const EngineCommandRule& rule = RuleFor(command);
    (this->*rule.apply)(command);
    EndCommand(rule.ending);
    return CommandResult::Applied;
}

CommandResult CTorqDoc::Apply(const DocumentCommand& command)
{
    return std::visit([this](auto typed) { return Apply(typed); }, command);
}

void CTorqDoc::EndCommand(CommandEnding ending)
{
    switch (ending) {
        case CommandEnding::ShowInEditor:
            UpdateAllViews(IsEditOpen() ? DocumentChange::ChoiceApplied : DocumentChange::Updated);
            break;
        case CommandEnding::Recalculate:
            // A head or airflow choice ends the edit itself when no editor is waiting for it.
            if (IsEditOpen()) {
                UpdateAllViews(DocumentChange::ChoiceApplied);
            } else {
                Recalculate();
                UpdateAllViews();
            }
            break;
        case CommandEnding::UpdateViews:
            UpdateAllViews();
            break;
        case CommandEnding::None:
            break;
    }
}

CommandState CTorqDoc::GetCommandState(EngineCommand command) const
{
    CommandState state;
    switch (command) {
        case EngineCommand::AutoValveSizes:
            state.checked = m_values.autoValveSizes;
            state.enabled = CylinderHeadType().IsValid() && CylinderHeadType().GetIndex() != kCustomHeadIndex;
            break;
        case EngineCommand::AutoValveLift:
            state.checked = Cam().IsAutoValveLift();
            break;
        case EngineCommand::AutoRun:
            state.checked = m_values.autoRun;
            break;
        case EngineCommand::EnglishUnits:
            state.checked = m_values.unitSystem == kEnglishUnits;
            break;
        case EngineCommand::MetricUnits:
            state.checked = m_values.unitSystem == kMetricUnits;
            break;
        default:
            break;
    }
    return state;
}

// ---------------------------------------------------------------- the document's own commands

void CTorqDoc::ApplyValveCount(EngineCommand command)
{
    using enum EngineCommand;
    const bool intake = command == OneIntakeValve || command == TwoIntakeValves;
    CIntegerSpec& valves = intake ? IntakeValveCount() : ExhaustValveCount();
    valves.SetValue(command == OneIntakeValve || command == OneExhaustValve ? 1 : 2);
    ShowValveCountNote();
}

void CTorqDoc::ApplyPressureDrop(EngineCommand command)
{
    PressureDrop().SetValueIn(command == EngineCommand::PressureDrop15 ? 1.5f : 3.0f, true);  // inHg
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ToggleAutoValveSizes(EngineCommand)
{
    m_values.autoValveSizes = !m_values.autoValveSizes;
}

void CTorqDoc::ToggleAutoValveLift(EngineCommand)
{
    Cam().SetAutoValveLift(!Cam().IsAutoValveLift());
}

void CTorqDoc::ToggleAutoRun(EngineCommand)
{
    m_values.autoRun = !m_values.autoRun;
}

void CTorqDoc::ApplyUnitsChoice(EngineCommand command)
{
    SetUnitSystem(command == EngineCommand::EnglishUnits ? kEnglishUnits : kMetricUnits);
}

void CTorqDoc::ApplyRun(EngineCommand)
{
    RunSimulation(true, true);
}

void CTorqDoc::ApplyClearComponents(EngineCommand)
{
    ClearComponents();
}
