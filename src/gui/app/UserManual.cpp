#include "UserManual.h"

#include <QDir>
#include <QFileInfo>

QStringList UserManualFolders(const QString& startFolder, const QString& programFolder)
{
    QStringList folders;
    const auto add = [&folders](const QString& folder) {
        if (folder.isEmpty()) return;
        const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
        if (!folders.contains(clean)) folders.append(clean);
    };
    add(programFolder);
    if (!programFolder.isEmpty()) add(QDir(programFolder).filePath(QStringLiteral("../share/torqwell")));
    add(startFolder);
    return folders;
}

QString FindUserManual(const QString& startFolder, const QString& programFolder)
{
    for (const QString& folder : UserManualFolders(startFolder, programFolder)) {
        const QFileInfo manual(QDir(folder).filePath(QString::fromLatin1(kUserManualFileName)));
        // A folder of that name is no manual.
        if (manual.isFile()) return manual.absoluteFilePath();
    }
    return {};
}
