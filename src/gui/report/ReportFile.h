#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// Writes a whole export (dyno sheet, image, CSV) through a temporary file
// beside the target that replaces it only once everything is on disk, as
// engine files are saved: a failed export never leaves a partial file, and
// the file that was there stays as it was. False with a message that names
// the file and the reason when the target cannot be written.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error);

// The same for a path in the file system's own bytes (a name that is not
// UTF-8 stays as it is), shown as shownPath in the message. Without
// replaceExisting, a file that appeared at the path since the caller
// checked it is kept and the write fails.
bool WriteFileAtomically(const std::string& localPath, const QString& shownPath, const QByteArray& bytes,
                         QString& error, bool replaceExisting = true);
