#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <vector>

class QPagedPaintDevice;
class QTextBlock;
class QPainter;

// The user manual as one printed book: the contents page (the manual
// folder's README.md) and every chapter it links to, in that order, each
// chapter on a new page, the pictures from the folder's images/, page
// numbers in the contents and at the foot of every page.
class ManualBook {
public:
    // Where the parts of pages that the build writes are: a line
    // "<!-- generated: NAME.md -->" of a page is replaced by folder/NAME.md,
    // so that a table made from the program's own data is never stale.
    void SetGeneratedFolder(const QString& folder) { m_generatedFolder = folder; }

    // Reads the contents page and its chapters. False, with Error() saying
    // why, when a page, a picture or a page a link names is missing.
    bool Load(const QString& contentsPath);

    // Writes the book as a PDF file; the file appears only when complete.
    bool WritePdf(const QString& pdfPath, const QString& footerText);

    const QStringList& ChapterFiles() const { return m_chapterFiles; }
    int PageCount() const { return m_pageCount; }
    const QString& Error() const { return m_error; }

private:
    bool Fail(const QString& message);
    bool ReadPage(const QString& fileName, QString& text);
    bool CheckLinks(const QString& fileName, const QString& text);
    bool InsertGenerated(const QString& fileName, QString& text);
    void Layout(QPagedPaintDevice& device);
    void StartChaptersOnNewPages();
    void TurnPageLinksIntoText();
    bool LoadPictures();
    void FitPictures();
    void SetCodeFont();
    void SpaceHeadings();
    void KeepHeadingsWithTheirText();
    void FormatTables();
    struct ContentsEntry {
        int block;    // the list item of the contents page
        int chapter;  // the chapter it links to, from 0
    };
    int ChapterLinkedFrom(const QTextBlock& block) const;
    std::vector<ContentsEntry> ContentsEntries() const;
    void NumberContents(const std::vector<ContentsEntry>& entries);
    int PageOf(int blockNumber) const;
    void PaintFooter(QPainter& painter, int page, const QString& footerText) const;

    QString m_folder;
    QString m_generatedFolder;
    QStringList m_chapterFiles;
    QString m_markdown;
    QTextDocument m_document;
    QSizeF m_body;  // the text area of a page, device pixels
    double m_footerHeight = 0.0;
    double m_devicePixelsPerLayoutPixel = 1.0;
    int m_pageCount = 0;
    QString m_error;
};
