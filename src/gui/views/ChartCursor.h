#pragma once

#include "report/ChartReadout.h"

#include <QObject>

#include <vector>

class CChart2dView;
class QChartView;
class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsTextItem;

// The graph's cursor: a line through the engine speed nearest the mouse, a
// ring on every curve's point there, and beside them a read-out of every
// engine's figures at that speed (ChartReadout). It follows the mouse over
// the plot and, while the graph has the keyboard, the arrow keys: Left and
// Right step a speed, Home and End go to the first and the last, Escape
// takes it away. It changes nothing the graph shows.
class CChartCursor : public QObject {
    Q_OBJECT
public:
    CChartCursor(CChart2dView& view, QChartView& chartView);
    ~CChartCursor() override;

    // Reads the graph again after it was redrawn: the same speed, new figures.
    void Refresh();
    // Stands on an engine-speed point (0..18), or goes away (-1).
    void ShowPoint(int point);
    // Steps so many speeds on (negative: back), from the first point when hidden.
    void StepBy(int points);

    int Point() const { return m_readout.point; }
    bool IsShown() const { return m_readout.point >= 0; }
    const ChartReadout& Readout() const { return m_readout; }
    // The read-out box on the chart, for tests: its text and where it stands.
    QGraphicsTextItem* TextItem() const { return m_text; }
    QGraphicsLineItem* LineItem() const { return m_line; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(int key);
    void FollowMouse(QPointF viewportPosition);
    void Place();
    void ClearRings();
    QString ReadoutHtml();

    CChart2dView& m_view;
    QChartView& m_chartView;
    ChartReadout m_readout;
    bool m_fromMouse = false;
    QGraphicsLineItem* m_line = nullptr;
    QGraphicsRectItem* m_box = nullptr;
    QGraphicsTextItem* m_text = nullptr;
    std::vector<QGraphicsEllipseItem*> m_rings;
};
