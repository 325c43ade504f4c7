#pragma once

#include "ChartPicture.h"
#include "PageHeader.h"
#include "model/ResultUnits.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

class CMeasuredPulls;
class CTorqDoc;
class QPainter;

// The dyno sheet: one page that tells an engine's story on its own, to print,
// mail or post. At the top the engine's name and file, the program with its
// version and the date; then the peaks (and the day, when the figures are
// corrected to one), the graph as it is set up, the results table with its
// units, and beside the table the engine in brief (the form's groups with
// their values) over its valve-event diagram. Measured pulls are drawn on
// the graph and their differences from the run named under the peaks.

struct DynoSheetContent {
    const CTorqDoc* document = nullptr;
    QString engineName;
    QString filePath;  // empty for an engine never saved
    QString date;      // TodayText() unless a test fixes it
    ChartPicture graph;
    ResultUnits units = ResultUnits::English;  // as shown: ShownResultUnits
    QPageSize::PageSizeId paper = LocalePaperSize();
    ResultCorrection correction;  // the day the figures are shown for
    // The measured pulls beside the engine: under the peaks each pull's name
    // and root-mean-square difference (the graph draws them when it was
    // built with them). Null for none.
    const CMeasuredPulls* measured = nullptr;
};

enum class SheetFormat { Pdf, Png, Svg, Unknown };

// The format a file name asks for by its extension (any case).
SheetFormat SheetFormatOf(const QString& path);

// The sheet's paper in logical units of 1/96 inch: US Letter is 816 by
// 1056, A4 794 by 1123.
QRectF DynoSheetPaper(QPageSize::PageSizeId paper);

// Draws the sheet on a painter whose logical unit is 1/96 inch.
void PaintDynoSheet(QPainter& painter, const QRectF& paper, const DynoSheetContent& content);

// The sheet as the bytes of a file: a one-page PDF, a PNG at twice the
// sheet's size (192 pixels per inch), or an SVG with its texts as text.
QByteArray RenderDynoSheet(const DynoSheetContent& content, SheetFormat format);

// Renders and writes the sheet through a temporary file (never a partial
// file); false with a message when the format is unknown or the file cannot
// be written.
bool ExportDynoSheet(const DynoSheetContent& content, const QString& path, QString& error);
