#include "ManualPages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// "## The graph" gives "The graph"; lines inside ``` fences are no headings
// (the command line's examples have "# comment" lines).
QString HeadingOf(const QString& line, bool inFence)
{
    static const QRegularExpression heading(QStringLiteral("^#{1,3} +(.+?) *#* *$"));
    if (inFence) return {};
    const QRegularExpressionMatch match = heading.match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::vector<ManualSection> SplitIntoSections(const QString& text)
{
    std::vector<ManualSection> sections(1);
    bool inFence = false;
    bool first = true;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("```"))) inFence = !inFence;
        const QString heading = HeadingOf(line, inFence);
        if (!heading.isEmpty()) {
            if (first) {
                // The chapter's title opens its first section.
                sections.front().anchor = HeadingAnchor(heading);
                first = false;
            } else {
                sections.push_back({heading, HeadingAnchor(heading), {}});
            }
        }
        sections.back().text += line + QLatin1Char('\n');
    }
    return sections;
}

}  // namespace

QString HeadingAnchor(const QString& heading)
{
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            anchor += c;
        } else if (c == QLatin1Char(' ')) {
            anchor += QLatin1Char('-');
        }
    }
    return anchor;
}

bool ManualPages::Load(const QString& folder)
{
    m_folder = folder;
    m_chapters.clear();
    const QString contents = ReadText(QDir(folder).filePath(QString::fromLatin1(kContentsPage)));
    if (contents.isEmpty()) return false;
    // The contents page lists the chapters as "1. [Title](file.md)".
    static const QRegularExpression entry(QStringLiteral(R"(^\d+\. \[(.+)\]\(([\w.-]+\.md)\))"),
                                          QRegularExpression::MultilineOption);
    QRegularExpressionMatchIterator entries = entry.globalMatch(contents);
    while (entries.hasNext()) {
        const QRegularExpressionMatch match = entries.next();
        const QString text = ReadText(QDir(folder).filePath(match.captured(2)));
        if (text.isEmpty()) continue;
        m_chapters.push_back({match.captured(2), match.captured(1), SplitIntoSections(text)});
    }
    return true;
}

std::vector<ManualHit> ManualPages::Search(const QString& text) const
{
    const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<ManualHit> hits;
    if (words.isEmpty()) return hits;
    for (std::size_t c = 0; c < m_chapters.size(); ++c) {
        const std::vector<ManualSection>& sections = m_chapters[c].sections;
        for (std::size_t s = 0; s < sections.size(); ++s) {
            const bool all = std::all_of(words.begin(), words.end(), [&](const QString& word) {
                return sections[s].text.contains(word, Qt::CaseInsensitive);
            });
            if (all) hits.push_back({static_cast<int>(c), static_cast<int>(s)});
        }
    }
    return hits;
}

QStringList ManualPageFolders(const QString& startFolder, const QString& programFolder)
{
    QStringList folders;
    const auto add = [&folders](const QString& folder) {
        if (folder.isEmpty()) return;
        const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
        if (!folders.contains(clean)) folders.append(clean);
    };
    if (!programFolder.isEmpty()) {
        add(QDir(programFolder).filePath(QStringLiteral("manual")));
        add(QDir(programFolder).filePath(QStringLiteral("../share/torqwell/manual")));
    }
    if (!startFolder.isEmpty()) add(QDir(startFolder).filePath(QStringLiteral("manual")));
    return folders;
}

QString FindManualPages(const QString& startFolder, const QString& programFolder)
{
    for (const QString& folder : ManualPageFolders(startFolder, programFolder)) {
        if (QFileInfo(QDir(folder).filePath(QString::fromLatin1(ManualPages::kContentsPage))).isFile()) {
            return folder;
        }
    }
    return {};
}
