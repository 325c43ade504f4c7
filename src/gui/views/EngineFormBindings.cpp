#include "views/EngineFormBindings.h"

#include <iterator>

namespace {

using G = EngineGroup;
using M = FormMenu;
using P = EngineFormBinding::Place;
using A = EngineFormBinding::AutoLabel;
using enum CTorqSpecEditCtrl::Style;
using enum CTorqSpecEditCtrl::EditMode;

#define PARAM(expression) [](CTorqDoc& d) -> CTorqSpec& { return d.expression; }

// The 53 values in tab order: group, label, parameter; then style, edit mode,
// popup menu, with units, row and place in the group.
// clang-format off
const EngineFormBinding kBindings[] = {
    {G::ShortBlock, "Block:", PARAM(ShortBlockType()),
     kNameStyle, kEditable, M::ShortBlocks, true, 0, P::Full},
    {G::ShortBlock, "Bore:", PARAM(Bore()),
     kValueStyle, kEditable, M::None, true, 1, P::Left},
    {G::ShortBlock, "Stroke:", PARAM(Stroke()),
     kValueStyle, kEditable, M::None, true, 1, P::Right},
    {G::ShortBlock, "Cylinders:", PARAM(NumberOfCylinders()),
     kCountStyle, kEditable, M::None, true, 2, P::Left},
    {G::ShortBlock, "Cyl Vol:", PARAM(CylinderVolume()),
     kValueStyle, kComputed, M::None, true, 3, P::Left},
    {G::ShortBlock, "Total Vol:", PARAM(TotalBlockVolume()),
     kValueStyle, kComputed, M::None, true, 3, P::Right},

    {G::CylinderHeads, "Cylinder Heads:", PARAM(CylinderHeadType()),
     kNameStyle, kChooseOnly, M::CylinderHeads, true, 0, P::Full},
    {G::CylinderHeads, "Airflow File:", PARAM(AirflowFile()),
     kNameStyle, kChooseOnly, M::AirflowFile, true, 1, P::Full},
    {G::CylinderHeads, "Intake Valves:", PARAM(IntakeValveCount()),
     kNameStyle, kComputed, M::None, true, 2, P::Left},
    {G::CylinderHeads, "Exhaust Valves:", PARAM(ExhaustValveCount()),
     kNameStyle, kComputed, M::None, true, 3, P::Left},
    {G::CylinderHeads, "Intake Valve:", PARAM(IntakeValveDiameter()),
     kValueStyle, kEditable, M::IntakeValveDiameters, true, 4, P::Left, A::ValveSize},
    {G::CylinderHeads, "Exhaust Valve:", PARAM(ExhaustValveDiameter()),
     kValueStyle, kEditable, M::ExhaustValveDiameters, true, 5, P::Left, A::ValveSize},

    {G::Compression, "Compression Ratio:", PARAM(CompressionRatio()),
     kCountStyle, kEditable, M::CompressionRatios, true, 0, P::LongLabel},
    {G::Compression, "Combustion Space:", PARAM(CombustionSpace()),
     kValueStyle, kComputed, M::None, true, 1, P::LongLabel},

    {G::Induction, "Induction Flow:", PARAM(InductionFlow()),
     kValueStyle, kEditable, M::Induction, true, 0, P::Left},
    {G::Induction, "@", PARAM(PressureDrop()),
     kNameStyle, kChooseOnly, M::PressureDrop, true, 0, P::Right},
    {G::Induction, "Manifold Type:", PARAM(ManifoldType()),
     kNameStyle, kChooseOnly, M::Manifolds, true, 1, P::Full},
    {G::Induction, "Fuel:", PARAM(FuelType()),
     kNameStyle, kChooseOnly, M::Fuels, true, 2, P::Full},
    {G::Induction, "N20:", PARAM(NitrousFlowRate()),
     kValueStyle, kEditable, M::None, true, 3, P::Left},
    {G::Induction, "Blower:", PARAM(ForcedInductionType()),
     kNameStyle, kChooseOnly, M::ForcedInduction, true, 4, P::Full},
    {G::Induction, "Flow:", PARAM(BlowerFlowRate()),
     kValueStyle, kEditable, M::None, true, 5, P::Left},
    {G::Induction, "Pressure Ratio:", PARAM(BlowerPressureRatio()),
     kValueStyle, kEditable, M::None, true, 6, P::Left},
    {G::Induction, "Eff:", PARAM(BlowerEfficiency()),
     kValueStyle, kEditable, M::None, true, 7, P::Left},
    {G::Induction, "Speed:", PARAM(BlowerRpm()),
     kValueStyle, kEditable, M::None, true, 7, P::Right},
    {G::Induction, "Surge Flow:", PARAM(BlowerSurgeFlowRate()),
     kValueStyle, kEditable, M::None, true, 8, P::Left},
    {G::Induction, "Internal Gear Ratio:", PARAM(BlowerInternalGearRatio()),
     kValueStyle, kEditable, M::None, true, 9, P::LongLabel},
    {G::Induction, "Belt Gear Ratio:", PARAM(BlowerBeltGearRatio()),
     kValueStyle, kEditable, M::None, true, 10, P::Left},
    {G::Induction, "Boost Limit:", PARAM(BlowerBoostLevelLimit()),
     kValueStyle, kEditable, M::None, true, 11, P::Left},
    {G::Induction, "Intercooler:", PARAM(IntercoolerEfficiency()),
     kNameStyle, kEditable, M::Intercooler, true, 12, P::Left},

    {G::Exhaust, "Exhaust System:", PARAM(ExhaustSystem()),
     kNameStyle, kChooseOnly, M::ExhaustSystems, true, 0, P::Full},

    {G::Camshaft, "Camshaft Type:", PARAM(Cam().CamType()),
     kNameStyle, kChooseOnly, M::CamTypes, false, 0, P::Full},
    {G::Camshaft, "Cam File:", PARAM(CamDataFile()),
     kNameStyle, kChooseOnly, M::CamFile, false, 1, P::Full},
    {G::Camshaft, "Lifter:", PARAM(Cam().LifterType()),
     kNameStyle, kChooseOnly, M::LifterTypes, false, 2, P::Left},
    {G::Camshaft, "Cam Specs @:", PARAM(Cam().TimingMethod()),
     kNameStyle, kChooseOnly, M::TimingMethods, false, 3, P::Left},
    {G::Camshaft, "Lobe Center:", PARAM(Cam().LobeCenter()),
     kValueStyle, kComputed, M::None, true, 4, P::Left},
    {G::Camshaft, "Valve Overlap:", PARAM(Cam().Overlap()),
     kValueStyle, kComputed, M::None, true, 5, P::Left},
    {G::Camshaft, "Timing@ Adv(+)/Ret(-):", PARAM(Cam().AdvanceRetard()),
     kValueStyle, kEditable, M::None, true, 6, P::LongLabel},
    {G::Camshaft, "Int Lift@Valve:", PARAM(Cam().IntakeLift()),
     kValueStyle, kEditable, M::IntakeValveLifts, true, 7, P::Left, A::ValveLift},
    {G::Camshaft, "Exh Lift@Valve:", PARAM(Cam().ExhaustLift()),
     kValueStyle, kEditable, M::ExhaustValveLifts, true, 8, P::Left, A::ValveLift},
    {G::Camshaft, "Int Duration:", PARAM(Cam().IntakeDuration()),
     kValueStyle, kComputed, M::None, true, 9, P::Left},
    {G::Camshaft, "Exh Duration:", PARAM(Cam().ExhaustDuration()),
     kValueStyle, kComputed, M::None, true, 10, P::Left},
    {G::Camshaft, "IVO  (BTDC):", PARAM(Cam().NominalIvo()),
     kValueStyle, kEditable, M::None, true, 13, P::Left},
    {G::Camshaft, "IVC  (ABDC):", PARAM(Cam().NominalIvc()),
     kValueStyle, kEditable, M::None, true, 14, P::Left},
    {G::Camshaft, "EVO (BBDC):", PARAM(Cam().NominalEvo()),
     kValueStyle, kEditable, M::None, true, 15, P::Left},
    {G::Camshaft, "EVC (ATDC):", PARAM(Cam().NominalEvc()),
     kValueStyle, kEditable, M::None, true, 16, P::Left},
    {G::Camshaft, "ICA  (ATDC):", PARAM(Cam().NominalIntakeCenterline()),
     kValueStyle, kComputed, M::None, true, 17, P::Left},
    {G::Camshaft, "ECA (BTDC):", PARAM(Cam().NominalExhaustCenterline()),
     kValueStyle, kComputed, M::None, true, 18, P::Left},
    {G::Camshaft, "IVO:", PARAM(Cam().ActualIvo()),
     kValueStyle, kComputed, M::None, true, 13, P::Right},
    {G::Camshaft, "IVC:", PARAM(Cam().ActualIvc()),
     kValueStyle, kComputed, M::None, true, 14, P::Right},
    {G::Camshaft, "EVO:", PARAM(Cam().ActualEvo()),
     kValueStyle, kComputed, M::None, true, 15, P::Right},
    {G::Camshaft, "EVC:", PARAM(Cam().ActualEvc()),
     kValueStyle, kComputed, M::None, true, 16, P::Right},
    {G::Camshaft, "ICA:", PARAM(Cam().ActualIntakeCenterline()),
     kValueStyle, kComputed, M::None, true, 17, P::Right},
    {G::Camshaft, "ECA:", PARAM(Cam().ActualExhaustCenterline()),
     kValueStyle, kComputed, M::None, true, 18, P::Right},
};
// clang-format on

#undef PARAM

static_assert(std::size(kBindings) == kEngineFormValueCount);

}  // namespace

std::span<const EngineFormBinding, kEngineFormValueCount> EngineFormBindings()
{
    return kBindings;
}
