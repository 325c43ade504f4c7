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
    return AllValid({{&ShortBlockType(), 1}, {&Bore(), 2}, {&Stroke(), 3}, {&NumberOfCylinders(), 4}}, code);
}

bool CTorqDoc::ValidateCylinderHeads(ErrorCode& code) const
{
    if (!AllValid({{&CylinderHeadType(), 5}, {&IntakeValveCount(), 6}, {&ExhaustValveCount(), 7}}, code)) {
        return false;
    }
    if (!FlowData().CheckComplete(code)) return false;
    return AllValid({{&IntakeValveDiameter(), 8}, {&ExhaustValveDiameter(), 9}}, code);
}

bool CTorqDoc::ValidateInduction(ErrorCode& code) const
{
    if (!AllValid({{&InductionFlow(), 11},
                   {&PressureDrop(), 12},
                   {&ManifoldType(), 13},
                   {&FuelType(), 14},
                   {&NitrousFlowRate(), 15}},
                  code)) {
        return false;
    }
    if (ManifoldType().GetIndex() != kForcedInductionManifold) return true;
    return ValidateForcedInduction(code);
}

// The blower's values, in the order the messages ask for them; each kind
// needs only the values its model reads.
bool CTorqDoc::ValidateForcedInduction(ErrorCode& code) const
{
    if (!ForcedInductionType().IsValid() || ForcedInductionType().GetIndex() == kForcedInductionNoneIndex) {
        code = 16;
        return false;
    }
    const int kind = m_values.forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const bool turbo = kind == kTurbocharger;
    const bool centrifugal = kind == kCentrifugalBlower;
    const bool roots = kind == kRootsBlower;
    const std::pair<const CFloatPtSpec*, int> checks[] = {
        {&BlowerFlowRate(), 17},
        {(turbo || centrifugal) ? &BlowerPressureRatio() : nullptr, 18},
        {&BlowerBoostLevelLimit(), 24},
        {centrifugal ? &BlowerRpm() : nullptr, 20},
        {(centrifugal || roots) ? &BlowerBeltGearRatio() : nullptr, 23},
        {turbo ? &BlowerSurgeFlowRate() : nullptr, 21},
        {&BlowerEfficiency(), 19},
        {centrifugal ? &BlowerInternalGearRatio() : nullptr, 22},
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
           AllValid({{&CompressionRatio(), 10}}, code) && ValidateInduction(code) &&
           AllValid({{&ExhaustSystem(), 26}}, code) && Cam().CheckComplete(code);
}

bool CTorqDoc::IsGroupComplete(EngineGroup group) const
{
    ErrorCode code = 0;
    switch (group) {
        case EngineGroup::ShortBlock:
            return ValidateShortBlock(code);
        case EngineGroup::CylinderHeads:
            return ValidateCylinderHeads(code);
        case EngineGroup::Compression:
            return CompressionRatio().IsValid();
        case EngineGroup::Induction:
            return ValidateInduction(code);
        case EngineGroup::Exhaust:
            return ExhaustSystem().IsValid();
        case EngineGroup::Camshaft:
            return Cam().CheckComplete(code);
    }
    return false;
}

// ---------------------------------------------------------------- derived values

void CTorqDoc::RecalculateDerivedValues()
{
    ErrorCode code = 0;
    if (ValidateShortBlock(code)) RecalculateVolumes();
    RecalculateValveSizes();
    RecalculateValveLifts();
    if (Cam().CheckEvents(code)) Cam().ComputeEvents();
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::Recalculate()
{
    RecalculateDerivedValues();
    if (m_values.autoRun) {
        RunSimulation(false, true);
    } else {
        // Out of date once is out of date until the next run: an opened
        // engine that was never run here stays so through its edits.
        m_values.resultsStale = m_values.resultsStale || HasResults();
    }
}

// Swept volume of a cylinder (cc) and of the engine (ci), and the
// combustion space that the compression ratio leaves.
void CTorqDoc::RecalculateVolumes()
{
    Bore().ToEnglish();
    Stroke().ToEnglish();
    const float cylinderCc = ::CylinderVolume(Bore().GetValue(), Stroke().GetValue());
    CylinderVolume().SetRoundedValue(cylinderCc, 2);
    TotalBlockVolume().SetValueIn(
        float(NumberOfCylinders().GetValue() * (double(cylinderCc) / double(kCubicCentimetresPerCubicInch))),
        true);
    if (!m_values.calculatorUsed && CompressionRatio().IsValid()) {
        const float combustion = CombustionVolume(CylinderVolume().GetValue(), CompressionRatio().GetValue());
        CombustionSpace().SetRoundedValue(combustion, 2);
    }
}

void CTorqDoc::RecalculateValveSizes()
{
    const int head = CylinderHeadType().GetIndex();
    const bool standardHead = CylinderHeadType().IsValid() && head >= 1 && head <= 16;
    if (!m_values.autoValveSizes || !standardHead || !Bore().IsValid()) return;
    const ValvePair diameters = DefaultValveDiameters(head, Bore().GetEnglishValue());
    IntakeValveDiameter().SetValueIn(diameters.intake, true);
    ExhaustValveDiameter().SetValueIn(diameters.exhaust, true);
}

void CTorqDoc::RecalculateValveLifts()
{
    if (!Cam().IsAutoValveLift() || !Cam().CamType().IsValid() || !IntakeValveDiameter().IsValid()) return;
    const float intakeDiameterIn = IntakeValveDiameter().GetEnglishValue();
    const ValvePair lifts = DefaultValveLifts(Cam().CamType().GetIndex(), intakeDiameterIn);
    Cam().IntakeLift().SetValueIn(lifts.intake, true);
    Cam().ExhaustLift().SetValueIn(lifts.exhaust, true);
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
    CopyRunResults(workspace.results, m_values.results);
    m_values.resultsStale = false;
}

bool CTorqDoc::ConfirmChangeAgainstCalculator(const CTorqSpec& parameter)
{
    if (!m_values.calculatorUsed) return true;
    int warning = 0;
    if (&parameter == &Bore() || &parameter == &Stroke()) warning = 203;
    if (&parameter == &CompressionRatio()) warning = 202;
    if (warning == 0) return true;
    if (AskWarningMessage(warning) != WarningAnswer::Ok) return false;
    ClearCalculatorParameters();
    return true;
}
