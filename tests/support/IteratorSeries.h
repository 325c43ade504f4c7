#pragma once

// Iterator series for the tests of the iterator and of the command line.
// Header only: the support libraries stop at the model, and the core model
// tests do not link the iterator.

#include "iterator/Iterator.h"

#include <initializer_list>

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
                      std::initializer_list<IterationParam> rows, int criterion = kMaxPower,
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
