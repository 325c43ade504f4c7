#include "TorqDoc.h"

#include "Commands.h"
#include "ComponentTable.h"
#include "base/ErrCode.h"

#include <algorithm>
#include <atomic>
#include <cfloat>

namespace {

std::atomic<int> g_nextDocumentNumber{1};

CFloatPtSpec Length(const char* name, float minIn, float maxIn)
{
    return CFloatPtSpec(name, UnitCode::Inch, minIn, maxIn, UnitCode::Millimetre, kInchesToMillimetres);
}

CFloatPtSpec Same(const char* name, UnitCode unit, float minimum, float maximum)
{
    return CFloatPtSpec(name, unit, minimum, maximum, unit, 1.0f);
}

// Both ends of a command range are rows of the table, in order, and the
// rows between them rise by exactly one.
void CheckCommandRange(Cmd::Range range)
{
    const auto rows = ComponentChoices();
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [&](const ComponentChoice& row) { return row.command == range.first; });
    const auto last = std::find_if(rows.begin(), rows.end(),
                                   [&](const ComponentChoice& row) { return row.command == range.last; });
    TORQ_ASSERT(first != rows.end() && last != rows.end());
    TORQ_ASSERT(first <= last);
    for (auto row = first; row != last; ++row) TORQ_ASSERT((row + 1)->command == row->command + 1);
}

void CheckComponentTable()
{
    for (Cmd::Range range :
         {Cmd::kShortBlocks, Cmd::kCylinderHeads, Cmd::kIntakeValveDiameters, Cmd::kExhaustValveDiameters,
          Cmd::kIntakeValveLifts, Cmd::kExhaustValveLifts, Cmd::kCompressionRatios, Cmd::kInduction,
          Cmd::kManifolds, Cmd::kForcedInduction, Cmd::kIntercoolers, Cmd::kFuels, Cmd::kExhaustSystems,
          Cmd::kCamTypes, Cmd::kTimingMethods, Cmd::kLifterTypes}) {
        CheckCommandRange(range);
    }
}

void CheckSeries(int series) { TORQ_ASSERT(series >= 1 && series <= kResultSeriesCount); }

}  // namespace

CTorqDoc::CTorqDoc()
    : m_shortBlockType("Short Block Type", 1, 205),
      m_bore(Length("Bore", 2.8f, 7.0f)),
      m_stroke(Length("Stroke", 2.4f, 7.0f)),
      m_cylinders("Number of Cylinders", 1, 12),
      m_cylinderVolume(Same("Cylinder Volume", UnitCode::CubicCentimetre, 1.0f, 4415.0f)),
      m_totalBlockVolume("Total Block Volume", UnitCode::CubicInch, 1.0f, 5000.0f, UnitCode::CubicCentimetre,
                         kCubicInchesToCubicCentimetres),
      m_cylinderHeadType("Cylinder Head Type", 1, 17),
      m_airflowFile("Airflow File"),
      m_intakeValves("Number of Intake Valves per Cylinder", 1, 2),
      m_exhaustValves("Number of Exhaust Valves per Cylinder", 1, 2),
      m_intakeValveDiameter(Length("Intake Valve Diameter", 0.75f, 4.0f)),
      m_exhaustValveDiameter(Length("Exhaust Valve Diameter", 0.5f, 3.25f)),
      m_compressionRatio(Same("Compression Ratio", UnitCode::Ratio, 6.0f, 18.0f)),
      m_combustionSpace(Same("Combustion Space", UnitCode::CubicCentimetre, 0.1f, 5000.0f)),
      m_inductionFlow(Same("Induction Flow", UnitCode::Cfm, 100.0f, 4000.0f)),
      m_pressureDrop(Same("Pressure Drop", UnitCode::InchMercury, 1.5f, 3.0f)),
      m_manifoldType("Manifold Type", 1, 7),
      m_fuelType("Fuel Type", 1, 21),
      m_nitrousFlowRate(Same("Nitrous Flow Rate", UnitCode::PoundsPerMinute, 0.0f, 20.0f)),
      m_forcedInductionType("Forced Induction Type", 1, 71),
      m_blowerFlowRate(Same("Blower Flow Rate", UnitCode::Cfm, 0.1f, 1000.0f)),
      m_blowerPressureRatio(Same("Blower Pressure Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      m_blowerEfficiency(Same("Blower Efficiency", UnitCode::Percent, 0.0f, 100.0f)),
      m_blowerRpm(Same("Blower RPM", UnitCode::Rpm, 1000.0f, 100000.0f)),
      m_blowerSurgeFlowRate(Same("Blower Surge Flow Rate", UnitCode::Cfm, 10.0f, 1000.0f)),
      m_blowerInternalGearRatio(Same("Blower Internal Gear Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      m_blowerBeltGearRatio(Same("Blower Belt Gear Ratio", UnitCode::Ratio, 0.1f, 10.0f)),
      m_blowerBoostLevelLimit(Same("Blower Boost Level Limit", UnitCode::Psi, 0.5f, 80.0f)),
      m_intercoolerEfficiency(Same("Intercooler Efficiency", UnitCode::Percent, 0.0f, 150.0f)),
      m_exhaustSystem("Exhaust System", 1, 7),
      m_camDataFile("Cam Data File"),
      m_chamberVolume(Same("Cylinder Head Chamber Volume", UnitCode::CubicCentimetre, 0.1f, 500.0f)),
      // The gasket bore spans the bore range and an inch more.
      m_gasketBore(Length("Head Gasket Bore Diameter", 2.8f, 8.0f)),
      m_gasketThickness(Length("Head Gasket Compressed Thickness", 0.0f, 0.15f)),
      m_pistonDistance(Length("Piston Distance", -0.5f, 2.0f)),
      m_pistonDeckVolume(Same("Piston to Block Deck Volume", UnitCode::CubicCentimetre, 0.1f, 6000.0f)),
      m_gasketVolume(Same("Head Gasket Volume", UnitCode::CubicCentimetre, -100000.0f, FLT_MAX)),
      m_deckVolume(Same("Deck Volume", UnitCode::CubicCentimetre, -100000.0f, FLT_MAX)),
      m_documentNumber(g_nextDocumentNumber++)
{
    // The table is fixed data: checking it once per program is enough.
    static const bool tableChecked = (CheckComponentTable(), true);
    (void)tableChecked;
    Clear();
}

CTorqDoc::~CTorqDoc()
{
    // Observers may remove themselves while they hear of the end.
    const std::vector<DocumentObserver*> observers = m_observers;
    for (DocumentObserver* observer : observers) observer->OnDocumentChanged(*this, DocumentChange::Destroyed);
}

void CTorqDoc::Clear()
{
    for (CTorqSpec* spec : std::initializer_list<CTorqSpec*>{
             &m_shortBlockType, &m_bore, &m_stroke, &m_cylinders, &m_cylinderVolume, &m_totalBlockVolume,
             &m_cylinderHeadType, &m_intakeValves, &m_exhaustValves, &m_airflowFile}) {
        spec->MarkUnset();
    }
    m_flowData.ResetDefaults();
    for (CTorqSpec* spec : std::initializer_list<CTorqSpec*>{&m_intakeValveDiameter, &m_exhaustValveDiameter,
                                                              &m_compressionRatio, &m_combustionSpace}) {
        spec->MarkUnset();
    }
    ClearCalculatorParameters();
    for (CTorqSpec* spec : std::initializer_list<CTorqSpec*>{&m_inductionFlow, &m_pressureDrop, &m_manifoldType,
                                                              &m_fuelType, &m_nitrousFlowRate}) {
        spec->MarkUnset();
    }
    const ComponentChoice& none = FindComponentChoice(Cmd::kForcedInductionNone);
    m_forcedInductionType.SetChoice(none.partIndex, none.name);
    m_forcedInductionClass = kNoForcedInduction;
    for (CFloatPtSpec* spec : {&m_blowerFlowRate, &m_blowerPressureRatio, &m_blowerEfficiency, &m_blowerRpm,
                               &m_blowerSurgeFlowRate, &m_blowerInternalGearRatio, &m_blowerBeltGearRatio,
                               &m_blowerBoostLevelLimit, &m_intercoolerEfficiency}) {
        spec->Reset();
    }
    m_exhaustSystem.MarkUnset();
    m_camDataFile.MarkUnset();
    m_cam.ClearAll();
    SetUnitSystem(kEnglishUnits);
    m_autoValveSizes = false;
    m_autoRun = true;
    ClearResults();
    ApplyFuel(Cmd::kFuelGasoline);
}

void CTorqDoc::ClearCalculatorParameters()
{
    m_calculatorUsed = false;
    m_pistonKind = 2;
    for (CFloatPtSpec* spec : {&m_chamberVolume, &m_gasketBore, &m_gasketThickness, &m_pistonDistance,
                               &m_pistonDeckVolume, &m_gasketVolume, &m_deckVolume}) {
        spec->MarkUnset();
    }
    m_pistonDistance.SetRange(-0.5f, 2.0f);
}

void CTorqDoc::ClearCalculatorInputs() { ClearCalculatorParameters(); }

void CTorqDoc::ClearComponents()
{
    Clear();
    SetUnitSystem(m_unitSystem);
    m_modified = false;
    UpdateAllViews();
}

void CTorqDoc::SetPistonKind(int pistonKind)
{
    TORQ_ASSERT(pistonKind == 1 || pistonKind == 2);
    m_pistonKind = pistonKind;
    // A domed or dished piston is measured from TDC down; a flattop may stand above the deck.
    m_pistonDistance.SetRange(pistonKind == 1 ? 0.1f : -0.5f, 2.0f);
}

void CTorqDoc::SetForcedInductionClass(int forcedInductionClass)
{
    TORQ_ASSERT(forcedInductionClass >= kNoForcedInduction && forcedInductionClass <= kRootsBlower);
    m_forcedInductionClass = forcedInductionClass;
}

std::vector<CFloatPtSpec*> CTorqDoc::UnitSwitchedParameters()
{
    return {&m_bore,           &m_stroke,          &m_cylinderVolume,   &m_totalBlockVolume,
            &m_intakeValveDiameter, &m_exhaustValveDiameter, &m_compressionRatio, &m_combustionSpace,
            &m_chamberVolume,  &m_gasketBore,      &m_gasketThickness,  &m_pistonDistance,
            &m_pistonDeckVolume, &m_gasketVolume,  &m_deckVolume,       &m_inductionFlow,
            &m_pressureDrop,   &m_nitrousFlowRate, &m_blowerFlowRate,   &m_blowerSurgeFlowRate,
            &m_blowerBoostLevelLimit};
}

void CTorqDoc::SetUnitSystem(int unitSystem)
{
    m_unitSystem = unitSystem;
    const bool english = unitSystem == kEnglishUnits;
    for (CFloatPtSpec* spec : UnitSwitchedParameters()) spec->SetUnits(english);
    m_flowData.SetUnitSystem(english ? kEnglishUnits : kMetricUnits);
    m_cam.SetUnitSystem(english ? kEnglishUnits : kMetricUnits);
}

// ---------------------------------------------------------------- results

float CTorqDoc::GetResult(int series, int point) const
{
    CheckSeries(series);
    TORQ_ASSERT(point >= 0 && point < kResultPointCount);
    return m_results[series - 1][point];
}

const ResultSeriesValues& CTorqDoc::GetResultSeries(int series) const
{
    CheckSeries(series);
    return m_results[series - 1];
}

void CTorqDoc::SetResultSeries(int series, const ResultSeriesValues& values)
{
    CheckSeries(series);
    m_results[series - 1] = values;
}

void CTorqDoc::ClearResults()
{
    for (ResultSeriesValues& series : m_results) series.fill(0.0f);
}

bool CTorqDoc::HasResults() const { return m_results[kSeriesPower - 1][0] > 0.0f; }

// ---------------------------------------------------------------- copies and views

void CTorqDoc::CopyTo(CTorqDoc& other) const
{
    TORQ_ASSERT(&other != this);
    other.m_shortBlockType = m_shortBlockType;
    other.m_bore = m_bore;
    other.m_stroke = m_stroke;
    other.m_cylinders = m_cylinders;
    other.m_cylinderVolume = m_cylinderVolume;
    other.m_totalBlockVolume = m_totalBlockVolume;
    other.m_cylinderHeadType = m_cylinderHeadType;
    other.m_airflowFile = m_airflowFile;
    other.m_flowData.Assign(m_flowData);
    other.m_intakeValves = m_intakeValves;
    other.m_exhaustValves = m_exhaustValves;
    other.m_intakeValveDiameter = m_intakeValveDiameter;
    other.m_exhaustValveDiameter = m_exhaustValveDiameter;
    other.m_compressionRatio = m_compressionRatio;
    other.m_combustionSpace = m_combustionSpace;
    other.m_inductionFlow = m_inductionFlow;
    other.m_pressureDrop = m_pressureDrop;
    other.m_manifoldType = m_manifoldType;
    other.m_fuelType = m_fuelType;
    other.m_nitrousFlowRate = m_nitrousFlowRate;
    other.m_forcedInductionType = m_forcedInductionType;
    other.m_forcedInductionClass = m_forcedInductionClass;
    other.m_blowerFlowRate = m_blowerFlowRate;
    other.m_blowerPressureRatio = m_blowerPressureRatio;
    other.m_blowerEfficiency = m_blowerEfficiency;
    other.m_blowerRpm = m_blowerRpm;
    other.m_blowerSurgeFlowRate = m_blowerSurgeFlowRate;
    other.m_blowerInternalGearRatio = m_blowerInternalGearRatio;
    other.m_blowerBeltGearRatio = m_blowerBeltGearRatio;
    other.m_blowerBoostLevelLimit = m_blowerBoostLevelLimit;
    other.m_intercoolerEfficiency = m_intercoolerEfficiency;
    other.m_exhaustSystem = m_exhaustSystem;
    other.m_camDataFile = m_camDataFile;
    other.m_cam.Assign(m_cam);
    other.m_calculatorUsed = m_calculatorUsed;
    other.m_pistonKind = m_pistonKind;
    other.m_chamberVolume = m_chamberVolume;
    other.m_gasketBore = m_gasketBore;
    other.m_gasketThickness = m_gasketThickness;
    other.m_pistonDistance = m_pistonDistance;
    other.m_pistonDeckVolume = m_pistonDeckVolume;
    other.m_gasketVolume = m_gasketVolume;
    other.m_deckVolume = m_deckVolume;
    other.m_results = m_results;
    other.m_unitSystem = m_unitSystem;
    other.m_autoValveSizes = m_autoValveSizes;
    other.m_autoRun = m_autoRun;
}

void CTorqDoc::AddObserver(DocumentObserver* observer)
{
    TORQ_ASSERT(observer != nullptr);
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void CTorqDoc::RemoveObserver(DocumentObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CTorqDoc::UpdateAllViews(DocumentChange change)
{
    const std::vector<DocumentObserver*> observers = m_observers;
    for (DocumentObserver* observer : observers) observer->OnDocumentChanged(*this, change);
}
