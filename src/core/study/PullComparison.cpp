#include "PullComparison.h"

#include <algorithm>
#include <cmath>

namespace {

double FigureOf(const PullRow& row, PullFigure figure)
{
    return figure == PullFigure::Power ? row.powerHp : row.torqueLbFt;
}

bool HasFigure(const DynoPull& pull, PullFigure figure)
{
    return figure == PullFigure::Power ? pull.hasPower : pull.hasTorque;
}

double RootMeanSquare(double sumOfSquares, int count)
{
    return count == 0 ? 0.0 : std::sqrt(sumOfSquares / count);
}

}  // namespace

std::optional<double> MeasuredAt(const DynoPull& pull, PullFigure figure, double rpm)
{
    const std::vector<PullRow>& rows = pull.rows;
    if (!HasFigure(pull, figure) || rows.empty() || rpm < rows.front().rpm || rpm > rows.back().rpm) {
        return std::nullopt;
    }
    // The first row at or above the speed; the one before it is below.
    const auto above = std::lower_bound(rows.begin(), rows.end(), rpm,
                                        [](const PullRow& row, double speed) { return row.rpm < speed; });
    if (above->rpm == rpm) return FigureOf(*above, figure);
    const PullRow& below = *(above - 1);
    //   y = y0 + (y1 - y0) (x - x0) / (x1 - x0)
    const double share = (rpm - below.rpm) / (above->rpm - below.rpm);
    return FigureOf(below, figure) + (FigureOf(*above, figure) - FigureOf(below, figure)) * share;
}

PullComparison ComparePull(const RunSeries& results, const DynoPull& pull)
{
    PullComparison comparison;
    comparison.hasPower = pull.hasPower;
    comparison.hasTorque = pull.hasTorque;
    const double peakPower = pull.PeakPowerHp();
    const double peakTorque = pull.PeakTorqueLbFt();
    double powerSquares = 0.0;
    double torqueSquares = 0.0;
    double percentSquares = 0.0;
    int percentTerms = 0;
    for (int i = 0; i < kResultPointCount; ++i) {
        const double rpm = results[kSeriesEngineSpeed - 1][i];
        const auto power = MeasuredAt(pull, PullFigure::Power, rpm);
        const auto torque = MeasuredAt(pull, PullFigure::Torque, rpm);
        if (!power && !torque) continue;
        PointComparison& point = comparison.points[static_cast<std::size_t>(i)];
        point.covered = true;
        ++comparison.covered;
        if (power) {
            point.measuredPower = *power;
            point.powerDiff = double(results[kSeriesPower - 1][i]) - *power;
            powerSquares += point.powerDiff * point.powerDiff;
            if (peakPower > 0.0) {
                const double percent = 100.0 * point.powerDiff / peakPower;
                percentSquares += percent * percent;
                ++percentTerms;
            }
        }
        if (torque) {
            point.measuredTorque = *torque;
            point.torqueDiff = double(results[kSeriesTorque - 1][i]) - *torque;
            torqueSquares += point.torqueDiff * point.torqueDiff;
            if (peakTorque > 0.0) {
                const double percent = 100.0 * point.torqueDiff / peakTorque;
                percentSquares += percent * percent;
                ++percentTerms;
            }
        }
    }
    comparison.rmsPowerHp = RootMeanSquare(powerSquares, pull.hasPower ? comparison.covered : 0);
    comparison.rmsTorqueLbFt = RootMeanSquare(torqueSquares, pull.hasTorque ? comparison.covered : 0);
    comparison.rmsPercent = RootMeanSquare(percentSquares, percentTerms);
    return comparison;
}
