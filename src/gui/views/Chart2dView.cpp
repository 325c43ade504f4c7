#include "Chart2dView.h"

#include "ChartCursor.h"
#include "ChartLegend.h"
#include "MeasuredSeries.h"
#include "ResultUnitsChoice.h"
#include "StaleResultsNote.h"
#include "WeatherChoice.h"
#include "model/DocumentRegistry.h"
#include "report/ChartPainter.h"
#include "report/MeasuredCurves.h"
#include "report/MeasuredPulls.h"
#include "widgets/ChartLook.h"
#include "widgets/ChartView.h"
#include "widgets/ViewFont.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSettings>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

const QString kColourEachEngineKey = QStringLiteral("Graph/ColourEachEngine");
constexpr int kClipMarkPixels = 14;
constexpr double kLeastWidthForYTitles = 300;  // pixels of chart
// The least room between two tick labels: x labels a label and a half apart,
// y labels two lines apart.
constexpr double kXLabelSpacing = 1.6;
constexpr double kYLabelSpacing = 2.2;
const QColor kStaleCurveColour(170, 170, 170);

void StyleCurve(QLineSeries* series, const CurveStyle& style)
{
    QPen pen(style.colour, kChartCurveWidth, style.penStyle);
    series->setPen(pen);
    series->setLightMarker(MarkerImage(style.marker, style.markerColour));
    series->setMarkerSize(kChartMarkerPixels);
}

}  // namespace

CChart2dView::CChart2dView(CTorqDoc& document, QWidget* parent)
    : CChart2dView(document, CDocumentRegistry::Instance(), parent)
{
}

CChart2dView::CChart2dView(CTorqDoc& document, CDocumentRegistry& registry, QWidget* parent)
    : QWidget(parent),
      m_document(&document),
      m_registry(registry),
      m_axes{ChartAxisDescription::Make(kSeriesEngineSpeed, kHiRange),
             ChartAxisDescription::Make(kSeriesPower, kMidRange),
             ChartAxisDescription::Make(kSeriesTorque, kMidRange)},
      m_colourEachEngine(QSettings().value(kColourEachEngineKey, false).toBool())
{
    CreateChart();
    // The keyboard reaches the graph: it takes the focus, shows it with a
    // frame, and the Menu key or Shift+F10 opens its menu.
    setFocusPolicy(Qt::StrongFocus);
    m_chartView->setFocusPolicy(Qt::NoFocus);
    m_document->AddObserver(this);
    m_registryListener = m_registry.AddRemovalListener([this](int number) { OnDocumentClosed(number); });
    UpdateChart();
}

CChart2dView::~CChart2dView()
{
    m_registry.RemoveRemovalListener(m_registryListener);
    if (m_document != nullptr) m_document->RemoveObserver(this);
}

void CChart2dView::CreateChart()
{
    m_chart = new QChart;
    // The legend is a widget of its own under the chart (CChartLegend).
    ApplyChartLook(*m_chart);
    m_chart->setMargins(QMargins(4, 4, 4, 2));

    const auto makeAxis = [this](Qt::Alignment alignment) {
        QValueAxis* axis = MakeValueAxis();
        axis->setMinorGridLineVisible(false);
        m_chart->addAxis(axis, alignment);
        return axis;
    };
    m_axisX = makeAxis(Qt::AlignBottom);
    m_axisY1 = makeAxis(Qt::AlignLeft);
    m_axisY2 = makeAxis(Qt::AlignRight);
    // The second axis's ticks need not meet the first's: only Y1 draws grid lines.
    m_axisY2->setGridLineVisible(false);
    m_measuredSeries = std::make_unique<CMeasuredSeries>(*m_chart, *m_axisX, *m_axisY1, *m_axisY2);

    m_chartView = new CChartView(m_chart, this);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setContextMenuPolicy(Qt::NoContextMenu);
    m_chartView->setMinimumSize(120, 100);
    m_legend = new CChartLegend(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFocusFramePixels, kFocusFramePixels, kFocusFramePixels, kFocusFramePixels);
    layout->setSpacing(0);
    layout->addWidget(m_chartView, 1);
    layout->addWidget(m_legend, 0);
    connect(m_chart, &QChart::plotAreaChanged, this, [this] {
        FitAxisTexts();
        ApplyTickSpacing();
        PlacePeakLabels();
    });
    m_cursor = new CChartCursor(*this, *m_chartView);
}

const ChartAxisDescription& CChart2dView::Axis(ChartAxis axis) const
{
    return m_axes[axis];
}

void CChart2dView::SetAxisSeries(ChartAxis axis, int series)
{
    // Only the second y axis can show nothing.
    TORQ_ASSERT(series >= (axis == ChartAxis::Y2 ? 0 : 1));
    m_axes[axis].SetSeries(series);
    UpdateChart();
}

void CChart2dView::SetAxisRange(ChartAxis axis, int rangeKind)
{
    m_axes[axis].SetRangeKind(rangeKind);
    UpdateChart();
}

void CChart2dView::SetCompareDocuments(const std::array<int, kChartCompareCount>& documentNumbers)
{
    for (std::size_t slot = 1; slot < kChartSlotCount; ++slot) {
        m_slots[slot] = ChartSlot{};
        const int number = documentNumbers[slot - 1];
        if (number != 0 && m_registry.Find(number) != nullptr) m_slots[slot].documentNumber = number;
    }
    UpdateChart();
}

void CChart2dView::SetMeasuredPulls(CMeasuredPulls* measured)
{
    if (m_measured != nullptr) disconnect(m_measured, nullptr, this, nullptr);
    m_measured = measured;
    if (m_measured != nullptr)
        connect(m_measured, &CMeasuredPulls::Changed, this, &CChart2dView::UpdateChart);
    UpdateChart();
}

void CChart2dView::SetColourEachEngine(bool on)
{
    m_colourEachEngine = on;
    QSettings().setValue(kColourEachEngineKey, on);
    UpdateChart();
}

QLineSeries* CChart2dView::Y1Series(int set) const
{
    TORQ_ASSERT(set >= 0 && set < m_setCount);
    return m_y1Sets[static_cast<std::size_t>(set)];
}

QLineSeries* CChart2dView::Y2Series(int set) const
{
    TORQ_ASSERT(set >= 0 && set < m_setCount);
    return m_y2Sets[static_cast<std::size_t>(set)];
}

void CChart2dView::OnDocumentChanged(CTorqDoc& document, DocumentChange change)
{
    if (&document != m_document) return;
    if (change == DocumentChange::Destroyed) {
        m_document = nullptr;
        return;
    }
    if (change == DocumentChange::Updated) UpdateChart();
}

void CChart2dView::OnDocumentClosed(int documentNumber)
{
    // A compared engine that closes leaves the graph at once.
    for (std::size_t slot = 1; slot < kChartSlotCount; ++slot) {
        if (m_slots[slot].documentNumber == documentNumber) {
            UpdateChart();
            return;
        }
    }
}

void CChart2dView::RecreateSets(int count)
{
    for (int set = 0; set < m_setCount; ++set) {
        for (QLineSeries* series : {m_y1Sets[set], m_y2Sets[set]}) {
            m_chart->removeSeries(series);
            delete series;
        }
    }
    m_y1Sets.fill(nullptr);
    m_y2Sets.fill(nullptr);
    m_setCount = count;
    for (int set = 0; set < count; ++set) {
        auto* y1 = new QLineSeries;
        auto* y2 = new QLineSeries;
        m_chart->addSeries(y1);
        m_chart->addSeries(y2);
        y1->attachAxis(m_axisX);
        y1->attachAxis(m_axisY1);
        y2->attachAxis(m_axisX);
        y2->attachAxis(m_axisY2);
        m_y1Sets[set] = y1;
        m_y2Sets[set] = y2;
    }
}

std::vector<ChartEngine> CChart2dView::Engines() const
{
    std::vector<ChartEngine> engines;
    for (std::size_t index = 0; index < m_slots.size(); ++index) {
        const ChartSlot& slot = m_slots[index];
        if (!slot.IsFilled()) continue;
        const CTorqDoc* doc = m_registry.Find(slot.documentNumber);
        if (doc == nullptr && m_document != nullptr &&
            slot.documentNumber == m_document->GetDocumentNumber()) {
            doc = m_document;  // the own engine, also when the registry does not hold it
        }
        if (doc != nullptr) engines.push_back({doc, slot.name, static_cast<int>(index)});
    }
    return engines;
}

void CChart2dView::UpdateChart()
{
    if (m_document == nullptr) return;
    TORQ_ASSERT(!m_document->GetTitle().empty());
    m_slots[0].documentNumber = m_document->GetDocumentNumber();

    // Engines closed since the last update leave the graph.
    for (std::size_t slot = 0; slot < kChartSlotCount; ++slot) {
        if (!m_slots[slot].IsFilled()) continue;
        const CTorqDoc* doc = slot == 0 ? m_document : m_registry.Find(m_slots[slot].documentNumber);
        if (doc == nullptr) {
            m_slots[slot] = ChartSlot{};
            continue;
        }
        m_slots[slot].name = QString::fromStdString(doc->GetTitle());
    }
    m_picture = BuildMeasuredChartPicture(Engines(), Options(), m_measured);
    ShowCurves();
    m_measuredSeries->Show(m_picture);
    // In the default colours the y titles say which curves are theirs; with a
    // colour per engine the line style does (power solid, torque dashed).
    m_axisY1->setTitleBrush(m_colourEachEngine ? QColor(Qt::black) : kChartY1Colour.darker(130));
    m_axisY2->setTitleBrush(m_colourEachEngine ? QColor(Qt::black) : kChartY2Colour);
    ApplyAxis(m_axisX, m_picture.x);
    ApplyAxis(m_axisY1, m_picture.y1);
    m_axisY2->setVisible(m_picture.y2.visible);
    if (m_picture.y2.visible) ApplyAxis(m_axisY2, m_picture.y2);
    FitAxisTexts();
    ApplyTickSpacing();
    ShowClipMarks();
    ShowPeakLabels();
    m_legend->SetPicture(m_picture);
    ShowStalenessNote();
    if (m_cursor != nullptr) m_cursor->Refresh();
    m_chartView->update();
}

void CChart2dView::SetStale(bool stale)
{
    if (stale == m_stale) return;
    m_stale = stale;
    UpdateChart();
}

// Results that belong to the engine before its last change: the engine's own
// curves are drawn grey and a note says how to bring them up to date.
void CChart2dView::ShowStalenessNote()
{
    if (m_stale && m_staleNote == nullptr) m_staleNote = new CStaleResultsNote(this);
    if (m_staleNote != nullptr) m_staleNote->setVisible(m_stale);
}

void CChart2dView::ShowCurves()
{
    const int count = static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const ChartSlot& slot) { return slot.IsFilled(); }));
    if (count != m_setCount) RecreateSets(count);
    for (int set = 0; set < m_setCount; ++set) m_y2Sets[set]->setVisible(false);
    int set = -1;
    for (ChartSlot& slot : m_slots) {
        if (!slot.IsFilled()) continue;
        ++set;
        slot.legendY2.clear();
        for (const ChartCurve& curve : m_picture.curves) {
            if (curve.set != set) continue;
            QLineSeries* series = curve.y2 ? m_y2Sets[set] : m_y1Sets[set];
            series->replace(curve.points);
            series->setName(curve.legend);
            CurveStyle style = curve.style;
            if (m_stale && set == 0) style.colour = style.markerColour = kStaleCurveColour;
            StyleCurve(series, style);
            series->setVisible(true);
            (curve.y2 ? slot.legendY2 : slot.legendY1) = curve.legend;
        }
    }
    const auto markers = m_chart->legend()->markers();
    for (QLegendMarker* marker : markers) marker->setVisible(marker->series()->isVisible());
}

void CChart2dView::ApplyAxis(QValueAxis* axis, const ChartAxisPicture& picture)
{
    axis->setTitleText(picture.title);
    axis->setRange(picture.minimum, picture.maximum);
    // Ticks at round numbers from 0, whether or not they divide the range.
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(picture.tickInterval);
}

void CChart2dView::FitAxisTexts()
{
    // A small graph (a narrow pane, tiled windows) takes a smaller font, and
    // an axis title too long for its axis gives way to the axis's units
    // ("RPM", "HP"), so that no text is cut to "Engine Speed (...".
    if (m_fittingTexts) return;
    m_fittingTexts = true;
    const QSizeF size = m_chart->size();
    QFont labels = SmallViewFont();
    if (size.width() < 360 || size.height() < 260)
        labels.setPointSizeF(std::max(6.0, labels.pointSizeF() - 1.5));
    QFont titles = labels;
    titles.setBold(true);
    const QRectF plot = m_chart->plotArea();
    const QFontMetricsF metrics(titles);
    const auto fit = [&](QValueAxis* axis, const ChartAxisPicture& picture, double room) {
        if (axis->labelsFont() != labels) axis->setLabelsFont(labels);
        if (axis->titleFont() != titles) axis->setTitleFont(titles);
        const bool fits = room <= 0 || metrics.horizontalAdvance(picture.title) <= room;
        const QString shown = fits ? picture.title : picture.shortTitle;
        if (axis->titleText() != shown) axis->setTitleText(shown);
    };
    fit(m_axisX, m_picture.x, plot.width());
    fit(m_axisY1, m_picture.y1, plot.height());
    if (m_picture.y2.visible) fit(m_axisY2, m_picture.y2, plot.height());
    // In a very narrow graph the y titles give their room to the tick labels;
    // the legend under the graph still names each curve with its units.
    const bool yTitles = size.width() >= kLeastWidthForYTitles;
    for (QValueAxis* axis : {m_axisY1, m_axisY2}) {
        if (axis->isTitleVisible() != yTitles) axis->setTitleVisible(yTitles);
    }
    m_fittingTexts = false;
}

void CChart2dView::ApplyTickSpacing()
{
    // Fewer ticks where the plot is small, so that no tick label is cut.
    const QRectF plot = m_chart->plotArea();
    if (plot.width() < 1 || plot.height() < 1) return;
    const QFontMetricsF metrics(m_axisX->labelsFont());
    const auto widest = [&metrics](const ChartAxisPicture& axis) {
        return std::max(metrics.horizontalAdvance(QString::number(axis.maximum)),
                        metrics.horizontalAdvance(QString::number(axis.minimum)));
    };
    const double x = TickIntervalFor(m_picture.x.maximum - m_picture.x.minimum, plot.width(),
                                     widest(m_picture.x) * kXLabelSpacing);
    if (!qFuzzyCompare(m_axisX->tickInterval(), x)) m_axisX->setTickInterval(x);
    const double lineSpacing = metrics.height() * kYLabelSpacing;
    const double y1 =
        TickIntervalFor(m_picture.y1.maximum - m_picture.y1.minimum, plot.height(), lineSpacing);
    if (!qFuzzyCompare(m_axisY1->tickInterval(), y1)) m_axisY1->setTickInterval(y1);
    if (m_picture.y2.visible) {
        const double y2 =
            TickIntervalFor(m_picture.y2.maximum - m_picture.y2.minimum, plot.height(), lineSpacing);
        if (!qFuzzyCompare(m_axisY2->tickInterval(), y2)) m_axisY2->setTickInterval(y2);
    }
}

void CChart2dView::ShowClipMarks()
{
    for (QScatterSeries* series : m_clipSeries) {
        m_chart->removeSeries(series);
        delete series;
    }
    m_clipSeries.clear();
    // One scatter series per axis, direction and colour: each has one marker image.
    std::map<std::tuple<bool, int, QRgb>, QList<QPointF>> groups;
    for (const ChartClipMark& mark : m_picture.clipMarks) {
        groups[{mark.y2, static_cast<int>(mark.direction), mark.colour.rgba()}].append(mark.at);
    }
    for (const auto& [key, points] : groups) {
        const auto& [y2, direction, colour] = key;
        auto* series = new QScatterSeries;
        series->setName(QStringLiteral("Clipped"));
        series->setLightMarker(
            ClipMarkImage(static_cast<ClipDirection>(direction), QColor::fromRgba(colour)));
        series->setMarkerSize(2 * kClipMarkPixels);
        series->setBorderColor(Qt::transparent);
        series->append(points);
        m_chart->addSeries(series);
        series->attachAxis(m_axisX);
        series->attachAxis(y2 ? m_axisY2 : m_axisY1);
        m_clipSeries.push_back(series);
    }
}

void CChart2dView::ShowPeakLabels()
{
    for (QGraphicsItem* item : m_peakLabels) delete item;
    m_peakLabels.clear();
    QFont font = SmallViewFont();
    for (const ChartPeakLabel& peak : m_picture.peaks) {
        // The peaks are the engine's own: out of date with its curves.
        const QColor colour = m_stale ? kStaleCurveColour : peak.colour;
        auto* box = new QGraphicsRectItem(m_chart);
        box->setPen(QPen(colour, 1));
        box->setBrush(QColor(255, 255, 255, 225));
        auto* text = new QGraphicsSimpleTextItem(peak.text, box);
        text->setFont(font);
        text->setBrush(colour.darker(120));
        box->setRect(text->boundingRect().adjusted(-3, -1, 3, 1));
        box->setZValue(10);
        m_peakLabels.push_back(box);
    }
    PlacePeakLabels();
}

void CChart2dView::PlacePeakLabels()
{
    const QRectF plot = m_chart->plotArea();
    std::vector<QRectF> taken;
    for (std::size_t i = 0; i < m_peakLabels.size() && i < m_picture.peaks.size(); ++i) {
        const ChartPeakLabel& peak = m_picture.peaks[i];
        QLineSeries* series = peak.y2 ? m_y2Sets[0] : m_y1Sets[0];
        const QPointF at = m_chart->mapToPosition(peak.at, series);
        QGraphicsItem* box = m_peakLabels[i];
        // A plot squeezed to nothing maps to no number: the label stays hidden
        // rather than stand where the scene cannot index it.
        if (!std::isfinite(at.x()) || !std::isfinite(at.y()) || !std::isfinite(plot.width()) ||
            !std::isfinite(plot.height())) {
            box->setVisible(false);
            continue;
        }
        const QRectF area = box->boundingRect();
        const QRectF placed = PlacePeakLabel(at, area.size(), plot, taken);
        // A label with no room in a small plot is left out rather than cut.
        box->setVisible(!placed.isNull());
        if (placed.isNull()) continue;
        taken.push_back(placed);
        box->setPos(placed.topLeft() - area.topLeft());
    }
}

QStringList CChart2dView::PeakLabelTexts() const
{
    QStringList texts;
    for (const ChartPeakLabel& peak : m_picture.peaks) texts << peak.text;
    return texts;
}

ChartOptions CChart2dView::Options() const
{
    ChartOptions options;
    for (std::size_t slot = 1; slot < kChartSlotCount; ++slot) {
        options.comparedDocuments[slot - 1] = m_slots[slot].documentNumber;
    }
    options.axes = m_axes;
    options.colourEachEngine = m_colourEachEngine;
    options.resultUnits = m_document != nullptr ? ChosenResultUnits(*m_document) : ResultUnits::English;
    options.correction = m_document != nullptr ? ChosenCorrection(*m_document) : ResultCorrection{};
    options.difference = m_difference;
    options.differenceBaseline = m_differenceBaseline;
    return options;
}

void CChart2dView::ApplyOptions(const ChartOptions& options)
{
    // Titles and fixed ranges always come from the series table.
    for (ChartAxis axis : kChartAxes) {
        const ChartAxisDescription& chosen = options.axes[axis];
        m_axes[axis] = ChartAxisDescription::Make(chosen.series, chosen.rangeKind);
    }
    if (options.colourEachEngine != m_colourEachEngine) {
        m_colourEachEngine = options.colourEachEngine;
        QSettings().setValue(kColourEachEngineKey, m_colourEachEngine);
    }
    m_difference = options.difference;
    m_differenceBaseline = options.difference == DifferenceKind::None ? 0 : options.differenceBaseline;
    // A new choice of units or day redraws every view of the engine; the
    // compared engines then redraw this graph.
    if (m_document != nullptr) {
        ChooseResultUnits(*m_document, options.resultUnits);
        ChooseCorrection(*m_document, options.correction);
    }
    SetCompareDocuments(options.comparedDocuments);
}
