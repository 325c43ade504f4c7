#pragma once

#include "study/DynoPull.h"

#include <QString>

#include <vector>

// The measured pulls an engine file had, remembered in the per-user
// settings beside the file's path (the engine file itself stays as it is),
// so that they are offered again when the file is opened again. The newest
// engines are kept, at most kMostRememberedEngines of them.

inline constexpr int kMostRememberedEngines = 50;

struct RememberedPull {
    QString path;             // absolute
    PullReadOptions options;  // the units chosen where the file names none
};

// The pulls remembered for an engine file; none for a file without any.
std::vector<RememberedPull> RememberedPullsOf(const QString& enginePath);

// Remembers the pulls of an engine file, in place of those remembered
// before; no pulls forget the file.
void RememberPulls(const QString& enginePath, const std::vector<RememberedPull>& pulls);
