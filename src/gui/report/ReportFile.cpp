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
    const QByteArray local = QFile::encodeName(path);
    CAtomicFile file{std::filesystem::path(local.toStdString())};
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
    if (file.Commit() != CAtomicFile::Result::Ok) {
        error = QStringLiteral("Cannot write %1: %2.").arg(path, Reason(errno));
        return false;
    }
    return true;
}
