// The choices of the component choice table: each copies its row's values
// into the engine's parameters, always in English units, and shows them in
// the engine's unit system again.

#include "TorqDoc.h"

#include "ComponentTable.h"
#include "DocumentCommands.h"
#include "base/Assertion.h"
#include "base/MessagePresenter.h"
#include "base/Util.h"

namespace {

bool SetChoiceFromRow(CPartTypeSpec& spec, const ComponentChoice& row)
{
    return spec.SetChoice(row.partIndex, row.name);
}

}  // namespace

void CTorqDoc::ApplyShortBlock(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ShortBlockType(), row);
    Bore().SetValueIn(row.values[0], true);
    Stroke().SetValueIn(row.values[1], true);
    NumberOfCylinders().SetValue(static_cast<int>(row.values[2]));
    // Every row is English, so a short block choice leaves the engine in English units.
    ApplyRowUnits(row.metricFlag);
}

void CTorqDoc::ApplyRowUnits(int metricFlag)
{
    SetUnitSystem(metricFlag == 0 ? kEnglishUnits : kMetricUnits);
}

void CTorqDoc::ApplyCylinderHead(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    AirflowFile().MarkUnset();
    SetChoiceFromRow(CylinderHeadType(), row);
    FlowData().LoadPreset(row.partIndex, row.name);
    ApplyValveCounts(static_cast<int>(row.values[0]), static_cast<int>(row.values[1]));
}

void CTorqDoc::ApplyValveCounts(int intakeValves, int exhaustValves)
{
    IntakeValveCount().SetValue(intakeValves);
    ExhaustValveCount().SetValue(exhaustValves);
    ShowValveCountNote();
}

void CTorqDoc::ShowValveCountNote()
{
    const int valves = IntakeValveCount().GetValue() + ExhaustValveCount().GetValue();
    if (valves == 3) ShowNoteMessage(Msg::ThreeValveHeads);
    if (valves == 4) ShowNoteMessage(Msg::FourValveHeads);
}

void CTorqDoc::ApplyValveDiameter(Choice choice)
{
    CFloatPtSpec& diameter =
        choice.group == ChoiceGroup::IntakeValveDiameter ? IntakeValveDiameter() : ExhaustValveDiameter();
    diameter.SetValueIn(ChoiceRow(choice).values[0], true);
    m_values.autoValveSizes = false;
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyValveLift(Choice choice)
{
    CFloatPtSpec& lift =
        choice.group == ChoiceGroup::IntakeValveLift ? Cam().IntakeLift() : Cam().ExhaustLift();
    lift.SetValueIn(ChoiceRow(choice).values[0], true);
    Cam().SetAutoValveLift(false);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyCompressionRatio(Choice choice)
{
    CompressionRatio().SetValueIn(ChoiceRow(choice).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyInduction(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    InductionFlow().SetValueIn(row.values[0], true);
    PressureDrop().SetValueIn(row.values[1], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyManifold(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ManifoldType(), row);
    if (row.partIndex == kIndividualRunnerManifold) ShowNoteMessage(Msg::IndividualRunners);
    // A blower feeds its own exhaust: the form shows "Forced Induction Exhaust",
    // but the engine still needs an exhaust system to run.
    if (choice == NamedChoice::kForcedInductionManifold && !ExhaustSystem().IsValid()) {
        SetChoiceFromRow(ExhaustSystem(), ChoiceRow(NamedChoice::kStockExhaust));
    }
}

void CTorqDoc::ApplyFuel(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(FuelType(), row);
    NitrousFlowRate().SetValueIn(row.values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyForcedInduction(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    SetChoiceFromRow(ForcedInductionType(), row);
    m_values.forcedInductionClass = static_cast<int>(row.values[0]);
    for (CFloatPtSpec* spec : {&BlowerFlowRate(), &BlowerPressureRatio(), &BlowerEfficiency(), &BlowerRpm(),
                               &BlowerSurgeFlowRate(), &BlowerInternalGearRatio(), &BlowerBeltGearRatio()}) {
        spec->Reset();
    }
    if (choice == NamedChoice::kNoForcedInduction || choice == NamedChoice::kCustomTurbo ||
        choice == NamedChoice::kCustomCentrifugalBlower || choice == NamedChoice::kCustomRootsBlower) {
        return;  // the user enters the values
    }
    const int kind = m_values.forcedInductionClass;
    TORQ_ASSERT(kind != kNoForcedInduction);
    const float* v = row.values;  // class, flow, ratio, efficiency, rpm, surge, internal, belt, boost
    BlowerFlowRate().SetValueIn(v[1], true);
    if (kind == kTurbocharger || kind == kCentrifugalBlower) BlowerPressureRatio().SetValueIn(v[2], true);
    BlowerEfficiency().SetValueIn(v[3], true);
    if (kind == kCentrifugalBlower) BlowerRpm().SetValueIn(v[4], true);
    if (kind == kTurbocharger) BlowerSurgeFlowRate().SetValueIn(v[5], true);
    if (kind == kCentrifugalBlower) BlowerInternalGearRatio().SetValueIn(v[6], true);
    if (kind == kCentrifugalBlower || kind == kRootsBlower) BlowerBeltGearRatio().SetValueIn(v[7], true);
    if (!BlowerBoostLevelLimit().IsValid()) BlowerBoostLevelLimit().SetValueIn(v[8], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyIntercooler(Choice choice)
{
    if (choice == NamedChoice::kNoIntercooler) {
        IntercoolerEfficiency().Reset();
        return;
    }
    IntercoolerEfficiency().SetValueIn(ChoiceRow(choice).values[0], true);
    SetUnitSystem(m_values.unitSystem);
}

void CTorqDoc::ApplyExhaustSystem(Choice choice)
{
    SetChoiceFromRow(ExhaustSystem(), ChoiceRow(choice));
}

void CTorqDoc::ApplyCamType(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    if (choice == NamedChoice::kCustomCamType) {
        SetCustomCamType(row.name);
        return;
    }
    CamDataFile().MarkUnset();
    const float* events = row.values;  // nominal IVO, IVC, EVO, EVC
    const int note = Cam().ChooseProfile(row.partIndex, row.name, events[0], events[1], events[2], events[3]);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::SetCustomCamType(const std::string& description)
{
    const std::string name = TrimBlanks(description);
    TORQ_ASSERT(!name.empty());
    CamDataFile().MarkUnset();
    Cam().CamType().SetChoice(Cam().CamType().GetMaximumIndex(), name);
}

void CTorqDoc::ApplyTimingMethod(Choice choice)
{
    const ComponentChoice& row = ChoiceRow(choice);
    const int note = Cam().SetTimingMethod(row.partIndex, row.name);
    if (note != 0) ShowNoteMessage(note);
}

void CTorqDoc::ApplyLifterType(Choice choice)
{
    SetChoiceFromRow(Cam().LifterType(), ChoiceRow(choice));
}
