#include "ChartPicture.h"

#include "ChartDifference.h"
#include "base/ErrCode.h"
#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kTargetIntervals = 6;

// 1, 2 or 5 times a power of ten, at least the rough interval.
double NiceInterval(double rough)
{
    if (!(rough > 0) || !std::isfinite(rough)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough * 0.999) return factor * power;
    }
    return 10 * power;
}

struct Extent {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    void Add(double value)
    {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    bool IsEmpty() const { return low > high; }
};

// An automatic axis runs from a tick below the lowest value to a tick above
// the highest. A flat line (all zeros before the first run) still gets a
// readable axis, and an axis of positive values starts at 0 when that is near.
void FitAutoRange(ChartAxisPicture& axis, Extent extent)
{
    if (extent.IsEmpty()) extent = Extent{0, 0};
    if (extent.high - extent.low < 1e-6) {
        const double pad = std::abs(extent.high) > 1e-6 ? std::abs(extent.high) * 0.1 : 1.0;
        extent.low = extent.low >= 0 && extent.low - pad < 0 ? 0 : extent.low - pad;
        extent.high += pad;
    }
    if (extent.low > 0 && extent.low < extent.high / 2) extent.low = 0;
    const double interval = NiceInterval((extent.high - extent.low) / kTargetIntervals);
    axis.minimum = std::floor(extent.low / interval) * interval;
    axis.maximum = std::ceil(extent.high / interval) * interval;
    if (axis.maximum <= axis.minimum) axis.maximum = axis.minimum + interval;
    axis.tickInterval = interval;
    axis.fixed = false;
}

void SetFixedRange(ChartAxisPicture& axis, const ChartAxisDescription& description, ResultUnits units)
{
    // The fixed ranges are the model's; the axis shows them in the units shown.
    axis.minimum = ConvertResult(description.series, description.minimum, units);
    axis.maximum = ConvertResult(description.series, description.maximum, units);
    axis.tickInterval = NiceInterval((axis.maximum - axis.minimum) / kTargetIntervals);
    axis.fixed = true;
}

// "Power (HP)", or "Power (HP, SAE J1349)" for a figure corrected to a day.
QString SeriesTitle(int series, ResultUnits units, const ResultCorrection& correction)
{
    QString title = QString::fromStdString(ChartSeriesTitle(series, units));
    if (correction.IsModelDay() || series == 0 || !IsCorrectedSeries(series)) return title;
    const qsizetype close = title.lastIndexOf(QLatin1Char(')'));
    return title.insert(close,
                        QStringLiteral(", ") + QLatin1String(CorrectionStandardName(correction.standard)));
}

ChartAxisPicture AxisPicture(const ChartAxisDescription& description, const ChartPicture& picture,
                             const std::vector<ChartCurve>& curves, bool isX, bool y2)
{
    const ResultUnits units = picture.units;
    ChartAxisPicture axis;
    axis.title = SeriesTitle(description.series, units, picture.correction);
    axis.shortTitle =
        description.series == 0 ? QString() : QString::fromUtf8(ResultUnitLabel(description.series, units));
    if (!isX && picture.differenceBaselineSet >= 0) {
        // A difference has no fixed range: the axis fits the differences.
        axis.title =
            DifferenceAxisTitle(description.series, units,
                                BaselineName(curves, picture.differenceBaselineSet), picture.difference);
        axis.shortTitle = DifferenceShortTitle(description.series, units, picture.difference);
    } else if (description.rangeKind != kAutoRange) {
        SetFixedRange(axis, description, units);
        return axis;
    }
    Extent extent;
    for (const ChartCurve& curve : curves) {
        if (!isX && curve.y2 != y2) continue;
        for (const QPointF& point : curve.points) extent.Add(isX ? point.x() : point.y());
    }
    FitAutoRange(axis, extent);
    return axis;
}

// A result as shown: on the day, in the units.
double Shown(const CTorqDoc& document, int series, int point, ResultUnits units, const ResultCorrection& day)
{
    return ConvertResult(series, CorrectResult(series, document.GetResult(series, point), day), units);
}

ChartCurve MakeCurve(const ChartEngine& engine, int set, bool y2, const QString& title,
                     const ChartOptions& options, const ChartPicture& picture)
{
    const int xSeries = options.axes.x.series;
    const int ySeries = y2 ? options.axes.y2.series : options.axes.y1.series;
    ChartCurve curve{
        set,
        y2,
        title + QLatin1Char('-') + engine.name,
        engine.name,
        CurveStyleOf(engine.styleSlot >= 0 ? engine.styleSlot : set, y2, options.colourEachEngine),
        {},
        {}};
    curve.points.reserve(kResultPointCount);
    for (int i = 0; i < kResultPointCount; ++i) {
        curve.points.append(QPointF(Shown(*engine.document, xSeries, i, picture.units, picture.correction),
                                    Shown(*engine.document, ySeries, i, picture.units, picture.correction)));
        curve.speedPoints.append(i);
    }
    return curve;
}

// A point outside the fixed ranges, moved onto the edge it crossed; false
// for a point inside. The y edge wins where both are crossed.
bool ClipToPlot(const ChartAxisPicture& x, const ChartAxisPicture& y, QPointF point, QPointF& at,
                ClipDirection& direction)
{
    at = QPointF(std::clamp(point.x(), x.minimum, x.maximum), std::clamp(point.y(), y.minimum, y.maximum));
    if (y.fixed && point.y() > y.maximum) {
        direction = ClipDirection::Up;
    } else if (y.fixed && point.y() < y.minimum) {
        direction = ClipDirection::Down;
    } else if (x.fixed && point.x() > x.maximum) {
        direction = ClipDirection::Right;
    } else if (x.fixed && point.x() < x.minimum) {
        direction = ClipDirection::Left;
    } else {
        return false;
    }
    return true;
}

QString FormatLimit(double value)
{
    return QString::number(value, 'g', 4);
}

// "Volumetric Eff. above 75" for the axis whose range a curve left.
QString ClipReason(const ChartAxisPicture& axis, int series, ClipDirection direction, ResultUnits units)
{
    const bool high = direction == ClipDirection::Up || direction == ClipDirection::Right;
    return QString::fromLatin1(GetChartSeries(series).menuName) +
           (high ? QStringLiteral(" above ") : QStringLiteral(" below ")) +
           FormatLimit(high ? axis.maximum : axis.minimum) + QLatin1Char(' ') +
           QString::fromUtf8(ResultUnitLabel(series, units));
}

void AddClipMarks(ChartPicture& picture, const ChartOptions& options)
{
    QStringList reasons;
    for (const ChartCurve& curve : picture.curves) {
        const ChartAxisPicture& y = picture.AxisOf(curve.y2);
        for (const QPointF& point : curve.points) {
            ChartClipMark mark;
            if (!ClipToPlot(picture.x, y, point, mark.at, mark.direction)) continue;
            mark.set = curve.set;
            mark.y2 = curve.y2;
            mark.colour = curve.style.colour;
            picture.clipMarks.push_back(mark);
            const bool alongY = mark.direction == ClipDirection::Up || mark.direction == ClipDirection::Down;
            const int series =
                alongY ? (curve.y2 ? options.axes.y2.series : options.axes.y1.series) : options.axes.x.series;
            const QString reason = ClipReason(alongY ? y : picture.x, series, mark.direction, picture.units);
            if (!reasons.contains(reason)) reasons << reason;
        }
    }
    if (!reasons.isEmpty()) {
        picture.clipNote = QStringLiteral("Clipped: %1 (marked at the edge). Auto-Range shows every point.")
                               .arg(reasons.join(QStringLiteral(", ")));
    }
}

// Labels at the own engine's peak power and peak torque, where a y axis shows them.
void AddPeakLabels(ChartPicture& picture, const CTorqDoc& own, const ChartOptions& options)
{
    if (!own.HasResults() || picture.differenceBaselineSet >= 0) return;
    for (const ChartCurve& curve : picture.curves) {
        if (curve.set != 0) continue;
        const int series = curve.y2 ? options.axes.y2.series : options.axes.y1.series;
        if (series != kSeriesPower && series != kSeriesTorque) continue;
        const ResultPeak peak = FindResultPeak(own, series);
        const QPointF point = curve.points[peak.point];
        ChartPeakLabel label;
        label.y2 = curve.y2;
        ClipDirection ignored;
        if (!ClipToPlot(picture.x, picture.AxisOf(curve.y2), point, label.at, ignored)) label.at = point;
        label.text = QString::fromStdString(FormatResultPeak(own, series, picture.units, picture.correction));
        label.colour = curve.style.colour;
        picture.peaks.push_back(label);
    }
}

}  // namespace

double TickIntervalFor(double span, double length, double minSpacing)
{
    if (!(span > 0)) return 1;
    double rough = span / kTargetIntervals;
    if (length > 0 && minSpacing > 0) rough = std::max(rough, span * minSpacing / length);
    return NiceInterval(rough);
}

ChartPicture BuildChartPicture(const std::vector<ChartEngine>& engines, const ChartOptions& options,
                               const ChartCurveAdder& addCurves)
{
    TORQ_ASSERT(!engines.empty() && engines.size() <= std::size_t(kChartEngineCount));
    TORQ_ASSERT(engines.front().document != nullptr);
    ChartPicture picture;
    const CTorqDoc& own = *engines.front().document;
    picture.units = ShownResultUnits(options.resultUnits, own);
    picture.correction = options.correction;
    picture.dayNote =
        QString::fromStdString(DescribeCorrection(options.correction, own.GetUnitSystem() == kMetricUnits));
    const ChartAxes& axes = options.axes;
    const QString y1Title = SeriesTitle(axes.y1.series, picture.units, picture.correction);
    const QString y2Title = SeriesTitle(axes.y2.series, picture.units, picture.correction);
    for (std::size_t set = 0; set < engines.size(); ++set) {
        const ChartEngine& engine = engines[set];
        TORQ_ASSERT(engine.document != nullptr);
        const int index = static_cast<int>(set);
        picture.curves.push_back(MakeCurve(engine, index, false, y1Title, options, picture));
        if (axes.y2.series == 0) continue;
        picture.curves.push_back(MakeCurve(engine, index, true, y2Title, options, picture));
    }
    picture.differenceBaselineSet = DifferenceBaselineSet(engines, options);
    if (picture.differenceBaselineSet >= 0) {
        picture.difference = options.difference;
        const QString baseline = engines[std::size_t(picture.differenceBaselineSet)].name;
        MakeDifferenceCurves(picture.curves, picture.differenceBaselineSet, options.difference,
                             DifferenceAxisTitle(axes.y1.series, picture.units, baseline, options.difference),
                             axes.y2.series == 0 ? QString()
                                                 : DifferenceAxisTitle(axes.y2.series, picture.units,
                                                                       baseline, options.difference));
    }
    if (addCurves) addCurves(picture);
    picture.x = AxisPicture(axes.x, picture, picture.curves, true, false);
    picture.y1 = AxisPicture(axes.y1, picture, picture.curves, false, false);
    if (axes.y2.series != 0) {
        picture.y2 = AxisPicture(axes.y2, picture, picture.curves, false, true);
    } else {
        picture.y2.visible = false;
    }
    AddClipMarks(picture, options);
    AddPeakLabels(picture, own, options);
    return picture;
}
