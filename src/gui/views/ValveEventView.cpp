#include "ValveEventView.h"

#include "report/PageHeader.h"
#include "report/ValveEventPainter.h"
#include "widgets/ViewFont.h"

#include <QFontInfo>
#include <QPainter>

namespace {

constexpr int kHeight = 190;  // pixels: room for the curves and three rows of event labels

}  // namespace

CValveEventView::CValveEventView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("valveEvents"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFont(SmallViewFont());
}

void CValveEventView::ShowCam(const CamData& cam, bool metric)
{
    m_diagram = BuildValveEventDiagram(cam);
    m_metric = metric;
    setToolTip(m_diagram.IsDrawn()
                   ? tr("Lift against crank angle: the model opens the exhaust 20\u00B0 after the cam card's "
                        "opening, and takes 0.050-inch figures out to the seat by the lifter's allowance")
                   : QString());
    update();
}

void CValveEventView::Paint(QPainter& painter, const QRectF& area, double fontPixels) const
{
    PaintValveEventDiagram(painter, area, m_diagram, ReportFont(fontPixels), m_metric);
}

QSize CValveEventView::sizeHint() const
{
    return {360, kHeight};
}

QSize CValveEventView::minimumSizeHint() const
{
    return {200, kHeight};
}

void CValveEventView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The form's own text size, in pixels.
    Paint(painter, QRectF(rect()), QFontInfo(font()).pixelSize());
}
