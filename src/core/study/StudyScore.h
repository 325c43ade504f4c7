#pragma once

#include "model/TorqDoc.h"

#include <array>
#include <cstdint>

// What a study ranks an engine by, from its 19 result points inside an
// engine-speed band (rpm, both ends included):
//   PeakPower, PeakTorque  the highest power (hp) or torque (ft-lbs) in the band,
//                          exactly as the iterator scores a test;
//   AveragePower           the mean of the power points in the band (hp): the
//                          width of the usable power band, as racers read it.
enum class StudyCriterion : std::int32_t { PeakPower, PeakTorque, AveragePower };

struct SpeedBand {
    float minRpm = 2000.0f;
    float maxRpm = 11000.0f;
};

using RunSeries = std::array<ResultSeriesValues, kResultSeriesCount>;

// The score of a run's results (series 1..8 as the document keeps them),
// 0 when no point lies in the band. band.minRpm < band.maxRpm.
float StudyScore(const RunSeries& results, StudyCriterion criterion, SpeedBand band);

// A result point: the value and the engine speed it was reached at.
struct PeakPoint {
    float value = 0.0f;
    float rpm = 0.0f;
};

// The highest point of series (kSeriesPower, kSeriesTorque, ...) over all
// 19 speeds; the first of equal highest points.
PeakPoint SeriesPeak(const RunSeries& results, int series);

// The name of a criterion on the command line and in JSON: "power",
// "torque", "average-power".
const char* CriterionName(StudyCriterion criterion);
bool ParseCriterionName(const char* name, StudyCriterion& criterion);
