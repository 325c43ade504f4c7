#pragma once

#include "ChartSeries.h"
#include "model/TorqDoc.h"

#include <QString>
#include <QWidget>

#include <array>

class CDocumentRegistry;
class QChart;
class QChartView;
class QLineSeries;
class QMenu;
class QPainter;
class QPrinter;
class QValueAxis;

inline constexpr int kChartSlotCount = 1 + kChartCompareCount;  // slot 0 is the view's own engine

// One engine shown on the graph; an empty slot has document number 0.
struct ChartSlot {
    int documentNumber = 0;
    QString name;
    QString legendY1;
    QString legendY2;
    bool IsFilled() const { return documentNumber != 0; }
};

// The "Graph" sheet: one result series of the last run against another, with
// an optional second series on a second y axis, for the view's own engine and
// up to three other open engines.
class CChart2dView : public QWidget, public DocumentObserver {
    Q_OBJECT
public:
    explicit CChart2dView(CTorqDoc& document, QWidget* parent = nullptr);
    CChart2dView(CTorqDoc& document, const CDocumentRegistry& registry, QWidget* parent = nullptr);
    ~CChart2dView() override;

    CTorqDoc* Document() const { return m_document; }

    const ChartAxisDescription& Axis(ChartAxis axis) const;
    void SetAxisSeries(ChartAxis axis, int series);  // then redraws
    void SetAxisRange(ChartAxis axis, int rangeKind);

    const std::array<ChartSlot, kChartSlotCount>& Slots() const { return m_slots; }
    // Fills slots 1..3 with the documents of these numbers (0 leaves a slot empty).
    void SetCompareDocuments(const std::array<int, kChartCompareCount>& documentNumbers);

    // Re-reads every shown engine and redraws.
    void UpdateChart();
    // The own engine's results belong to it as it was before its last
    // change: its curves are greyed and a note says to run it again.
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }

    // The right-click menu with the current choices checked.
    QMenu* CreateContextMenu(QWidget* parent);
    // What the graph shows, as the options dialog sets it.
    ChartOptions Options() const;
    // Takes the compared engines and the axis choices, then redraws.
    void ApplyOptions(const ChartOptions& options);
    // The graph options dialog; on OK the graph follows its choices.
    void RunPropertiesDialog();

    void Print(QPrinter& printer);
    void PaintPrintPage(QPainter& painter, const QRectF& target);

    // For tests and printing: the chart objects.
    QChart* Chart() const { return m_chart; }
    QLineSeries* Y1Series(int set) const;
    QLineSeries* Y2Series(int set) const;
    int SetCount() const { return m_setCount; }
    QValueAxis* XAxis() const { return m_axisX; }
    QValueAxis* Y1Axis() const { return m_axisY1; }
    QValueAxis* Y2Axis() const { return m_axisY2; }

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateChart();
    void RecreateSets(int count);
    void FillSet(int set, const CTorqDoc& document, ChartSlot& slot);
    void ApplyAxis(QValueAxis* axis, const ChartAxisDescription& description, bool isX, bool y2);
    void ShowStaleness();

    CTorqDoc* m_document;
    const CDocumentRegistry& m_registry;
    ChartAxes m_axes;
    std::array<ChartSlot, kChartSlotCount> m_slots;

    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY1 = nullptr;
    QValueAxis* m_axisY2 = nullptr;
    std::array<QLineSeries*, kChartSlotCount> m_y1Sets{};
    std::array<QLineSeries*, kChartSlotCount> m_y2Sets{};
    int m_setCount = 0;
    bool m_stale = false;
    QWidget* m_staleNote = nullptr;
};
