#include "dialogs/ItrCurrentChart.h"

#include "views/ViewFont.h"

#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

namespace {

// The axes of the engine speed, power and torque series of the graph sheet,
// with the ranges the run dialog uses (Hi-Range for speed, Low-Range for the curve).
struct AxisSpec {
    const char* title;
    double minimum;
    double maximum;
    double tickInterval;  // labels at whole thousands of rpm, hundreds of hp
};
constexpr AxisSpec kSpeedAxis{"Engine Speed (RPM)", 0, 11000, 2000};
constexpr AxisSpec kPowerAxis{"Power (HP)", 0, 500, 100};
constexpr AxisSpec kTorqueAxis{"Torque (ft-lbs)", 0, 500, 100};

const QColor kPowerColour(255, 0, 0);
const QColor kTorqueColour(0, 128, 0);
const QColor kPointColour(255, 0, 0);
const QColor kChartGrey(192, 192, 192);
constexpr int kPointPixels = 5;

QImage PointImage()
{
    constexpr int size = 4 * kPointPixels;  // drawn large, scaled down by the chart
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPointColour);
    painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    return image;
}

QValueAxis* MakeAxis(const AxisSpec& spec)
{
    auto* axis = new QValueAxis;
    axis->setLabelsFont(SmallViewFont());
    QFont titleFont = SmallViewFont();
    titleFont.setBold(true);
    axis->setTitleFont(titleFont);
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(spec.tickInterval);
    axis->setTitleText(QString::fromLatin1(spec.title));
    axis->setRange(spec.minimum, spec.maximum);
    return axis;
}

}  // namespace

CItrCurrentChart::CItrCurrentChart(QWidget* parent)
    : QChartView(parent),
      m_axisX(MakeAxis(kSpeedAxis)),
      m_axisY(MakeAxis(kPowerAxis)),
      m_curve(new QLineSeries)
{
    auto* chart = new QChart;
    chart->setFont(SmallViewFont());
    chart->setBackgroundBrush(kChartGrey);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->legend()->hide();
    // The chart is small: little room around the plot.
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    chart->addSeries(m_curve);
    m_curve->attachAxis(m_axisX);
    m_curve->attachAxis(m_axisY);
    m_curve->setLightMarker(PointImage());
    m_curve->setMarkerSize(kPointPixels);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetCriterion(0);
    ShowNoTest();
}

void CItrCurrentChart::SetCriterion(int criterion)
{
    TORQ_ASSERT(criterion == 0 || criterion == 1);
    const AxisSpec& spec = criterion == 0 ? kPowerAxis : kTorqueAxis;
    m_axisY->setTitleText(QString::fromLatin1(spec.title));
    m_axisY->setRange(spec.minimum, spec.maximum);
    m_curve->setPen(QPen(criterion == 0 ? kPowerColour : kTorqueColour, 2));
}

void CItrCurrentChart::ShowTest(const ResultSeriesValues& speeds, const ResultSeriesValues& values)
{
    QList<QPointF> points;
    points.reserve(kResultPointCount);
    for (int i = 0; i < kResultPointCount; ++i) points.append(QPointF(speeds[i], values[i]));
    m_curve->replace(points);
}

void CItrCurrentChart::ShowNoTest()
{
    m_curve->replace(QList<QPointF>{QPointF(0, 0)});
}
