#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The user manual as Markdown pages: the contents page (README.md) and the
// chapters its numbered list links to, each cut into sections at its
// headings, for the help window's contents and search.

struct ManualSection {
    QString heading;  // empty for the text before the chapter's first subheading
    QString anchor;   // HeadingAnchor(heading); the chapter's own for the first section
    QString text;     // the Markdown of the section, heading line included
};

struct ManualChapter {
    QString file;   // "03-results.md"
    QString title;  // as the contents page lists it: "Results: the graph and the table"
    std::vector<ManualSection> sections;
};

struct ManualHit {
    int chapter = 0;
    int section = 0;
};

// The anchor a link gives a heading: lower case, the letters, digits, '-'
// and '_' kept, every blank a '-' ("Flow through the valves" ->
// "flow-through-the-valves", "Help > User Manual..." -> "help--user-manual").
QString HeadingAnchor(const QString& heading);

class ManualPages {
public:
    static constexpr const char* kContentsPage = "README.md";

    // Reads the contents page of the folder and the chapters it lists. False
    // when the folder has no contents page; a chapter that cannot be read
    // is left out.
    bool Load(const QString& folder);

    const QString& Folder() const { return m_folder; }
    const std::vector<ManualChapter>& Chapters() const { return m_chapters; }

    // The sections that hold every word of the text (any case), in the
    // manual's order; none for a text without words.
    std::vector<ManualHit> Search(const QString& text) const;

private:
    QString m_folder;
    std::vector<ManualChapter> m_chapters;
};

// The folders that may hold the manual's pages, first choice first: beside
// the program (a build tree copies them there), the program's data folder of
// an installation (<prefix>/share/torqwell/manual) and the start folder.
QStringList ManualPageFolders(const QString& startFolder, const QString& programFolder);

// The first of those folders with a contents page, or an empty string.
QString FindManualPages(const QString& startFolder, const QString& programFolder);
