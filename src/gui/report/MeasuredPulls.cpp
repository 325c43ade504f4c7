#include "MeasuredPulls.h"

#include "model/TorqDoc.h"

#include <QFileInfo>

#include <cmath>

QString MeasuredPull::FileName() const
{
    return QFileInfo(path).fileName();
}

QString MeasuredPull::Legend() const
{
    return QStringLiteral("Measured: %1").arg(FileName());
}

QString PublishedMarks::Legend() const
{
    return QStringLiteral("Published: %1").arg(engineName);
}

CMeasuredPulls::CMeasuredPulls(QObject* parent) : QObject(parent) {}

void CMeasuredPulls::Add(MeasuredPull pull)
{
    const int index = IndexOf(pull.path);
    if (index >= 0) {
        m_pulls[static_cast<std::size_t>(index)] = std::move(pull);
    } else {
        m_pulls.push_back(std::move(pull));
    }
    emit Changed();
}

void CMeasuredPulls::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_pulls.size())) return;
    m_pulls.erase(m_pulls.begin() + index);
    emit Changed();
}

int CMeasuredPulls::IndexOf(const QString& path) const
{
    for (std::size_t i = 0; i < m_pulls.size(); ++i) {
        if (m_pulls[i].path == path) return static_cast<int>(i);
    }
    return -1;
}

void CMeasuredPulls::SetPublished(PublishedMarks marks)
{
    m_published = std::move(marks);
    emit Changed();
}

void CMeasuredPulls::ClearPublished()
{
    if (!m_published) return;
    m_published.reset();
    emit Changed();
}

PullComparison CompareWithRun(const CTorqDoc& engine, const DynoPull& pull)
{
    RunSeries results{};
    for (int series = 1; series <= kResultSeriesCount; ++series)
        results[static_cast<std::size_t>(series - 1)] = engine.GetResultSeries(series);
    return ComparePull(results, pull);
}

namespace {

QString Figure(double modelValue, int series, ResultUnits units)
{
    return QString::number(ConvertResult(series, modelValue, units), 'f', 1) + QLatin1Char(' ') +
           QString::fromUtf8(ResultUnitLabel(series, units));
}

}  // namespace

QString RmsSummary(const PullComparison& comparison, ResultUnits units)
{
    if (comparison.covered == 0) return QStringLiteral("The pull covers none of the model's speeds");
    QStringList figures;
    if (comparison.hasPower) figures << Figure(comparison.rmsPowerHp, kSeriesPower, units);
    if (comparison.hasTorque) figures << Figure(comparison.rmsTorqueLbFt, kSeriesTorque, units);
    return QStringLiteral("RMS difference %1 (%2 % of peak) over %3 speeds")
        .arg(figures.join(QStringLiteral(", ")), QString::number(comparison.rmsPercent, 'f', 1))
        .arg(comparison.covered);
}

QString DifferenceText(double modelDifference, int series, ResultUnits units)
{
    // Rounded first, so that a difference that rounds to nothing shows no sign.
    const double shown = std::round(ConvertResult(series, modelDifference, units) * 10.0) / 10.0;
    if (shown == 0.0) return QStringLiteral("0.0");
    return (shown > 0 ? QStringLiteral("+") : QString()) + QString::number(shown, 'f', 1);
}
