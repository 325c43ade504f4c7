#pragma once

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

// Replaces a file only once its new content is completely on disk.
//
// Open creates a temporary file beside the target (same folder, so the final
// rename never crosses a file system), named after the target with
// ".tmp-XXXXXX" appended, and opens it as a text stdio stream. The caller
// writes to File(); Commit flushes, syncs and closes it, renames it over the
// target and syncs the folder, so that a finished save survives a power cut.
// Any failure on the way, Abandon, or destroying an uncommitted CAtomicFile
// removes the temporary file, so the file that was there before stays
// exactly as it was. While a temporary file exists, SIGINT and SIGTERM
// remove it before the program ends; a temporary left behind by a harder
// end (SIGKILL, a power cut) is removed by the next successful save of the
// same target. A live temporary is held under an advisory lock (flock) by
// its save, so that another save of the same target leaves it alone. A save
// ignores SIGXFSZ, so that a file-size limit fails the write (EFBIG) and the
// temporary is removed as after any failed write.
//
// What a save keeps: the mode of the file it replaces (a new file gets 0666
// less the umask) and a symbolic link, which is followed (also when it
// dangles: the file is created where the link points). What it cannot keep:
// the other names of a hard-linked file (they keep the old content), and
// the owner and group when another user saves the file (it becomes theirs).
//
// A target that exists but is a folder or may not be written counts as a
// file that cannot be opened, as it would for fopen.
class CAtomicFile {
public:
    enum class Result {
        Ok,
        WriteFailed,   // the buffered content could not be flushed to disk
        CloseFailed,   // fclose reported an error
        RenameFailed,  // the temporary file could not replace the target
        TargetExists,  // RefuseToReplace: a file of the target's name appeared since Open
    };

    explicit CAtomicFile(std::filesystem::path target);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Commit then never replaces a file: one that appears at the target's
    // name after the caller checked it (another program's save) stays, and
    // Commit fails with TargetExists.
    void RefuseToReplace() { m_replaceExisting = false; }

    // Creates and opens the temporary file; false when that is impossible
    // (including when the replaced file's mode cannot be given to it).
    bool Open();
    // The open temporary stream; nullptr before Open and after Finish/Commit/Abandon.
    std::FILE* File() const { return m_file; }
    // Where the content goes until it is committed (empty before Open).
    const std::filesystem::path& TemporaryPath() const { return m_temporary; }
    // The file the content will replace (a symbolic link resolved).
    const std::filesystem::path& TargetPath() const { return m_target; }

    // Flush, sync and close the temporary file without renaming it yet, so
    // that several files can be written completely before any of them
    // replaces its target. On failure the temporary file is removed.
    Result Finish();
    // Finish (when not done yet) and rename over the target. On any failure
    // the temporary file is removed and the target is left untouched.
    Result Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Abandon();

private:
    void RemoveStaleTemporaries() const;
    void ReleaseLock();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_file = nullptr;
    bool m_finished = false;
    int m_cleanupSlot = -1;     // where SIGINT/SIGTERM find the temporary's name
    int m_lockDescriptor = -1;  // holds the temporary's advisory lock while it lives
    bool m_replaceExisting = true;
};

// While alive, SIGINT and SIGTERM wait: the commit of several files that
// belong together (a set of Best files) is never cut in the middle by a
// scheduler's time limit or a Ctrl+C. They are blocked on this thread and,
// when another thread receives one, held by the save's own handler; when
// the outermost hold ends, a signal that came meanwhile acts as it would
// have (removing the temporaries left and ending the program).
class CTerminationSignalsHeld {
public:
    CTerminationSignalsHeld();
    ~CTerminationSignalsHeld();
    CTerminationSignalsHeld(const CTerminationSignalsHeld&) = delete;
    CTerminationSignalsHeld& operator=(const CTerminationSignalsHeld&) = delete;

private:
    sigset_t m_previousMask;
};

// The message of a failed save: Msg::FileClose when the file could not be
// closed, Msg::FileWrite when its content did not reach the target; 0 for Ok.
int SaveFailureMessage(CAtomicFile::Result result);

// Commits the temporary file over its target; raises error 46 when the file
// could not be closed and 44 when its content did not reach the target.
void CommitOrRaise(CAtomicFile& file);
// Finishes the temporary file without committing it; raises as CommitOrRaise.
void FinishOrRaise(CAtomicFile& file);

// The suffix of the temporary files of a save: ".tmp-" and six characters.
inline constexpr const char* kTemporaryFileSuffix = ".tmp-";
inline constexpr std::size_t kTemporaryFileRandomLength = 6;

// Opens a file for reading in text mode. Only a regular file is opened: a
// folder, a pipe or a device (which could block the open or never end)
// counts as a file that cannot be opened, and gives nullptr.
std::FILE* OpenRegularFileForReading(const std::string& path);

// Reads a whole regular file of at most mostBytes bytes. A folder, a pipe
// or a device is no file to read (CannotOpen, errno telling why when the
// open itself failed, EINVAL otherwise); a larger file is TooLarge.
enum class WholeFileRead { Ok, CannotOpen, TooLarge };
WholeFileRead ReadRegularFile(const std::string& path, std::size_t mostBytes, std::string& bytes);
