#pragma once

#include "report/ChartPictureData.h"
#include "report/ChartReadout.h"
#include "report/ChartSeries.h"

#include <QObject>

#include <vector>

class CTorqDoc;
class QChart;
class QChartView;
class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsTextItem;
class QLineSeries;
class QWidget;

// What the cursor reads of the graph it stands on (the graph view).
class ChartCursorHost {
public:
    virtual QWidget& GraphWidget() = 0;
    virtual QChart* Chart() const = 0;
    virtual CTorqDoc* Document() const = 0;
    virtual std::vector<ChartEngine> Engines() const = 0;
    virtual ChartOptions Options() const = 0;
    virtual const ChartPicture& Picture() const = 0;
    virtual const ChartAxisDescription& Axis(ChartAxis axis) const = 0;
    virtual QLineSeries* Y1Series(int set) const = 0;
    virtual QLineSeries* Y2Series(int set) const = 0;

protected:
    ~ChartCursorHost() = default;
};

// The graph's cursor: a line through the engine speed nearest the mouse, a
// ring on every curve's point there, and beside them a read-out of every
// engine's figures at that speed (ChartReadout). It follows the mouse over
// the plot and, while the graph has the keyboard, the arrow keys: Left and
// Right step a speed, Home and End go to the first and the last, Escape
// takes it away. It changes nothing the graph shows.
class CChartCursor : public QObject {
    Q_OBJECT
public:
    CChartCursor(ChartCursorHost& view, QChartView& chartView);
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

    ChartCursorHost& m_view;
    QChartView& m_chartView;
    ChartReadout m_readout;
    bool m_fromMouse = false;
    QGraphicsLineItem* m_line = nullptr;
    QGraphicsRectItem* m_box = nullptr;
    QGraphicsTextItem* m_text = nullptr;
    std::vector<QGraphicsEllipseItem*> m_rings;
};
