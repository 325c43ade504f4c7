#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// Replaces a file only once its new content is completely on disk.
//
// Open creates a temporary file beside the target (same folder, so the final
// rename never crosses a file system), named after the target with
// ".tmp-XXXXXX" appended, and opens it as a text stdio stream. The caller
// writes to File(); Commit flushes, syncs and closes it and renames it over
// the target. Any failure on the way, Abandon, or destroying an uncommitted
// CAtomicFile removes the temporary file, so the file that was there before
// stays exactly as it was.
//
// A new file gets the usual permissions (0666 less the umask); a replaced
// file keeps its own. A target that exists but is a folder or may not be
// written counts as a file that cannot be opened, as it would for fopen.
class CAtomicFile {
public:
    enum class Result {
        Ok,
        WriteFailed,   // the buffered content could not be flushed to disk
        CloseFailed,   // fclose reported an error
        RenameFailed,  // the temporary file could not replace the target
    };

    explicit CAtomicFile(std::filesystem::path target);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates and opens the temporary file; false when that is impossible.
    bool Open();
    // The open temporary stream; nullptr before Open and after Commit/Abandon.
    std::FILE* File() const { return m_file; }
    // Where the content goes until it is committed (empty before Open).
    const std::filesystem::path& TemporaryPath() const { return m_temporary; }

    // Flush, sync, close and rename over the target. On any failure the
    // temporary file is removed and the target is left untouched.
    Result Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Abandon();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file = nullptr;
};

// Commits the temporary file over its target; raises error 46 when the file
// could not be closed and 44 when its content did not reach the target.
void CommitOrRaise(CAtomicFile& file);

// Opens a file for reading in text mode. Only a regular file is opened: a
// folder, a pipe or a device (which could block the open or never end)
// counts as a file that cannot be opened, and gives nullptr.
std::FILE* OpenRegularFileForReading(const std::string& path);
