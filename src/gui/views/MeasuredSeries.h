#pragma once

#include "report/ChartPicture.h"

#include <vector>

class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The graph's series of the measured curves of its picture (pulls and
// published peaks): a line for each, its markers on every point or, for a
// pull of many rows, on every n-th point only.
class CMeasuredSeries {
public:
    CMeasuredSeries(QChart& chart, QValueAxis& x, QValueAxis& y1, QValueAxis& y2);
    CMeasuredSeries(const CMeasuredSeries&) = delete;
    CMeasuredSeries& operator=(const CMeasuredSeries&) = delete;

    // Replaces the series by those of the picture's measured curves.
    void Show(const ChartPicture& picture);

    // For tests: a line per measured curve, in the picture's order.
    const std::vector<QLineSeries*>& Lines() const { return m_lines; }
    // For tests: the markers of each measured curve, in the same order.
    const std::vector<QScatterSeries*>& Markers() const { return m_markers; }

private:
    void Clear();

    QChart& m_chart;
    QValueAxis& m_x;
    QValueAxis& m_y1;
    QValueAxis& m_y2;
    std::vector<QLineSeries*> m_lines;
    std::vector<QScatterSeries*> m_markers;
};
