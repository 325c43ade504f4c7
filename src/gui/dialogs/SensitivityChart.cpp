#include "SensitivityChart.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarHeight = 18;
constexpr int kBarGap = 4;
constexpr int kMargin = 8;
constexpr int kValueWidth = 70;  // room for the value beyond a bar's end
const QColor kGainColor(46, 139, 87);
const QColor kLossColor(205, 92, 92);

}  // namespace

CSensitivityChart::CSensitivityChart(QWidget* parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMouseTracking(true);
}

void CSensitivityChart::SetBars(std::vector<Bar> bars, const QString& unit)
{
    m_bars = std::move(bars);
    m_unit = unit;
    setMinimumHeight(sizeHint().height());
    updateGeometry();
    update();
}

QSize CSensitivityChart::sizeHint() const
{
    return {640, 2 * kMargin + 20 + static_cast<int>(m_bars.size()) * (kBarHeight + kBarGap)};
}

int CSensitivityChart::LabelWidth() const
{
    int width = 0;
    for (const Bar& bar : m_bars) width = std::max(width, fontMetrics().horizontalAdvance(bar.label));
    return std::min(width + kMargin, this->width() / 2);
}

double CSensitivityChart::Scale() const
{
    double most = 0.0;
    double least = 0.0;
    for (const Bar& bar : m_bars) {
        most = std::max(most, bar.value);
        least = std::min(least, bar.value);
    }
    const int room = width() - LabelWidth() - 2 * kMargin - 2 * kValueWidth;
    const double span = most - least;
    return span > 0.0 ? std::max(room, 10) / span : 0.0;
}

int CSensitivityChart::ZeroX() const
{
    double least = 0.0;
    for (const Bar& bar : m_bars) least = std::min(least, bar.value);
    return LabelWidth() + kMargin + kValueWidth + static_cast<int>(std::lround(-least * Scale()));
}

QRect CSensitivityChart::BarRect(int bar) const
{
    const int top = kMargin + 20 + bar * (kBarHeight + kBarGap);
    const int end = ZeroX() + static_cast<int>(std::lround(m_bars[std::size_t(bar)].value * Scale()));
    const int left = std::min(ZeroX(), end);
    return {left, top, std::max(std::abs(end - ZeroX()), 1), kBarHeight};
}

int CSensitivityChart::BarAt(QPoint point) const
{
    for (int bar = 0; bar < BarCount(); ++bar) {
        const QRect row(0, BarRect(bar).top(), width(), kBarHeight);
        if (row.contains(point)) return bar;
    }
    return -1;
}

void CSensitivityChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Gain (%1) - click a bar to open or apply the change").arg(m_unit));
    for (int bar = 0; bar < BarCount(); ++bar) {
        const Bar& entry = m_bars[std::size_t(bar)];
        const QRect rect = BarRect(bar);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(kMargin, rect.top(), LabelWidth() - kMargin, kBarHeight),
                         Qt::AlignRight | Qt::AlignVCenter, entry.label);
        painter.fillRect(rect, entry.value >= 0.0 ? kGainColor : kLossColor);
        const bool gain = entry.value >= 0.0;
        const QRect valueRect =
            gain ? QRect(rect.right() + 4, rect.top(), kValueWidth, kBarHeight)
                 : QRect(rect.left() - kValueWidth - 4, rect.top(), kValueWidth, kBarHeight);
        painter.drawText(valueRect, (gain ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                         entry.valueText);
    }
    if (BarCount() > 0) {
        painter.setPen(QPen(Qt::darkGray, 1.0));
        painter.drawLine(ZeroX(), kMargin + 20, ZeroX(), BarRect(BarCount() - 1).bottom());
    }
}

void CSensitivityChart::mousePressEvent(QMouseEvent* event)
{
    const int bar = BarAt(event->position().toPoint());
    if (bar >= 0) emit BarClicked(bar, event->globalPosition().toPoint());
}
