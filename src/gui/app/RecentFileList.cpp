#include "RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Recent File List");
constexpr int kLongestShownPath = 48;

QString KeyOf(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

QString Normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

CRecentFileList::CRecentFileList()
{
    Load();
}

void CRecentFileList::Load()
{
    QSettings settings;
    settings.beginGroup(kGroup);
    m_entries.clear();
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = settings.value(KeyOf(i)).toString();
        if (!path.isEmpty() && !m_entries.contains(path)) m_entries.append(path);
    }
}

void CRecentFileList::Save() const
{
    QSettings settings;
    settings.beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < m_entries.size()) {
            settings.setValue(KeyOf(i), m_entries[i]);
        } else {
            settings.remove(KeyOf(i));
        }
    }
}

void CRecentFileList::Add(const QString& path)
{
    const QString entry = Normalised(path);
    m_entries.removeAll(entry);
    m_entries.prepend(entry);
    while (m_entries.size() > kMaxEntries) m_entries.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& path)
{
    if (m_entries.removeAll(Normalised(path)) > 0) Save();
}

QString CRecentFileList::MenuText(int index, const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kLongestShownPath) {
        // Keep the file name and its folder; the start of a long path says little.
        const QFileInfo info(path);
        shown = QStringLiteral("...") + QDir::separator() + info.dir().dirName() + QDir::separator() +
                info.fileName();
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
