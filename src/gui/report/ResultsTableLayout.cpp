#include "ResultsTableLayout.h"

#include "ChartStyle.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kLeft = 20;  // left end of the table, device units
constexpr int kTitleY = 8;
constexpr int kHeaderY = 38;      // first header line when no line of peaks comes before it
constexpr int kColumnChars = 10;  // a column is ten average characters wide
constexpr int kScreenRuleGrey = 128;

void DrawTextAt(QPainter& painter, const QFontMetrics& metrics, int x, int y, const QString& text)
{
    // Layout positions are the top-left corner of the text.
    painter.drawText(x, y + metrics.ascent(), text);
}

}  // namespace

ResultsTableLayout ComputeResultsTableLayout(const CTorqDoc& document, int charHeight, int avgCharWidth,
                                             ResultUnits units, const ResultCorrection& correction)
{
    ResultsTableLayout layout;
    const int h = charHeight;
    layout.charHeight = h;
    layout.columnWidth = kColumnChars * avgCharWidth;
    if (layout.columnWidth < 0) layout.columnWidth = 50;
    const int a = layout.columnWidth;
    for (int column = 0; column < kResultsTableColumnCount; ++column)
        layout.columnX[column] = kLeft + column * a;
    layout.rightEnd = kLeft + kResultsTableColumnCount * a;

    layout.title = QString::fromLatin1(kResultsTableTitle);
    layout.titlePos = QPoint(kLeft, kTitleY);
    // The peaks take one line under the title; the headers move down by it.
    layout.peaks = QString::fromStdString(FormatResultPeaks(document, units, correction));
    layout.peaksPos = QPoint(kLeft, kTitleY + h);
    // A corrected day takes one more line under the peaks.
    layout.day =
        QString::fromStdString(DescribeCorrection(correction, document.GetUnitSystem() == kMetricUnits));
    layout.dayPos = QPoint(kLeft, kTitleY + 2 * h);
    const int headerY = kHeaderY + h + (layout.day.isEmpty() ? 0 : h);
    layout.header1Y = headerY;
    layout.header2Y = headerY + h;
    layout.unitsY = headerY + 2 * h;
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        layout.header1[column] = QString::fromLatin1(ResultsTableColumns()[column].header1);
        layout.header2[column] = QString::fromLatin1(ResultsTableColumns()[column].header2);
        layout.units[column] = QString::fromStdString(ResultsTableUnitsHeader(column, units));
    }
    const int upperRuleY = headerY - h / 4;
    layout.rules.emplace_back(kLeft, upperRuleY, layout.rightEnd, upperRuleY);
    const int headerRuleY = headerY + 13 * h / 4;
    layout.rules.emplace_back(kLeft, headerRuleY, layout.rightEnd, headerRuleY);

    // A blank line before rows 4, 8, 12 and 16 groups the speeds by four.
    int y = headerY + 3 * h;
    for (int row = 0; row < kResultPointCount; ++row) {
        y += (row > 0 && row % 4 == 0) ? 2 * h : h;
        layout.rowY[row] = y;
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            layout.cells[row][column] =
                QString::fromStdString(FormatResultsTableCell(document, column, row, units, correction));
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
    DrawTextAt(painter, metrics, layout.peaksPos.x(), layout.peaksPos.y(), layout.peaks);
    if (!layout.day.isEmpty()) {
        painter.save();
        painter.setPen(kChartDayNoteColour);
        DrawTextAt(painter, metrics, layout.dayPos.x(), layout.dayPos.y(), layout.day);
        painter.restore();
    }
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        DrawTextAt(painter, metrics, layout.columnX[column], layout.header1Y, layout.header1[column]);
        DrawTextAt(painter, metrics, layout.columnX[column], layout.header2Y, layout.header2[column]);
        DrawTextAt(painter, metrics, layout.columnX[column], layout.unitsY, layout.units[column]);
    }
    for (int row = 0; row < kResultPointCount; ++row) {
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            DrawTextAt(painter, metrics, layout.columnX[column], layout.rowY[row], layout.cells[row][column]);
        }
    }
    for (const ResultsTableLayout::ExtraColumn& column : layout.extraColumns) {
        DrawTextAt(painter, metrics, column.x, layout.header1Y, column.header1);
        DrawTextAt(painter, metrics, column.x, layout.header2Y, column.header2);
        DrawTextAt(painter, metrics, column.x, layout.unitsY, column.units);
        for (int row = 0; row < kResultPointCount; ++row)
            DrawTextAt(painter, metrics, column.x, layout.rowY[row], column.cells[row]);
    }
    if (!layout.note.isEmpty())
        DrawTextAt(painter, metrics, layout.notePos.x(), layout.notePos.y(), layout.note);
    QPen rulePen =
        printing ? QPen(Qt::black, 1) : QPen(QColor(kScreenRuleGrey, kScreenRuleGrey, kScreenRuleGrey), 2);
    rulePen.setCapStyle(Qt::FlatCap);
    painter.setPen(rulePen);
    for (const QLine& rule : layout.rules) painter.drawLine(rule);
}
