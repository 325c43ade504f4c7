#include "views/EngineFormGroup.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// The two group pictures, made once for every form.
QImage MakeStatusImage(bool complete)
{
    constexpr int kSize = 14;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(complete ? QColor(0, 140, 0) : QColor(200, 30, 30));
    painter.drawEllipse(QRectF(0.5, 0.5, kSize - 1, kSize - 1));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (complete) {
        QPainterPath tick(QPointF(3.5, 7.5));
        tick.lineTo(6.0, 10.0);
        tick.lineTo(10.5, 4.0);
        painter.drawPath(tick);
    } else {
        painter.drawLine(QPointF(4.5, 4.5), QPointF(9.5, 9.5));
        painter.drawLine(QPointF(9.5, 4.5), QPointF(4.5, 9.5));
    }
    return image;
}

const QImage& StatusImage(bool complete)
{
    static const QImage images[2] = {MakeStatusImage(false), MakeStatusImage(true)};
    return images[complete ? 1 : 0];
}

}  // namespace

CEngineFormGroup::CEngineFormGroup(const QString& title, QWidget* parent) : QWidget(parent), m_title(title)
{
    setAccessibleName(title.trimmed());
    setAccessibleDescription(QStringLiteral("incomplete"));
    UpdateMargins();
}

int CEngineFormGroup::TitleHeight() const
{
    QFont bold = font();
    bold.setBold(true);
    return std::max(QFontMetrics(bold).height(), StatusImage(true).height()) + 2;
}

void CEngineFormGroup::UpdateMargins()
{
    setContentsMargins(8, TitleHeight() + 2, 8, 6);
}

void CEngineFormGroup::SetComplete(bool complete)
{
    if (complete == m_complete) return;
    m_complete = complete;
    setAccessibleDescription(complete ? QStringLiteral("complete") : QStringLiteral("incomplete"));
    update(QRect(0, 0, width(), TitleHeight()));
}

void CEngineFormGroup::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int titleHeight = TitleHeight();
    // An etched frame whose top edge runs through the middle of the title band.
    const QRect frame = rect().adjusted(0, titleHeight / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));

    QFont bold = font();
    bold.setBold(true);
    const QString text = m_title.trimmed();
    const QImage& image = StatusImage(m_complete);
    const int left = 8;
    const int textLeft = left + image.width() + 4;
    const QRect band(left - 3, 0, textLeft - left + QFontMetrics(bold).horizontalAdvance(text) + 7,
                     titleHeight);
    painter.fillRect(band, palette().color(QPalette::Window));
    painter.drawImage(QPoint(left, (titleHeight - image.height()) / 2), image);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(textLeft, 0, band.right() - textLeft, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
}

void CEngineFormGroup::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) UpdateMargins();
}
