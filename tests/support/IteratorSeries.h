#pragma once

// Iterator series for the tests of the iterator, the command line and the
// window, and for the benchmarks. Header only: the support libraries stop at
// the model, and the core model tests do not link the iterator.

#include "iterator/Iterator.h"

#include <vector>

// A slot sweeping one parameter of the engine from min to max by step, in
// the engine's units, with its number of steps counted.
inline IterationParam Sweep(IterationDataType type, const CTorqDoc& engine, float min, float max, float step)
{
    IterationParam slot;
    slot.ChooseDataType(type, engine);
    slot.minValue.SetValue(min);
    slot.maxValue.SetValue(max);
    slot.stepValue.SetValue(step);
    slot.ComputeSteps();
    return slot;
}

// The engine as baseline, the slots in rows 1.., criterion and band, and a prepared series.
inline void Configure(IteratorTest& iterator, const CTorqDoc& baseline,
                      const std::vector<IterationParam>& rows, int criterion = kMaxPower,
                      float minRpm = 2000.0f, float maxRpm = 11000.0f)
{
    iterator.ResetAll();
    iterator.SetBaseline(&baseline);
    iterator.SetCriterion(criterion);
    iterator.SetScoringBand(minRpm, maxRpm);
    int index = 0;
    for (const IterationParam& slot : rows) iterator.SetSlot(index++, slot);
    iterator.PrepareRun();
}

// ---- series that several tests and benchmarks run, on a Chevy 350 baseline

// A series with how it is scored.
struct SeriesPlan {
    std::vector<IterationParam> rows;
    int criterion = kMaxPower;
    float minRpm = 2000.0f;
    float maxRpm = 11000.0f;
};

inline void Configure(IteratorTest& iterator, const CTorqDoc& baseline, const SeriesPlan& plan)
{
    Configure(iterator, baseline, plan.rows, plan.criterion, plan.minRpm, plan.maxRpm);
}

// 11 IVC x 3 EVO x 2 intake lifts = 66 tests scored from 10,000 rpm on: the
// 1.2 in lift cannot be ground on the shorter lobes, and at those speeds the
// milder cams make no power, so many tests fail or tie at 0.
inline SeriesPlan CamSweepWithFailuresAndTies(const CTorqDoc& baseline)
{
    return {{Sweep(kItrIvc, baseline, 40.0f, 100.0f, 6.0f), Sweep(kItrEvo, baseline, 30.0f, 90.0f, 30.0f),
             Sweep(kItrIntakeLift, baseline, 1.1f, 1.2f, 0.1f)},
            kMaxPower,
            10000.0f,
            11000.0f};
}

// 40 IVC x 40 EVO = 1,600 tests: long enough to halt, close or quit while it runs.
inline SeriesPlan LongCamSweep(const CTorqDoc& baseline)
{
    return {{Sweep(kItrIvc, baseline, 40.0f, 79.0f, 1.0f), Sweep(kItrEvo, baseline, 40.0f, 79.0f, 1.0f)}};
}

// Three strokes, 3.40 to 3.50 in: a series over in a moment.
inline SeriesPlan ShortStrokeSweep(const CTorqDoc& baseline)
{
    return {{Sweep(kItrStroke, baseline, 3.40f, 3.50f, 0.05f)}};
}

// The benchmarks' series: 10 bores x 10 strokes x 20 IVC = 2,000 tests; with
// 10 EVO values 20,000.
inline SeriesPlan BenchmarkSeries(const CTorqDoc& baseline, bool twentyThousand)
{
    SeriesPlan plan{{Sweep(kItrBore, baseline, 3.95f, 4.04f, 0.01f),
                     Sweep(kItrStroke, baseline, 3.40f, 3.49f, 0.01f),
                     Sweep(kItrIvc, baseline, 60.0f, 79.0f, 1.0f)}};
    if (twentyThousand) plan.rows.push_back(Sweep(kItrEvo, baseline, 60.0f, 69.0f, 1.0f));
    return plan;
}
