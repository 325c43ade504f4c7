// The engine document's commands: popup-menu choices copied from the
// component choice table, the switches of the Engine menu, and what the
// dialogs hand back on OK.

#include "TorqDoc.h"

#include "Commands.h"
#include "ComponentTable.h"
#include "base/ErrCode.h"
#include "base/Util.h"

#include <cmath>

namespace {

constexpr const char* kCustomAirflowName = "Custom Airflow";

bool IsStandardHeadName(const std::string& name)
{
    for (int command = Cmd::kStandardHeads.first; command <= Cmd::kStandardHeads.last; ++command) {
        if (name == FindComponentChoice(command).name) return true;
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

// The commands of one row, in the order they are tried: the first row whose
// range holds a command answers it.
struct CTorqDoc::CommandRow {
    Cmd::Range commands;
    void (CTorqDoc::*apply)(int command);
    CommandEnding ending;
    // The parameter the command changes that the compression calculator's
    // results depend on: the user must agree first (warning 203 / 202).
    CFloatPtSpec EngineValues::*askedAgainstCalculator = nullptr;
};

namespace {

constexpr Cmd::Range Only(int command)
{
    return {command, command};
}

}  // namespace

const CTorqDoc::CommandRow* CTorqDoc::FindCommandRow(int command)
{
    using enum CommandEnding;
    static constexpr CommandRow kRows[] = {
        {Cmd::kShortBlocks, &CTorqDoc::ApplyShortBlock, ShowInEditor, &EngineValues::bore},
        {Cmd::kStandardHeads, &CTorqDoc::ApplyCylinderHead, Recalculate},
        {{Cmd::kOneIntakeValve, Cmd::kTwoExhaustValves}, &CTorqDoc::ApplyValveCount, ShowInEditor},
        {Cmd::kIntakeValveDiameters, &CTorqDoc::ApplyValveDiameter, ShowInEditor},
        {Cmd::kExhaustValveDiameters, &CTorqDoc::ApplyValveDiameter, ShowInEditor},
        {Cmd::kIntakeValveLifts, &CTorqDoc::ApplyValveLift, ShowInEditor},
        {Cmd::kExhaustValveLifts, &CTorqDoc::ApplyValveLift, ShowInEditor},
        {Cmd::kCompressionRatios, &CTorqDoc::ApplyCompressionRatio, ShowInEditor,
         &EngineValues::compressionRatio},
        {Cmd::kInduction, &CTorqDoc::ApplyInduction, ShowInEditor},
        {{Cmd::kPressureDrop15, Cmd::kPressureDrop30}, &CTorqDoc::ApplyPressureDrop, ShowInEditor},
        {Cmd::kManifolds, &CTorqDoc::ApplyManifold, ShowInEditor},
        {Cmd::kFuels, &CTorqDoc::ApplyFuel, ShowInEditor},
        {Cmd::kForcedInduction, &CTorqDoc::ApplyForcedInduction, ShowInEditor},
        {Cmd::kIntercoolers, &CTorqDoc::ApplyIntercooler, ShowInEditor},
        {Cmd::kExhaustSystems, &CTorqDoc::ApplyExhaustSystem, ShowInEditor},
        {Cmd::kCamProfiles, &CTorqDoc::ApplyCamType, ShowInEditor},
        {Cmd::kTimingMethods, &CTorqDoc::ApplyTimingMethod, ShowInEditor},
        {Cmd::kLifterTypes, &CTorqDoc::ApplyLifterType, ShowInEditor},
        {Only(Cmd::kAutoValveSizes), &CTorqDoc::ToggleAutoValveSizes, ShowInEditor},
        {Only(Cmd::kAutoValveLift), &CTorqDoc::ToggleAutoValveLift, ShowInEditor},
        {Only(Cmd::kAutoRun), &CTorqDoc::ToggleAutoRun, ShowInEditor},
        {{Cmd::kEnglishUnits, Cmd::kMetricUnits}, &CTorqDoc::ApplyUnitsChoice, UpdateViews},
        {Only(Cmd::kRun), &CTorqDoc::ApplyRun, UpdateViews},
        {Only(Cmd::kClearComponents), &CTorqDoc::ApplyClearComponents, None},
    };
    for (const CommandRow& row : kRows) {
        if (row.commands.Contains(command)) return &row;
    }
    return nullptr;
}

CommandResult CTorqDoc::OnCommand(int command)
{
    if (!GetCommandState(command).enabled) return CommandResult::Refused;
    const CommandRow* row = FindCommandRow(command);
    if (row == nullptr) return CommandResult::NotHandled;
    if (row->askedAgainstCalculator != nullptr &&
        !ConfirmChangeAgainstCalculator(m_values.*row->askedAgainstCalculator)) {
        return CommandResult::Refused;
    }
    (this->*row->apply)(command);
    EndCommand(row->ending);
    return CommandResult::Applied;
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

CommandState CTorqDoc::GetCommandState(int command) const
{
    CommandState state;
    if (command == Cmd::kAutoValveSizes) {
        state.checked = m_values.autoValveSizes;
        state.enabled = CylinderHeadType().IsValid() && CylinderHeadType().GetIndex() != kCustomHeadIndex;
    } else if (command == Cmd::kAutoValveLift) {
        state.checked = Cam().IsAutoValveLift();
    } else if (command == Cmd::kAutoRun) {
        state.checked = m_values.autoRun;
    } else if (command == Cmd::kEnglishUnits) {
        state.checked = m_values.unitSystem == kEnglishUnits;
    } else if (command == Cmd::kMetricUnits) {
        state.checked = m_values.unitSystem == kMetricUnits;
    }
    return state;
}

void CTorqDoc::ApplyShortBlock(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
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

void CTorqDoc::ApplyCylinderHead(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
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

void CTorqDoc::ApplyValveCount(int command)
{
    CIntegerSpec& valves = command <= Cmd::kTwoIntakeValves ? IntakeValveCount() : ExhaustValveCount();
    valves.SetValue(command == Cmd::kOneIntakeValve || command == Cmd::kOneExhaustValve ? 1 : 2);
    ShowValveCountNote();
}

void CTorqDoc::ShowValveCountNote()
{
    const int valves = IntakeValveCount().GetValue() + ExhaustValveCount().GetValue();
    if (valves == 3) ShowNoteMessage(Msg::ThreeValveHeads);
    if (valves == 4) ShowNoteMessage(Msg::FourValveHeads);
}

void CTorqDoc::ApplyValveDiameter(int command)
{
    CFloatPtSpec& diameter =
        Cmd::kIntakeValveDiameters.Contains(command) ? IntakeValveDiameter() : ExhaustValveDiameter();
    diameter.SetValueIn(FindComponentChoice(command).values[0], true);
    m_values.autoValveSizes = false;
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyValveLift(int command)
{
    CFloatPtSpec& lift = Cmd::kIntakeValveLifts.Contains(command) ? Cam().IntakeLift() : Cam().ExhaustLift();
    lift.SetValueIn(FindComponentChoice(command).values[0], true);
    Cam().SetAutoValveLift(false);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyCompressionRatio(int command)
{
    CompressionRatio().SetValueIn(FindComponentChoice(command).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyInduction(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    InductionFlow().SetValueIn(row.values[0], true);
    PressureDrop().SetValueIn(row.values[1], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyPressureDrop(int command)
{
    PressureDrop().SetValueIn(command == Cmd::kPressureDrop15 ? 1.5f : 3.0f, true);  // inHg
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyManifold(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(ManifoldType(), row);
    if (row.partIndex == 4) ShowNoteMessage(105);
    // A blower feeds its own exhaust: the form shows "Forced Induction Exhaust",
    // but the engine still needs an exhaust system to run.
    if (command == Cmd::kForcedInductionManifold && !ExhaustSystem().IsValid()) {
        SetChoiceFromRow(ExhaustSystem(), FindComponentChoice(Cmd::kExhaustStock));
    }
}

void CTorqDoc::ApplyFuel(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(FuelType(), row);
    NitrousFlowRate().SetValueIn(row.values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyForcedInduction(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(ForcedInductionType(), row);
    m_values.forcedInductionClass = static_cast<int>(row.values[0]);
    for (CFloatPtSpec* spec : {&BlowerFlowRate(), &BlowerPressureRatio(), &BlowerEfficiency(), &BlowerRpm(),
                               &BlowerSurgeFlowRate(), &BlowerInternalGearRatio(), &BlowerBeltGearRatio()}) {
        spec->Reset();
    }
    if (command == Cmd::kForcedInductionNone || command == Cmd::kCustomTurbo ||
        command == Cmd::kCustomCentrifugalBlower || command == Cmd::kCustomRootsBlower) {
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

void CTorqDoc::ApplyIntercooler(int command)
{
    if (command == Cmd::kIntercoolerNone) {
        IntercoolerEfficiency().Reset();
        return;
    }
    IntercoolerEfficiency().SetValueIn(FindComponentChoice(command).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyExhaustSystem(int command)
{
    SetChoiceFromRow(ExhaustSystem(), FindComponentChoice(command));
}

void CTorqDoc::ApplyCamType(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    CamDataFile().MarkUnset();
    const float* events = row.values;  // nominal IVO, IVC, EVO, EVC
    const int note = Cam().ChooseProfile(row.partIndex, row.name, events[0], events[1], events[2], events[3]);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyTimingMethod(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    const int note = Cam().SetTimingMethod(row.partIndex, row.name);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyLifterType(int command)
{
    SetChoiceFromRow(Cam().LifterType(), FindComponentChoice(command));
}

// ---------------------------------------------------------------- the Engine menu

void CTorqDoc::ToggleAutoValveSizes(int)
{
    m_values.autoValveSizes = !m_values.autoValveSizes;
}

void CTorqDoc::ToggleAutoValveLift(int)
{
    Cam().SetAutoValveLift(!Cam().IsAutoValveLift());
}

void CTorqDoc::ToggleAutoRun(int)
{
    m_values.autoRun = !m_values.autoRun;
}

void CTorqDoc::ApplyUnitsChoice(int command)
{
    SetUnitSystem(command == Cmd::kEnglishUnits ? kEnglishUnits : kMetricUnits);
}

void CTorqDoc::ApplyRun(int)
{
    RunSimulation(true, true);
}

void CTorqDoc::ApplyClearComponents(int)
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
    const std::string name = TrimBlanks(description);
    TORQ_ASSERT(!name.empty());
    CamDataFile().MarkUnset();
    Cam().CamType().SetChoice(Cam().CamType().GetMaximumIndex(), name);
    EndCommand(CommandEnding::ShowInEditor);
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
