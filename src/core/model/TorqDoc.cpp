#include "TorqDoc.h"

#include "ComponentTable.h"
#include "base/ErrCode.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> g_nextDocumentNumber{1};

void CheckSeries(int series)
{
    TORQ_ASSERT(series >= 1 && series <= kResultSeriesCount);
}

}  // namespace

CTorqDoc::CTorqDoc() : m_documentNumber(g_nextDocumentNumber++)
{
    Clear();
}

CTorqDoc::~CTorqDoc()
{
    // Observers may remove themselves while they hear of the end.
    const std::vector<DocumentObserver*> observers = m_observers;
    for (DocumentObserver* observer : observers)
        observer->OnDocumentChanged(*this, DocumentChange::Destroyed);
}

void CTorqDoc::Clear()
{
    m_values.ClearParameters();
    FlowData().ResetDefaults();
    ClearCalculatorParameters();
    const ComponentChoice& none = ChoiceRow(NamedChoice::kNoForcedInduction);
    ForcedInductionType().SetChoice(none.partIndex, none.name);
    m_values.forcedInductionClass = kNoForcedInduction;
    Cam().ClearAll();
    SetUnitSystem(kEnglishUnits);
    m_values.autoValveSizes = false;
    m_values.autoRun = true;
    ClearResults();
    ApplyFuel(NamedChoice::kGasoline);
}

void CTorqDoc::ClearCalculatorParameters()
{
    m_values.ClearCalculatorInputs();
    SetPistonKind(2);
}

void CTorqDoc::ClearCalculatorInputs()
{
    ClearCalculatorParameters();
}

void CTorqDoc::ClearComponents()
{
    Clear();
    SetUnitSystem(m_values.unitSystem);
    m_modified = true;
    UpdateAllViews();
}

void CTorqDoc::SetPistonKind(int pistonKind)
{
    TORQ_ASSERT(pistonKind == 1 || pistonKind == 2);
    m_values.pistonKind = pistonKind;
    using Calculator = CompressionCalculator;
    PistonDistance().SetRange(pistonKind == Calculator::kDomedPiston ? Calculator::kDomedDistanceMinIn
                                                                     : Calculator::kFlattopDistanceMinIn,
                              Calculator::kDistanceMaxIn);
}

void CTorqDoc::SetForcedInductionClass(int forcedInductionClass)
{
    TORQ_ASSERT(forcedInductionClass >= kNoForcedInduction && forcedInductionClass <= kRootsBlower);
    m_values.forcedInductionClass = forcedInductionClass;
}

std::vector<CFloatPtSpec*> CTorqDoc::UnitSwitchedParameters()
{
    return m_values.UnitSwitchedParameters();
}

void CTorqDoc::SetUnitSystem(int unitSystem)
{
    m_values.SetUnitSystem(unitSystem);
}

// ---------------------------------------------------------------- results

float CTorqDoc::GetResult(int series, int point) const
{
    CheckSeries(series);
    TORQ_ASSERT(point >= 0 && point < kResultPointCount);
    return m_values.results[series - 1][point];
}

const ResultSeriesValues& CTorqDoc::GetResultSeries(int series) const
{
    CheckSeries(series);
    return m_values.results[series - 1];
}

void CTorqDoc::SetResultSeries(int series, const ResultSeriesValues& values)
{
    CheckSeries(series);
    m_values.results[series - 1] = values;
}

void CTorqDoc::ClearResults()
{
    for (ResultSeriesValues& series : m_values.results) series.fill(0.0f);
    m_values.resultsStale = false;  // no results are never out of date
}

bool CTorqDoc::HasResults() const
{
    return m_values.results[kSeriesPower - 1][0] > 0.0f;
}

// ---------------------------------------------------------------- copies and views

void CTorqDoc::CopyTo(CTorqDoc& other) const
{
    TORQ_ASSERT(&other != this);
    other.m_values = m_values;
}

void CTorqDoc::RestoreValues(const EngineValues& values)
{
    m_values = values;
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

bool CTorqDoc::IsEditOpen() const
{
    return std::any_of(m_observers.begin(), m_observers.end(),
                       [](const DocumentObserver* observer) { return observer->HoldsOpenEdit(); });
}
