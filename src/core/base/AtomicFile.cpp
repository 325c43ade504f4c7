#include "AtomicFile.h"

#include "ErrCode.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Long names are cut before the suffix so that a temporary name stays within
// the usual 255-byte name limit.
constexpr std::size_t kLongestTemporaryStem = 200;
constexpr int kMostSymbolicLinks = 40;  // as the kernel's own limit for a path
constexpr int kMostNameAttempts = 100;

// ---------------------------------------------------------------- removal on SIGINT / SIGTERM

// The names of the temporary files that exist right now, where a signal
// handler can read them: fixed buffers and lock-free flags, no allocation.
struct CleanupSlot {
    std::atomic<bool> used{false};
    char path[PATH_MAX]{};
};

constexpr int kCleanupSlotCount = 32;
std::array<CleanupSlot, kCleanupSlotCount> g_cleanupSlots;
std::mutex g_cleanupMutex;  // between threads claiming slots; the handler never takes it
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM};

extern "C" void RemoveTemporariesAndEnd(int signal)
{
    for (CleanupSlot& slot : g_cleanupSlots) {
        if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
    }
    // End as the signal would have ended the program without us.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installed once, and only where the program still has the default action:
// a program that ignores or handles these signals itself keeps doing so.
void InstallCleanupHandlers()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signal : kCleanupSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = RemoveTemporariesAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

int ClaimCleanupSlot(const fs::path& temporary)
{
    const std::string& text = temporary.native();
    if (text.size() >= PATH_MAX) return -1;
    InstallCleanupHandlers();
    std::lock_guard<std::mutex> lock(g_cleanupMutex);
    for (int i = 0; i < kCleanupSlotCount; ++i) {
        CleanupSlot& slot = g_cleanupSlots[i];
        if (slot.used.load(std::memory_order_relaxed)) continue;
        std::memcpy(slot.path, text.c_str(), text.size() + 1);
        slot.used.store(true, std::memory_order_release);
        return i;
    }
    return -1;  // more saves at once than slots: this one is not removed on a signal
}

void ReleaseCleanupSlot(int& index)
{
    if (index < 0) return;
    std::lock_guard<std::mutex> lock(g_cleanupMutex);
    g_cleanupSlots[index].used.store(false, std::memory_order_release);
    index = -1;
}

// ---------------------------------------------------------------- names

// Follows a chain of symbolic links to the file it ends at, whether that
// exists or not; empty when the chain is too long (a loop).
fs::path ResolveSymbolicLinks(fs::path target)
{
    std::error_code error;
    for (int hop = 0; hop < kMostSymbolicLinks; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
        const fs::path link = fs::read_symlink(target, error);
        if (error) return {};
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return {};
}

std::string TemporaryStem(const fs::path& target)
{
    std::string stem = target.filename().string();
    if (stem.size() > kLongestTemporaryStem) stem.resize(kLongestTemporaryStem);
    return stem + kTemporaryFileSuffix;
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(kTemporaryFileRandomLength, ' ');
    for (char& c : suffix) c = kLetters[pick(generator)];
    return suffix;
}

bool IsTemporaryOf(const std::string& name, const std::string& stem)
{
    return name.size() == stem.size() + kTemporaryFileRandomLength && name.compare(0, stem.size(), stem) == 0;
}

// Makes a rename in the folder durable; a file system that cannot sync a
// folder (EINVAL) has nothing more to offer, and the save itself has succeeded.
void SyncFolder(const fs::path& folder)
{
    const std::string path = folder.empty() ? std::string(".") : folder.string();
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    (void)::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

CAtomicFile::CAtomicFile(std::filesystem::path target) : m_target(std::move(target)) {}

CAtomicFile::~CAtomicFile()
{
    Abandon();
}

bool CAtomicFile::Open()
{
    TORQ_ASSERT(m_file == nullptr && m_temporary.empty());

    // Through a symbolic link the new content belongs beside the file it
    // points to; renaming over the link itself would replace the link.
    m_target = ResolveSymbolicLinks(m_target);
    if (m_target.empty() || m_target.filename().empty()) return false;

    struct stat existing {};
    const bool replacing = ::stat(m_target.c_str(), &existing) == 0;
    if (replacing) {
        // A folder, a device or a read-only file is no file we may replace.
        if (!S_ISREG(existing.st_mode) || ::access(m_target.c_str(), W_OK) != 0) return false;
    } else if (errno != ENOENT) {
        return false;
    }

    // O_EXCL makes the name ours; 0666 lets the kernel apply the umask.
    const fs::path folder = m_target.parent_path();
    const std::string stem = TemporaryStem(m_target);
    int descriptor = -1;
    for (int attempt = 0; attempt < kMostNameAttempts && descriptor < 0; ++attempt) {
        m_temporary = folder / (stem + RandomSuffix());
        descriptor = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST) break;
    }
    if (descriptor < 0) {
        m_temporary.clear();
        return false;
    }
    m_cleanupSlot = ClaimCleanupSlot(m_temporary);
    // A replaced file keeps its mode; failing to give it is a failed save,
    // never a silently different mode.
    if (replacing && ::fchmod(descriptor, existing.st_mode & 07777) != 0) {
        ::close(descriptor);
        Abandon();
        return false;
    }
    m_file = ::fdopen(descriptor, "w");
    if (m_file == nullptr) {
        ::close(descriptor);
        Abandon();
        return false;
    }
    return true;
}

CAtomicFile::Result CAtomicFile::Finish()
{
    if (m_finished) return Result::Ok;
    TORQ_ASSERT(m_file != nullptr);
    // A write that failed earlier leaves the stream's error flag set even when
    // the caller did not look at the result.
    const bool written =
        std::ferror(m_file) == 0 && std::fflush(m_file) == 0 && ::fsync(::fileno(m_file)) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    Result result = Result::Ok;
    if (!written) {
        result = Result::WriteFailed;
    } else if (!closed) {
        result = Result::CloseFailed;
    }
    if (result != Result::Ok) {
        Abandon();
        return result;
    }
    m_finished = true;
    return result;
}

CAtomicFile::Result CAtomicFile::Commit()
{
    const Result finished = Finish();
    if (finished != Result::Ok) return finished;
    if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        Abandon();
        return Result::RenameFailed;
    }
    m_temporary.clear();
    ReleaseCleanupSlot(m_cleanupSlot);
    m_finished = false;
    SyncFolder(m_target.parent_path());
    RemoveStaleTemporaries();
    return Result::Ok;
}

void CAtomicFile::Abandon()
{
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
    ReleaseCleanupSlot(m_cleanupSlot);
    m_finished = false;
}

// Temporaries of the same target that a killed save left behind: this save
// has just replaced the target, so none of them holds anything worth keeping.
void CAtomicFile::RemoveStaleTemporaries() const
{
    const fs::path folder = m_target.parent_path().empty() ? fs::path(".") : m_target.parent_path();
    const std::string stem = TemporaryStem(m_target);
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code ignored;
        if (IsTemporaryOf(name, stem) && entry->is_regular_file(ignored)) fs::remove(entry->path(), ignored);
    }
}

namespace {

void RaiseForResult(CAtomicFile::Result result)
{
    switch (result) {
        case CAtomicFile::Result::Ok:
            return;
        case CAtomicFile::Result::CloseFailed:
            RaiseError(Msg::FileClose);
        case CAtomicFile::Result::WriteFailed:
        case CAtomicFile::Result::RenameFailed:
            break;
    }
    // The content never reached the selected file.
    RaiseError(Msg::FileWrite);
}

}  // namespace

void FinishOrRaise(CAtomicFile& file)
{
    RaiseForResult(file.Finish());
}

void CommitOrRaise(CAtomicFile& file)
{
    RaiseForResult(file.Commit());
}

std::FILE* OpenRegularFileForReading(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return std::fopen(path.c_str(), "r");
}
