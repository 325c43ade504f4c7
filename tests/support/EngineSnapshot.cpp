#include "EngineSnapshot.h"

#include "base/Util.h"
#include "model/TorqDoc.h"

#include <initializer_list>

namespace {

void Add(std::vector<std::string>& lines, const CTorqSpec& spec)
{
    lines.push_back(std::string(spec.GetName()) + (spec.IsSet() ? " = " : " (unset) = ") +
                    spec.GetTextWithUnits());
    if (const auto* number = dynamic_cast<const CFloatPtSpec*>(&spec)) {
        lines.push_back(std::string(spec.GetName()) +
                        FormatC(" raw %.9g [%.9g, %.9g]", double(number->GetValue()),
                                double(number->GetMinimum()), double(number->GetMaximum())));
    }
}

}  // namespace

std::vector<std::string> EngineSnapshot(const EngineValues& engine)
{
    std::vector<std::string> lines;
    engine.ForEachParameter([&lines](const CTorqSpec& spec, ParameterRole) { Add(lines, spec); });
    const CamData& cam = engine.cam;
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{&cam.CamType(),
                                                                         &cam.LifterType(),
                                                                         &cam.TimingMethod(),
                                                                         &cam.LobeCenter(),
                                                                         &cam.Overlap(),
                                                                         &cam.AdvanceRetard(),
                                                                         &cam.IntakeLift(),
                                                                         &cam.ExhaustLift(),
                                                                         &cam.IntakeDuration(),
                                                                         &cam.ExhaustDuration(),
                                                                         &cam.NominalIvo(),
                                                                         &cam.NominalIvc(),
                                                                         &cam.NominalEvo(),
                                                                         &cam.NominalEvc(),
                                                                         &cam.NominalIntakeCenterline(),
                                                                         &cam.NominalExhaustCenterline(),
                                                                         &cam.ActualIvo(),
                                                                         &cam.ActualIvc(),
                                                                         &cam.ActualEvo(),
                                                                         &cam.ActualEvc(),
                                                                         &cam.ActualIntakeCenterline(),
                                                                         &cam.ActualExhaustCenterline()}) {
        Add(lines, *spec);
    }
    lines.push_back("auto valve lift = " + std::to_string(cam.IsAutoValveLift()));

    const CylHeadFlowData& flow = engine.flowData;
    lines.push_back("airflow description = " + flow.GetDescription());
    lines.push_back("airflow points = " + std::to_string(flow.GetPointCount()));
    for (const CTorqSpec* spec : {&flow.IntakeTestDiameter(), &flow.IntakeTestPressureDrop(),
                                  &flow.ExhaustTestDiameter(), &flow.ExhaustTestPressureDrop()}) {
        Add(lines, *spec);
    }
    for (int point = 0; point < flow.GetPointCount(); ++point) {
        for (const CTorqSpec* spec : {&flow.IntakeLift(point), &flow.IntakeAirflow(point),
                                      &flow.ExhaustLift(point), &flow.ExhaustAirflow(point)}) {
            Add(lines, *spec);
        }
    }

    lines.push_back("forced induction class = " + std::to_string(engine.forcedInductionClass));
    lines.push_back("calculator used = " + std::to_string(engine.calculatorUsed));
    lines.push_back("piston kind = " + std::to_string(engine.pistonKind));
    lines.push_back("unit system = " + std::to_string(engine.unitSystem));
    lines.push_back("auto valve sizes = " + std::to_string(engine.autoValveSizes));
    lines.push_back("auto run = " + std::to_string(engine.autoRun));
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        std::string values = "series " + std::to_string(series) + ":";
        for (float value : engine.results[series - 1]) values += FormatC(" %.9g", double(value));
        lines.push_back(values);
    }
    return lines;
}

std::vector<std::string> EngineSnapshot(const CTorqDoc& doc)
{
    return EngineSnapshot(doc.Values());
}
