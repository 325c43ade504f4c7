#include "GameTextExport.h"

#include "EngineFile.h"
#include "ExportSupport.h"
#include "TorqDoc.h"
#include "base/ErrCode.h"
#include "base/LineFile.h"
#include "base/Util.h"

#include <cstdio>

namespace {

constexpr const char* kUntitled = "Untitled";

template <typename... Args>
void WriteLine(std::FILE* file, const char* format, Args... args)
{
    if (std::fprintf(file, format, args...) <= 0) RaiseError(Msg::FileWrite);
}

// Lines 1 to 8.
void WriteHeader(const CTorqDoc& doc, std::FILE* file, bool withNitrous)
{
    std::string name = doc.ShortBlockType().GetChoiceName();
    for (char& c : name) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    WriteLine(file, "VER: %s\n", kFileVersion);
    WriteLine(file, "NAME: %s\n", name.c_str());
    WriteLine(file, "BORE: %f\n", double(doc.Bore().GetValue()));
    WriteLine(file, "STROKE: %f\n", double(doc.Stroke().GetValue()));
    WriteLine(file, "NUMCYL: %d\n", doc.NumberOfCylinders().GetValue());
    WriteLine(file, "NITROUS: %d\n", withNitrous ? 1 : 0);
    WriteLine(file, "NUMDATA: %d\n", kResultPointCount);
    WriteLine(file, "%s", "DATA:\n");
}

// 19 lines: engine speed, power, torque and BMEP of the last run.
void WriteDataBlock(const CTorqDoc& doc, std::FILE* file)
{
    for (int point = 0; point < kResultPointCount; ++point) {
        WriteLine(file, "%.0f %f %f %f\n", double(doc.GetResult(kSeriesEngineSpeed, point)),
                  double(doc.GetResult(kSeriesPower, point)), double(doc.GetResult(kSeriesTorque, point)),
                  double(doc.GetResult(kSeriesBmep, point)));
    }
}

void RunOrRaise(CTorqDoc& doc)
{
    if (!doc.RunSimulation(false, false)) RaiseError(Msg::SimulationFailed);
}

}  // namespace

bool CheckGameTextExport(CTorqDoc& doc)
{
    ErrorCode code = 0;
    if (!doc.Validate(code)) {
        ShowErrorMessage(code);
        return false;
    }
    if (!doc.HasResults()) {
        ShowErrorMessage(Msg::ExportResultsMissing);
        return false;
    }
    return true;
}

std::string ProposedGameTextName(const CTorqDoc& doc)
{
    const std::string& title = doc.GetTitle();
    return DosFileName(title.empty() ? kUntitled : title, ".gme");
}

bool ExportGameTextFile(CTorqDoc& doc, const std::string& folder, const std::string& chosenFileName)
{
    if (chosenFileName.empty()) {
        ShowErrorMessage(Msg::FileOpen);
        return false;
    }
    const std::string target = ExportTargetPath(folder, chosenFileName, ".gme");
    if (ShortenedNameCollides(chosenFileName, target)) {
        ShowErrorMessage(Msg::ExportDosNameTaken);
        return false;
    }

    return WriteFileWithRuns(doc, target, [&](std::FILE* file, CRunStateKeeper& keeper) {
        const bool withNitrous = doc.NitrousFlowRate().GetValue() > 0.0f;
        WriteHeader(doc, file, withNitrous);
        if (withNitrous) keeper.UseGasolineOnly();
        RunOrRaise(doc);
        WriteDataBlock(doc, file);
        keeper.RestoreFuel();
        RunOrRaise(doc);
        WriteDataBlock(doc, file);
        // The export leaves the document as it found it, results included.
        keeper.RestoreResults();
    });
}
