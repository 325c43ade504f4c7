#include "widgets/ChartView.h"

#include <QMouseEvent>

void CChartView::mousePressEvent(QMouseEvent* event)
{
    if (itemAt(event->position().toPoint()) == nullptr) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    QChartView::mousePressEvent(event);
}
