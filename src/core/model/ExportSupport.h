#pragma once

#include "AtomicFile.h"
#include "TorqDoc.h"

#include <array>
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
    bool m_changedFuel = false;
};

// The export target: folder / DosFileName(chosenFileName, extension).
std::string ExportTargetPath(const std::string& folder, const std::string& chosenFileName,
                             const char* extension);

// The 8.3 rule of both exports: a chosen name of more than 12 characters
// whose shortened form names a file that exists already would overwrite a
// file the user never chose (code 78).
bool ShortenedNameCollides(const std::string& chosenFileName, const std::string& target);
