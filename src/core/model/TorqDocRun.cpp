// The engine's derived values and its simulation runs.

#include "TorqDoc.h"

#include "SimInterface.h"
#include "ValveSizing.h"
#include "base/MessagePresenter.h"
#include "components/EngineMath.h"
#include "sim/SimConstants.h"

// ---------------------------------------------------------------- derived values

void CTorqDoc::Recalculate()
{
    ErrorCode code = 0;
    if (ValidateShortBlock(code)) RecalculateVolumes();
    RecalculateValveSizes();
    RecalculateValveLifts();
    if (Cam().CheckEvents(code)) Cam().ComputeEvents();
    if (m_values.autoRun) {
        RunSimulation(false, true);
    } else {
        m_values.resultsStale = HasResults();
    }
    SetUnitSystem(m_values.unitSystem);
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
    SimWorkspace& records = workspace != nullptr ? *workspace : ProgramSimWorkspace();
    if (!SimInterface::Run(*this, records)) {
        if (showRunError) ShowErrorMessage(Msg::SimulationFailed);
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
