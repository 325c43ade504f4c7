#include "ExportSupport.h"

#include "Commands.h"
#include "ComponentTable.h"
#include "base/AtomicFile.h"
#include "base/ErrCode.h"
#include "base/Util.h"

#include <filesystem>

namespace {
constexpr std::size_t kLongestDosName = 12;  // 8 + '.' + 3
}  // namespace

CRunStateKeeper::CRunStateKeeper(CTorqDoc& doc)
    : m_doc(doc), m_fuel(doc.FuelType()), m_nitrous(doc.NitrousFlowRate()), m_resultsStale(doc.AreResultsStale())
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        m_results[series - 1] = doc.GetResultSeries(series);
    }
}

void CRunStateKeeper::UseGasolineOnly()
{
    const ComponentChoice& gasoline = FindComponentChoice(Cmd::kFuelGasoline);
    m_changedFuel = true;
    m_doc.FuelType().SetChoice(gasoline.partIndex, gasoline.name);
    m_doc.NitrousFlowRate().SetValueIn(0.0f, true);
}

void CRunStateKeeper::RestoreFuel()
{
    if (!m_changedFuel) return;
    m_doc.FuelType() = m_fuel;
    m_doc.NitrousFlowRate() = m_nitrous;
    m_changedFuel = false;
}

void CRunStateKeeper::RestoreResults()
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        m_doc.SetResultSeries(series, m_results[series - 1]);
    }
    m_doc.SetResultsStale(m_resultsStale);
}

bool WriteFileWithRuns(CTorqDoc& doc, const std::string& target,
                       const std::function<void(std::FILE*, CRunStateKeeper&)>& write)
{
    CLocaleScope cLocale;
    const int shownUnitSystem = doc.GetUnitSystem();
    doc.SetUnitSystem(kEnglishUnits);
    CRunStateKeeper keeper(doc);
    CAtomicFile file(target);
    try {
        if (target.empty() || !file.Open()) RaiseError(43);
        write(file.File(), keeper);
        CommitOrRaise(file);
    } catch (const RaisedError& error) {
        file.Abandon();
        keeper.RestoreFuel();
        keeper.RestoreResults();
        doc.SetUnitSystem(shownUnitSystem);
        ShowErrorMessage(error.code);
        return false;
    }
    doc.SetUnitSystem(shownUnitSystem);
    return true;
}

std::string ExportTargetPath(const std::string& folder, const std::string& chosenFileName, const char* extension)
{
    const std::string name = DosFileName(chosenFileName, extension);
    if (folder.empty()) return name;
    return (std::filesystem::path(folder) / name).string();
}

bool ShortenedNameCollides(const std::string& chosenFileName, const std::string& target)
{
    std::error_code ignored;
    return chosenFileName.size() > kLongestDosName && std::filesystem::exists(target, ignored);
}
