#include "AtomicFile.h"

#include "ErrCode.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
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

// While a commit holds SIGINT and SIGTERM back (CTerminationSignalsHeld),
// a signal that reaches another thread waits here until the hold ends.
std::atomic<int> g_holdDepth{0};
volatile std::sig_atomic_t g_heldSignal = 0;

extern "C" void RemoveTemporariesAndEnd(int signal)
{
    if (g_holdDepth.load(std::memory_order_acquire) > 0) {
        g_heldSignal = signal;
        return;
    }
    for (CleanupSlot& slot : g_cleanupSlots) {
        if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
    }
    // End as the signal would have ended the program without us.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

bool HasDefaultAction(int signal)
{
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

// Installed once, and only where the program still has the default action:
// a program that ignores or handles these signals itself keeps doing so.
// A write past the file-size limit (ulimit -f) would end the program with
// SIGXFSZ and leave its temporary; ignored, the write fails with EFBIG and
// the save fails as on a full disk.
void InstallCleanupHandlers()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signal : kCleanupSignals) {
            if (!HasDefaultAction(signal)) continue;
            struct sigaction action {};
            action.sa_handler = RemoveTemporariesAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
        if (HasDefaultAction(SIGXFSZ)) ::signal(SIGXFSZ, SIG_IGN);
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

// ---------------------------------------------------------------- live temporaries

// A save holds an exclusive advisory lock on its temporary for as long as
// the temporary lives, so that another save of the same target can tell it
// from one a killed program left. Between the open and the lock the
// temporary is not yet locked: a clean-up that takes it then removes it
// while holding the lock, and the writer, once it has the lock, finds its
// file unlinked and takes another name. False in that case.
bool LockAsLive(int descriptor)
{
    int locked = -1;
    do {
        locked = ::flock(descriptor, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat info {};
    // A file system without locks leaves the temporary unlocked; the clean-up
    // then cannot lock it either, and leaves it alone.
    return ::fstat(descriptor, &info) == 0 && info.st_nlink > 0;
}

// Removes a temporary of another save when no live save holds it.
void RemoveIfStale(const fs::path& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        ::unlink(path.c_str());
    }
    ::close(descriptor);
}

// Renames without replacing a file that exists: renameat2 where the file
// system offers it, else a hard link (which never replaces) and the removal
// of the temporary's name.
CAtomicFile::Result RenameWithoutReplacing(const fs::path& from, const fs::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return CAtomicFile::Result::Ok;
    if (errno == EEXIST) return CAtomicFile::Result::TargetExists;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return CAtomicFile::Result::RenameFailed;
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? CAtomicFile::Result::TargetExists : CAtomicFile::Result::RenameFailed;
    }
    ::unlink(from.c_str());
    return CAtomicFile::Result::Ok;
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
        if (descriptor >= 0 && !LockAsLive(descriptor)) {
            ::close(descriptor);
            descriptor = -1;
        }
    }
    if (descriptor < 0) {
        m_temporary.clear();
        return false;
    }
    // The lock lives with this second descriptor until the temporary is
    // renamed or removed, also after the stream is closed by Finish.
    m_lockDescriptor = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
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
    const Result renamed =
        m_replaceExisting
            ? (std::rename(m_temporary.c_str(), m_target.c_str()) == 0 ? Result::Ok : Result::RenameFailed)
            : RenameWithoutReplacing(m_temporary, m_target);
    if (renamed != Result::Ok) {
        Abandon();
        return renamed;
    }
    m_temporary.clear();
    ReleaseLock();
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
    ReleaseLock();
    ReleaseCleanupSlot(m_cleanupSlot);
    m_finished = false;
}

void CAtomicFile::ReleaseLock()
{
    if (m_lockDescriptor < 0) return;
    ::close(m_lockDescriptor);
    m_lockDescriptor = -1;
}

// Temporaries of the same target that a killed save left behind: this save
// has just replaced the target, so none of them holds anything worth
// keeping. A temporary that another save still writes is locked by it and
// stays.
void CAtomicFile::RemoveStaleTemporaries() const
{
    const fs::path folder = m_target.parent_path().empty() ? fs::path(".") : m_target.parent_path();
    const std::string stem = TemporaryStem(m_target);
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (IsTemporaryOf(entry->path().filename().string(), stem)) RemoveIfStale(entry->path());
    }
}

namespace {

void RaiseForResult(CAtomicFile::Result result)
{
    if (result != CAtomicFile::Result::Ok) RaiseError(ErrorCode(SaveFailureMessage(result)));
}

}  // namespace

int SaveFailureMessage(CAtomicFile::Result result)
{
    switch (result) {
        case CAtomicFile::Result::Ok:
            return 0;
        case CAtomicFile::Result::CloseFailed:
            return Msg::FileClose;
        case CAtomicFile::Result::WriteFailed:
        case CAtomicFile::Result::RenameFailed:
        case CAtomicFile::Result::TargetExists:
            break;
    }
    // The content never reached the selected file.
    return Msg::FileWrite;
}

void FinishOrRaise(CAtomicFile& file)
{
    RaiseForResult(file.Finish());
}

void CommitOrRaise(CAtomicFile& file)
{
    RaiseForResult(file.Commit());
}

namespace {

// A descriptor of a regular file, or -1. Opened without blocking and checked
// on the open descriptor, so that a pipe or device put in the file's place
// between a look and the open can neither block nor be read.
int OpenRegularFile(const std::string& path)
{
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return -1;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

}  // namespace

// ---------------------------------------------------------------- holding SIGINT and SIGTERM

CTerminationSignalsHeld::CTerminationSignalsHeld()
{
    InstallCleanupHandlers();
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kCleanupSignals) sigaddset(&held, signal);
    g_holdDepth.fetch_add(1, std::memory_order_acq_rel);
    ::pthread_sigmask(SIG_BLOCK, &held, &m_previousMask);
}

CTerminationSignalsHeld::~CTerminationSignalsHeld()
{
    const bool outermost = g_holdDepth.fetch_sub(1, std::memory_order_acq_rel) == 1;
    // A signal that came to this thread is delivered here, once unblocked.
    ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    if (outermost && g_heldSignal != 0) {
        const int signal = g_heldSignal;
        g_heldSignal = 0;
        ::raise(signal);
    }
}

std::FILE* OpenRegularFileForReading(const std::string& path)
{
    const int descriptor = OpenRegularFile(path);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "r");
    if (file == nullptr) ::close(descriptor);
    return file;
}

WholeFileRead ReadRegularFile(const std::string& path, std::size_t mostBytes, std::string& bytes)
{
    const int descriptor = OpenRegularFile(path);
    if (descriptor < 0) return WholeFileRead::CannotOpen;
    bytes.clear();
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && std::uint64_t(info.st_size) > mostBytes) {
        ::close(descriptor);
        return WholeFileRead::TooLarge;
    }
    char buffer[65536];
    WholeFileRead result = WholeFileRead::Ok;
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            result = WholeFileRead::CannotOpen;
            break;
        }
        if (count == 0) break;
        // A file that grows while it is read is measured as it is read.
        if (bytes.size() + std::size_t(count) > mostBytes) {
            result = WholeFileRead::TooLarge;
            break;
        }
        bytes.append(buffer, std::size_t(count));
    }
    const int reason = errno;
    ::close(descriptor);
    errno = reason;
    if (result != WholeFileRead::Ok) bytes.clear();
    return result;
}
