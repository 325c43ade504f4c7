#include "ResultsTableView.h"

#include "StaleResultsNote.h"
#include "ViewFont.h"
#include "model/ResultsTable.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

namespace {

constexpr int kLeft = 20;        // left end of the table, device units
constexpr int kTitleY = 8;
constexpr int kHeaderY = 38;     // first header line
constexpr int kColumnChars = 10;  // a column is ten average characters wide
constexpr int kExtentChars = 90;  // scroll extent: 90 characters by 50 lines
constexpr int kExtentLines = 50;
constexpr int kScreenBackground = 192;
constexpr int kScreenRuleGrey = 128;

// Printed text is set at 10 points on a page measured in 1/96 inch.
constexpr int kPrintFontPixels = 13;

void DrawTextAt(QPainter& painter, const QFontMetrics& metrics, int x, int y, const QString& text)
{
    // Layout positions are the top-left corner of the text, as the table was drawn.
    painter.drawText(x, y + metrics.ascent(), text);
}

}  // namespace

ResultsTableLayout ComputeResultsTableLayout(const CTorqDoc& document, int charHeight, int avgCharWidth)
{
    ResultsTableLayout layout;
    const int h = charHeight;
    layout.charHeight = h;
    layout.columnWidth = kColumnChars * avgCharWidth;
    if (layout.columnWidth < 0) layout.columnWidth = 50;
    const int a = layout.columnWidth;
    for (int column = 0; column < kResultsTableColumnCount; ++column) layout.columnX[column] = kLeft + column * a;
    layout.rightEnd = kLeft + kResultsTableColumnCount * a;

    layout.title = QString::fromLatin1(kResultsTableTitle);
    layout.titlePos = QPoint(kLeft, kTitleY);
    layout.header1Y = kHeaderY;
    layout.header2Y = kHeaderY + h;
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        layout.header1[column] = QString::fromLatin1(ResultsTableColumns()[column].header1);
        layout.header2[column] = QString::fromLatin1(ResultsTableColumns()[column].header2);
    }
    const int upperRuleY = kHeaderY - h / 4;
    layout.rules.emplace_back(kLeft, upperRuleY, layout.rightEnd, upperRuleY);
    const int headerRuleY = kHeaderY + 9 * h / 4;
    layout.rules.emplace_back(kLeft, headerRuleY, layout.rightEnd, headerRuleY);

    // A blank line before rows 4, 8, 12 and 16 groups the speeds by four.
    int y = kHeaderY + 2 * h;
    for (int row = 0; row < kResultPointCount; ++row) {
        y += (row > 0 && row % 4 == 0) ? 2 * h : h;
        layout.rowY[row] = y;
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            layout.cells[row][column] = QString::fromStdString(FormatResultsTableCell(document, column, row));
        }
    }

    const int lowerRuleY = layout.rowY[kResultPointCount - 1] + 5 * h / 4;
    layout.rules.emplace_back(kLeft, lowerRuleY, layout.rightEnd, lowerRuleY);
    const int speedRuleX = (kLeft + a) - avgCharWidth;
    layout.rules.emplace_back(speedRuleX, upperRuleY, speedRuleX, lowerRuleY);
    return layout;
}

void PaintResultsTable(QPainter& painter, const ResultsTableLayout& layout, bool printing)
{
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(Qt::black);
    DrawTextAt(painter, metrics, layout.titlePos.x(), layout.titlePos.y(), layout.title);
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        DrawTextAt(painter, metrics, layout.columnX[column], layout.header1Y, layout.header1[column]);
        DrawTextAt(painter, metrics, layout.columnX[column], layout.header2Y, layout.header2[column]);
    }
    for (int row = 0; row < kResultPointCount; ++row) {
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            DrawTextAt(painter, metrics, layout.columnX[column], layout.rowY[row], layout.cells[row][column]);
        }
    }
    QPen rulePen = printing ? QPen(Qt::black, 1) : QPen(QColor(kScreenRuleGrey, kScreenRuleGrey, kScreenRuleGrey), 2);
    rulePen.setCapStyle(Qt::FlatCap);
    painter.setPen(rulePen);
    for (const QLine& rule : layout.rules) painter.drawLine(rule);
}

CResultsTableView::CResultsTableView(CTorqDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(&document), m_font(SmallViewFont())
{
    viewport()->setFont(m_font);
    viewport()->setAutoFillBackground(false);
    m_document->AddObserver(this);
    UpdateScrollBars();
}

CResultsTableView::~CResultsTableView()
{
    if (m_document != nullptr) m_document->RemoveObserver(this);
}

ResultsTableLayout CResultsTableView::ScreenLayout() const
{
    TORQ_ASSERT(m_document != nullptr);
    const QFontMetrics metrics(m_font);
    return ComputeResultsTableLayout(*m_document, metrics.height(), metrics.averageCharWidth());
}

QSize CResultsTableView::ScrollExtent() const
{
    const QFontMetrics metrics(m_font);
    return {kExtentChars * metrics.averageCharWidth(), kExtentLines * metrics.height()};
}

void CResultsTableView::OnDocumentChanged(CTorqDoc& document, DocumentChange change)
{
    if (&document != m_document) return;
    if (change == DocumentChange::Destroyed) {
        m_document = nullptr;
        return;
    }
    if (change == DocumentChange::Updated) viewport()->update();
}

void CResultsTableView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    // The background reaches 5 units past the client area to the right and bottom.
    const QRect background = viewport()->rect().adjusted(0, 0, 5, 5);
    painter.fillRect(background, QColor(kScreenBackground, kScreenBackground, kScreenBackground));
    if (m_document == nullptr) return;
    painter.setClipRect(event->rect());
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    painter.setFont(m_font);
    PaintResultsTable(painter, ScreenLayout(), false);
    if (m_stale) {
        painter.resetTransform();
        painter.fillRect(background, QColor(kScreenBackground, kScreenBackground, kScreenBackground, 170));
    }
}

void CResultsTableView::SetStale(bool stale)
{
    if (stale == m_stale) return;
    m_stale = stale;
    if (m_stale && m_staleNote == nullptr) m_staleNote = new CStaleResultsNote(this);
    if (m_staleNote != nullptr) m_staleNote->setVisible(m_stale);
    viewport()->update();
}

void CResultsTableView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CResultsTableView::scrollContentsBy(int, int) { viewport()->update(); }

void CResultsTableView::UpdateScrollBars()
{
    const QSize extent = ScrollExtent();
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, extent.width() - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(QFontMetrics(m_font).averageCharWidth());
    verticalScrollBar()->setRange(0, std::max(0, extent.height() - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(QFontMetrics(m_font).height());
}

void CResultsTableView::PaintPrintPage(QPainter& painter) const
{
    TORQ_ASSERT(m_document != nullptr);
    QFont printFont = m_font;
    printFont.setPixelSize(kPrintFontPixels);
    painter.setFont(printFont);
    const QFontMetrics metrics(printFont);
    PaintResultsTable(painter, ComputeResultsTableLayout(*m_document, metrics.height(), metrics.averageCharWidth()),
                      true);
}

void CResultsTableView::Print(QPrinter& printer) const
{
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    // One logical unit is 1/96 inch on every printer.
    const double scale = printer.resolution() / 96.0;
    painter.scale(scale, scale);
    PaintPrintPage(painter);
}
