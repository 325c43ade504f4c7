#pragma once

#include "TorqDoc.h"
#include "base/AtomicFile.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>

// What the engine file and the two exports share.

// Keeps what a save or an export changes for its own runs, so that it can be
// put back: the fuel, the nitrous flow and the results of the last run.
class CRunStateKeeper {
public:
    explicit CRunStateKeeper(CTorqDoc& doc);
    CRunStateKeeper(const CRunStateKeeper&) = delete;
    CRunStateKeeper& operator=(const CRunStateKeeper&) = delete;

    // "Fuel Type" Gasoline (index 1) and no nitrous.
    void UseGasolineOnly();
    // The kept fuel and nitrous flow again (nothing when they were not changed).
    void RestoreFuel();
    void RestoreResults();

private:
    CTorqDoc& m_doc;
    CPartTypeSpec m_fuel;
    CFloatPtSpec m_nitrous;
    std::array<ResultSeriesValues, kResultSeriesCount> m_results{};
    bool m_resultsStale = false;
    bool m_changedFuel = false;
};

// Writes the file at target through a temporary file beside it while the
// engine is in English units, so that its own runs (the gasoline-only run of
// a nitrous engine) read English figures. On any raised code the temporary
// file goes, the fuel, nitrous flow and results are put back, the code is
// shown and the answer is false; the unit system is put back either way.
bool WriteFileWithRuns(CTorqDoc& doc, const std::string& target,
                       const std::function<void(std::FILE*, CRunStateKeeper&)>& write);
// The same up to the rename: the file is written and finished but replaces
// its target only when the caller commits it (base/AtomicFile.h). Opens the
// file first when it is not open.
bool FinishFileWithRuns(CTorqDoc& doc, CAtomicFile& file,
                        const std::function<void(std::FILE*, CRunStateKeeper&)>& write);

// The export target: folder / DosFileName(chosenFileName, extension).
std::string ExportTargetPath(const std::string& folder, const std::string& chosenFileName,
                             const char* extension);

// The 8.3 rule of both exports: a chosen name that the 8.3 form changes,
// whose shortened form (the target's file name) names a file that exists
// already, would overwrite a file the user never chose (code 78). A name the
// 8.3 form keeps is the user's own choice, asked about by the file dialog.
bool ShortenedNameCollides(const std::string& chosenFileName, const std::string& target);
