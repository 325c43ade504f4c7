#include "DynoSheet.h"

#include "ChartPainter.h"
#include "EngineSummary.h"
#include "MeasuredPulls.h"
#include "PageHeader.h"
#include "Printouts.h"
#include "ReportFile.h"
#include "ResultsTableLayout.h"
#include "ValveEventPainter.h"
#include "model/TorqDoc.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

namespace {

constexpr double kMargin = 48;  // half an inch
constexpr double kNamePixels = 22;
constexpr double kSmallPixels = 10;
constexpr double kPeaksPixels = 14;
constexpr double kGraphPixels = 11;
constexpr double kTablePixels = 10;
constexpr double kSummaryPixels = 9;
constexpr double kGraphHeight = 390;  // leaves room for the valve events under the summary
constexpr double kValveEventsHeight = 175;
constexpr double kPngScale = 2;
const QColor kQuietText(90, 90, 90);
constexpr std::size_t kMostPullLines = 3;  // the page has room for the table under them

// The engine's name, file, program and date; returns the y below them.
double PaintTitleBlock(QPainter& painter, const QRectF& page, const DynoSheetContent& content)
{
    const QFont nameFont = ReportFont(kNamePixels, true);
    const QFont smallFont = ReportFont(kSmallPixels);
    const QFontMetricsF name(nameFont);
    const QFontMetricsF small(smallFont);
    double y = page.top();
    const QString product = QStringLiteral("%1 %2  -  engine dynamometer simulation")
                                .arg(QLatin1String(kReportProductName), QLatin1String(kReportProductVersion));
    const double rightWidth =
        std::max(small.horizontalAdvance(product), small.horizontalAdvance(content.date));
    painter.setFont(nameFont);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(page.left(), y + name.ascent()),
                     name.elidedText(content.engineName, Qt::ElideMiddle, page.width() - rightWidth - 12));
    painter.setFont(smallFont);
    painter.setPen(kQuietText);
    painter.drawText(QPointF(page.right() - small.horizontalAdvance(product), y + small.ascent()), product);
    painter.drawText(
        QPointF(page.right() - small.horizontalAdvance(content.date), y + small.height() + small.ascent()),
        content.date);
    y += name.height() + 2;
    const QString file =
        content.filePath.isEmpty() ? QStringLiteral("(not saved to a file)") : content.filePath;
    painter.drawText(QPointF(page.left(), y + small.ascent()),
                     small.elidedText(file, Qt::ElideMiddle, page.width()));
    y += small.height() + 4;
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
    return y + 6;
}

double PaintPeaks(QPainter& painter, const QRectF& page, double y, const DynoSheetContent& content)
{
    const QFont font = ReportFont(kPeaksPixels, true);
    const QFontMetricsF metrics(font);
    QString peaks =
        QString::fromStdString(FormatResultPeaks(*content.document, content.units, content.correction));
    if (peaks.isEmpty()) peaks = QStringLiteral("No results: the engine has not been run.");
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(page.left(), y + metrics.ascent()), peaks);
    y += metrics.height() + 6;
    const QString day = QString::fromStdString(
        DescribeCorrection(content.correction, content.document->GetUnitSystem() == kMetricUnits));
    if (day.isEmpty()) return y;
    // The day the figures are corrected to, under the peaks it changes.
    const QFont dayFont = ReportFont(kSmallPixels);
    const QFontMetricsF dayMetrics(dayFont);
    painter.setFont(dayFont);
    painter.setPen(kChartDayNoteColour);
    painter.drawText(QPointF(page.left(), y + dayMetrics.ascent()),
                     dayMetrics.elidedText(day, Qt::ElideRight, page.width()));
    return y + dayMetrics.height() + 6;
}

// A line per measured pull under the peaks: its name and its root-mean-square
// difference from the run; returns the y below them.
double PaintMeasuredPulls(QPainter& painter, const QRectF& page, double y, const DynoSheetContent& content)
{
    if (content.measured == nullptr || content.measured->IsEmpty()) return y;
    const QFont font = ReportFont(kSmallPixels + 1);
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const std::vector<MeasuredPull>& pulls = content.measured->Pulls();
    for (std::size_t i = 0; i < pulls.size() && i < kMostPullLines; ++i) {
        const QString line = pulls[i].Legend() + QStringLiteral("   ") +
                             RmsSummary(CompareWithRun(*content.document, pulls[i].pull), content.units);
        painter.drawText(QPointF(page.left(), y + metrics.ascent()),
                         metrics.elidedText(line, Qt::ElideMiddle, page.width()));
        y += metrics.height();
    }
    if (pulls.size() > kMostPullLines) {
        painter.drawText(QPointF(page.left(), y + metrics.ascent()),
                         QStringLiteral("and %1 more measured pulls").arg(pulls.size() - kMostPullLines));
        y += metrics.height();
    }
    painter.restore();
    return y + 4;
}

// The results table at its natural size; returns its width.
double PaintTable(QPainter& painter, QPointF topLeft, const DynoSheetContent& content)
{
    const QFont font = ReportFont(kTablePixels);
    const QFontMetrics metrics(font);
    const ResultsTableLayout layout = ComputeResultsTableLayout(
        *content.document, metrics.height(), metrics.averageCharWidth(), content.units, content.correction);
    painter.save();
    painter.setFont(font);
    painter.translate(topLeft.x() - 20, topLeft.y() - 8);  // the layout leaves 20 units left and 8 above
    PaintResultsTable(painter, layout, true);
    painter.restore();
    return layout.rightEnd - 20;
}

// The engine in brief; returns the y below it.
double PaintSummary(QPainter& painter, const QRectF& area, const CTorqDoc& document)
{
    const QFont plain = ReportFont(kSummaryPixels);
    const QFont bold = ReportFont(kSummaryPixels, true);
    const QFontMetricsF metrics(plain);
    const double labelWidth = area.width() * 0.36;
    double y = area.top();
    painter.save();
    painter.setPen(Qt::black);
    for (const EngineSummaryGroup& group : SummarizeEngine(document)) {
        painter.setFont(bold);
        painter.drawText(QPointF(area.left(), y + metrics.ascent()), group.title);
        y += metrics.height();
        painter.setFont(plain);
        for (const EngineSummaryLine& line : group.lines) {
            painter.drawText(QPointF(area.left() + 4, y + metrics.ascent()), line.label);
            const double valueWidth = area.width() - labelWidth - 4;
            painter.drawText(QPointF(area.left() + labelWidth, y + metrics.ascent()),
                             metrics.elidedText(line.value, Qt::ElideRight, valueWidth));
            y += metrics.height();
        }
        y += metrics.height() / 2;
    }
    painter.restore();
    return y;
}

// The valve events at the foot of the summary's column, as tall as room allows.
void PaintValveEvents(QPainter& painter, const QRectF& area, const CTorqDoc& document)
{
    const double height = std::min(kValveEventsHeight, area.height());
    if (height < kValveEventsHeight * 0.6) return;  // too little room to read it
    const QRectF box(area.left(), area.bottom() - height, area.width(), height);
    PaintValveEventDiagram(painter, box, BuildValveEventDiagram(document.Cam()), ReportFont(kSummaryPixels),
                           document.GetUnitSystem() == kMetricUnits);
}

QByteArray RenderPdf(const DynoSheetContent& content)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(content.paper));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(content.engineName + QStringLiteral(" - dyno sheet"));
        writer.setCreator(QStringLiteral("%1 %2").arg(QLatin1String(kReportProductName),
                                                      QLatin1String(kReportProductVersion)));
        QPainter painter(&writer);
        const QRectF paper = UseReportUnits(painter, writer.pageLayout().fullRectPixels(writer.resolution()),
                                            writer.resolution());
        PaintDynoSheet(painter, paper, content);
    }
    return bytes;
}

QByteArray RenderPng(const DynoSheetContent& content)
{
    const QRectF paper = DynoSheetPaper(content.paper);
    QImage image((paper.size() * kPngScale).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(kReportUnitsPerInch * kPngScale / 0.0254)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(kPngScale, kPngScale);
        PaintDynoSheet(painter, paper, content);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray RenderSvg(const DynoSheetContent& content)
{
    const QRectF paper = DynoSheetPaper(content.paper);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(paper.size().toSize());
    generator.setViewBox(paper);
    generator.setResolution(int(kReportUnitsPerInch));
    generator.setTitle(content.engineName + QStringLiteral(" - dyno sheet"));
    {
        QPainter painter(&generator);
        painter.fillRect(paper, Qt::white);
        PaintDynoSheet(painter, paper, content);
    }
    return bytes;
}

}  // namespace

SheetFormat SheetFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return SheetFormat::Pdf;
    if (suffix == QLatin1String("png")) return SheetFormat::Png;
    if (suffix == QLatin1String("svg")) return SheetFormat::Svg;
    return SheetFormat::Unknown;
}

QRectF DynoSheetPaper(QPageSize::PageSizeId paper)
{
    // In millimetres the sizes are exact (Qt rounds inches to two places).
    constexpr double kMillimetresPerInch = 25.4;
    const QSizeF size =
        QPageSize(paper).size(QPageSize::Millimeter) / kMillimetresPerInch * kReportUnitsPerInch;
    return {QPointF(0, 0), size};
}

void PaintDynoSheet(QPainter& painter, const QRectF& paper, const DynoSheetContent& content)
{
    Q_ASSERT(content.document != nullptr);
    painter.save();
    const QRectF page = paper.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    double y = PaintTitleBlock(painter, page, content);
    y = PaintPeaks(painter, page, y, content);
    y = PaintMeasuredPulls(painter, page, y, content);
    PaintChart(painter, QRectF(page.left(), y, page.width(), kGraphHeight), content.graph,
               ReportFont(kGraphPixels));
    y += kGraphHeight + 14;
    const double tableWidth = PaintTable(painter, QPointF(page.left(), y), content);
    const double summaryLeft = page.left() + tableWidth + 18;
    const double summaryBottom = PaintSummary(
        painter, QRectF(summaryLeft, y, page.right() - summaryLeft, page.bottom() - y), *content.document);
    PaintValveEvents(painter,
                     QRectF(QPointF(summaryLeft, summaryBottom + 4), QPointF(page.right(), page.bottom())),
                     *content.document);
    painter.restore();
}

QByteArray RenderDynoSheet(const DynoSheetContent& content, SheetFormat format)
{
    switch (format) {
        case SheetFormat::Pdf:
            return RenderPdf(content);
        case SheetFormat::Png:
            return RenderPng(content);
        case SheetFormat::Svg:
            return RenderSvg(content);
        case SheetFormat::Unknown:
            break;
    }
    return {};
}

bool ExportDynoSheet(const DynoSheetContent& content, const QString& path, QString& error)
{
    const SheetFormat format = SheetFormatOf(path);
    if (format == SheetFormat::Unknown) {
        error = QStringLiteral("Cannot write %1: the dyno sheet is written as .pdf, .png or .svg.").arg(path);
        return false;
    }
    return WriteFileAtomically(path, RenderDynoSheet(content, format), error);
}
