#pragma once

#include "iterator/ScoreMap.h"

#include <QWidget>

#include <vector>

class IteratorTest;
class QComboBox;
class QLabel;

// Where in a series the good scores lie: the best score of every cell of two
// swept parameters (chosen in the two lists above the map), over all the
// other parameters, as a grid of colours from dark blue (the lowest score of
// the map) to yellow (the highest), with the two sweeps' first and last
// values along the edges and a key of the colours. A cell no test has
// reached yet stays grey. A series of one swept parameter has no map.
class CItrScoreHeatMap : public QWidget {
    Q_OBJECT
public:
    explicit CItrScoreHeatMap(QWidget* parent = nullptr);

    // Reads the map of the iterator's series (its parameters and scores so far).
    void ShowResults(const IteratorTest& iterator);

    QComboBox* XAxisBox() const { return m_xAxis; }
    QComboBox* YAxisBox() const { return m_yAxis; }
    // The grid drawn: cells of the x parameter across, of the y one down.
    const IteratorScoreMap::Grid& Grid() const { return m_grid; }
    // The colour of a score between the map's lowest and highest.
    static QColor ScoreColour(float score, float lowest, float highest);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ListAxes();
    void TakeGrid();
    QRectF MapArea() const;

    int AxisCount() const { return m_map != nullptr ? m_map->AxisCount() : 0; }

    const IteratorScoreMap* m_map = nullptr;     // the iterator's, which outlives the dialog
    std::vector<IterationDataType> m_axisTypes;  // listed in the two boxes
    bool m_torque = false;
    IteratorScoreMap::Grid m_grid;
    QComboBox* m_xAxis;
    QComboBox* m_yAxis;
    QLabel* m_note;
};
