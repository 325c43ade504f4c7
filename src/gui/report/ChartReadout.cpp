#include "ChartReadout.h"

#include "ChartDifference.h"
#include "base/ErrCode.h"
#include "base/Util.h"
#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Speed, power and torque always; then the axes' other series, once each.
std::vector<int> ReadoutSeries(const ChartOptions& options)
{
    std::vector<int> series{kSeriesEngineSpeed, kSeriesPower, kSeriesTorque};
    for (int axis : {options.axes.x.series, options.axes.y1.series, options.axes.y2.series}) {
        if (axis == 0 || std::find(series.begin(), series.end(), axis) != series.end()) continue;
        series.push_back(axis);
    }
    return series;
}

double Shown(const CTorqDoc& document, int series, int point, ResultUnits units, const ResultCorrection& day)
{
    return ConvertResult(series, CorrectResult(series, document.GetResult(series, point), day), units);
}

QString Figure(int series, double value, ResultUnits units)
{
    const QString number = QString::fromStdString(FormatC(ResultTableFormat(series, units), value));
    const QString unit = QString::fromUtf8(ResultUnitLabel(series, units));
    // Speed, power and torque name themselves by their units; the others by their name too.
    if (series == kSeriesEngineSpeed || series == kSeriesPower || series == kSeriesTorque)
        return number + QLatin1Char(' ') + unit;
    return QString::fromLatin1(GetChartSeries(series).menuName) + QLatin1Char(' ') + number +
           QLatin1Char(' ') + unit;
}

// "+12 hp (+3.6 %)": the difference in the series' units, in the table's
// format with its sign, and in per cent where there is one.
QString DifferenceFigure(int series, double value, double baseline, ResultUnits units)
{
    const double change = DifferenceInUnits(value, baseline);
    QString format = QString::fromLatin1(ResultTableFormat(series, units));
    format.insert(1, QLatin1Char('+'));
    QString text = QString::fromStdString(FormatC(format.toLatin1().constData(), change)) + QLatin1Char(' ') +
                   QString::fromUtf8(ResultUnitLabel(series, units));
    if (const std::optional<double> percent = DifferenceInPercent(value, baseline))
        text += QString::fromStdString(FormatC(" (%+.1f %%)", *percent));
    return text;
}

}  // namespace

QString ChartReadout::Text() const
{
    QStringList rows;
    for (const ChartReadoutLine& line : lines) {
        QString row = line.engineName + QStringLiteral(": ") + line.figures.join(QStringLiteral(", "));
        if (!line.differences.isEmpty())
            row += QStringLiteral("; ") + line.differences.join(QStringLiteral(", "));
        rows << row;
    }
    return rows.join(QLatin1Char('\n'));
}

ChartReadout BuildChartReadout(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                               int point)
{
    ChartReadout readout;
    if (engines.empty() || point < 0 || point >= kResultPointCount) return readout;
    const CTorqDoc& own = *engines.front().document;
    const ResultUnits units = ShownResultUnits(options.resultUnits, own);
    const ResultCorrection& day = options.correction;
    readout.point = point;
    readout.heading =
        QString::fromStdString(FormatC("%.0f rpm", double(own.GetResult(kSeriesEngineSpeed, point))));
    const int baselineSet = DifferenceBaselineSet(engines, options);
    for (std::size_t set = 0; set < engines.size(); ++set) {
        const CTorqDoc& document = *engines[set].document;
        ChartReadoutLine line;
        line.engineName = engines[set].name;
        line.style = CurveStyleOf(static_cast<int>(set), false, options.colourEachEngine);
        for (int series : ReadoutSeries(options))
            line.figures << Figure(series, Shown(document, series, point, units, day), units);
        if (baselineSet >= 0 && static_cast<int>(set) != baselineSet) {
            const CTorqDoc& baseline = *engines[std::size_t(baselineSet)].document;
            for (int series : {options.axes.y1.series, options.axes.y2.series}) {
                if (series == 0) continue;
                line.differences << DifferenceFigure(series, Shown(document, series, point, units, day),
                                                     Shown(baseline, series, point, units, day), units);
            }
        }
        readout.lines.push_back(line);
    }
    return readout;
}

int NearestSpeedPoint(const ChartPicture& picture, const std::vector<QList<QPointF>>& placedCurves,
                      QPointF at, bool acrossOnly)
{
    TORQ_ASSERT(placedCurves.size() == picture.curves.size());
    int nearest = -1;
    double best = std::numeric_limits<double>::max();
    for (std::size_t c = 0; c < picture.curves.size(); ++c) {
        const ChartCurve& curve = picture.curves[c];
        const QList<QPointF>& placed = placedCurves[c];
        for (qsizetype i = 0; i < placed.size() && i < curve.speedPoints.size(); ++i) {
            const QPointF offset = placed[i] - at;
            const double distance = acrossOnly ? std::abs(offset.x()) : std::hypot(offset.x(), offset.y());
            if (distance < best) {
                best = distance;
                nearest = curve.speedPoints[i];
            }
        }
    }
    return nearest;
}
