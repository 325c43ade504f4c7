#include "FileTargets.h"

#include "CliSupport.h"

#include "base/ErrCode.h"

#include <algorithm>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

namespace fs = std::filesystem;

QString Shown(const std::string& path)
{
    return "'" + ArgumentText(path) + "'";
}

}  // namespace

void AddForceOption(CommandLine& line)
{
    line.Parser().addOption(QCommandLineOption(
        "force", "Replace files that exist already. A file the command reads is never replaced."));
}

// ---------------------------------------------------------------- targets

std::optional<FileTargets::FileId> FileTargets::IdOf(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileId{info.st_dev, info.st_ino};
}

void FileTargets::AddInput(const std::string& path)
{
    if (const auto id = IdOf(path)) m_inputs.push_back(*id);
}

bool FileTargets::IsInput(const std::string& path) const
{
    const auto id = IdOf(path);
    return id && std::find(m_inputs.begin(), m_inputs.end(), *id) != m_inputs.end();
}

QString FileTargets::Check(const std::string& path)
{
    return CheckTarget(path, true);
}

QString FileTargets::CheckNotRead(const std::string& path)
{
    return CheckTarget(path, false);
}

QString FileTargets::CheckTarget(const std::string& path, bool replaceNeedsForce)
{
    std::error_code error;
    const auto status = fs::status(path, error);
    if (fs::is_directory(status)) return Shown(path) + " is a folder; the output needs a file name";
    if (IsInput(path)) return Shown(path) + " is a file this command reads; it is never written over";

    // Two names of one file: the same path once links are resolved, or the same inode.
    Target target{fs::weakly_canonical(fs::absolute(path, error), error), IdOf(path)};
    const bool named = std::any_of(m_targets.begin(), m_targets.end(), [&](const Target& other) {
        return other.path == target.path || (target.id && other.id == target.id);
    });
    if (named) return Shown(path) + " is named twice among the files to write";
    m_targets.push_back(std::move(target));

    if (replaceNeedsForce && !m_force && fs::exists(status)) {
        return Shown(path) + " exists; give --force to replace it";
    }
    return {};
}

QString CheckOutputFolder(const std::string& folder)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    fs::path existing = absolute;
    while (!fs::exists(existing, error) && existing.has_relative_path()) existing = existing.parent_path();
    if (!fs::is_directory(existing, error)) {
        return existing == absolute
                   ? Shown(folder) + " is not a folder"
                   : Shown(folder) + " cannot be created: " + Shown(existing.string()) + " is not a folder";
    }
    if (::access(existing.c_str(), W_OK | X_OK) != 0) {
        return Shown(existing.string()) + " is a folder that may not be written to";
    }
    return {};
}

// ---------------------------------------------------------------- writing together

bool OutputFiles::Write(const std::string& path, const std::function<bool(CAtomicFile&)>& finish)
{
    CAtomicFile& file = m_files.emplace_back(path);
    if (!m_replaceExisting) file.RefuseToReplace();
    m_paths.push_back(path);
    if (finish(file)) return true;
    m_failure = Shown(path) + " could not be written; no file was changed";
    return false;
}

bool OutputFiles::CommitAll()
{
    const CTerminationSignalsHeld held;
    std::size_t committed = 0;
    for (CAtomicFile& file : m_files) {
        const CAtomicFile::Result result = file.Commit();
        if (result == CAtomicFile::Result::Ok) {
            if (m_observer) m_observer(m_paths[committed]);
            ++committed;
            continue;
        }
        const QString name = Shown(m_paths[committed]);
        if (result == CAtomicFile::Result::TargetExists) {
            m_failure = name + " appeared while the command ran (another program wrote it) and is kept";
        } else {
            ShowErrorMessage(SaveFailureMessage(result));
            m_failure = name + " could not replace the file of that name";
        }
        TakeBack(committed);
        for (CAtomicFile& rest : m_files) rest.Abandon();
        const bool unchanged = committed == 0 || !m_replaceExisting;
        m_failure += unchanged ? "; no file was changed" : "; the files before it were written";
        return false;
    }
    return true;
}

// Without replacing, the files committed so far are new files of this set:
// removing them leaves the folder as it was.
void OutputFiles::TakeBack(std::size_t committed)
{
    if (m_replaceExisting) return;
    for (std::size_t i = 0; i < committed; ++i) {
        std::error_code ignored;
        std::filesystem::remove(std::next(m_files.begin(), std::ptrdiff_t(i))->TargetPath(), ignored);
    }
}

}  // namespace cli
