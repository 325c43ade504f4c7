#pragma once

#include "model/ErrCode.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// What the cam file and the airflow file have in common: the version line,
// plain integer lines, and opening, closing and error reporting around a
// block reader or writer.

// The first line of a block, trimmed at both ends: "3.10", "3.08", "3.07",
// "3.06" or "3.05" (they share one layout).
inline constexpr const char* kBlockVersion = "3.10";
bool IsAcceptedBlockVersion(std::string_view trimmedLine);

// Writes the version line; raises 44 when it cannot be written.
void WriteBlockVersion(std::FILE* file);
// Reads the version line; raises 45 when there is none and badVersionCode
// when it is not an accepted version.
void ReadBlockVersion(std::FILE* file, ErrorCode badVersionCode);

// "%d\n" lines: a whole number, raising 45 when none can be read / 44 when
// the line cannot be written.
std::int32_t ReadIntegerLine(std::FILE* file);
void WriteIntegerLine(std::FILE* file, std::int32_t value);

// Writes a file through a temporary file beside it (model/AtomicFile.h), so a
// failed save never damages the file that was there. A raised error code is
// shown through the message presenter and gives false: 43 when the file
// cannot be created, 44 when it cannot be written, 46 when it cannot be closed.
bool SaveBlockFile(const std::string& path, const std::function<void(std::FILE*)>& writeBlock);

// Opens the file for reading in text mode and runs the block reader. A raised
// error code (43 open, 46 close, or the reader's own) is shown and gives false.
bool LoadBlockFile(const std::string& path, const std::function<void(std::FILE*)>& readBlock);
