// What the calculators hand back on Apply, and the warning before a change
// that would make the compression calculator's results wrong.

#include "TorqDoc.h"

#include "base/MessagePresenter.h"

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

bool CTorqDoc::ConfirmChangeAgainstCalculator(const CTorqSpec& parameter)
{
    if (!m_values.calculatorUsed) return true;
    int warning = 0;
    if (&parameter == &Bore() || &parameter == &Stroke()) warning = Msg::BoreStrokeAgainstCalculator;
    if (&parameter == &CompressionRatio()) warning = Msg::CompressionRatioAgainstCalculator;
    if (warning == 0) return true;
    if (AskWarningMessage(warning) != WarningAnswer::Ok) return false;
    ClearCalculatorParameters();
    return true;
}
