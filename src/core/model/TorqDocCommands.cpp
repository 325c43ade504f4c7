// The engine document's commands: popup-menu choices copied from the
// component choice table, the switches of the Engine menu, and what the
// dialogs hand back on OK.

#include "TorqDoc.h"

#include "ComponentTable.h"
#include "DocumentCommands.h"
#include "base/ErrCode.h"
#include "base/Util.h"

#include <cmath>
#include <variant>

namespace {

constexpr const char* kCustomAirflowName = "Custom Airflow";

bool IsStandardHeadName(const std::string& name)
{
    for (const ComponentChoice& head : ChoicesOf(ChoiceGroup::CylinderHead)) {
        if (name == head.name) return true;
    }
    return false;
}

bool SetChoiceFromRow(CPartTypeSpec& spec, const ComponentChoice& row)
{
    return spec.SetChoice(row.partIndex, row.name);
}

}  // namespace

// How the views hear of a command's change.
enum class CTorqDoc::CommandEnding {
    ShowInEditor,  // an open parameter editor shows the new value and closes; the edit's end recomputes
    Recalculate,   // recomputed at once, unless a parameter editor is waiting for the choice
    UpdateViews,   // every view updates
    None,          // the command has updated the views itself
};

// What a choice of a group applies, and how it ends.
struct CTorqDoc::ChoiceRule {
    ChoiceGroup group;
    void (CTorqDoc::*apply)(Choice choice);
    CommandEnding ending;
    // The parameter the choice changes that the compression calculator's
    // results depend on: the user must agree first (warning 203 / 202).
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
            UpdateAllViews(m_parameterEditorOpen ? DocumentChange::ChoiceApplied : DocumentChange::Updated);
            break;
        case CommandEnding::Recalculate:
            // A head or airflow choice ends the edit itself when no editor is waiting for it.
            if (m_parameterEditorOpen) {
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

void CTorqDoc::ApplyShortBlock(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ShortBlockType(), row);
    Bore().SetValueIn(row.values[0], true);
    Stroke().SetValueIn(row.values[1], true);
    NumberOfCylinders().SetValue(static_cast<int>(row.values[2]));
    // Every row is English, so a short block choice leaves the engine in English units.
    ApplyRowUnits(row.metricFlag);
}

void CTorqDoc::ApplyRowUnits(int metricFlag)
{
    SetUnitSystem(metricFlag == 0 ? kEnglishUnits : kMetricUnits);
}

void CTorqDoc::ApplyCylinderHead(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    AirflowFile().MarkUnset();
    SetChoiceFromRow(CylinderHeadType(), row);
    FlowData().LoadPreset(row.partIndex, row.name);
    ApplyValveCounts(static_cast<int>(row.values[0]), static_cast<int>(row.values[1]));
}

void CTorqDoc::ApplyValveCounts(int intakeValves, int exhaustValves)
{
    IntakeValveCount().SetValue(intakeValves);
    ExhaustValveCount().SetValue(exhaustValves);
    ShowValveCountNote();
}

void CTorqDoc::ApplyValveCount(EngineCommand command)
{
    using enum EngineCommand;
    const bool intake = command == OneIntakeValve || command == TwoIntakeValves;
    CIntegerSpec& valves = intake ? IntakeValveCount() : ExhaustValveCount();
    valves.SetValue(command == OneIntakeValve || command == OneExhaustValve ? 1 : 2);
    ShowValveCountNote();
}

void CTorqDoc::ShowValveCountNote()
{
    const int valves = IntakeValveCount().GetValue() + ExhaustValveCount().GetValue();
    if (valves == 3) ShowNoteMessage(Msg::ThreeValveHeads);
    if (valves == 4) ShowNoteMessage(Msg::FourValveHeads);
}

void CTorqDoc::ApplyValveDiameter(Choice choice)
{
    CFloatPtSpec& diameter =
        choice.group == ChoiceGroup::IntakeValveDiameter ? IntakeValveDiameter() : ExhaustValveDiameter();
    diameter.SetValueIn(ChoiceRow(choice).values[0], true);
    m_values.autoValveSizes = false;
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyValveLift(Choice choice)
{
    CFloatPtSpec& lift =
        choice.group == ChoiceGroup::IntakeValveLift ? Cam().IntakeLift() : Cam().ExhaustLift();
    lift.SetValueIn(ChoiceRow(choice).values[0], true);
    Cam().SetAutoValveLift(false);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyCompressionRatio(Choice choice)
{
    CompressionRatio().SetValueIn(ChoiceRow(choice).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyInduction(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    InductionFlow().SetValueIn(row.values[0], true);
    PressureDrop().SetValueIn(row.values[1], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyPressureDrop(EngineCommand command)
{
    PressureDrop().SetValueIn(command == EngineCommand::PressureDrop15 ? 1.5f : 3.0f, true);  // inHg
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyManifold(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ManifoldType(), row);
    if (row.partIndex == kIndividualRunnerManifold) ShowNoteMessage(Msg::IndividualRunners);
    // A blower feeds its own exhaust: the form shows "Forced Induction Exhaust",
    // but the engine still needs an exhaust system to run.
    if (choice == NamedChoice::kForcedInductionManifold && !ExhaustSystem().IsValid()) {
        SetChoiceFromRow(ExhaustSystem(), ChoiceRow(NamedChoice::kStockExhaust));
    }
}

void CTorqDoc::ApplyFuel(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(FuelType(), row);
    NitrousFlowRate().SetValueIn(row.values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyForcedInduction(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ForcedInductionType(), row);
    m_values.forcedInductionClass = static_cast<int>(row.values[0]);
    for (CFloatPtSpec* spec : {&BlowerFlowRate(), &BlowerPressureRatio(), &BlowerEfficiency(), &BlowerRpm(),
                               &BlowerSurgeFlowRate(), &BlowerInternalGearRatio(), &BlowerBeltGearRatio()}) {
        spec->Reset();
    }
    if (choice == NamedChoice::kNoForcedInduction || choice == NamedChoice::kCustomTurbo ||
        choice == NamedChoice::kCustomCentrifugalBlower || choice == NamedChoice::kCustomRootsBlower) {
        return;  // the user enters the values
    }
    const int kind = m_values.forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const float* v = row.values;  // class, flow, ratio, efficiency, rpm, surge, internal, belt, boost
    BlowerFlowRate().SetValueIn(v[1], true);
    if (kind == kTurbocharger || kind == kCentrifugalBlower) BlowerPressureRatio().SetValueIn(v[2], true);
    BlowerEfficiency().SetValueIn(v[3], true);
    if (kind == kCentrifugalBlower) BlowerRpm().SetValueIn(v[4], true);
    if (kind == kTurbocharger) BlowerSurgeFlowRate().SetValueIn(v[5], true);
    if (kind == kCentrifugalBlower) BlowerInternalGearRatio().SetValueIn(v[6], true);
    if (kind == kCentrifugalBlower || kind == kRootsBlower) BlowerBeltGearRatio().SetValueIn(v[7], true);
    if (!BlowerBoostLevelLimit().IsValid()) BlowerBoostLevelLimit().SetValueIn(v[8], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyIntercooler(Choice choice)
{
    if (choice == NamedChoice::kNoIntercooler) {
        IntercoolerEfficiency().Reset();
        return;
    }
    IntercoolerEfficiency().SetValueIn(ChoiceRow(choice).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyExhaustSystem(Choice choice)
{
    SetChoiceFromRow(ExhaustSystem(), ChoiceRow(choice));
}

void CTorqDoc::ApplyCamType(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    if (choice == NamedChoice::kCustomCamType) {
        SetCustomCamType(row.name);
        return;
    }
    CamDataFile().MarkUnset();
    const float* events = row.values;  // nominal IVO, IVC, EVO, EVC
    const int note = Cam().ChooseProfile(row.partIndex, row.name, events[0], events[1], events[2], events[3]);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyTimingMethod(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    const int note = Cam().SetTimingMethod(row.partIndex, row.name);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyLifterType(Choice choice)
{
    SetChoiceFromRow(Cam().LifterType(), ChoiceRow(choice));
}

// ---------------------------------------------------------------- the Engine menu

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

// ---------------------------------------------------------------- after a dialog's OK

void CTorqDoc::ApplyUserAirflowData(const CylHeadFlowData& flowData, const CFileSpec& airflowFile)
{
    FlowData().Assign(flowData);
    if (airflowFile.IsSet()) {
        m_values.airflowFile = airflowFile;
    } else {
        AirflowFile().MarkUnset();
    }
    std::string headName = TrimBlanks(FlowData().GetDescription());
    if (IsStandardHeadName(headName)) headName = kCustomAirflowName;
    CylinderHeadType().SetChoice(kCustomHeadIndex, headName);
    m_values.autoValveSizes = false;
    if (!IntakeValveCount().IsValid() || !ExhaustValveCount().IsValid()) {
        IntakeValveCount().SetValue(1);
        ExhaustValveCount().SetValue(1);
    }
    EndCommand(CommandEnding::Recalculate);
}

void CTorqDoc::ApplyCustomCamType(const std::string& description)
{
    SetCustomCamType(description);
    EndCommand(CommandEnding::ShowInEditor);
}

void CTorqDoc::SetCustomCamType(const std::string& description)
{
    const std::string name = TrimBlanks(description);
    TORQ_ASSERT(!name.empty());
    CamDataFile().MarkUnset();
    Cam().CamType().SetChoice(Cam().CamType().GetMaximumIndex(), name);
}

void CTorqDoc::ApplyCamMath(const CamData& cam)
{
    Cam().Assign(cam);
    Recalculate();
    UpdateAllViews();
}

bool CTorqDoc::CanOpenCompressionCalculator()
{
    ErrorCode code = 0;
    if (ValidateShortBlock(code)) return true;
    ShowErrorMessage(Msg::CalculatorShortBlockIncomplete);
    return false;
}

void CTorqDoc::ApplyCompressionCalculator(const CompressionCalculatorResult& result)
{
    m_values.chamberVolume = result.chamberVolume;
    m_values.gasketBore = result.gasketBore;
    m_values.gasketThickness = result.gasketThickness;
    m_values.pistonDistance = result.pistonDistance;
    m_values.pistonDeckVolume = result.pistonDeckVolume;
    m_values.gasketVolume = result.gasketVolume;
    m_values.deckVolume = result.deckVolume;
    SetPistonKind(result.pistonKind);
    CombustionSpace().SetValue(result.combustionSpace);
    CompressionRatio().SetValue(result.compressionRatio);
    m_values.calculatorUsed = true;
    Recalculate();
    UpdateAllViews();
}

void CTorqDoc::ApplyAirflowMath(float inductionFlowCfm, float pressureDropInHg)
{
    InductionFlow().SetValueIn(inductionFlowCfm, true);
    PressureDrop().SetValueIn(pressureDropInHg, true);
    SetUnitSystem(m_values.unitSystem);
    Recalculate();
    UpdateAllViews();
}

// A file that fails to load must not leave the engine's airflow or cam data
// half replaced: the file is read into a copy that is taken only when whole.
bool CTorqDoc::OpenAirflowFile(const std::string& path, const std::string& fileName)
{
    CylHeadFlowData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    FlowData().Assign(loaded);
    AirflowFile().SetFromText(fileName.empty() ? path : fileName, false);
    const std::string& description = FlowData().GetDescription();
    const std::string headName = description.empty() ? std::string(kCustomAirflowName) : description;
    CylinderHeadType().SetChoice(kCustomHeadIndex, headName);
    if (!IntakeValveCount().IsValid() || !ExhaustValveCount().IsValid()) {
        IntakeValveCount().SetValue(1);
        ExhaustValveCount().SetValue(1);
    }
    SetUnitSystem(m_values.unitSystem);
    return true;
}

bool CTorqDoc::SaveAirflowFile(const std::string& path, const std::string& fileName)
{
    if (!FlowData().SaveToFile(path)) return false;
    AirflowFile().SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}

bool CTorqDoc::OpenCamFile(const std::string& path, const std::string& fileName)
{
    CamData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    Cam().Assign(loaded);
    CamDataFile().SetFromText(fileName.empty() ? path : fileName, false);
    SetUnitSystem(m_values.unitSystem);
    return true;
}

bool CTorqDoc::SaveCamFile(const std::string& path, const std::string& fileName)
{
    if (!Cam().SaveToFile(path)) return false;
    CamDataFile().SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}
