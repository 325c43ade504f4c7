#include "ExportSupport.h"

#include "ComponentTable.h"
#include "base/AtomicFile.h"
#include "base/ErrCode.h"
#include "base/Util.h"

#include <filesystem>

CRunStateKeeper::CRunStateKeeper(CTorqDoc& doc)
    : m_doc(doc),
      m_fuel(doc.FuelType()),
      m_nitrous(doc.NitrousFlowRate()),
      m_resultsStale(doc.AreResultsStale())
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        m_results[series - 1] = doc.GetResultSeries(series);
    }
}

void CRunStateKeeper::UseGasolineOnly()
{
    const ComponentChoice& gasoline = ChoiceRow(NamedChoice::kGasoline);
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
    CAtomicFile file(target);
    if (target.empty() || !FinishFileWithRuns(doc, file, write)) {
        if (target.empty()) ShowErrorMessage(Msg::FileOpen);
        return false;
    }
    try {
        CommitOrRaise(file);
    } catch (const RaisedError& error) {
        ShowErrorMessage(error.code);
        return false;
    }
    return true;
}

bool FinishFileWithRuns(CTorqDoc& doc, CAtomicFile& file,
                        const std::function<void(std::FILE*, CRunStateKeeper&)>& write)
{
    CLocaleScope cLocale;
    const int shownUnitSystem = doc.GetUnitSystem();
    doc.SetUnitSystem(kEnglishUnits);
    CRunStateKeeper keeper(doc);
    try {
        if (file.File() == nullptr && !file.Open()) RaiseError(Msg::FileOpen);
        write(file.File(), keeper);
        FinishOrRaise(file);
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

std::string ExportTargetPath(const std::string& folder, const std::string& chosenFileName,
                             const char* extension)
{
    std::string name = DosFileName(chosenFileName, extension);
    if (folder.empty()) return name;
    return (std::filesystem::path(folder) / name).string();
}

bool ShortenedNameCollides(const std::string& chosenFileName, const std::string& target)
{
    // Any shortening counts, not only of long names: "my.eng.trq" becomes "my.trq".
    if (std::filesystem::path(target).filename() == chosenFileName) return false;
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(target, ignored));
}
