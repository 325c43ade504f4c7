#include "dialogs/ItrCurrentChart.h"

#include "report/ChartSeries.h"
#include "widgets/ChartLook.h"

#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

namespace {

// The axes of the engine speed, power and torque series of the graph's
// series table, with the ranges the run dialog uses (Hi-Range for speed,
// Low-Range for the curve).
struct AxisSpec {
    int series;
    int rangeKind;
    double tickInterval;  // labels at whole thousands of rpm, hundreds of hp
};
constexpr AxisSpec kSpeedAxis{kSeriesEngineSpeed, kHiRange, 2000};
constexpr AxisSpec kPowerAxis{kSeriesPower, kLowRange, 100};
constexpr AxisSpec kTorqueAxis{kSeriesTorque, kLowRange, 100};

void ShowAxis(QValueAxis& axis, const AxisSpec& spec)
{
    const ChartSeriesInfo& series = GetChartSeries(spec.series);
    const auto& range = series.fixedRanges[static_cast<std::size_t>(spec.rangeKind - kLowRange)];
    axis.setTitleText(QString::fromLatin1(series.title));
    axis.setRange(range[0], range[1]);
}

const QColor kPowerColour(255, 0, 0);
const QColor kTorqueColour(0, 128, 0);
const QColor kPointColour(255, 0, 0);
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
    QValueAxis* axis = MakeValueAxis();
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(spec.tickInterval);
    ShowAxis(*axis, spec);
    return axis;
}

}  // namespace

CItrCurrentChart::CItrCurrentChart(QWidget* parent)
    : CChartView(parent),
      m_axisX(MakeAxis(kSpeedAxis)),
      m_axisY(MakeAxis(kPowerAxis)),
      m_curve(new QLineSeries)
{
    auto* chart = new QChart;
    ApplyChartLook(*chart);
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
    ShowAxis(*m_axisY, criterion == 0 ? kPowerAxis : kTorqueAxis);
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
