// Validation, derived values and simulation runs of the engine document.

#include "TorqDoc.h"

#include "EngineMath.h"
#include "SimInterface.h"
#include "base/ErrCode.h"
#include "base/Util.h"
#include "sim/SimConstants.h"

namespace {

// Tests a chain of (parameter, code) pairs in order; the first invalid one gives its code.
bool AllValid(std::initializer_list<std::pair<const CTorqSpec*, int>> checks, ErrorCode& code)
{
    for (const auto& [spec, failCode] : checks) {
        if (!spec->IsValid()) {
            code = ErrorCode(failCode);
            return false;
        }
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- validation

bool CTorqDoc::ValidateShortBlock(ErrorCode& code) const
{
    return AllValid({{&m_shortBlockType, 1}, {&m_bore, 2}, {&m_stroke, 3}, {&m_cylinders, 4}}, code);
}

bool CTorqDoc::ValidateCylinderHeads(ErrorCode& code) const
{
    if (!AllValid({{&m_cylinderHeadType, 5}, {&m_intakeValves, 6}, {&m_exhaustValves, 7}}, code)) return false;
    if (!m_flowData.CheckComplete(code)) return false;
    return AllValid({{&m_intakeValveDiameter, 8}, {&m_exhaustValveDiameter, 9}}, code);
}

bool CTorqDoc::ValidateInduction(ErrorCode& code) const
{
    if (!AllValid({{&m_inductionFlow, 11},
                   {&m_pressureDrop, 12},
                   {&m_manifoldType, 13},
                   {&m_fuelType, 14},
                   {&m_nitrousFlowRate, 15}},
                  code)) {
        return false;
    }
    if (m_manifoldType.GetIndex() != kForcedInductionManifold) return true;
    return ValidateForcedInduction(code);
}

// The blower's values, in the order the messages ask for them; each kind
// needs only the values its model reads.
bool CTorqDoc::ValidateForcedInduction(ErrorCode& code) const
{
    if (!m_forcedInductionType.IsValid() || m_forcedInductionType.GetIndex() == kForcedInductionNoneIndex) {
        code = 16;
        return false;
    }
    const int kind = m_forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const bool turbo = kind == kTurbocharger;
    const bool centrifugal = kind == kCentrifugalBlower;
    const bool roots = kind == kRootsBlower;
    const std::pair<const CFloatPtSpec*, int> checks[] = {
        {&m_blowerFlowRate, 17},
        {(turbo || centrifugal) ? &m_blowerPressureRatio : nullptr, 18},
        {&m_blowerBoostLevelLimit, 24},
        {centrifugal ? &m_blowerRpm : nullptr, 20},
        {(centrifugal || roots) ? &m_blowerBeltGearRatio : nullptr, 23},
        {turbo ? &m_blowerSurgeFlowRate : nullptr, 21},
        {&m_blowerEfficiency, 19},
        {centrifugal ? &m_blowerInternalGearRatio : nullptr, 22},
    };
    for (const auto& [spec, failCode] : checks) {
        if (spec != nullptr && !spec->IsValid()) {
            code = ErrorCode(failCode);
            return false;
        }
    }
    return true;
}

bool CTorqDoc::Validate(ErrorCode& code) const
{
    return ValidateShortBlock(code) && ValidateCylinderHeads(code) &&
           AllValid({{&m_compressionRatio, 10}}, code) && ValidateInduction(code) &&
           AllValid({{&m_exhaustSystem, 26}}, code) && m_cam.CheckComplete(code);
}

bool CTorqDoc::IsGroupComplete(EngineGroup group) const
{
    ErrorCode code = 0;
    switch (group) {
    case EngineGroup::ShortBlock: return ValidateShortBlock(code);
    case EngineGroup::CylinderHeads: return ValidateCylinderHeads(code);
    case EngineGroup::Compression: return m_compressionRatio.IsValid();
    case EngineGroup::Induction: return ValidateInduction(code);
    case EngineGroup::Exhaust: return m_exhaustSystem.IsValid();
    case EngineGroup::Camshaft: return m_cam.CheckComplete(code);
    }
    return false;
}

// ---------------------------------------------------------------- derived values

void CTorqDoc::Recalculate()
{
    ErrorCode code = 0;
    if (ValidateShortBlock(code)) RecalculateVolumes();
    RecalculateValveSizes();
    RecalculateValveLifts();
    if (m_cam.CheckEvents(code)) m_cam.ComputeEvents();
    if (m_autoRun) RunSimulation(false, true);
    SetUnitSystem(m_unitSystem);
}

// Swept volume of a cylinder (cc) and of the engine (ci), and the
// combustion space that the compression ratio leaves.
void CTorqDoc::RecalculateVolumes()
{
    m_bore.ToEnglish();
    m_stroke.ToEnglish();
    const float cylinderCc = ::CylinderVolume(m_bore.GetValue(), m_stroke.GetValue());
    m_cylinderVolume.SetRoundedValue(cylinderCc, 2);
    m_totalBlockVolume.SetValueIn(
        float(m_cylinders.GetValue() * (double(cylinderCc) / double(kCubicCentimetresPerCubicInch))), true);
    if (!m_calculatorUsed && m_compressionRatio.IsValid()) {
        const float combustion = CombustionVolume(m_cylinderVolume.GetValue(), m_compressionRatio.GetValue());
        m_combustionSpace.SetRoundedValue(combustion, 2);
    }
}

void CTorqDoc::RecalculateValveSizes()
{
    const int head = m_cylinderHeadType.GetIndex();
    if (!m_autoValveSizes || !m_cylinderHeadType.IsValid() || head < 1 || head > 16 || !m_bore.IsValid()) return;
    const ValvePair diameters = DefaultValveDiameters(head, m_bore.GetEnglishValue());
    m_intakeValveDiameter.SetValueIn(diameters.intake, true);
    m_exhaustValveDiameter.SetValueIn(diameters.exhaust, true);
}

void CTorqDoc::RecalculateValveLifts()
{
    if (!m_cam.IsAutoValveLift() || !m_cam.CamType().IsValid() || !m_intakeValveDiameter.IsValid()) return;
    const ValvePair lifts = DefaultValveLifts(m_cam.CamType().GetIndex(), m_intakeValveDiameter.GetEnglishValue());
    m_cam.IntakeLift().SetValueIn(lifts.intake, true);
    m_cam.ExhaustLift().SetValueIn(lifts.exhaust, true);
}

// ---------------------------------------------------------------- runs

// The model reads the engine in English units: the interface takes every
// value as the English switch would give it, so the document's own values
// are never moved by a round trip through the other unit system.
bool CTorqDoc::RunSimulation(bool showValidationError, bool showRunError, SimWorkspace* workspace)
{
    ErrorCode code = 0;
    if (!Validate(code)) {
        if (showValidationError) ShowErrorMessage(code);
        ClearResults();
        return false;
    }
    SimWorkspace& records = workspace != nullptr ? *workspace : SimInterface::Instance().Records();
    if (!SimInterface::Run(*this, records)) {
        if (showRunError) ShowErrorMessage(42);
        ClearResults();
        return false;
    }
    StoreRunResults(records);
    return true;
}

void CopyRunResults(const SimResults& results, std::array<ResultSeriesValues, kResultSeriesCount>& series)
{
    auto store = [&](int number, void (*copy)(const SimResults&, float*, int)) {
        copy(results, series[number - 1].data(), kResultPointCount);
    };
    GetSpeedPoints(series[kSeriesEngineSpeed - 1].data(), kResultPointCount);
    store(kSeriesPower, GetPower);
    store(kSeriesTorque, GetTorque);
    store(kSeriesManifoldPressure, GetManifoldPressure);
    store(kSeriesVolumetricEfficiency, GetVolumetricEfficiency);
    store(kSeriesImep, GetImep);
    store(kSeriesBmep, GetBmep);
    store(kSeriesFmep, GetFmep);
}

void CTorqDoc::StoreRunResults(const SimWorkspace& workspace)
{
    CopyRunResults(workspace.results, m_results);
}

bool CTorqDoc::ConfirmChangeAgainstCalculator(const CTorqSpec& parameter)
{
    if (!m_calculatorUsed) return true;
    int warning = 0;
    if (&parameter == &m_bore || &parameter == &m_stroke) warning = 203;
    if (&parameter == &m_compressionRatio) warning = 202;
    if (warning == 0) return true;
    if (AskWarningMessage(warning) != WarningAnswer::Ok) return false;
    ClearCalculatorParameters();
    return true;
}
