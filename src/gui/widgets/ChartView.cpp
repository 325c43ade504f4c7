#include "widgets/ChartView.h"

#include <QMouseEvent>

void CChartView::mousePressEvent(QMouseEvent* event)
{
    if (itemAt(event->position().toPoint()) == nullptr) {
        // Past the chart view on purpose: its own handler is what fails here.
        QGraphicsView::mousePressEvent(event);  // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    QChartView::mousePressEvent(event);
}
