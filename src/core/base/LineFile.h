#pragma once

#include "ErrCode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

class CAtomicFile;

// The line-oriented text form that engine, cam and airflow files share:
// name lines, "%d" integer lines, the version line that opens a block, and
// the open/read/close and write-then-rename steps around a whole file.
// Every reader raises the 16-bit error code of the first problem
// (RaisedError); the whole-file steps catch it, show its message and answer
// false.

// Name lines: a name that is to survive a save and a reload has at most 78
// characters, because readers take a line into an 80-byte buffer.
inline constexpr std::size_t kMaxNameLineLength = 78;

// Writes "%s\n" with the text cut to 78 characters and any line break inside
// it turned into a blank, so that the lines after it stay where readers
// expect them. Raises 44 when the line cannot be written.
void WriteNameLine(std::FILE* file, std::string_view text);

// Reads one line as fgets does into an 80-byte buffer (at most 79
// characters, line end included). The rest of a longer line is skipped so
// that the next read starts on the next line. Returns false at end of file.
bool ReadNameLine(std::FILE* file, std::string& line);

// After a number read from a line: the blanks and line ends that follow it
// are skipped (as a "\n" in a scanf format does). The program ends every
// line it writes with a line end, so a number that the end of the file cuts
// off may have lost digits ("10" cut to "1"): that raises 45.
void SkipNumberLineEnd(std::FILE* file);

// "%d\n" lines: a whole number, raising 45 when none can be read / 44 when
// the line cannot be written.
std::int32_t ReadIntegerLine(std::FILE* file);
void WriteIntegerLine(std::FILE* file, std::int32_t value);

// The versions of the program's line-oriented files, newest first: engine
// files, cam and airflow files and the cam and airflow blocks of an engine
// file all write the newest and read every one (they share one layout; an
// engine file before 3.08 ends before the compression calculator's inputs).
inline constexpr std::array<std::string_view, 5> kReadableFileVersions = {"3.10", "3.08", "3.07", "3.06",
                                                                          "3.05"};
// The version written, as a C string (the literal above ends in its NUL).
inline constexpr const char* kFileVersion = kReadableFileVersions.front().data();
// The first line of a file or block, trimmed at both ends, is one of them.
bool IsReadableFileVersion(std::string_view trimmedLine);
// Where a readable version stands in the list: 0 for the newest.
std::size_t FileVersionAge(std::string_view readableVersion);

// Writes the version line; raises 44 when it cannot be written.
void WriteBlockVersion(std::FILE* file);
// Reads the version line; raises 45 when there is none and badVersionCode
// when it is not an accepted version.
void ReadBlockVersion(std::FILE* file, ErrorCode badVersionCode);

// Opens a regular file for reading in text mode and runs the reader on it in
// the "C" locale. A raised error code (43 open, 46 close, or the reader's
// own) is shown through the message presenter and gives false.
bool ReadTextFile(const std::string& path, const std::function<void(std::FILE*)>& read);

// Writes a file through a temporary file beside it (base/AtomicFile.h), so a
// failed save never damages the file that was there. A raised error code is
// shown and gives false: 43 when the file cannot be created, 44 when it
// cannot be written, 46 when it cannot be closed.
bool WriteTextFile(const std::string& path, const std::function<void(std::FILE*)>& write);

// The same up to the rename: the content goes to the file's temporary, which
// is finished (flushed, synced, closed) but does not replace the target yet,
// so that several files can be written completely before any of them is
// committed. Opens the file first when it is not open. A raised code is
// shown, the temporary removed, and the answer is false.
bool FinishTextFile(CAtomicFile& file, const std::function<void(std::FILE*)>& write);
