#include "Chart2dView.h"

#include "StaleResultsNote.h"
#include "ViewFont.h"
#include "dialogs/Chart2dDlg.h"
#include "model/DocumentRegistry.h"

#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QGraphicsLayout>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <limits>

namespace {

const QColor kY1Colour(255, 0, 0);
const QColor kY2Colour(0, 128, 0);
const QColor kOverlayMarkerColour(0, 0, 128);
const QColor kChartGrey(192, 192, 192);
const QColor kStaleCurveColour(170, 170, 170);
constexpr int kCurveWidth = 2;
constexpr int kMarkerPixels = 7;

enum class MarkerShape { Dot, Star, Triangle, Diamond };

// The engines are told apart by their point markers: the own engine with
// dots in the curve's colour, the three compared engines with stars,
// triangles and diamonds in navy.
MarkerShape MarkerShapeOfSet(int set)
{
    static constexpr std::array<MarkerShape, kChartSlotCount> shapes{MarkerShape::Dot, MarkerShape::Star,
                                                                      MarkerShape::Triangle, MarkerShape::Diamond};
    return shapes[static_cast<std::size_t>(set)];
}

QImage MarkerImage(MarkerShape shape, const QColor& colour)
{
    constexpr int size = 4 * kMarkerPixels;  // drawn large, scaled down by the chart
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QRectF box(2, 2, size - 4, size - 4);
    const QPointF c = box.center();
    const double r = box.width() / 2;
    QPainterPath path;
    switch (shape) {
    case MarkerShape::Dot:
        path.addEllipse(box);
        break;
    case MarkerShape::Triangle:
        path.moveTo(c.x(), box.top());
        path.lineTo(box.right(), box.bottom());
        path.lineTo(box.left(), box.bottom());
        path.closeSubpath();
        break;
    case MarkerShape::Diamond:
        path.moveTo(c.x(), box.top());
        path.lineTo(box.right(), c.y());
        path.lineTo(c.x(), box.bottom());
        path.lineTo(box.left(), c.y());
        path.closeSubpath();
        break;
    case MarkerShape::Star:
        for (int i = 0; i < 10; ++i) {
            const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            const double radius = (i % 2 == 0) ? r : r * 0.45;
            const QPointF p(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
            if (i == 0) {
                path.moveTo(p);
            } else {
                path.lineTo(p);
            }
        }
        path.closeSubpath();
        break;
    }
    painter.drawPath(path);
    return image;
}

void StyleCurve(QLineSeries* series, const QColor& colour, int set)
{
    QPen pen(colour, kCurveWidth);
    series->setPen(pen);
    const QColor markerColour = set == 0 ? colour : kOverlayMarkerColour;
    series->setLightMarker(MarkerImage(MarkerShapeOfSet(set), markerColour));
    series->setMarkerSize(kMarkerPixels);
}

// The smallest and largest value of the shown points along one coordinate.
struct Extent {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    void Add(double value)
    {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    bool IsEmpty() const { return low > high; }
};

// 1, 2 or 5 times a power of ten, giving about five to ten intervals.
double RoundTickInterval(double span)
{
    if (span <= 0) return 1;
    const double rough = span / 6;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough * 0.75) return factor * power;
    }
    return 10 * power;
}

void SetAutoRange(QValueAxis* axis, Extent extent)
{
    if (extent.IsEmpty()) extent = Extent{0, 0};
    if (extent.high - extent.low < 1e-6) {
        // A flat line (all zeros before the first run) still gets a readable axis.
        const double pad = std::abs(extent.high) > 1e-6 ? std::abs(extent.high) * 0.1 : 1.0;
        extent.low = extent.low >= 0 && extent.low - pad < 0 ? 0 : extent.low - pad;
        extent.high += pad;
    }
    axis->setRange(extent.low, extent.high);
    axis->applyNiceNumbers();
}

}  // namespace

CChart2dView::CChart2dView(CTorqDoc& document, QWidget* parent)
    : CChart2dView(document, CDocumentRegistry::Instance(), parent)
{
}

CChart2dView::CChart2dView(CTorqDoc& document, const CDocumentRegistry& registry, QWidget* parent)
    : QWidget(parent),
      m_document(&document),
      m_registry(registry),
      m_axes{ChartAxisDescription::Make(kSeriesEngineSpeed, kHiRange),
             ChartAxisDescription::Make(kSeriesPower, kMidRange),
             ChartAxisDescription::Make(kSeriesTorque, kMidRange)}
{
    CreateChart();
    m_document->AddObserver(this);
    UpdateChart();
}

CChart2dView::~CChart2dView()
{
    if (m_document != nullptr) m_document->RemoveObserver(this);
}

void CChart2dView::CreateChart()
{
    m_chart = new QChart;
    m_chart->setFont(SmallViewFont());
    m_chart->setBackgroundBrush(kChartGrey);
    m_chart->setBackgroundRoundness(0);
    m_chart->setPlotAreaBackgroundBrush(Qt::white);
    m_chart->setPlotAreaBackgroundVisible(true);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setFont(SmallViewFont());
    m_chart->setMargins(QMargins(4, 4, 4, 4));

    const auto makeAxis = [this](Qt::Alignment alignment) {
        auto* axis = new QValueAxis;
        axis->setLabelsFont(SmallViewFont());
        QFont titleFont = SmallViewFont();
        titleFont.setBold(true);
        axis->setTitleFont(titleFont);
        axis->setLabelFormat(QStringLiteral("%g"));
        m_chart->addAxis(axis, alignment);
        return axis;
    };
    m_axisX = makeAxis(Qt::AlignBottom);
    m_axisY1 = makeAxis(Qt::AlignLeft);
    m_axisY2 = makeAxis(Qt::AlignRight);
    m_axisY1->setTitleBrush(kY1Colour.darker(130));
    m_axisY2->setTitleBrush(kY2Colour);

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setContextMenuPolicy(Qt::NoContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chartView);
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
        StyleCurve(y1, kY1Colour, set);
        StyleCurve(y2, kY2Colour, set);
        m_y1Sets[set] = y1;
        m_y2Sets[set] = y2;
    }
}

void CChart2dView::FillSet(int set, const CTorqDoc& document, ChartSlot& slot)
{
    const ResultSeriesValues& x = document.GetResultSeries(m_axes.x.series);
    const ResultSeriesValues& y1 = document.GetResultSeries(m_axes.y1.series);
    QList<QPointF> points;
    points.reserve(kResultPointCount);
    for (int i = 0; i < kResultPointCount; ++i) points.append(QPointF(x[i], y1[i]));
    m_y1Sets[set]->replace(points);
    slot.legendY1 = QString::fromStdString(m_axes.y1.title) + QLatin1Char('-') + slot.name;
    m_y1Sets[set]->setName(slot.legendY1);

    QLineSeries* y2Series = m_y2Sets[set];
    if (m_axes.y2.series != 0) {
        const ResultSeriesValues& y2 = document.GetResultSeries(m_axes.y2.series);
        for (int i = 0; i < kResultPointCount; ++i) points[i].setY(y2[i]);
        y2Series->replace(points);
        slot.legendY2 = QString::fromStdString(m_axes.y2.title) + QLatin1Char('-') + slot.name;
        y2Series->setName(slot.legendY2);
        y2Series->setVisible(true);
    } else {
        slot.legendY2.clear();
        y2Series->setVisible(false);
    }
}

void CChart2dView::UpdateChart()
{
    if (m_document == nullptr) return;
    TORQ_ASSERT(!m_document->GetTitle().empty());
    m_slots[0].documentNumber = m_document->GetDocumentNumber();

    // Engines closed since the last update leave the graph.
    std::array<const CTorqDoc*, kChartSlotCount> shown{};
    int count = 0;
    for (std::size_t slot = 0; slot < kChartSlotCount; ++slot) {
        if (!m_slots[slot].IsFilled()) continue;
        const CTorqDoc* doc = slot == 0 ? m_document : m_registry.Find(m_slots[slot].documentNumber);
        if (doc == nullptr) {
            m_slots[slot] = ChartSlot{};
            continue;
        }
        m_slots[slot].name = QString::fromStdString(doc->GetTitle());
        shown[static_cast<std::size_t>(count++)] = doc;
    }
    if (count != m_setCount) RecreateSets(count);

    int set = 0;
    for (ChartSlot& slot : m_slots) {
        if (!slot.IsFilled()) continue;
        FillSet(set, *shown[static_cast<std::size_t>(set)], slot);
        ++set;
    }
    const auto markers = m_chart->legend()->markers();
    for (QLegendMarker* marker : markers) marker->setVisible(marker->series()->isVisible());

    ApplyAxis(m_axisX, m_axes.x, true, false);
    ApplyAxis(m_axisY1, m_axes.y1, false, false);
    m_axisY2->setVisible(m_axes.y2.series != 0);
    if (m_axes.y2.series != 0) ApplyAxis(m_axisY2, m_axes.y2, false, true);
    if (m_stale) ShowStaleness();
    m_chartView->update();
}

void CChart2dView::SetStale(bool stale)
{
    if (stale == m_stale) return;
    m_stale = stale;
    ShowStaleness();
}

void CChart2dView::ShowStaleness()
{
    if (m_stale && m_staleNote == nullptr) m_staleNote = new CStaleResultsNote(this);
    if (m_staleNote != nullptr) m_staleNote->setVisible(m_stale);
    if (m_setCount == 0) return;
    StyleCurve(m_y1Sets[0], m_stale ? kStaleCurveColour : kY1Colour, 0);
    StyleCurve(m_y2Sets[0], m_stale ? kStaleCurveColour : kY2Colour, 0);
}

void CChart2dView::ApplyAxis(QValueAxis* axis, const ChartAxisDescription& description, bool isX, bool y2)
{
    axis->setTitleText(QString::fromStdString(description.title));
    if (description.rangeKind != kAutoRange) {
        // Ticks at round numbers from 0, whether or not they divide the range.
        axis->setRange(description.minimum, description.maximum);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(RoundTickInterval(description.maximum - description.minimum));
        return;
    }
    axis->setTickType(QValueAxis::TicksFixed);
    Extent extent;
    for (int set = 0; set < m_setCount; ++set) {
        const QLineSeries* series = y2 ? m_y2Sets[set] : m_y1Sets[set];
        const auto points = series->points();
        for (const QPointF& point : points) extent.Add(isX ? point.x() : point.y());
    }
    SetAutoRange(axis, extent);
}

QMenu* CChart2dView::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const auto addSeriesMenu = [this, menu](const QString& text, ChartAxis axis, int first) {
        QMenu* sub = menu->addMenu(text);
        for (int series = first; series < kChartSeriesCount; ++series) {
            QAction* action = sub->addAction(QString::fromLatin1(GetChartSeries(series).menuName));
            action->setCheckable(true);
            action->setChecked(Axis(axis).series == series);
            connect(action, &QAction::triggered, this, [this, axis, series] { SetAxisSeries(axis, series); });
        }
    };
    const auto addRangeMenu = [this, menu](const QString& text, ChartAxis axis) {
        QMenu* sub = menu->addMenu(text);
        for (int kind = 0; kind < kChartRangeKinds; ++kind) {
            QAction* action = sub->addAction(QString::fromLatin1(GetRangeKindName(kind)));
            action->setCheckable(true);
            action->setChecked(Axis(axis).rangeKind == kind);
            connect(action, &QAction::triggered, this, [this, axis, kind] { SetAxisRange(axis, kind); });
        }
    };
    addSeriesMenu(QStringLiteral("X    Data"), ChartAxis::X, 1);
    addSeriesMenu(QStringLiteral("Y1  Data"), ChartAxis::Y1, 1);
    addSeriesMenu(QStringLiteral("Y2  Data"), ChartAxis::Y2, 0);
    menu->addSeparator();
    addRangeMenu(QStringLiteral("X    Range"), ChartAxis::X);
    addRangeMenu(QStringLiteral("Y1  Range"), ChartAxis::Y1);
    addRangeMenu(QStringLiteral("Y2  Range"), ChartAxis::Y2);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("&Properties...")), &QAction::triggered, this,
            &CChart2dView::RunPropertiesDialog);
    return menu;
}

void CChart2dView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

ChartOptions CChart2dView::Options() const
{
    ChartOptions options;
    for (std::size_t slot = 1; slot < kChartSlotCount; ++slot) {
        options.comparedDocuments[slot - 1] = m_slots[slot].documentNumber;
    }
    options.axes = m_axes;
    return options;
}

void CChart2dView::ApplyOptions(const ChartOptions& options)
{
    // Titles and fixed ranges always come from the series table.
    for (ChartAxis axis : kChartAxes) {
        const ChartAxisDescription& chosen = options.axes[axis];
        m_axes[axis] = ChartAxisDescription::Make(chosen.series, chosen.rangeKind);
    }
    SetCompareDocuments(options.comparedDocuments);  // and redraws
}

void CChart2dView::RunPropertiesDialog()
{
    if (m_document == nullptr) return;
    CChart2dDlg dialog(*m_document, m_registry, this);
    dialog.SetOptions(Options());
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyOptions(dialog.Options());
}

void CChart2dView::PaintPrintPage(QPainter& painter, const QRectF& target)
{
    // Lay the chart out for the page, draw it, and give the screen its layout back.
    const QSizeF screenSize = m_chart->size();
    const QPointF screenPos = m_chart->pos();
    m_chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
    m_chart->layout()->activate();
    m_chart->scene()->render(&painter, target, QRectF(QPointF(0, 0), target.size()));
    m_chart->setGeometry(QRectF(screenPos, screenSize));
    m_chart->layout()->activate();
}

void CChart2dView::Print(QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    // One logical unit is 1/96 inch; the graph takes the page width at 4:3.
    const double scale = printer.resolution() / 96.0;
    painter.scale(scale, scale);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double width = page.width() / scale;
    const double height = std::min(page.height() / scale, width * 0.75);
    PaintPrintPage(painter, QRectF(0, 0, width, height));
}
