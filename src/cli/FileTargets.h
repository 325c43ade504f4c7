#pragma once

#include "base/AtomicFile.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace cli {

class CommandLine;

// The --force switch of every command that writes files.
void AddForceOption(CommandLine& line);

// The files a command reads and the files it will write, checked before
// anything is written. A target may be written when
//   - it is no file the command reads: the same file by device and inode,
//     whatever name reaches it (a hard link, a symbolic link, "./x" for "x");
//     a file that does not exist yet is none of them;
//   - no other target of the command names the same file;
//   - it is not a folder;
//   - it does not exist, or --force was given.
// A file the command reads is never written over, not even with --force.
class FileTargets {
public:
    explicit FileTargets(bool force) : m_force(force) {}

    // A file the command reads (paths in their own bytes, LocalPath).
    void AddInput(const std::string& path);
    bool IsInput(const std::string& path) const;

    // Checks one more target and keeps it for the next checks. Empty when it
    // may be written; otherwise why not, naming the file.
    QString Check(const std::string& path);
    // Only the first two rules: for a target whose replacement is decided
    // elsewhere (an export's shortened name, CheckExportTarget).
    QString CheckNotRead(const std::string& path);

private:
    struct FileId {
        dev_t device;
        ino_t inode;
        bool operator==(const FileId&) const = default;
    };
    struct Target {
        std::filesystem::path path;  // absolute, links resolved as far as they exist
        std::optional<FileId> id;    // when the file exists
    };
    static std::optional<FileId> IdOf(const std::string& path);
    QString CheckTarget(const std::string& path, bool replaceNeedsForce);

    bool m_force;
    std::vector<FileId> m_inputs;
    std::vector<Target> m_targets;
};

// A folder that the command creates when it writes: it must be a folder if
// it exists, or else be creatable (its nearest existing parent a folder one
// may write to). Empty when it may be used; otherwise why not.
QString CheckOutputFolder(const std::string& folder);

// Files that appear together: each is written to a temporary file beside its
// target and finished; only when every one is complete are they committed,
// one after the other, with SIGINT and SIGTERM held back until the last is
// in place. When one cannot be written, none replaces its target.
//
// Without --force (replaceExisting false) the targets were checked to be
// absent before the command did its work, which may have taken hours; the
// commit itself then never replaces a file: when one appeared meanwhile
// (another run's), the files this set put in place are taken back, so that
// none of the set is written, and the failure names the file that appeared.
class OutputFiles {
public:
    explicit OutputFiles(bool replaceExisting = true) : m_replaceExisting(replaceExisting) {}

    // Writes one file through finish (which opens, writes and finishes the
    // file, and shows the message of a failure). False when it failed.
    bool Write(const std::string& path, const std::function<bool(CAtomicFile&)>& finish);
    // Renames every finished file over its target. A rename that fails
    // (the folder went away since) stops there: the files before it are
    // already in place (taken back when they replaced nothing), the rest
    // are removed. False with its error shown.
    bool CommitAll();

    // Called with each target once it is in place (tests interrupt a commit there).
    void SetCommitObserver(std::function<void(const std::string&)> observer)
    {
        m_observer = std::move(observer);
    }

    // What went wrong, naming the file: "'x.cam' could not be written; no
    // file was changed". Empty while nothing failed.
    const QString& FailureText() const { return m_failure; }

private:
    void TakeBack(std::size_t committed);

    bool m_replaceExisting;
    std::list<CAtomicFile> m_files;    // a list: CAtomicFile does not move
    std::vector<std::string> m_paths;  // as given, for the messages
    std::function<void(const std::string&)> m_observer;
    QString m_failure;
};

}  // namespace cli
