#include "AtomicFile.h"

#include "ErrCode.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The temporary name is the target's name plus this suffix; long names are
// cut first so that the result stays within the usual 255-byte name limit.
constexpr const char* kTemporarySuffix = ".tmp-XXXXXX";
constexpr std::size_t kLongestTemporaryStem = 200;

mode_t CurrentUmask()
{
    // umask can only be read by setting it: put it straight back.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

CAtomicFile::CAtomicFile(std::filesystem::path target) : m_target(std::move(target)) {}

CAtomicFile::~CAtomicFile() { Abandon(); }

bool CAtomicFile::Open()
{
    TORQ_ASSERT(m_file == nullptr && m_temporary.empty());

    // Through a symbolic link the new content belongs beside the file it
    // points to; renaming over the link itself would replace the link.
    std::error_code error;
    if (fs::is_symlink(m_target, error)) {
        fs::path resolved = fs::weakly_canonical(m_target, error);
        if (error) return false;
        m_target = std::move(resolved);
    }

    mode_t mode;
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0) {
        // A folder, a device or a read-only file is no file we may replace.
        if (!S_ISREG(existing.st_mode) || ::access(m_target.c_str(), W_OK) != 0) return false;
        mode = existing.st_mode & 07777;
    } else {
        if (errno != ENOENT) return false;
        mode = 0666 & ~CurrentUmask();
    }

    std::string stem = m_target.filename().string();
    if (stem.empty()) return false;
    if (stem.size() > kLongestTemporaryStem) stem.resize(kLongestTemporaryStem);
    std::string pattern = (m_target.parent_path() / (stem + kTemporarySuffix)).string();

    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) return false;
    m_temporary = pattern;
    // mkstemp creates the file private to its owner (0600).
    (void)::fchmod(descriptor, mode);
    m_file = ::fdopen(descriptor, "w");
    if (m_file == nullptr) {
        ::close(descriptor);
        Abandon();
        return false;
    }
    return true;
}

CAtomicFile::Result CAtomicFile::Commit()
{
    TORQ_ASSERT(m_file != nullptr);
    // A write that failed earlier leaves the stream's error flag set even when
    // the caller did not look at the result.
    const bool written = std::ferror(m_file) == 0 && std::fflush(m_file) == 0 &&
                         ::fsync(::fileno(m_file)) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;

    Result result = Result::Ok;
    if (!written) {
        result = Result::WriteFailed;
    } else if (!closed) {
        result = Result::CloseFailed;
    } else if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        result = Result::RenameFailed;
    } else {
        m_temporary.clear();
    }
    Abandon();
    return result;
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
}

void CommitOrRaise(CAtomicFile& file)
{
    switch (file.Commit()) {
    case CAtomicFile::Result::Ok:
        return;
    case CAtomicFile::Result::CloseFailed:
        RaiseError(46);
    case CAtomicFile::Result::WriteFailed:
    case CAtomicFile::Result::RenameFailed:
        break;
    }
    // The content never reached the selected file.
    RaiseError(44);
}

std::FILE* OpenRegularFileForReading(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return std::fopen(path.c_str(), "r");
}
