#pragma once

#include "model/TorqDoc.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class CChart2dDlg;
class CDocumentRegistry;
class QChart;
class QChartView;
class QLineSeries;
class QMenu;
class QPainter;
class QPrinter;
class QValueAxis;

inline constexpr int kChartSeriesCount = 9;  // 0 "(None)", then result series 1..8
inline constexpr int kChartSlotCount = 4;    // slot 0 is the view's own engine
inline constexpr int kChartRangeKinds = 4;

enum ChartRangeKind : int { kAutoRange = 0, kLowRange = 1, kMidRange = 2, kHiRange = 3 };
enum class ChartAxis { X, Y1, Y2 };

// One row of the graph's series table: what an axis shows for a result series.
struct ChartSeriesInfo {
    int index;
    const char* title;     // axis title and legend text
    const char* units;
    const char* menuName;  // entry of the Data menus
    std::array<std::array<std::int32_t, 2>, 3> fixedRanges;  // low, mid, high: {min, max}
};

const ChartSeriesInfo& GetChartSeries(int index);
const char* GetRangeKindName(int rangeKind);

// What one axis shows: a series and how its range is chosen.
struct ChartAxisDescription {
    int series = 0;
    QString title;
    QString units;
    int rangeKind = kAutoRange;
    std::int32_t minimum = 0;  // fixed ranges only
    std::int32_t maximum = 0;

    // A new series keeps the range kind; a fixed kind takes the series' own range.
    void SetSeries(int newSeries);
    void SetRangeKind(int newKind);
    static ChartAxisDescription Make(int series, int rangeKind);
};

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
    void SetAxes(const ChartAxisDescription& x, const ChartAxisDescription& y1, const ChartAxisDescription& y2);

    const std::array<ChartSlot, kChartSlotCount>& Slots() const { return m_slots; }
    // Fills slots 1..3 with the documents of these numbers (0 leaves a slot empty).
    void SetCompareDocuments(const std::array<int, kChartSlotCount - 1>& documentNumbers);

    // Re-reads every shown engine and redraws.
    void UpdateChart();

    // The right-click menu with the current choices checked.
    QMenu* CreateContextMenu(QWidget* parent);
    // The graph options dialog; on OK the graph follows its choices.
    void RunPropertiesDialog();
    // Takes the compared engines and the axis settings of an accepted dialog.
    void ApplyDialog(const CChart2dDlg& dialog);

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
    ChartAxisDescription& AxisRef(ChartAxis axis);
    void CreateChart();
    void RecreateSets(int count);
    void FillSet(int set, const CTorqDoc& document, ChartSlot& slot);
    void ApplyAxis(QValueAxis* axis, const ChartAxisDescription& description, bool isX, bool y2);

    CTorqDoc* m_document;
    const CDocumentRegistry& m_registry;
    ChartAxisDescription m_x;
    ChartAxisDescription m_y1;
    ChartAxisDescription m_y2;
    std::array<ChartSlot, kChartSlotCount> m_slots;

    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY1 = nullptr;
    QValueAxis* m_axisY2 = nullptr;
    std::array<QLineSeries*, kChartSlotCount> m_y1Sets{};
    std::array<QLineSeries*, kChartSlotCount> m_y2Sets{};
    int m_setCount = 0;
};
