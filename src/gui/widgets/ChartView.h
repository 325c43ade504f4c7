#pragma once

#include <QChartView>

// A chart's view that leaves a mouse press on a spot no item of the chart
// covers (beside a chart not laid out yet, or one its view outgrew) to the
// plain graphics view. The chart view of the Qt we build on asks the item
// under the mouse which buttons it takes without checking that there is
// one, and such a click ended the program.
class CChartView : public QChartView {
    Q_OBJECT

public:
    using QChartView::QChartView;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
