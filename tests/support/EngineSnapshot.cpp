#include "EngineSnapshot.h"

#include "model/TorqDoc.h"
#include "base/Util.h"

#include <initializer_list>

namespace {

void Add(std::vector<std::string>& lines, const CTorqSpec& spec)
{
    lines.push_back(std::string(spec.GetName()) + (spec.IsSet() ? " = " : " (unset) = ") + spec.GetTextWithUnits());
    if (const auto* number = dynamic_cast<const CFloatPtSpec*>(&spec)) {
        lines.push_back(std::string(spec.GetName()) + FormatC(" raw %.9g [%.9g, %.9g]", double(number->GetValue()),
                                                              double(number->GetMinimum()),
                                                              double(number->GetMaximum())));
    }
}

}  // namespace

std::vector<std::string> EngineSnapshot(const CTorqDoc& doc)
{
    std::vector<std::string> lines;
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{
             &doc.ShortBlockType(), &doc.Bore(), &doc.Stroke(), &doc.NumberOfCylinders(), &doc.CylinderVolume(),
             &doc.TotalBlockVolume(), &doc.CylinderHeadType(), &doc.AirflowFile(), &doc.IntakeValveCount(),
             &doc.ExhaustValveCount(), &doc.IntakeValveDiameter(), &doc.ExhaustValveDiameter(),
             &doc.CompressionRatio(), &doc.CombustionSpace(), &doc.InductionFlow(), &doc.PressureDrop(),
             &doc.ManifoldType(), &doc.FuelType(), &doc.NitrousFlowRate(), &doc.ForcedInductionType(),
             &doc.BlowerFlowRate(), &doc.BlowerPressureRatio(), &doc.BlowerEfficiency(), &doc.BlowerRpm(),
             &doc.BlowerSurgeFlowRate(), &doc.BlowerInternalGearRatio(), &doc.BlowerBeltGearRatio(),
             &doc.BlowerBoostLevelLimit(), &doc.IntercoolerEfficiency(), &doc.ExhaustSystem(), &doc.CamDataFile(),
             &doc.ChamberVolume(), &doc.GasketBore(), &doc.GasketThickness(), &doc.PistonDistance(),
             &doc.PistonDeckVolume(), &doc.GasketVolume(), &doc.DeckVolume()}) {
        Add(lines, *spec);
    }
    const CamData& cam = doc.Cam();
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{
             &cam.CamType(), &cam.LifterType(), &cam.TimingMethod(), &cam.LobeCenter(), &cam.Overlap(),
             &cam.AdvanceRetard(), &cam.IntakeLift(), &cam.ExhaustLift(), &cam.IntakeDuration(),
             &cam.ExhaustDuration(), &cam.NominalIvo(), &cam.NominalIvc(), &cam.NominalEvo(), &cam.NominalEvc(),
             &cam.NominalIntakeCenterline(), &cam.NominalExhaustCenterline(), &cam.ActualIvo(), &cam.ActualIvc(),
             &cam.ActualEvo(), &cam.ActualEvc(), &cam.ActualIntakeCenterline(), &cam.ActualExhaustCenterline()}) {
        Add(lines, *spec);
    }
    lines.push_back("auto valve lift = " + std::to_string(cam.IsAutoValveLift()));

    const CylHeadFlowData& flow = doc.FlowData();
    lines.push_back("airflow description = " + flow.GetDescription());
    lines.push_back("airflow points = " + std::to_string(flow.GetPointCount()));
    for (const CTorqSpec* spec : {&flow.IntakeTestDiameter(), &flow.IntakeTestPressureDrop(),
                                  &flow.ExhaustTestDiameter(), &flow.ExhaustTestPressureDrop()}) {
        Add(lines, *spec);
    }
    for (int point = 0; point < flow.GetPointCount(); ++point) {
        for (const CTorqSpec* spec : {&flow.IntakeLift(point), &flow.IntakeAirflow(point), &flow.ExhaustLift(point),
                                      &flow.ExhaustAirflow(point)}) {
            Add(lines, *spec);
        }
    }

    lines.push_back("forced induction class = " + std::to_string(doc.GetForcedInductionClass()));
    lines.push_back("calculator used = " + std::to_string(doc.IsCompressionFromCalculator()));
    lines.push_back("piston kind = " + std::to_string(doc.GetPistonKind()));
    lines.push_back("unit system = " + std::to_string(doc.GetUnitSystem()));
    lines.push_back("auto valve sizes = " + std::to_string(doc.IsAutoValveSizes()));
    lines.push_back("auto run = " + std::to_string(doc.IsAutoRun()));
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        std::string values = "series " + std::to_string(series) + ":";
        for (float value : doc.GetResultSeries(series)) values += FormatC(" %.9g", double(value));
        lines.push_back(values);
    }
    return lines;
}
