#include "ChartCursor.h"

#include "model/TorqDoc.h"
#include "widgets/ViewFont.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QTextDocument>
#include <QUrl>
#include <QWidget>

#include <cmath>

namespace {

constexpr double kRingPixels = 11;
constexpr double kBoxGap = 10;  // pixels between the line and the read-out
const QColor kCursorColour(60, 60, 60);
const QSize kSwatchSize(26, 10);

QString SwatchUrl(std::size_t line)
{
    return QStringLiteral("swatch:%1").arg(line);
}

bool IsFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

}  // namespace

CChartCursor::CChartCursor(ChartCursorHost& view, QChartView& chartView)
    : QObject(&view.GraphWidget()), m_view(view), m_chartView(chartView)
{
    QChart* chart = m_view.Chart();
    m_line = new QGraphicsLineItem(chart);
    m_line->setPen(QPen(kCursorColour, 1, Qt::DashLine));
    m_line->setZValue(20);
    m_box = new QGraphicsRectItem(chart);
    m_box->setPen(QPen(kCursorColour, 1));
    m_box->setBrush(QColor(255, 255, 255, 235));
    m_box->setZValue(21);
    m_text = new QGraphicsTextItem(m_box);
    m_text->setFont(SmallViewFont());
    m_line->hide();
    m_box->hide();

    // The arrow keys need the keyboard: the graph takes it when clicked or tabbed to.
    QWidget& graph = m_view.GraphWidget();
    if (graph.focusPolicy() == Qt::NoFocus) graph.setFocusPolicy(Qt::StrongFocus);
    // The read-out follows the mouse without a button held.
    m_chartView.setMouseTracking(true);
    m_chartView.viewport()->setMouseTracking(true);
    m_chartView.viewport()->installEventFilter(this);
    m_chartView.installEventFilter(this);
    graph.installEventFilter(this);
    connect(chart, &QChart::plotAreaChanged, this, [this] { Place(); });
}

// The line, the box and the rings are the chart's items and go with it; the
// chart may already be gone when the view deletes its cursor.
CChartCursor::~CChartCursor() = default;

void CChartCursor::Refresh()
{
    // The mouse's cursor goes when the mouse has left the graph meanwhile
    // (a dialog or menu over the graph takes the mouse's leaving from it).
    QWidget* viewport = m_chartView.viewport();
    if (m_fromMouse && !viewport->rect().contains(viewport->mapFromGlobal(QCursor::pos()))) {
        ShowPoint(-1);
        return;
    }
    ShowPoint(m_readout.point);
}

void CChartCursor::ShowPoint(int point)
{
    if (point < 0 || point >= kResultPointCount || m_view.Document() == nullptr) {
        m_readout = ChartReadout{};
    } else {
        m_readout = BuildChartReadout(m_view.Engines(), m_view.Options(), point);
    }
    Place();
}

void CChartCursor::StepBy(int points)
{
    const int from = IsShown() ? m_readout.point : (points > 0 ? -1 : kResultPointCount);
    ShowPoint(std::clamp(from + points, 0, kResultPointCount - 1));
}

bool CChartCursor::HandleKey(int key)
{
    switch (key) {
        case Qt::Key_Left:
            StepBy(-1);
            return true;
        case Qt::Key_Right:
            StepBy(1);
            return true;
        case Qt::Key_Home:
            ShowPoint(0);
            return true;
        case Qt::Key_End:
            ShowPoint(kResultPointCount - 1);
            return true;
        case Qt::Key_Escape:
            if (!IsShown()) return false;
            ShowPoint(-1);
            return true;
        default:
            return false;
    }
}

bool CChartCursor::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
            if (HandleKey(key->key())) {
                m_fromMouse = false;
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (watched == m_chartView.viewport()) FollowMouse(static_cast<QMouseEvent*>(event)->position());
            break;
        case QEvent::Leave:
            // The mouse's cursor leaves with the mouse; the keyboard's stays.
            if (watched == m_chartView.viewport() && m_fromMouse) ShowPoint(-1);
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void CChartCursor::FollowMouse(QPointF viewportPosition)
{
    QChart* chart = m_view.Chart();
    const QPointF at = chart->mapFromScene(m_chartView.mapToScene(viewportPosition.toPoint()));
    if (!chart->plotArea().adjusted(-kRingPixels, -kRingPixels, kRingPixels, kRingPixels).contains(at)) {
        if (m_fromMouse) ShowPoint(-1);
        return;
    }
    const ChartPicture& picture = m_view.Picture();
    std::vector<QList<QPointF>> placed;
    for (const ChartCurve& curve : picture.curves) {
        QLineSeries* series = curve.y2 ? m_view.Y2Series(0) : m_view.Y1Series(0);
        QList<QPointF> points;
        for (const QPointF& value : curve.points) points.append(chart->mapToPosition(value, series));
        placed.push_back(points);
    }
    const bool acrossOnly = m_view.Axis(ChartAxis::X).series == kSeriesEngineSpeed;
    const int point = NearestSpeedPoint(picture, placed, at, acrossOnly);
    m_fromMouse = true;
    if (point != m_readout.point) ShowPoint(point);
}

void CChartCursor::ClearRings()
{
    for (QGraphicsEllipseItem* ring : m_rings) delete ring;
    m_rings.clear();
}

QString CChartCursor::ReadoutHtml()
{
    QTextDocument* document = m_text->document();
    const double ratio = m_chartView.devicePixelRatioF();
    QString html = QStringLiteral("<b>%1</b>").arg(m_readout.heading.toHtmlEscaped());
    for (std::size_t i = 0; i < m_readout.lines.size(); ++i) {
        const ChartReadoutLine& line = m_readout.lines[i];
        document->addResource(QTextDocument::ImageResource, QUrl(SwatchUrl(i)),
                              LegendSwatchImage(line.style, kSwatchSize, ratio));
        html += QStringLiteral("<br><img src=\"%1\" width=\"%2\" height=\"%3\"> <b>%4</b>: %5")
                    .arg(SwatchUrl(i))
                    .arg(kSwatchSize.width())
                    .arg(kSwatchSize.height())
                    .arg(line.engineName.toHtmlEscaped(),
                         line.figures.join(QStringLiteral(", ")).toHtmlEscaped());
        if (!line.differences.isEmpty()) {
            html += QStringLiteral("<br>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<i>%1</i>")
                        .arg(line.differences.join(QStringLiteral(", ")).toHtmlEscaped());
        }
    }
    return html;
}

// The line at the point's x (the own engine's), a ring on every curve's
// point at that speed, and the read-out on the side of the line with more room.
void CChartCursor::Place()
{
    ClearRings();
    if (!IsShown()) {
        m_line->hide();
        m_box->hide();
        return;
    }
    QChart* chart = m_view.Chart();
    const QRectF plot = chart->plotArea();
    const ChartPicture& picture = m_view.Picture();
    double lineX = plot.center().x();
    bool lineFound = false;
    for (const ChartCurve& curve : picture.curves) {
        const qsizetype at = curve.speedPoints.indexOf(m_readout.point);
        if (at < 0) continue;
        QLineSeries* series = curve.y2 ? m_view.Y2Series(0) : m_view.Y1Series(0);
        const QPointF position = chart->mapToPosition(curve.points[at], series);
        // A plot squeezed to nothing maps to no number: nothing may stand
        // there (the scene cannot index an item at such a place).
        if (!IsFinite(position)) continue;
        if (!lineFound) {
            lineX = position.x();
            lineFound = true;
        }
        if (!plot.adjusted(-1, -1, 1, 1).contains(position)) continue;  // clipped: the edge mark stands there
        auto* ring = new QGraphicsEllipseItem(
            QRectF(-kRingPixels / 2, -kRingPixels / 2, kRingPixels, kRingPixels), chart);
        ring->setPen(QPen(curve.style.colour.darker(140), 2));
        ring->setPos(position);
        ring->setZValue(20);
        m_rings.push_back(ring);
    }
    if (!IsFinite(plot.topLeft()) || !IsFinite(plot.bottomRight())) {
        m_line->hide();
        m_box->hide();
        return;
    }
    lineX = std::clamp(lineX, plot.left(), plot.right());
    m_line->setLine(lineX, plot.top(), lineX, plot.bottom());
    m_line->show();

    m_text->setHtml(ReadoutHtml());
    const QRectF textBox = m_text->boundingRect();
    const QRectF box(0, 0, textBox.width() + 2, textBox.height() + 2);
    m_box->setRect(box);
    m_text->setPos(1, 1);
    const bool rightOfLine = lineX - plot.left() < plot.right() - lineX;
    double left = rightOfLine ? lineX + kBoxGap : lineX - kBoxGap - box.width();
    left = std::clamp(left, plot.left(), std::max(plot.left(), plot.right() - box.width()));
    m_box->setPos(left, plot.top() + 4);
    m_box->show();
}
