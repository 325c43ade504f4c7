#include "EngineSummary.h"

#include "model/TorqDoc.h"

namespace {

// Fuels that take no nitrous (part-type indexes of the fuel list).
bool FuelTakesNitrous(const CPartTypeSpec& fuel)
{
    if (!fuel.IsSet()) return false;
    const int index = fuel.GetIndex();
    return index != 1 && index != 10 && index != 19 && index != 20 && index != 21;
}

QString Text(const CTorqSpec& parameter)
{
    return QString::fromStdString(parameter.GetTextWithUnits()).trimmed();
}

// "2.020 in (Auto)" for a value the document sizes itself.
QString WithAuto(const CTorqSpec& parameter, bool automatic)
{
    return automatic ? Text(parameter) + QStringLiteral(" (Auto)") : Text(parameter);
}

// "0.500 / 0.480 in", and "(Auto)" after the pair when the engine sizes
// both lifts itself.
QString LiftPair(const CamData& cam)
{
    const QString pair =
        QString::fromStdString(cam.IntakeLift().GetText()) + QStringLiteral(" / ") + Text(cam.ExhaustLift());
    return cam.IsAutoValveLift() ? pair + QStringLiteral(" (Auto)") : pair;
}

EngineSummaryGroup ShortBlock(const CTorqDoc& doc)
{
    return {
        QStringLiteral("SHORT BLOCK"),
        {{QStringLiteral("Block:"), Text(doc.ShortBlockType())},
         {QStringLiteral("Bore x Stroke:"), Text(doc.Bore()) + QStringLiteral(" x ") + Text(doc.Stroke())},
         {QStringLiteral("Cylinders:"), Text(doc.NumberOfCylinders())},
         {QStringLiteral("Total Vol:"), Text(doc.TotalBlockVolume())}}};
}

EngineSummaryGroup CylinderHeads(const CTorqDoc& doc)
{
    EngineSummaryGroup group{QStringLiteral("CYLINDER HEADS"),
                             {{QStringLiteral("Heads:"), Text(doc.CylinderHeadType())}}};
    if (doc.AirflowFile().IsSet())
        group.lines.push_back({QStringLiteral("Airflow File:"), Text(doc.AirflowFile())});
    group.lines.push_back(
        {QStringLiteral("Valves/Cyl:"), Text(doc.IntakeValveCount()) + QStringLiteral(" int, ") +
                                            Text(doc.ExhaustValveCount()) + QStringLiteral(" exh")});
    group.lines.push_back(
        {QStringLiteral("Intake Valve:"), WithAuto(doc.IntakeValveDiameter(), doc.IsAutoValveSizes())});
    group.lines.push_back(
        {QStringLiteral("Exhaust Valve:"), WithAuto(doc.ExhaustValveDiameter(), doc.IsAutoValveSizes())});
    return group;
}

EngineSummaryGroup Induction(const CTorqDoc& doc)
{
    EngineSummaryGroup group{QStringLiteral("INDUCTION"),
                             {{QStringLiteral("Flow:"),
                               Text(doc.InductionFlow()) + QStringLiteral(" @ ") + Text(doc.PressureDrop())},
                              {QStringLiteral("Manifold:"), Text(doc.ManifoldType())},
                              {QStringLiteral("Fuel:"), Text(doc.FuelType())}}};
    if (FuelTakesNitrous(doc.FuelType()) && doc.NitrousFlowRate().IsSet() &&
        doc.NitrousFlowRate().GetValue() > 0) {
        group.lines.push_back({QStringLiteral("N20:"), Text(doc.NitrousFlowRate())});
    }
    const bool forced =
        doc.ManifoldType().IsSet() && doc.ManifoldType().GetIndex() == kForcedInductionManifold;
    if (forced) {
        group.lines.push_back({QStringLiteral("Blower:"), Text(doc.ForcedInductionType())});
        group.lines.push_back({QStringLiteral("Boost Limit:"), Text(doc.BlowerBoostLevelLimit())});
        group.lines.push_back({QStringLiteral("Intercooler:"), Text(doc.IntercoolerEfficiency())});
    }
    return group;
}

EngineSummaryGroup Camshaft(const CTorqDoc& doc)
{
    const CamData& cam = doc.Cam();
    const auto events = [](const CFloatPtSpec& open, const CFloatPtSpec& close) {
        return Text(open) + QStringLiteral(" / ") + Text(close);
    };
    return {QStringLiteral("CAMSHAFT"),
            {{QStringLiteral("Cam:"), Text(cam.CamType())},
             {QStringLiteral("Lifter:"), Text(cam.LifterType())},
             {QStringLiteral("Specs @:"), Text(cam.TimingMethod())},
             {QStringLiteral("Lift Int/Exh:"), LiftPair(cam)},
             {QStringLiteral("Duration Int/Exh:"), events(cam.IntakeDuration(), cam.ExhaustDuration())},
             {QStringLiteral("IVO / IVC:"), events(cam.NominalIvo(), cam.NominalIvc())},
             {QStringLiteral("EVO / EVC:"), events(cam.NominalEvo(), cam.NominalEvc())},
             {QStringLiteral("Lobe Center:"), Text(cam.LobeCenter())},
             {QStringLiteral("Adv(+)/Ret(-):"), Text(cam.AdvanceRetard())}}};
}

// A blower feeds its own exhaust, as the form shows it.
QString ExhaustText(const CTorqDoc& doc)
{
    const bool forced =
        doc.ManifoldType().IsSet() && doc.ManifoldType().GetIndex() == kForcedInductionManifold;
    return forced ? QStringLiteral("Forced Induction Exhaust") : Text(doc.ExhaustSystem());
}

}  // namespace

std::vector<EngineSummaryGroup> SummarizeEngine(const CTorqDoc& doc)
{
    return {ShortBlock(doc),
            CylinderHeads(doc),
            {QStringLiteral("COMPRESSION"), {{QStringLiteral("Ratio:"), Text(doc.CompressionRatio())}}},
            Induction(doc),
            {QStringLiteral("EXHAUST"), {{QStringLiteral("System:"), ExhaustText(doc)}}},
            Camshaft(doc)};
}
