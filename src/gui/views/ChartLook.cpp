#include "ChartLook.h"

#include "ViewFont.h"
#include "report/ChartStyle.h"

#include <QChart>
#include <QLegend>

void ApplyChartLook(QChart& chart)
{
    chart.setFont(SmallViewFont());
    chart.setBackgroundBrush(kChartGrey);
    chart.setBackgroundRoundness(0);
    chart.setPlotAreaBackgroundBrush(Qt::white);
    chart.setPlotAreaBackgroundVisible(true);
    chart.legend()->hide();
}
