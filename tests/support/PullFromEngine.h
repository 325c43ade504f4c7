#pragma once

// Measured pulls made from the model itself, for the tests of the
// comparison and the match: an engine's run as a dyno would record it.

#include "study/DynoPull.h"
#include "study/StudyRunner.h"

#include <cstdint>
#include <random>

// The run's power and torque at the engine speeds from minRpm to maxRpm as
// pull rows; with noise, each figure is multiplied by 1 + noise * u, u
// uniform in [-1, 1] from a Mersenne twister of the given seed (its numbers
// are the same with every standard library).
inline DynoPull PullFromRun(const RunSeries& results, double minRpm, double maxRpm, double noise = 0.0,
                            std::uint32_t seed = 1)
{
    std::mt19937 generator(seed);
    const auto jitter = [&] { return 1.0 + noise * (2.0 * double(generator()) / 4294967295.0 - 1.0); };
    DynoPull pull;
    pull.hasPower = true;
    pull.hasTorque = true;
    for (int i = 0; i < kResultPointCount; ++i) {
        const double rpm = results[kSeriesEngineSpeed - 1][i];
        if (rpm < minRpm || rpm > maxRpm) continue;
        PullRow row;
        row.rpm = rpm;
        row.powerHp = double(results[kSeriesPower - 1][i]) * jitter();
        row.torqueLbFt = double(results[kSeriesTorque - 1][i]) * jitter();
        row.line = i + 2;
        pull.rows.push_back(row);
    }
    return pull;
}
