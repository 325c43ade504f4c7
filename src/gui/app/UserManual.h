#pragma once

#include <QString>
#include <QStringList>

// The user manual, Trqmanual.pdf: where it lies and where to look for it.
inline constexpr const char* kUserManualFileName = "Trqmanual.pdf";

// The folders that may hold the manual, first choice first: the program's
// own folder (a build tree writes the manual beside the program), the
// program's data folder of an installation (<prefix>/bin/torqwell finds
// <prefix>/share/torqwell/Trqmanual.pdf), and last the start folder, so
// that a PDF of that name planted where the program is started is never
// opened in place of the manual that came with it.
QStringList UserManualFolders(const QString& startFolder, const QString& programFolder);

// The manual's absolute path in the first of those folders that has it, or
// an empty string when none has.
QString FindUserManual(const QString& startFolder, const QString& programFolder);
