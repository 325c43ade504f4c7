#include "ChartPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSwatchWidth = 30;
constexpr double kGap = 6;
constexpr double kTickLength = 4;
constexpr double kMarkerSize = 7;
constexpr double kClipMarkSize = 9;
const QColor kGridColour(215, 215, 215);

QFont Scaled(const QFont& font, double factor, bool bold = false)
{
    QFont scaled = font;
    scaled.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    scaled.setBold(bold);
    return scaled;
}

// Tick values from the first multiple of the interval at or above the minimum.
std::vector<double> TickValues(const ChartAxisPicture& axis, double interval)
{
    std::vector<double> ticks;
    const double first = std::ceil(axis.minimum / interval - 1e-9) * interval;
    for (double value = first; value <= axis.maximum + interval * 1e-9; value += interval) {
        ticks.push_back(std::abs(value) < interval * 1e-9 ? 0.0 : value);
        if (ticks.size() > 100) break;
    }
    return ticks;
}

QString TickText(double value, double interval)
{
    const int decimals = interval >= 1 ? 0 : int(std::ceil(-std::log10(interval) - 1e-9));
    return QString::number(value, 'f', decimals);
}

QColor TitleColour(const ChartPicture& picture, bool y2)
{
    // In the default colours the titles say which curves belong to which axis.
    for (const ChartCurve& curve : picture.curves) {
        if (curve.y2 == y2 && curve.set == 0) {
            return curve.style.colour == kChartY1Colour   ? kChartY1Colour.darker(130)
                   : curve.style.colour == kChartY2Colour ? kChartY2Colour
                                                          : QColor(Qt::black);
        }
    }
    return Qt::black;
}

struct PlotMapping {
    QRectF plot;
    const ChartAxisPicture* x;
    const ChartAxisPicture* y;
    QPointF Map(QPointF value) const
    {
        const double fx = (value.x() - x->minimum) / (x->maximum - x->minimum);
        const double fy = (value.y() - y->minimum) / (y->maximum - y->minimum);
        return {plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()};
    }
};

double WidestTickText(const ChartAxisPicture& axis, const QFontMetricsF& metrics)
{
    const double interval = axis.tickInterval;
    double widest = 0;
    for (double value : {axis.minimum, axis.maximum, (axis.minimum + axis.maximum) / 2}) {
        widest = std::max(widest, metrics.horizontalAdvance(TickText(value, interval)));
    }
    return widest;
}

void DrawVerticalTitle(QPainter& painter, const QString& title, QPointF centre, bool readUpwards)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(readUpwards ? -90 : 90);
    const QFontMetricsF metrics(painter.font());
    const QString shown = metrics.horizontalAdvance(title) > 0 ? title : QString();
    painter.drawText(
        QPointF(-metrics.horizontalAdvance(shown) / 2, metrics.ascent() / 2 - metrics.descent() / 2), shown);
    painter.restore();
}

void DrawXAxis(QPainter& painter, const PlotMapping& map, const QFont& labelFont, const QFont& titleFont,
               double bottom)
{
    const ChartAxisPicture& axis = *map.x;
    const QFontMetricsF metrics(labelFont);
    const double interval =
        TickIntervalFor(axis.maximum - axis.minimum, map.plot.width(), WidestTickText(axis, metrics) * 1.6);
    painter.setFont(labelFont);
    for (double value : TickValues(axis, interval)) {
        const double x = map.Map(QPointF(value, map.y->minimum)).x();
        painter.setPen(QPen(kGridColour, 0));
        painter.drawLine(QPointF(x, map.plot.top()), QPointF(x, map.plot.bottom()));
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(x, map.plot.bottom()), QPointF(x, map.plot.bottom() + kTickLength));
        const QString text = TickText(value, interval);
        painter.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2,
                                 map.plot.bottom() + kTickLength + metrics.ascent()),
                         text);
    }
    painter.setFont(titleFont);
    const QFontMetricsF titleMetrics(titleFont);
    const QString title = axis.title;
    painter.drawText(QPointF(map.plot.center().x() - titleMetrics.horizontalAdvance(title) / 2,
                             bottom - titleMetrics.descent()),
                     title);
}

void DrawYAxis(QPainter& painter, const PlotMapping& map, const QFont& labelFont, const QFont& titleFont,
               bool right, bool grid, double outerEdge, const QColor& titleColour)
{
    const ChartAxisPicture& axis = *map.y;
    const QFontMetricsF metrics(labelFont);
    const double interval =
        TickIntervalFor(axis.maximum - axis.minimum, map.plot.height(), metrics.height() * 2.2);
    painter.setFont(labelFont);
    const double edge = right ? map.plot.right() : map.plot.left();
    const double outward = right ? 1 : -1;
    for (double value : TickValues(axis, interval)) {
        const double y = map.Map(QPointF(map.x->minimum, value)).y();
        if (grid) {
            painter.setPen(QPen(kGridColour, 0));
            painter.drawLine(QPointF(map.plot.left(), y), QPointF(map.plot.right(), y));
        }
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(edge, y), QPointF(edge + outward * kTickLength, y));
        const QString text = TickText(value, interval);
        const double width = metrics.horizontalAdvance(text);
        const double x = right ? edge + kTickLength + 2 : edge - kTickLength - 2 - width;
        painter.drawText(QPointF(x, y + metrics.ascent() / 2 - metrics.descent() / 2), text);
    }
    painter.setFont(titleFont);
    painter.setPen(titleColour);
    const QFontMetricsF titleMetrics(titleFont);
    const double titleX = outerEdge - outward * titleMetrics.height() / 2;
    DrawVerticalTitle(painter, axis.title, QPointF(titleX, map.plot.center().y()), !right);
    painter.setPen(Qt::black);
}

void DrawCurve(QPainter& painter, const PlotMapping& map, const ChartCurve& curve)
{
    QPainterPath path;
    for (qsizetype i = 0; i < curve.points.size(); ++i) {
        const QPointF p = map.Map(curve.points[i]);
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    painter.save();
    painter.setClipRect(map.plot.adjusted(-1, -1, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(curve.style.colour, kChartCurveWidth, curve.style.penStyle, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    for (qsizetype i = 0; i < curve.points.size(); i += curve.markerEvery) {
        DrawMarker(painter, map.Map(curve.points[i]), kMarkerSize, curve.style.marker,
                   curve.style.markerColour);
    }
    painter.restore();
}

void DrawPeakLabel(QPainter& painter, const PlotMapping& map, const ChartPeakLabel& label, const QFont& font,
                   std::vector<QRectF>& taken)
{
    const QFontMetricsF metrics(font);
    const QRectF box = PlacePeakLabel(map.Map(label.at),
                                      QSizeF(metrics.horizontalAdvance(label.text) + 6, metrics.height() + 2),
                                      map.plot, taken);
    if (box.isNull()) return;  // no room in a small plot: left out rather than cut
    taken.push_back(box);
    painter.save();
    painter.setPen(QPen(label.colour, 0));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(box);
    painter.setFont(font);
    painter.setPen(label.colour.darker(120));
    painter.drawText(box, Qt::AlignCenter, label.text);
    painter.restore();
}

}  // namespace

QRectF PlacePeakLabel(QPointF peak, QSizeF size, const QRectF& plot, const std::vector<QRectF>& taken)
{
    constexpr double kOffset = 6;
    const auto isFree = [&](const QRectF& box) {
        if (!plot.contains(box)) return false;
        return std::none_of(taken.begin(), taken.end(),
                            [&box](const QRectF& other) { return other.intersects(box); });
    };
    const double w = size.width();
    const double h = size.height();
    const double x = peak.x();
    const double y = peak.y();
    for (int lift = 0; lift < 4; ++lift) {
        const double up = lift * (h + 2);
        for (const QRectF& box :
             {QRectF(x + kOffset, y - kOffset - h - up, w, h),
              QRectF(x - kOffset - w, y - kOffset - h - up, w, h),
              QRectF(x + kOffset, y + kOffset + up, w, h), QRectF(x - kOffset - w, y + kOffset + up, w, h)}) {
            if (isFree(box)) return box;
        }
    }
    // No free place: above-right, moved inside the plot; none when the label is larger than the plot.
    if (w + 2 > plot.width() || h + 2 > plot.height()) return {};
    QRectF box(x + kOffset, y - kOffset - h, w, h);
    box.moveLeft(std::clamp(box.left(), plot.left() + 1, plot.right() - w - 1));
    box.moveTop(std::clamp(box.top(), plot.top() + 1, plot.bottom() - h - 1));
    return box;
}

ChartLegendLayout LayOutChartLegend(const ChartPicture& picture, const QFont& font, double width)
{
    ChartLegendLayout layout;
    const QFontMetricsF metrics(font);
    const int columns = picture.y2.visible ? 2 : 1;
    const double columnWidth = width / columns;
    const double textWidth = std::max(20.0, columnWidth - kSwatchWidth - 2 * kGap);
    double y = 0;
    std::size_t index = 0;
    while (index < picture.curves.size()) {
        // One row per engine: its Y1 entry and, beside it, its Y2 entry.
        double rowHeight = metrics.height();
        const int set = picture.curves[index].set;
        for (int column = 0;
             column < columns && index < picture.curves.size() && picture.curves[index].set == set;
             ++column, ++index) {
            const ChartCurve& curve = picture.curves[index];
            const double left = column * columnWidth;
            const QRectF text =
                metrics.boundingRect(QRectF(0, 0, textWidth, 1e6), Qt::TextWordWrap, curve.legend);
            ChartLegendEntry entry;
            entry.curve = &curve;
            entry.swatch = QRectF(left, y + (metrics.height() - 10) / 2, kSwatchWidth, 10);
            entry.text = QRectF(left + kSwatchWidth + kGap, y, textWidth, text.height());
            rowHeight = std::max(rowHeight, text.height());
            layout.entries.push_back(entry);
        }
        y += rowHeight + 2;
    }
    if (!picture.clipNote.isEmpty()) {
        const QRectF note =
            metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, picture.clipNote);
        layout.note = QRectF(0, y + 2, width, note.height());
        y = layout.note.bottom();
    }
    if (!picture.dayNote.isEmpty()) {
        const QRectF note = metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, picture.dayNote);
        layout.dayNote = QRectF(0, y + 2, width, note.height());
        y = layout.dayNote.bottom();
    }
    layout.height = y;
    return layout;
}

namespace {

// The plot area inside the chart: room at the sides for the y axes' titles
// and tick labels, and under it for the x axis's, above xTitleBottom.
QRectF PlotArea(const QRectF& inner, double xTitleBottom, const ChartPicture& picture,
                const QFontMetricsF& labelMetrics, const QFontMetricsF& titleMetrics)
{
    const double leftRoom =
        titleMetrics.height() + 4 + WidestTickText(picture.y1, labelMetrics) + kTickLength + 4;
    const double rightRoom =
        picture.y2.visible
            ? titleMetrics.height() + 4 + WidestTickText(picture.y2, labelMetrics) + kTickLength + 4
            : labelMetrics.horizontalAdvance(TickText(picture.x.maximum, 1)) / 2 + 2;
    const double bottomRoom = kTickLength + labelMetrics.height() + titleMetrics.height() + 4;
    return QRectF(QPointF(inner.left() + leftRoom, inner.top() + labelMetrics.height() / 2),
                  QPointF(inner.right() - rightRoom, xTitleBottom - bottomRoom));
}

// The curves, the marks where a curve leaves its range, and the peak labels.
void DrawPlotContents(QPainter& painter, const PlotMapping& y1Map, const PlotMapping& y2Map,
                      const ChartPicture& picture, const QFont& peakFont)
{
    for (const ChartCurve& curve : picture.curves) DrawCurve(painter, curve.y2 ? y2Map : y1Map, curve);
    for (const ChartClipMark& mark : picture.clipMarks) {
        DrawClipMark(painter, (mark.y2 ? y2Map : y1Map).Map(mark.at), kClipMarkSize, mark.direction,
                     mark.colour);
    }
    std::vector<QRectF> taken;
    for (const ChartPeakLabel& label : picture.peaks) {
        DrawPeakLabel(painter, label.y2 ? y2Map : y1Map, label, peakFont, taken);
    }
}

// The legend under the plot: a swatch and the text of each curve, then the
// note on the clipped curves.
void DrawLegend(QPainter& painter, const ChartLegendLayout& legend, const ChartPicture& picture,
                const QFont& font, QPointF topLeft)
{
    painter.translate(topLeft);
    painter.setFont(font);
    for (const ChartLegendEntry& entry : legend.entries) {
        DrawLegendSwatch(painter, entry.swatch, entry.curve->style);
        painter.setPen(Qt::black);
        painter.drawText(entry.text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, entry.curve->legend);
    }
    if (!legend.note.isEmpty()) {
        painter.setPen(QColor(128, 0, 0));
        painter.drawText(legend.note, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, picture.clipNote);
    }
    if (!legend.dayNote.isEmpty()) {
        painter.setPen(kChartDayNoteColour);
        painter.drawText(legend.dayNote, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, picture.dayNote);
    }
}

}  // namespace

void PaintChart(QPainter& painter, const QRectF& area, const ChartPicture& picture, const QFont& font)
{
    painter.save();
    painter.fillRect(area, kChartGrey);
    const QFont& labelFont = font;
    const QFont titleFont = Scaled(font, 1.0, true);
    const QFontMetricsF labelMetrics(labelFont);
    const QFontMetricsF titleMetrics(titleFont);
    const QRectF inner = area.adjusted(6, 6, -6, -6);

    const ChartLegendLayout legend = LayOutChartLegend(picture, labelFont, inner.width());
    const double legendTop = inner.bottom() - legend.height;
    const double xTitleBottom = legendTop - 4;
    const QRectF plot = PlotArea(inner, xTitleBottom, picture, labelMetrics, titleMetrics);
    if (plot.width() < 10 || plot.height() < 10) {
        painter.restore();
        return;  // no room for a plot
    }
    painter.fillRect(plot, Qt::white);

    const PlotMapping y1Map{plot, &picture.x, &picture.y1};
    const PlotMapping y2Map{plot, &picture.x, &picture.y2};
    DrawXAxis(painter, y1Map, labelFont, titleFont, xTitleBottom);
    // Only the first y axis draws grid lines: the second axis's ticks need not meet them.
    DrawYAxis(painter, y1Map, labelFont, titleFont, false, true, inner.left(), TitleColour(picture, false));
    if (picture.y2.visible) {
        DrawYAxis(painter, y2Map, labelFont, titleFont, true, false, inner.right(),
                  TitleColour(picture, true));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    DrawPlotContents(painter, y1Map, y2Map, picture, Scaled(font, 0.9));
    DrawLegend(painter, legend, picture, labelFont, QPointF(inner.left(), legendTop));
    painter.restore();
}
