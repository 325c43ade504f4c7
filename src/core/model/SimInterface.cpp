#include "SimInterface.h"

#include "TorqDoc.h"
#include "base/ErrCode.h"
#include "sim/EngineSim.h"

#include <cmath>

namespace {

std::int16_t TruncatedToInt16(float value)
{
    return static_cast<std::int16_t>(std::trunc(value));
}

void FillEngineInputs(const CTorqDoc& doc, SimInputs& in)
{
    const CamData& cam = doc.Cam();
    in.manifoldType = std::int16_t(doc.ManifoldType().GetIndex());
    in.headType = std::int16_t(doc.CylinderHeadType().GetIndex());
    in.exhaustSystem = std::int16_t(doc.ExhaustSystem().GetIndex());
    in.camType = std::int16_t(cam.CamType().GetIndex());
    in.timingAt050 = cam.TimingMethod().GetIndex() == kFiftyLiftIndex ? 1 : 0;
    in.lifterType = std::int16_t(cam.LifterType().GetIndex());
    in.bore = doc.Bore().GetEnglishValue();
    in.stroke = doc.Stroke().GetEnglishValue();
    in.cylinders = std::int16_t(doc.NumberOfCylinders().GetValue());
    in.intakeValveDia = doc.IntakeValveDiameter().GetEnglishValue();
    in.exhaustValveDia = doc.ExhaustValveDiameter().GetEnglishValue();
    in.compressionRatio = doc.CompressionRatio().GetEnglishValue();
    in.inductionCfm = TruncatedToInt16(doc.InductionFlow().GetEnglishValue());
    // The carburettor's rating basis: 4-barrel ratings are taken at 1.5 inHg, 2-barrel at 3.0.
    in.ratingBarrels = doc.PressureDrop().GetEnglishValue() < 3.0f ? 4 : 2;
    in.exhaustOpening = cam.NominalEvo().GetEnglishValue();
    in.exhaustClosing = cam.NominalEvc().GetEnglishValue();
    in.intakeOpening = cam.NominalIvo().GetEnglishValue();
    in.intakeClosing = cam.NominalIvc().GetEnglishValue();
    in.intakeLift = cam.IntakeLift().GetEnglishValue();
    in.exhaustLift = cam.ExhaustLift().GetEnglishValue();
    in.camAdvance = TruncatedToInt16(cam.AdvanceRetard().GetEnglishValue());
    in.fuelType = std::int16_t(doc.FuelType().GetIndex());
    in.nitrousFlow = doc.NitrousFlowRate().GetEnglishValue();
    const int intakeValves = doc.IntakeValveCount().GetValue();
    const int exhaustValves = doc.ExhaustValveCount().GetValue();
    TORQ_ASSERT(intakeValves == 1 || intakeValves == 2);
    TORQ_ASSERT(exhaustValves == 1 || exhaustValves == 2);
    in.intakeValves = std::int16_t(intakeValves);
    in.exhaustValves = std::int16_t(exhaustValves);
}

void FillAirflowInputs(const CylHeadFlowData& flow, SimInputs& in)
{
    in.flowTestIntakeDia = flow.IntakeTestDiameter().GetEnglishValue();
    in.flowTestIntakeDrop = flow.IntakeTestPressureDrop().GetEnglishValue();
    in.flowTestExhaustDia = flow.ExhaustTestDiameter().GetEnglishValue();
    in.flowTestExhaustDrop = flow.ExhaustTestPressureDrop().GetEnglishValue();
    const int points = flow.GetPointCount();
    TORQ_ASSERT(points >= 4 && points <= 10);
    for (int k = 0; k < points; ++k) {
        in.intakeFlow[k] = flow.IntakeAirflow(k).GetEnglishValue();
        in.intakeFlowLift[k] = flow.IntakeLift(k).GetEnglishValue();
        in.exhaustFlow[k] = flow.ExhaustAirflow(k).GetEnglishValue();
        in.exhaustFlowLift[k] = flow.ExhaustLift(k).GetEnglishValue();
    }
}

// Forced induction only on the forced-induction manifold with a unit chosen.
void FillForcedInductionInputs(const CTorqDoc& doc, SimInputs& in)
{
    const int kind = doc.GetForcedInductionClass();
    if (doc.ManifoldType().GetIndex() != kForcedInductionManifold || kind == kNoForcedInduction) return;
    in.boostKind = std::int16_t(kind);
    in.blowerPressureRatio = doc.BlowerPressureRatio().GetEnglishValue();
    in.blowerFlow = doc.BlowerFlowRate().GetEnglishValue();
    in.blowerEfficiency = doc.BlowerEfficiency().GetEnglishValue();
    in.blowerRpm = doc.BlowerRpm().GetEnglishValue();
    in.boostLimit = doc.BlowerBoostLevelLimit().GetEnglishValue();
    if (doc.IntercoolerEfficiency().IsValid()) {
        in.intercoolerEfficiency = doc.IntercoolerEfficiency().GetEnglishValue();
    }
    if (kind == kCentrifugalBlower || kind == kRootsBlower) {
        in.internalGearRatio = doc.BlowerInternalGearRatio().GetEnglishValue();
        in.beltGearRatio = doc.BlowerBeltGearRatio().GetEnglishValue();
    }
    if (kind == kTurbocharger) in.surgeFlow = doc.BlowerSurgeFlowRate().GetEnglishValue();
}

}  // namespace

void SimInterface::FillInputs(const CTorqDoc& document, SimInputs& inputs)
{
    FillEngineInputs(document, inputs);
    FillAirflowInputs(document.FlowData(), inputs);
    FillForcedInductionInputs(document, inputs);
}

bool SimInterface::Run(const CTorqDoc& document, SimWorkspace& workspace)
{
    ResetInputs(workspace.inputs, workspace.results);
    FillInputs(document, workspace.inputs);
    RunEngineSim(workspace.inputs, workspace.results);
    return workspace.results.power[0] != 0.0f;
}
