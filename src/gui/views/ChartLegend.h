#pragma once

#include "report/ChartPicture.h"

#include <QWidget>

#include <utility>
#include <vector>

class QGridLayout;
class QLabel;

// The graph's legend under the plot: one row per engine, each entry the
// curve's own line and marker beside its text. A long text wraps instead of
// being cut, and the tooltip names the engine in full. Under the rows stand
// the note that a curve is clipped at a fixed range and the day the figures
// are corrected to.
//
// Where the wrapped rows would take more than half of the graph's height
// (tiled windows), the legend is compact: one line per engine, its curves'
// swatches and its name, shortened in the middle where it must be.
class CChartLegend : public QWidget {
    Q_OBJECT
public:
    explicit CChartLegend(QWidget* parent = nullptr);

    void SetPicture(const ChartPicture& picture);

    struct Entry {
        QLabel* swatch;
        QLabel* text;  // compact: the engine's name, shared by its curves
        CurveStyle style;
        QString legend;  // the full text, without the break hints
    };
    const std::vector<Entry>& Entries() const { return m_entries; }
    QLabel* Note() const { return m_note; }
    bool IsCompact() const { return m_compact; }
    QLabel* DayNote() const { return m_dayNote; }

    // As tall as the wrapped texts need at the legend's width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int HeightFor(int width) const;
    // How tall the wrapped rows would be at this width, and whether that is
    // too much of the graph.
    int WrappedRowsHeight(int width) const;
    bool WantsCompact() const;
    void Rebuild();
    QLabel* MakeSwatch(const ChartCurve& curve);
    void AddWrappedEntry(const ChartCurve& curve);
    void AddCompactEntry(const ChartCurve& curve);
    void ElideNames();
    void FollowSize();

    void Clear();

    QGridLayout* m_grid;
    QLabel* m_note;
    ChartPicture m_picture;
    QLabel* m_dayNote;
    std::vector<Entry> m_entries;
    std::vector<std::pair<QLabel*, QString>> m_names;  // compact: each row's label and full name
    bool m_compact = false;
    int m_shownHeight = -1;
};
