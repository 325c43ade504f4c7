#include "MatchChart.h"

#include "report/ChartPainter.h"
#include "report/PageHeader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFontPixels = 11;
// About six tick intervals over a plot of this many units.
constexpr double kFitLength = 600;
constexpr double kFitSpacing = 100;

void FitAxis(ChartAxisPicture& axis, double low, double high)
{
    if (!(low <= high)) low = high = 0;
    if (low > 0 && low < high / 2) low = 0;
    if (high - low < 1e-6) high = low + 1;
    axis.tickInterval = TickIntervalFor(high - low, kFitLength, kFitSpacing);
    axis.minimum = std::floor(low / axis.tickInterval) * axis.tickInterval;
    axis.maximum = std::ceil(high / axis.tickInterval) * axis.tickInterval;
    axis.fixed = false;
}

}  // namespace

CMatchChart::CMatchChart(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 260);
}

void CMatchChart::SetPicture(ChartPicture picture)
{
    m_picture = std::move(picture);
    update();
}

ChartPicture AroundSpeeds(ChartPicture picture, double fromRpm, double toRpm)
{
    constexpr double kNone = std::numeric_limits<double>::max();
    double low[2] = {kNone, kNone};
    double high[2] = {-kNone, -kNone};
    for (ChartCurve& curve : picture.curves) {
        QList<QPointF> kept;
        for (const QPointF& point : curve.points) {
            if (point.x() < fromRpm || point.x() > toRpm) continue;
            kept.append(point);
            low[curve.y2] = std::min(low[curve.y2], point.y());
            high[curve.y2] = std::max(high[curve.y2], point.y());
        }
        curve.points = kept;
    }
    picture.peaks.clear();
    picture.clipMarks.clear();
    picture.clipNote.clear();
    FitAxis(picture.x, fromRpm, toRpm);
    picture.x.minimum = fromRpm;
    picture.x.maximum = toRpm;
    FitAxis(picture.y1, low[0], high[0]);
    FitAxis(picture.y2, low[1], high[1]);
    return picture;
}

void CMatchChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintChart(painter, QRectF(rect()), m_picture, ReportFont(kFontPixels));
}
