#include "MatchChart.h"

#include "report/ChartPainter.h"
#include "report/PageHeader.h"

#include <QPainter>

namespace {

constexpr double kFontPixels = 11;

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

void CMatchChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintChart(painter, QRectF(rect()), m_picture, ReportFont(kFontPixels));
}
