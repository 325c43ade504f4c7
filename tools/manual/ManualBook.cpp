#include "ManualBook.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr double kBodyPointSize = 10.0;
constexpr double kCodePointSize = 8.0;
constexpr double kFooterPointSize = 8.0;
// Screenshots are shown a little smaller than on the screen they were taken
// from: 110 screen pixels to the inch of paper.
constexpr double kScreenPixelsPerInch = 110.0;
// No picture takes more than this share of a page's height.
constexpr double kTallestPictureShare = 0.62;
const QColor kCodeBackground(0xf2, 0xf2, 0xf2);

// [text](target) and ![text](target) in Markdown, the target without a title.
const QRegularExpression kLinkPattern(QStringLiteral(R"(\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\))"));

// The places of a page's headings, as the repository's web view names
// them: the heading in lower case, without punctuation, spaces as hyphens;
// a repeated heading gets -1, -2 ... Headings in fenced code are none.
QStringList HeadingPlaces(const QString& markdown)
{
    static const QRegularExpression heading(QStringLiteral(R"(^#{1,6}\s+(.*?)\s*#*\s*$)"));
    static const QRegularExpression punctuation(QStringLiteral(R"([^\w\- ])"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    QStringList places;
    bool inFence = false;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("```"))) inFence = !inFence;
        const QRegularExpressionMatch match = heading.match(line);
        if (inFence || !match.hasMatch()) continue;
        QString place = match.captured(1).toLower();
        place.remove(punctuation);
        place.replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString first = place;
        for (int repeat = 1; places.contains(place); ++repeat)
            place = first + QLatin1Char('-') + QString::number(repeat);
        places.append(place);
    }
    return places;
}

bool IsPageOfTheManual(const QString& target)
{
    const QString path = target.section(QLatin1Char('#'), 0, 0);
    return path.endsWith(QLatin1String(".md")) && !path.contains(QLatin1Char(':'));
}

// The fragments of the document in order, with their place.
struct FragmentAt {
    int position;
    int length;
    QTextCharFormat format;
};

std::vector<FragmentAt> Fragments(const QTextDocument& document)
{
    std::vector<FragmentAt> fragments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                fragments.push_back({fragment.position(), fragment.length(), fragment.charFormat()});
        }
    }
    return fragments;
}

void SetCharFormat(QTextDocument& document, const FragmentAt& fragment, const QTextCharFormat& format)
{
    QTextCursor cursor(&document);
    cursor.setPosition(fragment.position);
    cursor.setPosition(fragment.position + fragment.length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

// A block of a fenced code block (a paragraph that merely begins with code is none).
bool IsCodeBlock(const QTextBlock& block)
{
    return block.blockFormat().hasProperty(QTextFormat::BlockCodeFence) ||
           block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

}  // namespace

bool ManualBook::Fail(const QString& message)
{
    m_error = message;
    return false;
}

bool ManualBook::ReadPage(const QString& fileName, QString& text)
{
    QFile file(QDir(m_folder).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1: cannot be read").arg(file.fileName()));
    text = QString::fromUtf8(file.readAll());
    return true;
}

bool ManualBook::CheckLinks(const QString& fileName, const QString& text)
{
    for (auto match = kLinkPattern.globalMatch(text); match.hasNext();) {
        const QString target = match.next().captured(1);
        if (target.contains(QLatin1Char(':'))) continue;  // a web address
        QString path = QUrl::fromPercentEncoding(target.section(QLatin1Char('#'), 0, 0).toUtf8());
        if (path.isEmpty()) path = fileName;  // a place on the same page
        if (!QFileInfo::exists(QDir(m_folder).filePath(path)))
            return Fail(QStringLiteral("%1: the link to %2 leads nowhere").arg(fileName, target));
        const QString place = target.section(QLatin1Char('#'), 1);
        if (place.isEmpty() || !path.endsWith(QLatin1String(".md"))) continue;
        QString page;
        if (!ReadPage(path, page)) return false;
        if (!HeadingPlaces(page).contains(place))
            return Fail(
                QStringLiteral("%1: the link to %2 names no heading of %3").arg(fileName, target, path));
    }
    return true;
}

bool ManualBook::InsertGenerated(const QString& fileName, QString& text)
{
    static const QRegularExpression marker(QStringLiteral(R"(^<!-- generated: ([\w.-]+\.md) -->$)"),
                                           QRegularExpression::MultilineOption);
    // The search goes on after each part put in: a part is never read for markers of its own.
    for (auto match = marker.match(text); match.hasMatch();) {
        const QString part = match.captured(1);
        QFile file(QDir(m_generatedFolder).filePath(part));
        if (m_generatedFolder.isEmpty() || !file.open(QIODevice::ReadOnly))
            return Fail(
                QStringLiteral("%1: the part %2 that the build writes is missing").arg(fileName, part));
        const QString content = QString::fromUtf8(file.readAll());
        text.replace(match.capturedStart(), match.capturedLength(), content);
        match = marker.match(text, match.capturedStart() + content.size());
    }
    return true;
}

bool ManualBook::Load(const QString& contentsPath)
{
    const QFileInfo contents(contentsPath);
    m_folder = contents.absolutePath();
    m_chapterFiles.clear();
    QString contentsText;
    if (!ReadPage(contents.fileName(), contentsText) || !CheckLinks(contents.fileName(), contentsText))
        return false;

    for (auto match = kLinkPattern.globalMatch(contentsText); match.hasNext();) {
        const QString target = match.next().captured(1);
        const QString file = target.section(QLatin1Char('#'), 0, 0);
        if (IsPageOfTheManual(target) && file != contents.fileName() && !m_chapterFiles.contains(file))
            m_chapterFiles.append(file);
    }
    if (m_chapterFiles.isEmpty())
        return Fail(QStringLiteral("%1 links to no chapter").arg(contents.fileName()));

    m_markdown = contentsText;
    for (const QString& chapter : std::as_const(m_chapterFiles)) {
        QString text;
        if (!ReadPage(chapter, text) || !CheckLinks(chapter, text) || !InsertGenerated(chapter, text))
            return false;
        // Blank lines keep a chapter's first heading out of the last paragraph before it.
        m_markdown += QStringLiteral("\n\n") + text + QStringLiteral("\n");
    }
    return true;
}

void ManualBook::StartChaptersOnNewPages()
{
    bool title = true;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 1) continue;
        if (title) {
            title = false;
            continue;
        }
        QTextBlockFormat format;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).mergeBlockFormat(format);
    }
}

void ManualBook::TurnPageLinksIntoText()
{
    // On paper a link to another page of the manual is its words alone.
    for (const FragmentAt& fragment : Fragments(m_document)) {
        if (!fragment.format.isAnchor() || !IsPageOfTheManual(fragment.format.anchorHref())) continue;
        QTextCharFormat format = fragment.format;
        format.setAnchor(false);
        format.setAnchorHref(QString());
        format.clearForeground();
        format.setFontUnderline(false);
        SetCharFormat(m_document, fragment, format);
    }
}

bool ManualBook::LoadPictures()
{
    for (const FragmentAt& fragment : Fragments(m_document)) {
        if (!fragment.format.isImageFormat()) continue;
        const QString name = fragment.format.toImageFormat().name();
        const QString path = QDir(m_folder).filePath(QUrl::fromPercentEncoding(name.toUtf8()));
        const QImage picture(path);
        if (picture.isNull()) return Fail(QStringLiteral("the picture %1 cannot be read").arg(name));
        m_document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    }
    return true;
}

void ManualBook::FitPictures()
{
    // Sizes in the document are in pixels of a 96 dpi screen, whatever the device.
    const QSizeF body = m_body / m_devicePixelsPerLayoutPixel;
    const double pixelsPerScreenPixel = 96.0 / kScreenPixelsPerInch;
    for (const FragmentAt& fragment : Fragments(m_document)) {
        if (!fragment.format.isImageFormat()) continue;
        QTextImageFormat format = fragment.format.toImageFormat();
        const QImage picture =
            m_document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        const double width = picture.width() * pixelsPerScreenPixel;
        const double height = picture.height() * pixelsPerScreenPixel;
        const double scale =
            std::min({1.0, body.width() / width, kTallestPictureShare * body.height() / height});
        format.setWidth(width * scale);
        format.setHeight(height * scale);
        SetCharFormat(m_document, fragment, format);
        // A picture alone in its paragraph stands in the middle of the page.
        const QTextBlock block = m_document.findBlock(fragment.position);
        if (block.length() - 1 == fragment.length) {
            QTextBlockFormat centred;
            centred.setAlignment(Qt::AlignHCenter);
            QTextCursor(block).mergeBlockFormat(centred);
        }
    }
}

void ManualBook::SetCodeFont()
{
    QFont code = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    code.setPointSizeF(kCodePointSize);
    code.setStyleStrategy(QFont::PreferNoShaping);
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (!IsCodeBlock(block)) continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFont(code, QTextCharFormat::FontPropertiesSpecifiedOnly);
        cursor.mergeCharFormat(format);
        QTextBlockFormat background;
        background.setBackground(kCodeBackground);
        cursor.mergeBlockFormat(background);
    }
}

void ManualBook::FormatTables()
{
    constexpr double pixelsPerPoint = 96.0 / 72.0;
    const QList<QTextFrame*> frames = m_document.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (table == nullptr) continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(0.6 * pixelsPerPoint);
        format.setBorderBrush(QColor(0x99, 0x99, 0x99));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setCellSpacing(0);
        format.setCellPadding(3.0 * pixelsPerPoint);
        format.setTopMargin(4.0 * pixelsPerPoint);
        format.setBottomMargin(6.0 * pixelsPerPoint);
        format.setHeaderRowCount(1);
        table->setFormat(format);
        // The heading row is shaded, as on a printed data sheet.
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat heading = cell.format();
            heading.setBackground(kCodeBackground);
            cell.setFormat(heading);
        }
        // A cell's text sits at its top: no paragraph spacing inside cells.
        QTextBlockFormat tight;
        tight.setTopMargin(0);
        tight.setBottomMargin(0);
        for (QTextBlock block = table->firstCursorPosition().block();
             block.isValid() && block.position() < table->lastPosition(); block = block.next()) {
            QTextCursor(block).mergeBlockFormat(tight);
        }
    }
}

void ManualBook::SpaceHeadings()
{
    constexpr double pixelsPerPoint = 96.0 / 72.0;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 2) continue;
        QTextBlockFormat spaced;
        spaced.setTopMargin((level == 2 ? 12.0 : 8.0) * pixelsPerPoint);
        spaced.setBottomMargin(3.0 * pixelsPerPoint);
        QTextCursor(block).mergeBlockFormat(spaced);
    }
}

void ManualBook::KeepHeadingsWithTheirText()
{
    // A heading goes over to the next page when what follows it does (a
    // picture too tall for the rest of the page), or when it stands in the
    // last tenth of a page.
    const double pageHeight = m_body.height();
    const auto pageOf = [pageHeight](double y) { return static_cast<int>(y / pageHeight); };
    QAbstractTextDocumentLayout* layout = m_document.documentLayout();
    for (int pass = 0; pass < 100; ++pass) {
        m_document.markContentsDirty(0, m_document.characterCount());
        bool moved = false;
        for (QTextBlock block = m_document.begin(); block.isValid() && !moved; block = block.next()) {
            const QTextBlockFormat format = block.blockFormat();
            if (format.headingLevel() < 2 || format.pageBreakPolicy() != QTextFormat::PageBreak_Auto)
                continue;
            const double top = layout->blockBoundingRect(block).top();
            const QTextBlock next = block.next();
            // Where the next block's first line stands: the layout moves a
            // line that does not fit to the next page inside its block.
            const bool alone = next.isValid() && next.layout()->lineCount() > 0 &&
                               pageOf(layout->blockBoundingRect(next).top() +
                                      next.layout()->lineAt(0).position().y()) > pageOf(top);
            if (!alone && top - pageOf(top) * pageHeight < 0.9 * pageHeight) continue;
            QTextBlockFormat breaking;
            breaking.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).mergeBlockFormat(breaking);
            moved = true;  // the pages after it have moved: look again from the start
        }
        if (!moved) break;
    }
}

int ManualBook::PageOf(int blockNumber) const
{
    const QTextBlock block = m_document.findBlockByNumber(blockNumber);
    const double top = m_document.documentLayout()->blockBoundingRect(block).top();
    return static_cast<int>(top / m_body.height()) + 1;
}

// The chapter a block of the contents page links to, or -1.
int ManualBook::ChapterLinkedFrom(const QTextBlock& block) const
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.isAnchor() && IsPageOfTheManual(format.anchorHref()))
            return static_cast<int>(
                m_chapterFiles.indexOf(format.anchorHref().section(QLatin1Char('#'), 0, 0)));
    }
    return -1;
}

std::vector<ManualBook::ContentsEntry> ManualBook::ContentsEntries() const
{
    // The contents entries are the list items before the first chapter that
    // link to a chapter; each chapter begins at its own heading of level 1.
    std::vector<ContentsEntry> entries;
    int headings = 0;
    for (QTextBlock block = m_document.begin(); block.isValid() && headings < 2; block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) ++headings;
        if (headings != 1 || block.textList() == nullptr) continue;
        const int chapter = ChapterLinkedFrom(block);
        if (chapter >= 0) entries.push_back({block.blockNumber(), chapter});
    }
    return entries;
}

void ManualBook::NumberContents(const std::vector<ContentsEntry>& entries)
{
    std::vector<int> headingBlocks;  // the title, then each chapter's
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1) headingBlocks.push_back(block.blockNumber());

    QTextBlockFormat tabbed;
    tabbed.setTabPositions(
        {QTextOption::Tab(0.9 * m_body.width() / m_devicePixelsPerLayoutPixel, QTextOption::RightTab)});
    std::vector<QTextCursor> numbers;
    for (const ContentsEntry& entry : entries) {
        QTextCursor cursor(m_document.findBlockByNumber(entry.block));
        cursor.mergeBlockFormat(tabbed);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral("\t"), QTextCharFormat());
        numbers.push_back(cursor);
    }
    // The numbers themselves could move a chapter to another page; another
    // pass settles them. Each pass lays the whole book out afresh.
    for (int pass = 0; pass < 3; ++pass) {
        m_document.markContentsDirty(0, m_document.characterCount());
        bool changed = false;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QString page = QString::number(PageOf(headingBlocks[std::size_t(entries[i].chapter) + 1]));
            QTextCursor& cursor = numbers[i];
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            if (cursor.selectedText() == page) continue;
            cursor.insertText(page, QTextCharFormat());
            cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, static_cast<int>(page.size()));
            changed = true;
        }
        if (!changed) break;
    }
}

void ManualBook::PaintFooter(QPainter& painter, int page, const QString& footerText) const
{
    QFont font = m_document.defaultFont();
    font.setPointSizeF(kFooterPointSize);
    painter.setFont(font);
    painter.setPen(QPen(Qt::gray, 0));
    const double top = m_body.height() + m_footerHeight * 0.35;
    painter.drawLine(QPointF(0, top), QPointF(m_body.width(), top));
    painter.setPen(Qt::black);
    const QRectF line(0, top, m_body.width(), m_footerHeight * 0.65);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, footerText);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page).arg(m_pageCount));
}

void ManualBook::Layout(QPagedPaintDevice& device)
{
    QFont body = m_document.defaultFont();
    body.setPointSizeF(kBodyPointSize);
    // No ligatures: words found and copied in the PDF are the words typed.
    body.setStyleStrategy(QFont::PreferNoShaping);
    m_document.setDefaultFont(body);
    m_document.setMarkdown(m_markdown, QTextDocument::MarkdownDialectGitHub);
    m_document.setBaseUrl(QUrl::fromLocalFile(m_folder + QLatin1Char('/')));
    m_document.setDocumentMargin(0);
    m_document.documentLayout()->setPaintDevice(&device);

    QFont footer = body;
    footer.setPointSizeF(kFooterPointSize);
    m_footerHeight = QFontMetricsF(footer, &device).height() * 2.5;
    m_body = QSizeF(device.width(), device.height() - m_footerHeight);
    // Lengths in the document (pictures, tables, tabs) are in pixels of a
    // 96 dpi screen; the layout scales them to the device.
    m_devicePixelsPerLayoutPixel = device.logicalDpiY() / 96.0;
    m_document.setPageSize(m_body);
}

bool ManualBook::WritePdf(const QString& pdfPath, const QString& footerText)
{
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) return Fail(QStringLiteral("%1: cannot be written").arg(pdfPath));
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Torqwell User Manual"));
    writer.setCreator(QStringLiteral("Torqwell"));

    Layout(writer);
    int headings = 0;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1) ++headings;
    if (headings != m_chapterFiles.size() + 1)
        return Fail(QStringLiteral("the contents page and every chapter begin with one heading of level 1 "
                                   "and have no other (found %1 for %2 chapters)")
                        .arg(headings)
                        .arg(m_chapterFiles.size()));
    StartChaptersOnNewPages();
    SetCodeFont();
    FormatTables();
    if (!LoadPictures()) return false;
    FitPictures();
    SpaceHeadings();
    KeepHeadingsWithTheirText();
    const std::vector<ContentsEntry> contents = ContentsEntries();
    TurnPageLinksIntoText();
    NumberContents(contents);
    m_pageCount = m_document.pageCount();

    QPainter painter(&writer);
    if (!painter.isActive()) return Fail(QStringLiteral("%1: the PDF cannot be drawn").arg(pdfPath));
    // Screenshots are flat colours and sharp text: compressed without loss,
    // not as photographs.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    for (int page = 0; page < m_pageCount; ++page) {
        if (page > 0) writer.newPage();
        painter.save();
        // Two device pixels short, so that a picture that starts the next
        // page leaves no sliver at the foot of this one.
        const QRectF clip(0, page * m_body.height(), m_body.width(), m_body.height() - 2.0);
        painter.translate(0, -clip.top());
        painter.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        m_document.documentLayout()->draw(&painter, context);
        painter.restore();
        if (page > 0) PaintFooter(painter, page + 1, footerText);
    }
    painter.end();
    if (!file.commit()) return Fail(QStringLiteral("%1: cannot be written").arg(pdfPath));
    return true;
}
