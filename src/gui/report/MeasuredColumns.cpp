#include "MeasuredColumns.h"

#include "MeasuredPulls.h"
#include "base/Util.h"

#include <QStringList>

namespace {

constexpr std::size_t kTopRule = 0;
constexpr std::size_t kHeaderRule = 1;
constexpr std::size_t kBottomRule = 2;

ResultsTableLayout::ExtraColumn MakeColumn(const PullComparison& comparison, int series, bool difference,
                                           ResultUnits units)
{
    ResultsTableLayout::ExtraColumn column;
    column.header1 = difference ? QStringLiteral("Diff") : QStringLiteral("Measured");
    column.header2 = series == kSeriesPower ? QStringLiteral("Power") : QStringLiteral("Torque");
    column.units = QStringLiteral("(%1)").arg(QString::fromUtf8(ResultUnitLabel(series, units)));
    const bool has = series == kSeriesPower ? comparison.hasPower : comparison.hasTorque;
    for (int row = 0; row < kResultPointCount; ++row) {
        const PointComparison& point = comparison.points[static_cast<std::size_t>(row)];
        if (!has || !point.covered) {
            column.cells[row] = QStringLiteral("-");
            continue;
        }
        const bool power = series == kSeriesPower;
        if (difference) {
            column.cells[row] = DifferenceText(power ? point.powerDiff : point.torqueDiff, series, units);
        } else {
            const double measured = power ? point.measuredPower : point.measuredTorque;
            column.cells[row] = QString::fromStdString(
                FormatC(ResultTableFormat(series, units), ConvertResult(series, measured, units)));
        }
    }
    return column;
}

}  // namespace

void AddMeasuredColumns(ResultsTableLayout& layout, const CTorqDoc& document, const MeasuredPull& pull,
                        ResultUnits units)
{
    const PullComparison comparison = CompareWithRun(document, pull.pull);
    int x = layout.rightEnd;
    for (int series : {kSeriesPower, kSeriesTorque}) {
        for (bool difference : {false, true}) {
            layout.extraColumns.push_back(MakeColumn(comparison, series, difference, units));
            layout.extraColumns.back().x = x;
            x += layout.columnWidth;
        }
    }
    layout.rightEnd = x;
    for (std::size_t rule : {kTopRule, kHeaderRule, kBottomRule}) {
        if (rule < layout.rules.size()) layout.rules[rule].setP2(QPoint(x, layout.rules[rule].y2()));
    }
    const int bottom = layout.rules.size() > kBottomRule ? layout.rules[kBottomRule].y1()
                                                         : layout.rowY[kResultPointCount - 1];
    layout.notePos = QPoint(layout.titlePos.x(), bottom + layout.charHeight / 2);
    layout.note = pull.Legend() + QStringLiteral("   ") + RmsSummary(comparison, units);
}

QString WithMeasuredColumns(const QString& tsv, const ResultsTableLayout& layout)
{
    if (layout.extraColumns.empty()) return tsv;
    QStringList lines = tsv.split(QLatin1Char('\n'));
    for (const ResultsTableLayout::ExtraColumn& column : layout.extraColumns) {
        if (lines.isEmpty()) break;
        lines[0] += QStringLiteral("\t%1 %2 %3").arg(column.header1, column.header2, column.units);
        for (int row = 0; row < kResultPointCount && row + 1 < lines.size(); ++row)
            lines[row + 1] += QLatin1Char('\t') + column.cells[row];
    }
    return lines.join(QLatin1Char('\n'));
}
