#include "dialogs/PistonPicture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// The drawing's own units; the widget scales them to its size.
constexpr qreal kWidth = 220.0;
constexpr qreal kHeight = 270.0;

// Section outline, in drawing units.
constexpr qreal kSectionLeft = 20.0;
constexpr qreal kSectionRight = 190.0;
constexpr qreal kHeadTop = 12.0;
constexpr qreal kGasketTop = 74.0;
constexpr qreal kDeck = 88.0;  // the block's deck: the gasket's underside
constexpr qreal kBlockBottom = 262.0;
constexpr qreal kBoreLeft = 52.0;
constexpr qreal kBoreRight = 158.0;
constexpr qreal kGasketBoreLeft = 46.0;
constexpr qreal kGasketBoreRight = 164.0;
constexpr qreal kChamberTop = 38.0;
constexpr qreal kFlatCrown = 108.0;
constexpr qreal kDomedCrown = 124.0;  // at the crown's edge
constexpr qreal kDomeTop = 100.0;
constexpr qreal kPistonBottom = 256.0;
constexpr qreal kMarkerRadius = 8.5;

const QColor kMetal(176, 178, 188);
const QColor kMetalEdge(70, 72, 82);
const QColor kGasket(58, 58, 64);
const QColor kPiston(212, 214, 222);
const QColor kGas(196, 224, 255);  // the combustion volume
const QColor kDimension(20, 40, 120);

QPainterPath ChamberPath()
{
    // The chamber is cut into the head's face over the gasket bore.
    QPainterPath path(QPointF(kGasketBoreLeft + 4, kGasketTop));
    path.cubicTo(QPointF(kGasketBoreLeft + 10, kChamberTop), QPointF(kGasketBoreRight - 30, kChamberTop - 6),
                 QPointF(kGasketBoreRight - 4, kGasketTop));
    path.closeSubpath();
    return path;
}

QPainterPath CrownPath(bool domed)
{
    QPainterPath path;
    const qreal left = kBoreLeft + 2;
    const qreal right = kBoreRight - 2;
    if (!domed) {
        path.addRect(QRectF(QPointF(left, kFlatCrown), QPointF(right, kPistonBottom)));
        return path;
    }
    path.moveTo(left, kPistonBottom);
    path.lineTo(left, kDomedCrown);
    path.lineTo(left + 14, kDomedCrown);
    // The dome, with a valve relief cut into its left flank.
    path.cubicTo(QPointF(left + 22, kDomeTop + 4), QPointF(left + 34, kDomeTop),
                 QPointF(left + 52, kDomeTop));
    path.cubicTo(QPointF(right - 30, kDomeTop), QPointF(right - 20, kDomeTop + 4),
                 QPointF(right - 12, kDomedCrown));
    path.lineTo(right, kDomedCrown);
    path.lineTo(right, kPistonBottom);
    path.closeSubpath();
    return path;
}

void DrawArrowHead(QPainter& painter, const QPointF& tip, const QPointF& towards)
{
    const QLineF line(tip, towards);
    QLineF side = line;
    side.setLength(5.0);
    QLineF left = side;
    left.setAngle(line.angle() + 25);
    QLineF right = side;
    right.setAngle(line.angle() - 25);
    painter.drawLine(left);
    painter.drawLine(right);
}

// A dimension: a line with an arrow head at each end.
void DrawDimension(QPainter& painter, const QPointF& from, const QPointF& to)
{
    painter.drawLine(from, to);
    DrawArrowHead(painter, from, to);
    DrawArrowHead(painter, to, from);
}

// The section above the piston: the gas, the head with the chamber cut out
// of its face, the gasket and the block's walls.
void DrawCylinder(QPainter& painter, qreal crown)
{
    const QPen edge(kMetalEdge, 1.2);

    // The gas: chamber, gasket bore and the bore above the piston.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGas);
    painter.drawPath(ChamberPath());
    painter.drawRect(QRectF(QPointF(kGasketBoreLeft, kGasketTop), QPointF(kGasketBoreRight, kDeck)));
    painter.drawRect(QRectF(QPointF(kBoreLeft, kDeck), QPointF(kBoreRight, crown + 1)));

    // The head, with the chamber cut out of its face.
    QPainterPath head;
    head.addRect(QRectF(QPointF(kSectionLeft, kHeadTop), QPointF(kSectionRight, kGasketTop)));
    head = head.subtracted(ChamberPath());
    painter.setPen(edge);
    painter.setBrush(kMetal);
    painter.drawPath(head);
    painter.setBrush(QBrush(kMetalEdge, Qt::BDiagPattern));
    painter.drawPath(head);

    // The gasket either side of its bore.
    painter.setBrush(kGasket);
    painter.drawRect(QRectF(QPointF(kSectionLeft, kGasketTop), QPointF(kGasketBoreLeft, kDeck)));
    painter.drawRect(QRectF(QPointF(kGasketBoreRight, kGasketTop), QPointF(kSectionRight, kDeck)));

    // The block's walls.
    for (const QRectF wall : {QRectF(QPointF(kSectionLeft, kDeck), QPointF(kBoreLeft, kBlockBottom)),
                              QRectF(QPointF(kBoreRight, kDeck), QPointF(kSectionRight, kBlockBottom))}) {
        painter.setBrush(kMetal);
        painter.drawRect(wall);
        painter.setBrush(QBrush(kMetalEdge, Qt::BDiagPattern));
        painter.drawRect(wall);
    }
}

// The piston: crown, ring grooves, wrist pin.
void DrawPiston(QPainter& painter, bool domed, qreal crown)
{
    const QPainterPath piston = CrownPath(domed);
    QLinearGradient shade(kBoreLeft, 0, kBoreRight, 0);
    shade.setColorAt(0.0, kPiston.darker(115));
    shade.setColorAt(0.45, kPiston.lighter(108));
    shade.setColorAt(1.0, kPiston.darker(125));
    painter.setBrush(shade);
    painter.drawPath(piston);
    painter.setPen(QPen(kMetalEdge, 1.0));
    for (qreal groove : {10.0, 17.0, 24.0}) {
        painter.drawLine(QPointF(kBoreLeft + 2, crown + groove), QPointF(kBoreRight - 2, crown + groove));
    }
    painter.setBrush(kMetal);
    painter.drawEllipse(QPointF((kBoreLeft + kBoreRight) / 2, 200.0), 13.0, 13.0);
}

// The measured distances and the numbered markers of the calculator's fields.
void DrawDimensions(QPainter& painter, bool domed, qreal crown)
{
    painter.setPen(QPen(kDimension, 1.1));
    const qreal middle = (kGasketTop + kDeck) / 2;
    DrawDimension(painter, QPointF(kGasketBoreLeft + 1, middle), QPointF(kGasketBoreRight - 1, middle));
    DrawDimension(painter, QPointF(kSectionRight + 6, kGasketTop), QPointF(kSectionRight + 6, kDeck));
    const qreal distanceX = kBoreRight - 10;
    DrawDimension(painter, QPointF(distanceX, kDeck), QPointF(distanceX, crown));
    painter.drawLine(QPointF(distanceX + 2, (kDeck + crown) / 2),
                     QPointF(kSectionRight + 10, (kDeck + crown) / 2 + 4));

    CPistonPicture::DrawMarker(
        painter, QPointF((kGasketBoreLeft + kGasketBoreRight) / 2 - 8, kChamberTop + 18), kMarkerRadius, 1);
    CPistonPicture::DrawMarker(painter, QPointF((kGasketBoreLeft + kGasketBoreRight) / 2 + 22, middle),
                               kMarkerRadius, 2);
    CPistonPicture::DrawMarker(painter, QPointF(kSectionRight + 19, middle - 6), kMarkerRadius, 3);
    CPistonPicture::DrawMarker(painter, QPointF(kSectionRight + 19, (kDeck + crown) / 2 + 13), kMarkerRadius,
                               4);
    if (domed)
        CPistonPicture::DrawMarker(painter, QPointF(kBoreLeft + 17, (kDeck + kDomedCrown) / 2 + 1),
                                   kMarkerRadius, 5);
}

}  // namespace

CPistonPicture::CPistonPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pistonPicture"));
    setAccessibleName(tr("Flattop piston"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CPistonPicture::SetDomed(bool domed)
{
    if (domed == m_domed) return;
    m_domed = domed;
    setAccessibleName(domed ? tr("Piston with dome, dish or valve reliefs") : tr("Flattop piston"));
    update();
}

QSize CPistonPicture::sizeHint() const
{
    // As tall as the measurements beside it.
    const int height = fontMetrics().lineSpacing() * 16;
    return {int(height * kWidth / kHeight), height};
}

QSize CPistonPicture::minimumSizeHint() const
{
    const int height = fontMetrics().lineSpacing() * 10;
    return {int(height * kWidth / kHeight), height};
}

int CPistonPicture::heightForWidth(int width) const
{
    return int(width * kHeight / kWidth);
}

void CPistonPicture::DrawMarker(QPainter& painter, const QPointF& centre, qreal radius, int number)
{
    painter.save();
    painter.setPen(QPen(kDimension, radius * 0.18));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, radius, radius);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(1, int(radius * 1.35)));
    painter.setFont(font);
    painter.setPen(kDimension);
    painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                     Qt::AlignCenter, QString::number(number));
    painter.restore();
}

void CPistonPicture::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = std::min(width() / kWidth, height() / kHeight);
    painter.translate((width() - kWidth * scale) / 2, (height() - kHeight * scale) / 2);
    painter.scale(scale, scale);
    DrawSection(painter);
}

void CPistonPicture::DrawSection(QPainter& painter) const
{
    const qreal crown = m_domed ? kDomedCrown : kFlatCrown;
    DrawCylinder(painter, crown);
    DrawPiston(painter, m_domed, crown);
    DrawDimensions(painter, m_domed, crown);
}

// ---------------------------------------------------------------- CMarkerBadge

CMarkerBadge::CMarkerBadge(int number, QWidget* parent) : QWidget(parent), m_number(number)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(tr("Marker %1").arg(number));
}

QSize CMarkerBadge::sizeHint() const
{
    const int side = fontMetrics().height() + 2;
    return {side, side};
}

void CMarkerBadge::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::min(width(), height()) / 2.0 - 1.0;
    CPistonPicture::DrawMarker(painter, QRectF(rect()).center(), radius, m_number);
}
