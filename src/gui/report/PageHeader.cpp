#include "PageHeader.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kHeaderPoints = 10.0;
constexpr double kPointsPerInch = 72.0;

}  // namespace

QString TodayText()
{
    return QDate::currentDate().toString(Qt::ISODate);
}

QPageSize::PageSizeId LocalePaperSize(const QLocale& locale)
{
    const QLocale::Territory territory = locale.territory();
    return territory == QLocale::UnitedStates || territory == QLocale::Canada ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

QFont ReportFont(double pixels, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);  // any sans face where Arial is missing
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

double DrawPageHeader(QPainter& painter, const QRectF& paper, double unitsPerInch, const PageHeaderText& text)
{
    const QFont font = ReportFont(kHeaderPoints / kPointsPerInch * unitsPerInch);
    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double ruleY = paper.top() + unitsPerInch / 2;
    const double left = paper.left() + unitsPerInch / 2;
    const double right = paper.right() - unitsPerInch / 2;
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(left, ruleY), QPointF(right, ruleY));

    const double baseline = ruleY - metrics.height() * 5 / 4;
    painter.drawText(QPointF(left, baseline), text.title);
    const QString product = QStringLiteral("%1  Version %2")
                                .arg(QLatin1String(kReportProductName), QLatin1String(kReportProductVersion));
    painter.drawText(QPointF((left + right - metrics.horizontalAdvance(product)) / 2, baseline), product);
    const QString pageText = text.date + QString::asprintf("   Page %d of %d", text.page, text.pageCount);
    painter.drawText(QPointF(right - metrics.horizontalAdvance(pageText), baseline), pageText);
    painter.restore();
    return ruleY;
}
