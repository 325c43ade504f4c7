#include "StudyScore.h"

#include "base/ErrCode.h"

#include <cstring>

namespace {

bool InBand(float rpm, SpeedBand band)
{
    return rpm >= band.minRpm && rpm <= band.maxRpm;
}

// The iterator's scoring: the highest point in the band, 0 at least.
float BandPeak(const ResultSeriesValues& speeds, const ResultSeriesValues& values, SpeedBand band)
{
    float score = 0.0f;
    for (int point = 0; point < kResultPointCount; ++point) {
        if (InBand(speeds[point], band) && values[point] > score) score = values[point];
    }
    return score;
}

// Summed in double in speed order, so the mean does not depend on the
// band's width beyond its points.
float BandMean(const ResultSeriesValues& speeds, const ResultSeriesValues& values, SpeedBand band)
{
    double sum = 0.0;
    int count = 0;
    for (int point = 0; point < kResultPointCount; ++point) {
        if (!InBand(speeds[point], band)) continue;
        sum += values[point];
        ++count;
    }
    return count == 0 ? 0.0f : static_cast<float>(sum / count);
}

struct CriterionNameRow {
    StudyCriterion criterion;
    const char* name;
};

constexpr CriterionNameRow kCriterionNames[] = {
    {StudyCriterion::PeakPower, "power"},
    {StudyCriterion::PeakTorque, "torque"},
    {StudyCriterion::AveragePower, "average-power"},
};

}  // namespace

float StudyScore(const RunSeries& results, StudyCriterion criterion, SpeedBand band)
{
    TORQ_ASSERT(band.maxRpm > band.minRpm);
    const ResultSeriesValues& speeds = results[kSeriesEngineSpeed - 1];
    switch (criterion) {
        case StudyCriterion::PeakPower:
            return BandPeak(speeds, results[kSeriesPower - 1], band);
        case StudyCriterion::PeakTorque:
            return BandPeak(speeds, results[kSeriesTorque - 1], band);
        case StudyCriterion::AveragePower:
            return BandMean(speeds, results[kSeriesPower - 1], band);
    }
    ReportAssertion(__FILE__, __LINE__);
}

PeakPoint SeriesPeak(const RunSeries& results, int series)
{
    TORQ_ASSERT(series >= 1 && series <= kResultSeriesCount);
    const ResultSeriesValues& values = results[static_cast<std::size_t>(series - 1)];
    const ResultSeriesValues& speeds = results[kSeriesEngineSpeed - 1];
    PeakPoint peak{values[0], speeds[0]};
    for (int point = 1; point < kResultPointCount; ++point) {
        if (values[point] > peak.value) peak = {values[point], speeds[point]};
    }
    return peak;
}

const char* CriterionName(StudyCriterion criterion)
{
    for (const CriterionNameRow& row : kCriterionNames) {
        if (row.criterion == criterion) return row.name;
    }
    ReportAssertion(__FILE__, __LINE__);
}

bool ParseCriterionName(const char* name, StudyCriterion& criterion)
{
    for (const CriterionNameRow& row : kCriterionNames) {
        if (std::strcmp(row.name, name) == 0) {
            criterion = row.criterion;
            return true;
        }
    }
    return false;
}
