#pragma once

#include "StudyScore.h"

#include <optional>
#include <string>
#include <vector>

// The reference library: engine files built from published engine-dyno
// tests, with the published peaks beside them in the folder's
// published.json:
//   {"engines": [{"name": "...", "file": "x.trq", "source": "...", "url": "...",
//                 "published": {"power": P, "power_rpm": R, "torque": T, "torque_rpm": R}}, ...]}
// (hp, lb-ft and rpm; null where the source gives none). Running the library
// puts the model's peaks beside the published ones.

inline constexpr const char* kReferenceDataFile = "published.json";

struct PublishedPeaks {
    std::optional<double> power;      // hp
    std::optional<double> powerRpm;   // rpm
    std::optional<double> torque;     // lb-ft
    std::optional<double> torqueRpm;  // rpm
};

struct ReferenceEngine {
    std::string name;
    std::string file;  // the engine file's name in the library's folder
    std::string source;
    std::string url;
    PublishedPeaks published;
};

struct ReferenceLibrary {
    std::string folder;
    std::vector<ReferenceEngine> engines;
};

// Reads folder/published.json. False with the reason when it cannot be read
// or does not have the form above (an engine without a name or file, a
// figure that is neither a number above 0 nor null).
bool LoadReferenceLibrary(const std::string& folder, ReferenceLibrary& library, std::string& error);

struct ReferenceRun {
    bool ran = false;  // opened and simulated
    PeakPoint power;   // the highest of the 19 points, hp at rpm
    PeakPoint torque;  // lb-ft at rpm
    // (model - published) / published, in %; none where the source gives no figure.
    std::optional<double> powerErrorPercent;
    std::optional<double> torqueErrorPercent;
};

struct ReferenceReport {
    std::vector<ReferenceRun> runs;  // one per engine, in the library's order
    // Of the sizes of the errors (|%|) of the engines that have them.
    std::optional<double> medianPowerErrorPercent;
    std::optional<double> worstPowerErrorPercent;
    std::optional<double> medianTorqueErrorPercent;
    std::optional<double> worstTorqueErrorPercent;
};

// The path of an engine of the library.
std::string ReferenceEnginePath(const ReferenceLibrary& library, const ReferenceEngine& engine);

// Opens every engine as the desktop program does and runs it. An engine
// file that cannot be opened shows its message (through the presenter) and
// gives a run that did not run.
ReferenceReport RunReferenceLibrary(const ReferenceLibrary& library);

// The middle of the values (the mean of the two middle ones for an even
// count); none for no values.
std::optional<double> Median(std::vector<double> values);
