#include "AppIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

constexpr int kIconSize = 32;  // drawn at twice the toolbar size

// A dial with a needle: the program's mark.
void DrawGauge(QPainter& p, const QRectF& box)
{
    p.setPen(QPen(QColor(40, 40, 40), box.width() / 16));
    p.setBrush(QColor(250, 250, 245));
    p.drawEllipse(box);
    const QPointF c = box.center();
    const double r = box.width() / 2;
    p.setPen(QPen(QColor(90, 90, 90), box.width() / 32));
    for (int i = 0; i <= 8; ++i) {
        const double a = (225.0 - i * 33.75) * std::numbers::pi / 180.0;
        p.drawLine(QPointF(c.x() + 0.72 * r * std::cos(a), c.y() - 0.72 * r * std::sin(a)),
                   QPointF(c.x() + 0.86 * r * std::cos(a), c.y() - 0.86 * r * std::sin(a)));
    }
    const double needle = 20.0 * std::numbers::pi / 180.0;
    p.setPen(QPen(QColor(200, 0, 0), box.width() / 14, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 0.7 * r * std::cos(needle), c.y() - 0.7 * r * std::sin(needle)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(c, r / 8, r / 8);
}

void DrawPage(QPainter& p)
{
    QPainterPath page;
    page.moveTo(7, 3);
    page.lineTo(19, 3);
    page.lineTo(26, 10);
    page.lineTo(26, 29);
    page.lineTo(7, 29);
    page.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(19, 3), QPointF(19, 10), QPointF(26, 10)}));
}

void DrawFolder(QPainter& p)
{
    p.setPen(QPen(QColor(120, 90, 20), 1.5));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(3, 9, 24, 18));
    p.drawRect(QRectF(3, 6, 10, 4));
    p.setBrush(QColor(250, 220, 120));
    p.drawPolygon(QPolygonF({QPointF(7, 14), QPointF(30, 14), QPointF(27, 27), QPointF(3, 27)}));
}

void DrawDisk(QPainter& p)
{
    p.setPen(QPen(QColor(20, 30, 80), 1.5));
    p.setBrush(QColor(50, 80, 170));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(8, 18, 16, 10));
}

void DrawPrinter(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(170, 170, 175));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setBrush(QColor(0, 170, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(24, 15, 3, 3));
}

void DrawRun(QPainter& p)
{
    p.setPen(QPen(QColor(0, 90, 0), 1.5));
    p.setBrush(QColor(30, 170, 40));
    p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(28, 16), QPointF(8, 28)}));
}

}  // namespace

QIcon MakeToolIcon(ToolIcon icon)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
        case ToolIcon::New:
            DrawPage(p);
            break;
        case ToolIcon::Open:
            DrawFolder(p);
            break;
        case ToolIcon::Save:
            DrawDisk(p);
            break;
        case ToolIcon::Print:
            DrawPrinter(p);
            break;
        case ToolIcon::Run:
            DrawRun(p);
            break;
    }
    return QIcon(pixmap);
}

QIcon MakeAppIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawGauge(p, QRectF(3, 3, 58, 58));
    return QIcon(pixmap);
}

QPixmap MakeSplashPixmap()
{
    QPixmap pixmap(480, 270);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, pixmap.height());
    background.setColorAt(0, QColor(30, 40, 60));
    background.setColorAt(1, QColor(70, 85, 110));
    p.fillRect(pixmap.rect(), background);
    DrawGauge(p, QRectF(28, 60, 130, 130));

    p.setPen(Qt::white);
    QFont name = p.font();
    name.setPointSize(34);
    name.setBold(true);
    p.setFont(name);
    p.drawText(QRectF(180, 60, 290, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Torqwell"));
    QFont line = p.font();
    line.setPointSize(12);
    line.setBold(false);
    p.setFont(line);
    p.setPen(QColor(220, 225, 235));
    p.drawText(QRectF(182, 120, 290, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Engine dynamometer simulation"));
    p.drawText(QRectF(182, 146, 290, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version 3.10"));
    line.setPointSize(10);
    p.setFont(line);
    p.drawText(QRectF(0, 225, pixmap.width() - 20, 30), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Parvane Software"));
    return pixmap;
}
