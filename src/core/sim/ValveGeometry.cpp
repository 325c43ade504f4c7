#include "ValveGeometry.h"

#include "SimConstants.h"

#include <cmath>
#include <iterator>

namespace {

// The flow bench's ideal velocity through the test valve, v^2 = 2 dp / rho:
// m^2/s^2 per inH2O of drop (249.09 Pa per inH2O, air at 1.175 kg/m^3).
constexpr double kBenchVelocitySquaredPerInchWater = 423.943;
// Ideal flow through the curtain pi D L, cfm per ft of diameter, ft of lift and
// m/s of velocity: pi x 3.28 ft per metre x 60 s per minute.
constexpr double kCurtainCfmPerMetrePerSecond = kPi * kFeetPerMetre * kSecondsPerMinute;
static_assert(kCurtainCfmPerMetrePerSecond == 618.2654343072);

bool IsFinite(float value)
{
    return std::isfinite(value);
}

bool AllFinite(const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!IsFinite(values[i])) return false;
    return true;
}

bool LobeIsFinite(const CamLobe& lobe)
{
    const float values[] = {lobe.opening, lobe.closing,    lobe.duration,   lobe.halfDuration, lobe.flankEnd,
                            lobe.noseEnd, lobe.noseOffset, lobe.noseRadius, lobe.flankOffset};
    return AllFinite(values, static_cast<int>(std::size(values)));
}

bool GeometryIsFinite(const EngineGeometry& g)
{
    const float values[] = {
        g.bore,      g.stroke,         g.cylinderVolume,  g.clearanceVolume,    g.engineVolume,
        g.rodLength, g.intakeDiameter, g.exhaustDiameter, g.intakePortDiameter, g.crankRadius,
        g.pistonArea};
    return AllFinite(values, static_cast<int>(std::size(values)));
}

bool TableIsFinite(const FlowTable& table)
{
    // Slopes between two points past the end of the data are 0/0; the
    // segment rule never picks them.
    return AllFinite(table.lift, 11) && AllFinite(table.coefficient, 11);
}

}  // namespace

LifterData GetLifterData(LifterType lifter)
{
    switch (lifter) {
        case LifterType::Solid:  // flat tappet
            return {1.55f, 20.0f, 12.0f};
        case LifterType::Roller:
            return {1.6f, 17.0f, 11.5f};
        default:  // hydraulic flat tappet
            return {1.5f, 28.0f, 12.5f};
    }
}

ValveEvents ComputeValveEvents(const SimInputs& in, const LifterData& lifter)
{
    // 0.050-inch figures are widened at both ends by the lifter's allowance
    // to reach the seat-to-seat events the lobe is built on.
    const double a = CamTimingOf(in) == CamTiming::AtFiftyThousandthsLift ? lifter.timingAllowance : 0.0;
    const double adv = in.camAdvance;
    ValveEvents ev{};
    ev.exhaustOpening = static_cast<float>(180.0 - (in.exhaustOpening + a) - adv + 20.0);
    ev.exhaustClosing = static_cast<float>(360.0 + (in.exhaustClosing + a) - adv);
    ev.intakeOpening = static_cast<float>(360.0 - (in.intakeOpening + a) - adv);
    ev.intakeClosing = static_cast<float>(540.0 + (in.intakeClosing + a) - adv);
    return ev;
}

bool SolveCamLobe(float opening, float closing, float valveLift, float flankRadius, CamLobe& lobe)
{
    const double duration = (static_cast<double>(closing) - opening) * 0.5;  // cam degrees
    const double beta = duration * 0.5;
    const double R = flankRadius;
    const double A = R - kBaseCircleRadius;  // flank centre to cam centre
    const double c = std::cos((180.0 - beta) * kRadiansPerDegree);
    const double T = valveLift * 2.0 / 3.0 + kBaseCircleRadius;  // nose tip radius: lobe lift + base circle

    // The nose arc (radius m, centre n from the cam centre) touches the tip
    // and meets the flank arc; x is the cosine of the flank angle where they meet.
    const double n = (2.0 * T * A * c - (T * T + A * A - R * R)) / (2.0 * A * c + 2.0 * R - 2.0 * T);
    const double m = T - n;
    const double x = ((R - n) * (R - n) + A * A - m * m) / (2.0 * (R - n) * A);
    if (x > 1.0 || x < -1.0) return false;
    const double alpha = std::atan(std::sqrt(1.0 - x * x) / x) * kDegreesPerRadian;

    lobe.opening = opening;
    lobe.closing = closing;
    lobe.duration = static_cast<float>(duration);
    lobe.halfDuration = static_cast<float>(beta);
    lobe.flankEnd = static_cast<float>(alpha);
    lobe.noseEnd = static_cast<float>(duration - alpha);
    lobe.noseOffset = static_cast<float>(n);
    lobe.noseRadius = static_cast<float>(m);
    lobe.flankOffset = static_cast<float>(A);
    return true;
}

bool BuildFlowTable(float testDiameter, float testDropInH2O, const float* airflowCfm, const float* liftIn,
                    FlowTable& table)
{
    if (testDropInH2O < 0.0f) return false;
    // Ideal flow per foot of curtain height through the test valve at the
    // bench pressure drop, cfm.
    const double q0 = (testDiameter * kFeetPerInch) *
                      std::sqrt(testDropInH2O * kBenchVelocitySquaredPerInchWater) *
                      kCurtainCfmPerMetrePerSecond;
    table.lift[0] = 0.0f;
    table.coefficient[0] = 1.0f;
    for (int j = 0; j < 10; ++j) {
        table.lift[j + 1] = liftIn[j];
        table.coefficient[j + 1] = 0.0f;
        if (airflowCfm[j] > 0.0f)
            table.coefficient[j + 1] = static_cast<float>(airflowCfm[j] / (q0 * liftIn[j] * kFeetPerInch));
    }
    for (int j = 0; j < 10; ++j)
        table.slope[j] = (static_cast<double>(table.coefficient[j + 1]) - table.coefficient[j]) /
                         (static_cast<double>(table.lift[j + 1]) - table.lift[j]);
    return true;
}

EngineGeometry ComputeGeometry(const SimInputs& in)
{
    EngineGeometry g{};
    const double bore = in.bore;
    const double stroke = in.stroke;
    g.bore = in.bore;
    g.stroke = in.stroke;
    g.cylinderVolume = static_cast<float>(stroke * bore * bore * kQuarterPiSevenFigures);
    g.clearanceVolume =
        static_cast<float>(g.cylinderVolume / (static_cast<double>(in.compressionRatio) - 1.0));
    g.engineVolume = static_cast<float>(in.cylinders * stroke * bore * bore * kQuarterPi);
    g.rodLength = static_cast<float>(1.62 * stroke);
    g.intakeDiameter = in.intakeValves == 2 ? in.intakeValveDia * 2.0f : in.intakeValveDia;
    g.exhaustDiameter = in.exhaustValves == 2 ? in.exhaustValveDia * 2.0f : in.exhaustValveDia;
    g.intakePortDiameter = static_cast<float>(0.85 * g.intakeDiameter);
    g.crankRadius = static_cast<float>(stroke / 2.0);
    g.pistonArea = static_cast<float>(kQuarterPiSevenFigures * bore * bore);
    g.crankOverRod = static_cast<double>(g.crankRadius) / g.rodLength;
    g.twoRodOverStroke = 2.0 * g.rodLength / stroke;
    return g;
}

bool PrepareValveData(const SimInputs& in, ValveSetup& setup)
{
    setup.geometry = ComputeGeometry(in);
    setup.lifter = GetLifterData(LifterOf(in));
    setup.events = ComputeValveEvents(in, setup.lifter);
    const ValveEvents& ev = setup.events;

    if (!BuildFlowTable(in.flowTestIntakeDia, in.flowTestIntakeDrop, in.intakeFlow, in.intakeFlowLift,
                        setup.intakeFlow))
        return false;
    if (!BuildFlowTable(in.flowTestExhaustDia, in.flowTestExhaustDrop, in.exhaustFlow, in.exhaustFlowLift,
                        setup.exhaustFlow))
        return false;
    if (!SolveCamLobe(ev.exhaustOpening, ev.exhaustClosing, in.exhaustLift, setup.lifter.flankRadius,
                      setup.exhaustLobe))
        return false;
    if (!SolveCamLobe(ev.intakeOpening, ev.intakeClosing, in.intakeLift, setup.lifter.flankRadius,
                      setup.intakeLobe))
        return false;
    // Data outside every range the engine can be given (an infinite
    // coefficient, a lobe of no angle) would only poison the cycle later.
    return GeometryIsFinite(setup.geometry) && LobeIsFinite(setup.exhaustLobe) &&
           LobeIsFinite(setup.intakeLobe) && TableIsFinite(setup.exhaustFlow) &&
           TableIsFinite(setup.intakeFlow);
}
