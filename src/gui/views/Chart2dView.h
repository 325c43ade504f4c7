#pragma once

#include "ChartCursor.h"
#include "model/TorqDoc.h"
#include "report/ChartPicture.h"
#include "report/ChartSeries.h"
#include "report/MeasuredPulls.h"
#include "report/PageHeader.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class CChartLegend;
class CMeasuredSeries;
class CDocumentRegistry;
class QChart;
class QChartView;
class QGraphicsItem;
class QLineSeries;
class QMenu;
class QPainter;
class QPrinter;
class QScatterSeries;
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
// up to seven other open engines, on the model's day or corrected to the
// user's, as values or as each engine's difference from one of them. Under
// the plot a legend shows each curve's own line and marker; where a curve
// leaves a fixed range a mark stands at the edge and the legend says so; the
// own engine's peak power and torque carry a label. A cursor follows the
// mouse and the arrow keys with every engine's figures at one engine speed.
// An engine that closes leaves the graph at once.
class CChart2dView : public QWidget, public DocumentObserver, public ChartCursorHost {
    Q_OBJECT
public:
    explicit CChart2dView(CTorqDoc& document, QWidget* parent = nullptr);
    CChart2dView(CTorqDoc& document, CDocumentRegistry& registry, QWidget* parent = nullptr);
    ~CChart2dView() override;

    CTorqDoc* Document() const override { return m_document; }
    QWidget& GraphWidget() override { return *this; }

    const ChartAxisDescription& Axis(ChartAxis axis) const override;
    void SetAxisSeries(ChartAxis axis, int series);  // then redraws
    void SetAxisRange(ChartAxis axis, int rangeKind);

    const std::array<ChartSlot, kChartSlotCount>& Slots() const { return m_slots; }
    // Fills slots 1..7 with the documents of these numbers (0 leaves a slot empty).
    void SetCompareDocuments(const std::array<int, kChartCompareCount>& documentNumbers);

    // "Colour each engine": every engine in a colour of its own. The last
    // choice is remembered in the settings for the next graphs.
    bool IsColourEachEngine() const { return m_colourEachEngine; }
    void SetColourEachEngine(bool on);

    // The measured pulls and published peaks drawn beside the own engine
    // (null for none); the graph follows their changes.
    void SetMeasuredPulls(CMeasuredPulls* measured);
    const CMeasuredPulls* MeasuredPulls() const { return m_measured; }
    const CMeasuredSeries& MeasuredSeries() const { return *m_measuredSeries; }

    // Re-reads every shown engine and redraws.
    void UpdateChart();
    // The own engine's results belong to it as it was before its last
    // change: its curves are greyed and a note says to run it again.
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }

    // The right-click menu with the current choices checked.
    QMenu* CreateContextMenu(QWidget* parent);
    // What the graph shows, as the options dialog sets it.
    ChartOptions Options() const override;
    // Takes the compared engines, the axis choices, the colours and the
    // units, then redraws.
    void ApplyOptions(const ChartOptions& options);
    // The graph options dialog; on OK the graph follows its choices.
    void RunPropertiesDialog();

    // What is drawn, worked out from the engines and the options.
    const ChartPicture& Picture() const override { return m_picture; }
    // The engines in slot order, for drawing the graph elsewhere (dyno sheet).
    std::vector<ChartEngine> Engines() const override;

    // ---- images: the graph as drawn at the view's size
    QImage RenderImage(double devicePixelRatio = 2.0) const;
    QByteArray RenderSvg() const;
    // "Copy Image": the graph on the clipboard as an image.
    void CopyImage() const;
    // "Save Image As...": PNG or SVG by the file's extension, written through
    // a temporary file. False with a message when it cannot be written.
    bool SaveImage(const QString& path, QString& error) const;

    // ---- printing
    void Print(QPrinter& printer);
    // The graph alone, drawn into a rectangle of any painter.
    void PaintPrintPage(QPainter& painter, const QRectF& target);
    // The printed page in logical units of 1/96 inch: header and graph.
    void PaintPrintout(QPainter& painter, const QRectF& paper, const QString& date = TodayText()) const;

    // For tests: the chart objects.
    QChart* Chart() const override { return m_chart; }
    QLineSeries* Y1Series(int set) const override;
    QLineSeries* Y2Series(int set) const override;
    int SetCount() const { return m_setCount; }
    QValueAxis* XAxis() const { return m_axisX; }
    QValueAxis* Y1Axis() const { return m_axisY1; }
    QValueAxis* Y2Axis() const { return m_axisY2; }
    CChartLegend* Legend() const { return m_legend; }
    CChartCursor* Cursor() const { return m_cursor; }
    const std::vector<QScatterSeries*>& ClipMarkSeries() const { return m_clipSeries; }
    // The texts of the peak labels on the plot.
    QStringList PeakLabelTexts() const;

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;

    // The width of the frame that shows the keyboard focus, pixels.
    static constexpr int kFocusFramePixels = 2;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateChart();
    void RecreateSets(int count);
    void ShowCurves();
    void ShowClipMarks();
    void ShowPeakLabels();
    void PlacePeakLabels();
    void ApplyAxis(QValueAxis* axis, const ChartAxisPicture& picture);
    void ApplyTickSpacing();
    void FitAxisTexts();
    void OnDocumentClosed(int documentNumber);
    void AskAndSaveImage();
    void ShowContextMenu(const QPoint& globalPos);
    void ShowStalenessNote();

    CTorqDoc* m_document;
    CDocumentRegistry& m_registry;
    int m_registryListener = 0;
    ChartAxes m_axes;
    bool m_colourEachEngine = false;
    DifferenceKind m_difference = DifferenceKind::None;
    int m_differenceBaseline = 0;  // document number
    std::array<ChartSlot, kChartSlotCount> m_slots;
    ChartPicture m_picture;

    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    CChartLegend* m_legend = nullptr;
    CChartCursor* m_cursor = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY1 = nullptr;
    QValueAxis* m_axisY2 = nullptr;
    std::array<QLineSeries*, kChartSlotCount> m_y1Sets{};
    std::array<QLineSeries*, kChartSlotCount> m_y2Sets{};
    std::vector<QScatterSeries*> m_clipSeries;
    std::unique_ptr<CMeasuredSeries> m_measuredSeries;
    QPointer<CMeasuredPulls> m_measured;
    std::vector<QGraphicsItem*> m_peakLabels;
    int m_setCount = 0;
    bool m_fittingTexts = false;
    bool m_stale = false;
    QWidget* m_staleNote = nullptr;
};
