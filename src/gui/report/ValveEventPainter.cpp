#include "ValveEventPainter.h"

#include "base/ErrCode.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kQuarterTurn = 90.0;  // crank degrees
constexpr double kMillimetresPerInch = 25.4;
const QColor kOverlapColour(255, 236, 150);
const QColor kGridColour(215, 215, 215);
const QColor kBackground(192, 192, 192);

struct Mapping {
    QRectF plot;
    CrankSpan span;
    double topLift;  // in
    QPointF Map(double crankDegrees, double liftIn) const
    {
        const double fx = (crankDegrees - span.first) / (span.last - span.first);
        return {plot.left() + fx * plot.width(), plot.bottom() - liftIn / topLift * plot.height()};
    }
    double X(double crankDegrees) const { return Map(crankDegrees, 0).x(); }
};

QString Degrees(double value)
{
    return QString::number(std::lround(value)) + QChar(0x00B0);
}

// 0.1 in steps to a little above the higher lift.
double TopLift(const ValveEventDiagram& diagram)
{
    const double highest = std::max(diagram.intakeLiftIn, diagram.exhaustLiftIn);
    return std::max(0.1, std::ceil(highest * 10.0 + 0.5) / 10.0);
}

void DrawLift(QPainter& painter, const Mapping& map, const std::vector<LiftPoint>& points,
              const QColor& colour)
{
    QPainterPath path;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF p = map.Map(points[i].crankDegrees, points[i].liftIn);
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void DrawCrankAxis(QPainter& painter, const Mapping& map, const QFontMetricsF& metrics)
{
    for (double crank = map.span.first; crank <= map.span.last + 0.5; crank += kQuarterTurn / 3) {
        const double x = map.X(crank);
        const bool quarter = std::fmod(crank, kQuarterTurn) < 0.5;
        painter.setPen(QPen(quarter ? QColor(150, 150, 150) : kGridColour, 0));
        painter.drawLine(QPointF(x, map.plot.top()), QPointF(x, map.plot.bottom()));
        if (!quarter) continue;
        const int turn = static_cast<int>(std::lround(crank / kQuarterTurn)) % 4;
        // Dead centres by name, the quarter turns between them by their angle.
        const QString text = turn == 0   ? QStringLiteral("TDC")
                             : turn == 2 ? QStringLiteral("BDC")
                                         : Degrees(crank);
        painter.setPen(Qt::black);
        painter.drawText(
            QPointF(x - metrics.horizontalAdvance(text) / 2, map.plot.bottom() + metrics.ascent() + 2), text);
    }
}

void DrawLiftAxis(QPainter& painter, const Mapping& map, const QFontMetricsF& metrics, bool metric)
{
    const double step = metric ? 0.1 / kMillimetresPerInch * 20 : 0.1;  // 2 mm or 0.1 in
    for (double lift = 0; lift <= map.topLift + 1e-9; lift += step) {
        const double y = map.Map(map.span.first, lift).y();
        painter.setPen(QPen(kGridColour, 0));
        painter.drawLine(QPointF(map.plot.left(), y), QPointF(map.plot.right(), y));
        const QString text =
            metric ? QString::number(lift * kMillimetresPerInch, 'f', 0) : QString::number(lift, 'f', 1);
        painter.setPen(Qt::black);
        painter.drawText(
            QPointF(map.plot.left() - 4 - metrics.horizontalAdvance(text), y + metrics.ascent() / 2 - 1),
            text);
    }
}

// An event: a tick up from the crank axis and its label, at one of two heights.
void DrawEvent(QPainter& painter, const Mapping& map, double crank, const QString& label,
               const QColor& colour, int level, bool leftOfTick, const QFontMetricsF& metrics)
{
    const double x = map.X(crank);
    const double y = map.plot.bottom() - metrics.height() * (0.3 + 1.2 * level);
    painter.setPen(QPen(colour, 1.5));
    painter.drawLine(QPointF(x, map.plot.bottom()), QPointF(x, y));
    const double width = metrics.horizontalAdvance(label);
    // Inside the plot, also for an event near its edge.
    const double left = std::clamp(leftOfTick ? x - width - 3 : x + 3, map.plot.left() + 2,
                                   std::max(map.plot.left() + 2, map.plot.right() - width - 2));
    painter.setPen(colour.darker(115));
    painter.drawText(QPointF(left, y + metrics.ascent() / 2 - 1), label);
}

}  // namespace

CrankSpan ValveDiagramSpan(const ValveEventDiagram& diagram)
{
    CrankSpan span;
    if (!diagram.IsDrawn()) return span;
    span.first = std::max(0.0, std::floor((diagram.exhaustOpening - 15) / kQuarterTurn) * kQuarterTurn);
    span.last = std::min(720.0, std::ceil((diagram.intakeClosing + 15) / kQuarterTurn) * kQuarterTurn);
    return span;
}

QStringList ValveEventLabels(const ValveEventDiagram& diagram)
{
    return {QStringLiteral("EVO %1 BBDC").arg(Degrees(diagram.evoBbdc)),
            QStringLiteral("IVO %1 BTDC").arg(Degrees(diagram.ivoBtdc)),
            QStringLiteral("EVC %1 ATDC").arg(Degrees(diagram.evcAtdc)),
            QStringLiteral("IVC %1 ABDC").arg(Degrees(diagram.ivcAbdc))};
}

namespace {

// The title and the key ("Valve events   - Exhaust 0.500 in  - Intake 0.500 in");
// for a diagram that cannot be drawn, the reason under the title instead of the key.
void PaintHeading(QPainter& painter, const QRectF& inner, const ValveEventDiagram& diagram, const QFont& font,
                  bool metric)
{
    const QFontMetricsF metrics(font);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF boldMetrics(bold);
    const auto liftText = [metric](double liftIn) {
        return metric ? QStringLiteral("%1 mm").arg(liftIn * kMillimetresPerInch, 0, 'f', 1)
                      : QStringLiteral("%1 in").arg(liftIn, 0, 'f', 3);
    };
    const QString intakeKey = QStringLiteral("Intake %1").arg(liftText(diagram.intakeLiftIn));
    const QString exhaustKey = QStringLiteral("Exhaust %1").arg(liftText(diagram.exhaustLiftIn));
    const double keyWidth =
        diagram.IsDrawn() ? metrics.horizontalAdvance(intakeKey + exhaustKey) + 2 * 36 : 0;
    // The long title where it fits beside the key, else the short one.
    QString title = QStringLiteral("Valve events as the model runs them");
    if (boldMetrics.horizontalAdvance(title) + 12 + keyWidth > inner.width())
        title = QStringLiteral("Valve events");
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(inner.left(), inner.top() + boldMetrics.ascent()), title);
    painter.setFont(font);
    if (!diagram.IsDrawn()) {
        const QString why = diagram.camCode != 0
                                ? QString::fromStdString(GetErrorMessage(diagram.camCode).text)
                                : QStringLiteral("No cam lobe fits this lift and these events.");
        painter.drawText(inner.adjusted(0, boldMetrics.height() + 6, 0, 0),
                         Qt::AlignCenter | Qt::TextWordWrap, why);
        return;
    }
    double keyX = inner.right();
    const auto drawKey = [&](const QString& text, const QColor& colour) {
        const double width = metrics.horizontalAdvance(text);
        keyX -= width;
        painter.setPen(colour);
        painter.drawText(QPointF(keyX, inner.top() + metrics.ascent()), text);
        painter.setPen(QPen(colour, 2));
        painter.drawLine(QPointF(keyX - 22, inner.top() + metrics.height() / 2),
                         QPointF(keyX - 4, inner.top() + metrics.height() / 2));
        keyX -= 22 + 14;
    };
    drawKey(intakeKey, kIntakeLiftColour);
    drawKey(exhaustKey, kExhaustLiftColour);
}

// Both lift curves over crank angle under the heading, the overlap shaded
// and the four events labelled; nothing where there is no room for a plot.
void PaintLiftPlot(QPainter& painter, const QRectF& inner, const ValveEventDiagram& diagram,
                   const QFont& font, bool metric)
{
    const QFontMetricsF metrics(font);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF boldMetrics(bold);
    const double leftRoom = metrics.horizontalAdvance(QStringLiteral("0.0")) + 8;
    const QRectF plot(QPointF(inner.left() + leftRoom, inner.top() + boldMetrics.height() + 6),
                      QPointF(inner.right() - 4, inner.bottom() - metrics.height() - 4));
    if (plot.width() < 40 || plot.height() < 30) return;
    const Mapping map{plot, ValveDiagramSpan(diagram), TopLift(diagram)};
    painter.fillRect(plot, Qt::white);
    if (diagram.overlapDegrees > 0) {
        painter.fillRect(QRectF(QPointF(map.X(diagram.intakeOpening), plot.top()),
                                QPointF(map.X(diagram.exhaustClosing), plot.bottom())),
                         kOverlapColour);
    }
    DrawCrankAxis(painter, map, metrics);
    DrawLiftAxis(painter, map, metrics, metric);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(plot);
    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    DrawLift(painter, map, diagram.exhaust, kExhaustLiftColour);
    DrawLift(painter, map, diagram.intake, kIntakeLiftColour);
    painter.restore();

    // The events: opening labels to the left of their ticks, closings to the
    // right; the two in the overlap one line higher than the outer two.
    const QStringList labels = ValveEventLabels(diagram);
    DrawEvent(painter, map, diagram.exhaustOpening, labels[0], kExhaustLiftColour, 0, false, metrics);
    DrawEvent(painter, map, diagram.intakeOpening, labels[1], kIntakeLiftColour, 1, true, metrics);
    DrawEvent(painter, map, diagram.exhaustClosing, labels[2], kExhaustLiftColour, 2, false, metrics);
    DrawEvent(painter, map, diagram.intakeClosing, labels[3], kIntakeLiftColour, 0, true, metrics);
    const QString overlap = QStringLiteral("Overlap %1").arg(Degrees(diagram.overlapDegrees));
    const double overlapX = map.X((diagram.intakeOpening + diagram.exhaustClosing) / 2);
    painter.setPen(QColor(110, 90, 0));
    painter.drawText(
        QPointF(overlapX - metrics.horizontalAdvance(overlap) / 2, plot.top() + metrics.ascent() + 2),
        overlap);
}

}  // namespace

void PaintValveEventDiagram(QPainter& painter, const QRectF& area, const ValveEventDiagram& diagram,
                            const QFont& font, bool metric)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, kBackground);
    painter.setFont(font);
    const QRectF inner = area.adjusted(6, 4, -6, -4);
    PaintHeading(painter, inner, diagram, font, metric);
    if (diagram.IsDrawn()) PaintLiftPlot(painter, inner, diagram, font, metric);
    painter.restore();
}
