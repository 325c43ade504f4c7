#include "ChartLook.h"

#include "ViewFont.h"
#include "report/ChartStyle.h"

#include <QChart>
#include <QLegend>
#include <QValueAxis>

void ApplyChartLook(QChart& chart)
{
    chart.setFont(SmallViewFont());
    chart.setBackgroundBrush(kChartGrey);
    chart.setBackgroundRoundness(0);
    chart.setPlotAreaBackgroundBrush(Qt::white);
    chart.setPlotAreaBackgroundVisible(true);
    chart.legend()->hide();
}

QValueAxis* MakeValueAxis()
{
    auto* axis = new QValueAxis;
    axis->setLabelsFont(SmallViewFont());
    QFont titleFont = SmallViewFont();
    titleFont.setBold(true);
    axis->setTitleFont(titleFont);
    axis->setLabelFormat(QStringLiteral("%g"));
    return axis;
}
