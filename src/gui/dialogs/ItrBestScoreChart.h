#pragma once

#include "study/IteratorSearch.h"
#include "widgets/ChartView.h"

#include <cstdint>
#include <vector>

class QLineSeries;
class QValueAxis;

// The run dialog's small chart of a search's best score against the tests
// it has run: a step up at each test that beat every test before it, level
// to the tests run by now. It shows how fast the search climbed and that it
// has levelled out.
class CItrBestScoreChart : public CChartView {
    Q_OBJECT
public:
    explicit CItrBestScoreChart(QWidget* parent = nullptr);

    // 0 Max Power, 1 Max Torque: the y axis's title and the line's colour.
    void SetCriterion(int criterion);
    // rises: each rise of the best score (after how many tests, to what
    // score); testsRun: the tests run by now, where the line ends.
    void ShowHistory(const std::vector<IteratorSearch::BestRise>& rises, std::int64_t testsRun);

    QValueAxis* AxisX() const { return m_axisX; }
    QValueAxis* AxisY() const { return m_axisY; }
    QLineSeries* Line() const { return m_line; }

private:
    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
    QLineSeries* m_line;
};
