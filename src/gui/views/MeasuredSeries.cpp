#include "MeasuredSeries.h"

#include "report/ChartStyle.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

CMeasuredSeries::CMeasuredSeries(QChart& chart, QValueAxis& x, QValueAxis& y1, QValueAxis& y2)
    : m_chart(chart), m_x(x), m_y1(y1), m_y2(y2)
{
}

void CMeasuredSeries::Clear()
{
    for (QLineSeries* line : m_lines) {
        m_chart.removeSeries(line);
        delete line;
    }
    for (QScatterSeries* markers : m_markers) {
        m_chart.removeSeries(markers);
        delete markers;
    }
    m_lines.clear();
    m_markers.clear();
}

void CMeasuredSeries::Show(const ChartPicture& picture)
{
    Clear();
    for (const ChartCurve& curve : picture.curves) {
        if (!curve.measured) continue;
        QValueAxis& y = curve.y2 ? m_y2 : m_y1;
        auto* line = new QLineSeries;
        line->setName(curve.legend);
        line->setPen(QPen(curve.style.colour, kChartCurveWidth, curve.style.penStyle));
        line->replace(curve.points);
        m_chart.addSeries(line);
        line->attachAxis(&m_x);
        line->attachAxis(&y);
        m_lines.push_back(line);
        // The markers apart from the line, so that a pull of many rows is
        // not drawn as a solid band of them.
        auto* markers = new QScatterSeries;
        markers->setName(curve.legend);
        markers->setLightMarker(MarkerImage(curve.style.marker, curve.style.markerColour));
        // A published peak is a single mark beside a curve's own markers and
        // often under its peak label: twice their size, so that it is seen.
        const bool single = curve.style.penStyle == Qt::NoPen;
        markers->setMarkerSize((kChartMarkerPixels + 1) * (single ? 2 : 1));
        markers->setBorderColor(Qt::transparent);
        for (qsizetype i = 0; i < curve.points.size(); i += curve.markerEvery)
            markers->append(curve.points[i]);
        m_chart.addSeries(markers);
        markers->attachAxis(&m_x);
        markers->attachAxis(&y);
        m_markers.push_back(markers);
    }
}
