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

CommandResult CTorqDoc::OnCommand(int command)
{
    if (!GetCommandState(command).enabled) return CommandResult::Refused;

    if (Cmd::kShortBlocks.Contains(command)) {
        if (!ApplyShortBlock(command)) return CommandResult::Refused;
    } else if (Cmd::kStandardHeads.Contains(command)) {
        ApplyCylinderHead(command);
        // A head choice ends the edit itself when no editor is waiting for it.
        if (m_parameterEditorOpen) {
            UpdateAllViews(DocumentChange::ChoiceApplied);
        } else {
            Recalculate();
            UpdateAllViews();
        }
        return CommandResult::Applied;
    } else if (command >= Cmd::kOneIntakeValve && command <= Cmd::kTwoExhaustValves) {
        CIntegerSpec& valves = command <= Cmd::kTwoIntakeValves ? m_intakeValves : m_exhaustValves;
        valves.SetValue(command == Cmd::kOneIntakeValve || command == Cmd::kOneExhaustValve ? 1 : 2);
        ShowValveCountNote();
    } else if (Cmd::kIntakeValveDiameters.Contains(command) || Cmd::kExhaustValveDiameters.Contains(command)) {
        CFloatPtSpec& diameter =
            Cmd::kIntakeValveDiameters.Contains(command) ? m_intakeValveDiameter : m_exhaustValveDiameter;
        diameter.SetValueIn(FindComponentChoice(command).values[0], true);
        m_autoValveSizes = false;
        SetUnitSystem(m_unitSystem);
    } else if (Cmd::kIntakeValveLifts.Contains(command) || Cmd::kExhaustValveLifts.Contains(command)) {
        CFloatPtSpec& lift = Cmd::kIntakeValveLifts.Contains(command) ? m_cam.IntakeLift() : m_cam.ExhaustLift();
        lift.SetValueIn(FindComponentChoice(command).values[0], true);
        m_cam.SetAutoValveLift(false);
        SetUnitSystem(m_unitSystem);
    } else if (Cmd::kCompressionRatios.Contains(command)) {
        if (!ConfirmChangeAgainstCalculator(m_compressionRatio)) return CommandResult::Refused;
        m_compressionRatio.SetValueIn(FindComponentChoice(command).values[0], true);
        SetUnitSystem(m_unitSystem);
    } else if (Cmd::kInduction.Contains(command)) {
        const ComponentChoice& row = FindComponentChoice(command);
        m_inductionFlow.SetValueIn(row.values[0], true);
        m_pressureDrop.SetValueIn(row.values[1], true);
        SetUnitSystem(m_unitSystem);
    } else if (command == Cmd::kPressureDrop15 || command == Cmd::kPressureDrop30) {
        m_pressureDrop.SetValueIn(command == Cmd::kPressureDrop15 ? 1.5f : 3.0f, true);
        SetUnitSystem(m_unitSystem);
    } else if (Cmd::kManifolds.Contains(command)) {
        ApplyManifold(command);
    } else if (Cmd::kFuels.Contains(command)) {
        ApplyFuel(command);
    } else if (Cmd::kForcedInduction.Contains(command)) {
        ApplyForcedInduction(command);
    } else if (command == Cmd::kIntercoolerNone) {
        m_intercoolerEfficiency.Reset();
    } else if (Cmd::kIntercoolers.Contains(command)) {
        m_intercoolerEfficiency.SetValueIn(FindComponentChoice(command).values[0], true);
        SetUnitSystem(m_unitSystem);
    } else if (Cmd::kExhaustSystems.Contains(command)) {
        SetChoiceFromRow(m_exhaustSystem, FindComponentChoice(command));
    } else if (Cmd::kCamProfiles.Contains(command)) {
        ApplyCamType(command);
    } else if (Cmd::kTimingMethods.Contains(command)) {
        ApplyTimingMethod(command);
    } else if (Cmd::kLifterTypes.Contains(command)) {
        SetChoiceFromRow(m_cam.LifterType(), FindComponentChoice(command));
    } else if (command == Cmd::kAutoValveSizes) {
        m_autoValveSizes = !m_autoValveSizes;
    } else if (command == Cmd::kAutoValveLift) {
        m_cam.SetAutoValveLift(!m_cam.IsAutoValveLift());
    } else if (command == Cmd::kAutoRun) {
        m_autoRun = !m_autoRun;
    } else if (command == Cmd::kEnglishUnits || command == Cmd::kMetricUnits) {
        SetUnitSystem(command == Cmd::kEnglishUnits ? kEnglishUnits : kMetricUnits);
        UpdateAllViews();
        return CommandResult::Applied;
    } else if (command == Cmd::kRun) {
        RunSimulation(true, true);
        UpdateAllViews();
        return CommandResult::Applied;
    } else if (command == Cmd::kClearComponents) {
        ClearComponents();
        return CommandResult::Applied;
    } else {
        return CommandResult::NotHandled;
    }
    // An open parameter editor shows the new value and closes; the edit's end
    // recomputes the derived values.
    UpdateAllViews(m_parameterEditorOpen ? DocumentChange::ChoiceApplied : DocumentChange::Updated);
    return CommandResult::Applied;
}

CommandState CTorqDoc::GetCommandState(int command) const
{
    CommandState state;
    if (command == Cmd::kAutoValveSizes) {
        state.checked = m_autoValveSizes;
        state.enabled = m_cylinderHeadType.IsValid() && m_cylinderHeadType.GetIndex() != kCustomHeadIndex;
    } else if (command == Cmd::kAutoValveLift) {
        state.checked = m_cam.IsAutoValveLift();
    } else if (command == Cmd::kAutoRun) {
        state.checked = m_autoRun;
    } else if (command == Cmd::kEnglishUnits) {
        state.checked = m_unitSystem == kEnglishUnits;
    } else if (command == Cmd::kMetricUnits) {
        state.checked = m_unitSystem == kMetricUnits;
    }
    return state;
}

bool CTorqDoc::ApplyShortBlock(int command)
{
    if (!ConfirmChangeAgainstCalculator(m_bore)) return false;
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(m_shortBlockType, row);
    m_bore.SetValueIn(row.values[0], true);
    m_stroke.SetValueIn(row.values[1], true);
    m_cylinders.SetValue(static_cast<int>(row.values[2]));
    // Every row is English, so a short block choice leaves the engine in English units.
    ApplyRowUnits(row.metricFlag);
    return true;
}

void CTorqDoc::ApplyRowUnits(int metricFlag) { SetUnitSystem(metricFlag == 0 ? kEnglishUnits : kMetricUnits); }

void CTorqDoc::ApplyCylinderHead(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    m_airflowFile.MarkUnset();
    SetChoiceFromRow(m_cylinderHeadType, row);
    m_flowData.LoadPreset(row.partIndex, row.name);
    ApplyValveCounts(static_cast<int>(row.values[0]), static_cast<int>(row.values[1]));
}

void CTorqDoc::ApplyValveCounts(int intakeValves, int exhaustValves)
{
    m_intakeValves.SetValue(intakeValves);
    m_exhaustValves.SetValue(exhaustValves);
    ShowValveCountNote();
}

void CTorqDoc::ShowValveCountNote()
{
    const int valves = m_intakeValves.GetValue() + m_exhaustValves.GetValue();
    if (valves == 3) ShowNoteMessage(103);
    if (valves == 4) ShowNoteMessage(104);
}

void CTorqDoc::ApplyManifold(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(m_manifoldType, row);
    if (row.partIndex == 4) ShowNoteMessage(105);
    // A blower feeds its own exhaust: the form shows "Forced Induction Exhaust",
    // but the engine still needs an exhaust system to run.
    if (command == Cmd::kForcedInductionManifold && !m_exhaustSystem.IsValid()) {
        SetChoiceFromRow(m_exhaustSystem, FindComponentChoice(Cmd::kExhaustStock));
    }
}

void CTorqDoc::ApplyFuel(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(m_fuelType, row);
    m_nitrousFlowRate.SetValueIn(row.values[0], true);
    SetUnitSystem(m_unitSystem);
}

void CTorqDoc::ApplyForcedInduction(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    SetChoiceFromRow(m_forcedInductionType, row);
    m_forcedInductionClass = static_cast<int>(row.values[0]);
    for (CFloatPtSpec* spec : {&m_blowerFlowRate, &m_blowerPressureRatio, &m_blowerEfficiency, &m_blowerRpm,
                               &m_blowerSurgeFlowRate, &m_blowerInternalGearRatio, &m_blowerBeltGearRatio}) {
        spec->Reset();
    }
    if (command == Cmd::kForcedInductionNone || command == Cmd::kCustomTurbo ||
        command == Cmd::kCustomCentrifugalBlower || command == Cmd::kCustomRootsBlower) {
        return;  // the user enters the values
    }
    const int kind = m_forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const float* v = row.values;  // class, flow, ratio, efficiency, rpm, surge, internal, belt, boost
    m_blowerFlowRate.SetValueIn(v[1], true);
    if (kind == kTurbocharger || kind == kCentrifugalBlower) m_blowerPressureRatio.SetValueIn(v[2], true);
    m_blowerEfficiency.SetValueIn(v[3], true);
    if (kind == kCentrifugalBlower) m_blowerRpm.SetValueIn(v[4], true);
    if (kind == kTurbocharger) m_blowerSurgeFlowRate.SetValueIn(v[5], true);
    if (kind == kCentrifugalBlower) m_blowerInternalGearRatio.SetValueIn(v[6], true);
    if (kind == kCentrifugalBlower || kind == kRootsBlower) m_blowerBeltGearRatio.SetValueIn(v[7], true);
    if (!m_blowerBoostLevelLimit.IsValid()) m_blowerBoostLevelLimit.SetValueIn(v[8], true);
    SetUnitSystem(m_unitSystem);
}

void CTorqDoc::ApplyCamType(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    m_camDataFile.MarkUnset();
    const float* events = row.values;  // nominal IVO, IVC, EVO, EVC
    const int note = m_cam.ChooseProfile(row.partIndex, row.name, events[0], events[1], events[2], events[3]);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyTimingMethod(int command)
{
    const ComponentChoice& row = FindComponentChoice(command);
    const int note = m_cam.SetTimingMethod(row.partIndex, row.name);
    if (note != 0) ShowNoteMessage(note);
}

// ---------------------------------------------------------------- after a dialog's OK

void CTorqDoc::ApplyUserAirflowData(const CylHeadFlowData& flowData, const CFileSpec& airflowFile)
{
    m_flowData.Assign(flowData);
    if (airflowFile.IsSet()) {
        m_airflowFile = airflowFile;
    } else {
        m_airflowFile.MarkUnset();
    }
    std::string headName = TrimBlanks(m_flowData.GetDescription());
    if (IsStandardHeadName(headName)) headName = kCustomAirflowName;
    m_cylinderHeadType.SetChoice(kCustomHeadIndex, headName);
    m_autoValveSizes = false;
    if (!m_intakeValves.IsValid() || !m_exhaustValves.IsValid()) {
        m_intakeValves.SetValue(1);
        m_exhaustValves.SetValue(1);
    }
    if (m_parameterEditorOpen) {
        UpdateAllViews(DocumentChange::ChoiceApplied);
    } else {
        Recalculate();
        UpdateAllViews();
    }
}

void CTorqDoc::ApplyCustomCamType(const std::string& description)
{
    const std::string name = TrimBlanks(description);
    TORQ_ASSERT(!name.empty());
    m_camDataFile.MarkUnset();
    m_cam.CamType().SetChoice(m_cam.CamType().GetMaximumIndex(), name);
    UpdateAllViews(m_parameterEditorOpen ? DocumentChange::ChoiceApplied : DocumentChange::Updated);
}

void CTorqDoc::ApplyCamMath(const CamData& cam)
{
    m_cam.Assign(cam);
    Recalculate();
    UpdateAllViews();
}

bool CTorqDoc::CanOpenCompressionCalculator()
{
    ErrorCode code = 0;
    if (ValidateShortBlock(code)) return true;
    ShowErrorMessage(88);
    return false;
}

void CTorqDoc::ApplyCompressionCalculator(const CompressionCalculatorResult& result)
{
    m_chamberVolume = result.chamberVolume;
    m_gasketBore = result.gasketBore;
    m_gasketThickness = result.gasketThickness;
    m_pistonDistance = result.pistonDistance;
    m_pistonDeckVolume = result.pistonDeckVolume;
    m_gasketVolume = result.gasketVolume;
    m_deckVolume = result.deckVolume;
    SetPistonKind(result.pistonKind);
    m_combustionSpace.SetValue(result.combustionSpace);
    m_compressionRatio.SetValue(result.compressionRatio);
    m_calculatorUsed = true;
    Recalculate();
    UpdateAllViews();
}

void CTorqDoc::ApplyAirflowMath(float inductionFlowCfm, float pressureDropInHg)
{
    m_inductionFlow.SetValueIn(inductionFlowCfm, true);
    m_pressureDrop.SetValueIn(pressureDropInHg, true);
    SetUnitSystem(m_unitSystem);
    Recalculate();
    UpdateAllViews();
}

// A file that fails to load must not leave the engine's airflow or cam data
// half replaced: the file is read into a copy that is taken only when whole.
bool CTorqDoc::OpenAirflowFile(const std::string& path, const std::string& fileName)
{
    CylHeadFlowData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    m_flowData.Assign(loaded);
    m_airflowFile.SetFromText(fileName.empty() ? path : fileName, false);
    const std::string& description = m_flowData.GetDescription();
    m_cylinderHeadType.SetChoice(kCustomHeadIndex, description.empty() ? std::string(kCustomAirflowName) : description);
    if (!m_intakeValves.IsValid() || !m_exhaustValves.IsValid()) {
        m_intakeValves.SetValue(1);
        m_exhaustValves.SetValue(1);
    }
    SetUnitSystem(m_unitSystem);
    return true;
}

bool CTorqDoc::SaveAirflowFile(const std::string& path, const std::string& fileName)
{
    if (!m_flowData.SaveToFile(path)) return false;
    m_airflowFile.SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}

bool CTorqDoc::OpenCamFile(const std::string& path, const std::string& fileName)
{
    CamData loaded;
    if (!loaded.LoadFromFile(path)) return false;
    m_cam.Assign(loaded);
    m_camDataFile.SetFromText(fileName.empty() ? path : fileName, false);
    SetUnitSystem(m_unitSystem);
    return true;
}

bool CTorqDoc::SaveCamFile(const std::string& path, const std::string& fileName)
{
    if (!m_cam.SaveToFile(path)) return false;
    m_camDataFile.SetFromText(fileName.empty() ? path : fileName, false);
    return true;
}
