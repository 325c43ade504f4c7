#include "ChartDifference.h"

#include "model/TorqDoc.h"

int DifferenceBaselineSet(const std::vector<ChartEngine>& engines, const ChartOptions& options)
{
    if (options.difference == DifferenceKind::None || options.differenceBaseline == 0) return -1;
    for (std::size_t set = 0; set < engines.size(); ++set) {
        const CTorqDoc* document = engines[set].document;
        if (document != nullptr && document->GetDocumentNumber() == options.differenceBaseline)
            return static_cast<int>(set);
    }
    return -1;
}

namespace {

const ChartCurve* BaselineCurve(const std::vector<ChartCurve>& curves, int baselineSet, bool y2)
{
    for (const ChartCurve& curve : curves) {
        if (curve.set == baselineSet && curve.y2 == y2) return &curve;
    }
    return nullptr;
}

// The baseline's y value at an engine-speed point.
double BaselineAt(const ChartCurve& baseline, int speedPoint)
{
    return baseline.points[baseline.speedPoints.indexOf(speedPoint)].y();
}

}  // namespace

void MakeDifferenceCurves(std::vector<ChartCurve>& curves, int baselineSet, DifferenceKind kind,
                          const QString& y1Title, const QString& y2Title)
{
    // Worked out on copies of the baselines: their own curves change too.
    const ChartCurve* y1 = BaselineCurve(curves, baselineSet, false);
    const ChartCurve* y2 = BaselineCurve(curves, baselineSet, true);
    const ChartCurve baselineY1 = y1 != nullptr ? *y1 : ChartCurve{};
    const ChartCurve baselineY2 = y2 != nullptr ? *y2 : ChartCurve{};
    for (ChartCurve& curve : curves) {
        const ChartCurve& baseline = curve.y2 ? baselineY2 : baselineY1;
        QList<QPointF> points;
        QList<int> speedPoints;
        for (qsizetype i = 0; i < curve.points.size(); ++i) {
            const int speedPoint = curve.speedPoints[i];
            const std::optional<double> difference =
                Difference(kind, curve.points[i].y(), BaselineAt(baseline, speedPoint));
            if (!difference) continue;
            points.append(QPointF(curve.points[i].x(), *difference));
            speedPoints.append(speedPoint);
        }
        curve.points = points;
        curve.speedPoints = speedPoints;
        curve.legend = (curve.y2 ? y2Title : y1Title) + QLatin1Char('-') + curve.engineName;
    }
}

QString BaselineName(const std::vector<ChartCurve>& curves, int baselineSet)
{
    for (const ChartCurve& curve : curves) {
        if (curve.set == baselineSet) return curve.engineName;
    }
    return {};
}

QString DifferenceShortTitle(int series, ResultUnits units, DifferenceKind kind)
{
    if (kind == DifferenceKind::Percent) return QStringLiteral("%");
    // As the series' own titles write them: "HP" in the model's units, "kW" in metric ones.
    if (units == ResultUnits::English) return QString::fromLatin1(GetChartSeries(series).units);
    return QString::fromUtf8(ResultUnitLabel(series, units));
}

QString DifferenceAxisTitle(int series, ResultUnits units, const QString& baselineName, DifferenceKind kind)
{
    return QString::fromLatin1(GetChartSeries(series).menuName) + QStringLiteral(" vs. ") + baselineName +
           QStringLiteral(" (") + DifferenceShortTitle(series, units, kind) + QLatin1Char(')');
}
