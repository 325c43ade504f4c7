#pragma once

#include <QString>
#include <QStringList>

// The most recently opened or saved engine files, newest first, kept in the
// per-user settings under "Recent File List" as File1..File4.
class CRecentFileList {
public:
    static constexpr int kMaxEntries = 4;

    // Reads the list from the settings of the application's organisation.
    CRecentFileList();

    // Moves the file to the top (adding it when new) and stores the list.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return m_entries; }

    // The menu text of an entry: "&1 " and the path, shortened when long.
    static QString MenuText(int index, const QString& path);

private:
    void Load();
    void Save() const;

    QStringList m_entries;
};
