#include "Printouts.h"

#include "ChartPainter.h"
#include "MeasuredColumns.h"
#include "ResultsTableLayout.h"
#include "model/TorqDoc.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Printed text is set at 10 points, the graph's at 9.
constexpr double kTablePixels = 10.0 / 72 * kReportUnitsPerInch;
constexpr double kGraphPixels = 9.0 / 72 * kReportUnitsPerInch;
constexpr double kMargin = kReportUnitsPerInch / 2;

// The area under the page header, half an inch in from the paper's edges.
QRectF BodyOf(const QRectF& paper)
{
    return paper.adjusted(kMargin, kMargin + kTablePixels, -kMargin, -kMargin);
}

}  // namespace

void ForgetEarlierPrintTransform(QPainter& painter)
{
    painter.setWorldTransform(QTransform(), false);
}

QRectF UseReportUnits(QPainter& painter, const QRectF& paperPixels, double deviceDpi)
{
    const double scale = deviceDpi / kReportUnitsPerInch;
    painter.scale(scale, scale);
    return {paperPixels.topLeft() / scale, paperPixels.size() / scale};
}

void PaintTablePrintout(QPainter& painter, const QRectF& paper, const CTorqDoc& document, ResultUnits units,
                        const PageHeaderText& header, const ResultCorrection& correction,
                        const MeasuredPull* measured)
{
    DrawPageHeader(painter, paper, kReportUnitsPerInch, header);
    const QRectF body = BodyOf(paper);
    painter.save();
    const QFont font = ReportFont(kTablePixels);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.setPen(Qt::black);
    const QString about =
        QStringLiteral("Engine: %1    Results in %2")
            .arg(QString::fromStdString(document.GetTitle()), QString::fromUtf8(ResultUnitsName(units)));
    painter.drawText(QPointF(body.left(), body.top() + metrics.ascent()), about);
    // The table places itself 20 units in from its origin.
    painter.translate(body.left() - 20, body.top() + metrics.height());
    ResultsTableLayout layout =
        ComputeResultsTableLayout(document, metrics.height(), metrics.averageCharWidth(), units, correction);
    if (measured != nullptr) AddMeasuredColumns(layout, document, *measured, units);
    PaintResultsTable(painter, layout, true);
    painter.restore();
}

void PaintGraphPrintout(QPainter& painter, const QRectF& paper, const ChartPicture& picture,
                        const PageHeaderText& header)
{
    DrawPageHeader(painter, paper, kReportUnitsPerInch, header);
    const QRectF body = BodyOf(paper);
    const double height = std::min(body.height(), body.width() * 0.75);
    PaintChart(painter, QRectF(body.topLeft(), QSizeF(body.width(), height)), picture,
               ReportFont(kGraphPixels));
}
