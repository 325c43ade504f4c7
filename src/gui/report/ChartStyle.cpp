#include "ChartStyle.h"

#include "base/ErrCode.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <array>
#include <cmath>
#include <numbers>

namespace {

// Okabe and Ito's palette, chosen so that the common kinds of colour
// blindness still tell them apart; their yellow, too pale on white, gives
// way to Tol's olive.
constexpr std::array<QRgb, kChartEngineCount> kEnginePalette{0xFF0072B2, 0xFFD55E00, 0xFF009E73, 0xFFCC79A7,
                                                             0xFFE69F00, 0xFF56B4E9, 0xFF000000, 0xFF999933};

constexpr std::array<MarkerShape, kChartEngineCount> kSetMarkers{
    MarkerShape::Dot,    MarkerShape::Star,         MarkerShape::Triangle, MarkerShape::Diamond,
    MarkerShape::Square, MarkerShape::TriangleDown, MarkerShape::Cross,    MarkerShape::Hexagon};

// A regular polygon or star of the given corners round the centre, the first corner straight up.
QPainterPath PolygonPath(QPointF c, double outer, double inner, int corners)
{
    QPainterPath path;
    const bool star = inner > 0;
    const int points = star ? 2 * corners : corners;
    for (int i = 0; i < points; ++i) {
        const double angle = -std::numbers::pi / 2 + i * 2 * std::numbers::pi / points;
        const double radius = (star && i % 2 == 1) ? inner : outer;
        const QPointF p(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    path.closeSubpath();
    return path;
}

QPainterPath MarkerPath(QPointF c, double size, MarkerShape shape)
{
    const double r = size / 2;
    const QRectF box(c.x() - r, c.y() - r, size, size);
    QPainterPath path;
    switch (shape) {
        case MarkerShape::Dot:
            path.addEllipse(box);
            break;
        case MarkerShape::Triangle:
            path.moveTo(c.x(), box.top());
            path.lineTo(box.right(), box.bottom());
            path.lineTo(box.left(), box.bottom());
            path.closeSubpath();
            break;
        case MarkerShape::Diamond:
            path.moveTo(c.x(), box.top());
            path.lineTo(box.right(), c.y());
            path.lineTo(c.x(), box.bottom());
            path.lineTo(box.left(), c.y());
            path.closeSubpath();
            break;
        case MarkerShape::Ring:
            // Filled odd-even: the inner circle is left open.
            path.addEllipse(box);
            path.addEllipse(box.adjusted(r * 0.45, r * 0.45, -r * 0.45, -r * 0.45));
            break;
        case MarkerShape::Star:
            path = PolygonPath(c, r, r * 0.45, 5);
            break;
        case MarkerShape::Square:
            path.addRect(box.adjusted(r * 0.12, r * 0.12, -r * 0.12, -r * 0.12));
            break;
        case MarkerShape::TriangleDown:
            path.moveTo(c.x(), box.bottom());
            path.lineTo(box.right(), box.top());
            path.lineTo(box.left(), box.top());
            path.closeSubpath();
            break;
        case MarkerShape::Cross: {
            // A diagonal cross of two bars a third of the marker wide.
            const double w = r / 3;
            QPainterPath bar;
            bar.addRect(QRectF(-r, -w, 2 * r, 2 * w));
            for (double angle : {45.0, -45.0}) {
                QTransform turn;
                turn.translate(c.x(), c.y());
                turn.rotate(angle);
                path = path.united(turn.map(bar));
            }
            break;
        }
        case MarkerShape::Hexagon:
            path = PolygonPath(c, r, 0, 6);
            break;
    }
    return path;
}

}  // namespace

QColor EngineColour(int set)
{
    TORQ_ASSERT(set >= 0 && set < kChartEngineCount);
    return QColor::fromRgb(kEnginePalette[static_cast<std::size_t>(set)]);
}

CurveStyle CurveStyleOf(int set, bool y2, bool colourEachEngine)
{
    TORQ_ASSERT(set >= 0 && set < kChartEngineCount);
    CurveStyle style;
    style.marker = kSetMarkers[static_cast<std::size_t>(set)];
    if (colourEachEngine) {
        style.colour = EngineColour(set);
        style.markerColour = style.colour;
        style.penStyle = y2 ? Qt::DashLine : Qt::SolidLine;
    } else {
        style.colour = y2 ? kChartY2Colour : kChartY1Colour;
        style.markerColour = set == 0 ? style.colour : kChartOverlayMarkerColour;
    }
    return style;
}

void DrawMarker(QPainter& painter, QPointF centre, double size, MarkerShape shape, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(MarkerPath(centre, size, shape));
    painter.restore();
}

QImage MarkerImage(MarkerShape shape, const QColor& colour)
{
    constexpr int size = 4 * kChartMarkerPixels;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawMarker(painter, QPointF(size / 2.0, size / 2.0), size - 4, shape, colour);
    return image;
}

void DrawLegendSwatch(QPainter& painter, const QRectF& box, const CurveStyle& style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(style.colour, kChartCurveWidth, style.penStyle);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const double y = box.center().y();
    painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    painter.restore();
    DrawMarker(painter, box.center(), std::min(box.height(), double(kChartMarkerPixels) + 1), style.marker,
               style.markerColour);
}

QImage LegendSwatchImage(const CurveStyle& style, QSize size, double devicePixelRatio)
{
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawLegendSwatch(painter, QRectF(QPointF(0, 0), QSizeF(size)), style);
    return image;
}

void DrawClipMark(QPainter& painter, QPointF tip, double size, ClipDirection direction, const QColor& colour)
{
    // A triangle whose tip touches the edge and whose base lies inside the plot.
    QPointF back;
    QPointF side;
    switch (direction) {
        case ClipDirection::Up:
            back = {0, size};
            side = {size / 2, 0};
            break;
        case ClipDirection::Down:
            back = {0, -size};
            side = {size / 2, 0};
            break;
        case ClipDirection::Left:
            back = {size, 0};
            side = {0, size / 2};
            break;
        case ClipDirection::Right:
            back = {-size, 0};
            side = {0, size / 2};
            break;
    }
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip + back + side);
    path.lineTo(tip + back - side);
    path.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 0.8));
    painter.setBrush(colour);
    painter.drawPath(path);
    painter.restore();
}

QImage ClipMarkImage(ClipDirection direction, const QColor& colour)
{
    // The chart centres a marker image on its point: the tip sits in the
    // middle, the triangle in the half that points back into the plot.
    constexpr int size = 8 * kChartMarkerPixels;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawClipMark(painter, QPointF(size / 2.0, size / 2.0), size / 2.0 - 2, direction, colour);
    return image;
}
