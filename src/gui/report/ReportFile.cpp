#include "ReportFile.h"

#include "base/AtomicFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

QString Reason(int error)
{
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                      : QStringLiteral("the file could not be written");
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    return WriteFileAtomically(QFile::encodeName(path).toStdString(), path, bytes, error);
}

bool WriteFileAtomically(const std::string& localPath, const QString& path, const QByteArray& bytes,
                         QString& error, bool replaceExisting)
{
    CAtomicFile file{std::filesystem::path(localPath)};
    if (!replaceExisting) file.RefuseToReplace();
    errno = 0;
    if (!file.Open()) {
        error = QStringLiteral("Cannot write %1: %2.").arg(path, Reason(errno));
        return false;
    }
    errno = 0;
    const bool written = bytes.isEmpty() || std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()),
                                                        file.File()) == std::size_t(bytes.size());
    if (!written) {
        const int reason = errno;
        file.Abandon();
        error = QStringLiteral("Cannot write %1: %2.").arg(path, Reason(reason));
        return false;
    }
    errno = 0;
    const CAtomicFile::Result committed = file.Commit();
    if (committed == CAtomicFile::Result::TargetExists) {
        error = QStringLiteral(
                    "Cannot write %1: another program wrote a file of that name meanwhile, which is kept.")
                    .arg(path);
        return false;
    }
    if (committed != CAtomicFile::Result::Ok) {
        error = QStringLiteral("Cannot write %1: %2.").arg(path, Reason(errno));
        return false;
    }
    return true;
}
