#pragma once

#include "report/ChartPicture.h"

#include <QWidget>

#include <vector>

class QGridLayout;
class QLabel;

// The graph's legend under the plot: one row per engine, each entry the
// curve's own line and marker beside its text. A long text wraps instead of
// being cut, and the tooltip names the engine in full. Under the rows stand
// the note that a curve is clipped at a fixed range and the day the figures
// are corrected to.
class CChartLegend : public QWidget {
    Q_OBJECT
public:
    explicit CChartLegend(QWidget* parent = nullptr);

    void SetPicture(const ChartPicture& picture);

    struct Entry {
        QLabel* swatch;
        QLabel* text;
        CurveStyle style;
        QString legend;  // the full text, without the break hints
    };
    const std::vector<Entry>& Entries() const { return m_entries; }
    QLabel* Note() const { return m_note; }
    QLabel* DayNote() const { return m_dayNote; }

    // As tall as the wrapped texts need at the legend's width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int HeightFor(int width) const;

    void Clear();

    QGridLayout* m_grid;
    QLabel* m_note;
    QLabel* m_dayNote;
    std::vector<Entry> m_entries;
    int m_shownHeight = -1;
};
