#pragma once

#include "model/TorqDoc.h"
#include "widgets/ChartView.h"

class QLineSeries;
class QValueAxis;

// The run dialog's small chart of the test just run: power (red) or torque
// (dark green) against engine speed, the 19 points in red, on fixed axes
// (0 to 11000 rpm; 0 to 500 hp or lb-ft).
class CItrCurrentChart : public CChartView {
    Q_OBJECT
public:
    explicit CItrCurrentChart(QWidget* parent = nullptr);

    // 0 Max Power, 1 Max Torque: the y axis's title and the curve's colour.
    void SetCriterion(int criterion);
    // The 19 points of a test: engine speeds (rpm) and power (hp) or torque (lb-ft).
    void ShowTest(const ResultSeriesValues& speeds, const ResultSeriesValues& values);
    // Before any test: one point at (0, 0).
    void ShowNoTest();

    QValueAxis* AxisX() const { return m_axisX; }
    QValueAxis* AxisY() const { return m_axisY; }
    QLineSeries* Curve() const { return m_curve; }

private:
    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
    QLineSeries* m_curve;
};
