#include "AirflowPlot.h"

#include "report/ValveEventPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTicks = 4;  // intervals on each axis
constexpr double kDotPixels = 5;

// The largest lift (x) or airflow (y) of both sides.
double Largest(const std::vector<QPointF>& a, const std::vector<QPointF>& b, bool airflow)
{
    double largest = 0;
    for (const auto* points : {&a, &b}) {
        for (const QPointF& p : *points) largest = std::max(largest, airflow ? p.y() : p.x());
    }
    return largest;
}

// Lift across, airflow up: a point of the curves in the plot's pixels.
struct AirflowAxes {
    QRectF plot;
    double liftEnd;
    double flowEnd;
    QPointF Place(const QPointF& p) const
    {
        return QPointF(plot.left() + p.x() / liftEnd * plot.width(),
                       plot.bottom() - p.y() / flowEnd * plot.height());
    }
};

// The grid and the axes' figures.
void DrawAirflowGrid(QPainter& painter, const AirflowAxes& axes, const QFontMetricsF& metrics,
                     const QColor& text)
{
    const QRectF& plot = axes.plot;
    for (int i = 0; i <= kTicks; ++i) {
        const double across = plot.left() + plot.width() * i / kTicks;
        const double up = plot.bottom() - plot.height() * i / kTicks;
        painter.setPen(QPen(QColor(225, 225, 225), 0));
        painter.drawLine(QPointF(across, plot.top()), QPointF(across, plot.bottom()));
        painter.drawLine(QPointF(plot.left(), up), QPointF(plot.right(), up));
        painter.setPen(text);
        const QString liftText = QString::number(axes.liftEnd * i / kTicks, 'g', 4);
        painter.drawText(
            QPointF(across - metrics.horizontalAdvance(liftText) / 2, plot.bottom() + metrics.ascent() + 2),
            liftText);
        const QString flowText = QString::number(axes.flowEnd * i / kTicks, 'g', 4);
        painter.drawText(
            QPointF(plot.left() - metrics.horizontalAdvance(flowText) - 4, up + metrics.ascent() / 2 - 1),
            flowText);
    }
    painter.setPen(QPen(text, 0));
    painter.drawRect(plot);
}

// One side's points joined by a line, each with a dot.
void DrawAirflowCurve(QPainter& painter, const AirflowAxes& axes, const std::vector<QPointF>& points,
                      const QColor& colour)
{
    QPainterPath path;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) {
            path.moveTo(axes.Place(points[i]));
        } else {
            path.lineTo(axes.Place(points[i]));
        }
    }
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setBrush(colour);
    for (const QPointF& p : points) painter.drawEllipse(axes.Place(p), kDotPixels / 2, kDotPixels / 2);
}

}  // namespace

double RoundAxisEnd(double largest)
{
    if (!(largest > 0) || !std::isfinite(largest)) return 1.0;
    // The tick interval: a round step of about a quarter of the span.
    const double rough = largest / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    return std::ceil(largest / step - 1e-9) * step;
}

CAirflowPlot::CAirflowPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("airflowPlot"));
    setMinimumSize(260, 200);
}

void CAirflowPlot::SetCurves(std::vector<QPointF> intake, std::vector<QPointF> exhaust,
                             const QString& liftUnits, const QString& airflowUnits)
{
    m_intake = std::move(intake);
    m_exhaust = std::move(exhaust);
    m_liftUnits = liftUnits;
    m_airflowUnits = airflowUnits;
    update();
}

QSize CAirflowPlot::sizeHint() const
{
    return {320, 240};
}

void CAirflowPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(font());
    painter.fillRect(rect(), Qt::white);
    const QRectF plot(QPointF(metrics.horizontalAdvance(QStringLiteral("0000")) + 10, metrics.height() * 1.6),
                      QPointF(width() - 12, height() - 2.4 * metrics.height()));
    if (plot.width() < 40 || plot.height() < 40) return;
    const AirflowAxes axes{plot, RoundAxisEnd(Largest(m_intake, m_exhaust, false)),
                           RoundAxisEnd(Largest(m_intake, m_exhaust, true))};
    DrawAirflowGrid(painter, axes, metrics, palette().color(QPalette::WindowText));
    const QString liftTitle = tr("Lift (%1)").arg(m_liftUnits);
    painter.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(liftTitle) / 2,
                             plot.bottom() + metrics.height() + metrics.ascent() + 2),
                     liftTitle);
    painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(QStringLiteral("0000")) - 6,
                             plot.top() - metrics.descent() - 4),
                     tr("Airflow (%1)").arg(m_airflowUnits));

    // The curves, and the key at the top right.
    DrawAirflowCurve(painter, axes, m_exhaust, kExhaustLiftColour);
    DrawAirflowCurve(painter, axes, m_intake, kIntakeLiftColour);
    double keyX = plot.right();
    for (const auto& [name, colour] :
         {std::pair{tr("Intake"), kIntakeLiftColour}, std::pair{tr("Exhaust"), kExhaustLiftColour}}) {
        keyX -= metrics.horizontalAdvance(name);
        painter.setPen(colour);
        painter.drawText(QPointF(keyX, plot.top() - metrics.descent() - 4), name);
        keyX -= 12;
    }
}
