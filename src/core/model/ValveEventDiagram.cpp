#include "ValveEventDiagram.h"

#include "TorqDoc.h"
#include "components/Cam.h"
#include "sim/ValveGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPowerBdc = 180.0;
constexpr double kOverlapTdc = 360.0;
constexpr double kIntakeBdc = 540.0;

// The cam's part of the model's inputs, as the simulation interface fills
// them (a test holds the two to the same figures).
SimInputs CamInputs(const CamData& cam)
{
    SimInputs in{};
    in.lifterType = static_cast<std::int16_t>(cam.LifterType().GetIndex());
    in.timingAt050 = cam.TimingMethod().GetIndex() == kFiftyLiftIndex ? 1 : 0;
    in.exhaustOpening = cam.NominalEvo().GetEnglishValue();
    in.exhaustClosing = cam.NominalEvc().GetEnglishValue();
    in.intakeOpening = cam.NominalIvo().GetEnglishValue();
    in.intakeClosing = cam.NominalIvc().GetEnglishValue();
    in.intakeLift = cam.IntakeLift().GetEnglishValue();
    in.exhaustLift = cam.ExhaustLift().GetEnglishValue();
    in.camAdvance = static_cast<std::int16_t>(std::trunc(cam.AdvanceRetard().GetEnglishValue()));
    return in;
}

// The lobe's lift from its opening to its closing, every step and at the nose.
std::vector<LiftPoint> SampleLobe(const CamLobe& lobe, double stepDegrees)
{
    std::vector<LiftPoint> points;
    const double nose = (static_cast<double>(lobe.opening) + lobe.closing) / 2.0;
    bool noseTaken = false;
    for (double theta = lobe.opening; theta < lobe.closing; theta += stepDegrees) {
        if (!noseTaken && theta >= nose) {
            if (theta > nose) points.push_back({nose, ValveLift(lobe, nose)});
            noseTaken = true;
        }
        points.push_back({theta, ValveLift(lobe, theta)});
    }
    points.push_back({lobe.closing, ValveLift(lobe, lobe.closing)});
    return points;
}

double Deepest(const std::vector<LiftPoint>& points)
{
    double most = 0.0;
    for (const LiftPoint& point : points) most = std::max(most, point.liftIn);
    return most;
}

}  // namespace

ValveEventDiagram BuildValveEventDiagram(const CamData& cam, double stepDegrees)
{
    ValveEventDiagram diagram;
    if (!cam.CheckComplete(diagram.camCode)) return diagram;
    const SimInputs in = CamInputs(cam);
    const LifterData lifter = GetLifterData(LifterOf(in));
    const ValveEvents events = ComputeValveEvents(in, lifter);
    CamLobe exhaust{};
    CamLobe intake{};
    diagram.lobesSolved =
        SolveCamLobe(events.exhaustOpening, events.exhaustClosing, in.exhaustLift, lifter.flankRadius,
                     exhaust) &&
        SolveCamLobe(events.intakeOpening, events.intakeClosing, in.intakeLift, lifter.flankRadius, intake);
    if (!diagram.lobesSolved) return diagram;

    diagram.exhaustOpening = events.exhaustOpening;
    diagram.exhaustClosing = events.exhaustClosing;
    diagram.intakeOpening = events.intakeOpening;
    diagram.intakeClosing = events.intakeClosing;
    diagram.ivoBtdc = kOverlapTdc - diagram.intakeOpening;
    diagram.ivcAbdc = diagram.intakeClosing - kIntakeBdc;
    diagram.evoBbdc = kPowerBdc - diagram.exhaustOpening;
    diagram.evcAtdc = diagram.exhaustClosing - kOverlapTdc;
    diagram.overlapDegrees = std::max(0.0, diagram.exhaustClosing - diagram.intakeOpening);

    const double step = stepDegrees > 0.0 ? stepDegrees : 2.0;
    diagram.exhaust = SampleLobe(exhaust, step);
    diagram.intake = SampleLobe(intake, step);
    diagram.exhaustLiftIn = Deepest(diagram.exhaust);
    diagram.intakeLiftIn = Deepest(diagram.intake);
    return diagram;
}
