#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole export (dyno sheet, image, CSV) through a temporary file
// beside the target that replaces it only once everything is on disk, as
// engine files are saved: a failed export never leaves a partial file, and
// the file that was there stays as it was. False with a message that names
// the file and the reason when the target cannot be written.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error);
