#include "MeasuredCurves.h"

#include "MeasuredPulls.h"
#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <array>

namespace {

constexpr std::array<MarkerShape, 2> kPullMarkers{MarkerShape::Square, MarkerShape::Cross};

bool IsPowerOrTorque(int series)
{
    return series == kSeriesPower || series == kSeriesTorque;
}

// The y axes that show power or torque, with their series.
std::vector<std::pair<bool, int>> MeasuredAxes(const ChartOptions& options)
{
    std::vector<std::pair<bool, int>> axes;
    if (IsPowerOrTorque(options.axes.y1.series)) axes.emplace_back(false, options.axes.y1.series);
    if (IsPowerOrTorque(options.axes.y2.series)) axes.emplace_back(true, options.axes.y2.series);
    return axes;
}

QString Unit(int series, ResultUnits units)
{
    return QString::fromUtf8(ResultUnitLabel(series, units));
}

// "2500 rpm  +4.2 hp" per covered speed, then the root-mean-square.
QString DifferencesTip(const PullComparison& comparison, const CTorqDoc& own, int series, ResultUnits units)
{
    if (!own.HasResults()) return QStringLiteral("No differences: the engine has no results yet.");
    if (comparison.covered == 0) return QStringLiteral("The pull covers none of the model's speeds.");
    const bool power = series == kSeriesPower;
    QStringList lines{QStringLiteral("Model - measured:")};
    for (int i = 0; i < kResultPointCount; ++i) {
        const PointComparison& point = comparison.points[static_cast<std::size_t>(i)];
        if (!point.covered) continue;
        lines << QStringLiteral("%1 rpm  %2 %3")
                     .arg(double(own.GetResult(kSeriesEngineSpeed, i)), 0, 'f', 0)
                     .arg(DifferenceText(power ? point.powerDiff : point.torqueDiff, series, units),
                          Unit(series, units));
    }
    const double rms = power ? comparison.rmsPowerHp : comparison.rmsTorqueLbFt;
    lines << QStringLiteral("RMS difference %1 %2 over %3 speeds (power and torque: %4 % of peak)")
                 .arg(ConvertResult(series, rms, units), 0, 'f', 1)
                 .arg(Unit(series, units))
                 .arg(comparison.covered)
                 .arg(comparison.rmsPercent, 0, 'f', 1);
    return lines.join(QLatin1Char('\n'));
}

void AddPullCurves(ChartPicture& picture, const MeasuredPull& measured, int pullIndex, int set,
                   const CTorqDoc& own, const ChartOptions& options)
{
    const DynoPull& pull = measured.pull;
    const PullComparison comparison = CompareWithRun(own, pull);
    for (const auto& [y2, series] : MeasuredAxes(options)) {
        const bool power = series == kSeriesPower;
        if (power ? !pull.hasPower : !pull.hasTorque) continue;
        ChartCurve curve;
        curve.set = set;
        curve.y2 = y2;
        curve.legend = measured.Legend();
        curve.engineName = measured.path;
        curve.style = MeasuredCurveStyle(pullIndex, y2, options.colourEachEngine);
        curve.measured = true;
        for (const PullRow& row : pull.rows) {
            curve.points.append(
                QPointF(ConvertResult(kSeriesEngineSpeed, row.rpm, picture.units),
                        ConvertResult(series, power ? row.powerHp : row.torqueLbFt, picture.units)));
        }
        curve.markerEvery = std::max<int>(
            1, static_cast<int>((pull.rows.size() + kMostMarkersPerPull - 1) / kMostMarkersPerPull));
        curve.tip = DifferencesTip(comparison, own, series, picture.units);
        picture.curves.push_back(curve);
    }
}

// "Published 239 hp @ 4100 rpm; the model 245 hp @ 4000 rpm (+2.5 %)".
QString PublishedTip(const PublishedMarks& marks, const CTorqDoc& own, int series, double value, double rpm,
                     ResultUnits units)
{
    QString tip = QStringLiteral("Published %1 %2 @ %3 rpm")
                      .arg(ConvertResult(series, value, units), 0, 'f', 0)
                      .arg(Unit(series, units))
                      .arg(rpm, 0, 'f', 0);
    if (own.HasResults()) {
        const ResultPeak peak = FindResultPeak(own, series);
        tip += QStringLiteral("; the model %1 %2 @ %3 rpm (%4 %)")
                   .arg(ConvertResult(series, peak.value, units), 0, 'f', 0)
                   .arg(Unit(series, units))
                   .arg(double(peak.rpm), 0, 'f', 0)
                   .arg(QString::asprintf("%+.1f", 100.0 * (double(peak.value) - value) / value));
    }
    return tip + QStringLiteral("\nSource: ") + marks.source;
}

void AddPublishedMarks(ChartPicture& picture, const PublishedMarks& marks, int set, const CTorqDoc& own,
                       const ChartOptions& options)
{
    for (const auto& [y2, series] : MeasuredAxes(options)) {
        const bool power = series == kSeriesPower;
        const std::optional<double>& value = power ? marks.peaks.power : marks.peaks.torque;
        const std::optional<double>& rpm = power ? marks.peaks.powerRpm : marks.peaks.torqueRpm;
        if (!value || !rpm) continue;
        ChartCurve curve;
        curve.set = set;
        curve.y2 = y2;
        curve.legend = marks.Legend();
        curve.engineName = marks.engineName;
        curve.style = PublishedMarkStyle(y2, options.colourEachEngine);
        curve.measured = true;
        curve.points.append(QPointF(ConvertResult(kSeriesEngineSpeed, *rpm, picture.units),
                                    ConvertResult(series, *value, picture.units)));
        curve.tip = PublishedTip(marks, own, series, *value, *rpm, picture.units);
        picture.curves.push_back(curve);
    }
}

}  // namespace

CurveStyle MeasuredCurveStyle(int pull, bool y2, bool colourEachEngine)
{
    // The colour of the engine's own curve on that axis; the line dotted
    // (dash-dotted for the second axis, whose engine curve may be dashed).
    CurveStyle style = CurveStyleOf(0, y2, colourEachEngine);
    style.penStyle = y2 ? Qt::DashDotLine : Qt::DotLine;
    style.marker = kPullMarkers[static_cast<std::size_t>(pull) % kPullMarkers.size()];
    style.markerColour = style.colour;
    return style;
}

CurveStyle PublishedMarkStyle(bool y2, bool colourEachEngine)
{
    CurveStyle style = CurveStyleOf(0, y2, colourEachEngine);
    style.penStyle = Qt::NoPen;
    style.marker = MarkerShape::Ring;
    style.markerColour = style.colour;
    return style;
}

void AddMeasuredCurves(ChartPicture& picture, const CMeasuredPulls& measured, const CTorqDoc& own,
                       const ChartOptions& options, int firstSet)
{
    if (options.axes.x.series != kSeriesEngineSpeed) return;
    int set = firstSet;
    const std::vector<MeasuredPull>& pulls = measured.Pulls();
    for (std::size_t i = 0; i < pulls.size(); ++i, ++set)
        AddPullCurves(picture, pulls[i], static_cast<int>(i), set, own, options);
    if (measured.Published()) AddPublishedMarks(picture, *measured.Published(), set, own, options);
}

ChartPicture BuildMeasuredChartPicture(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                                       const CMeasuredPulls* measured)
{
    if (measured == nullptr || engines.empty()) return BuildChartPicture(engines, options);
    return BuildChartPicture(engines, options, [&](ChartPicture& picture) {
        AddMeasuredCurves(picture, *measured, *engines.front().document, options,
                          static_cast<int>(engines.size()));
    });
}
