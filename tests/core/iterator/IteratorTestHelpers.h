#pragma once

#include "iterator/Iterator.h"
#include "model/EngineFile.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>

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

inline std::uint32_t Bits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

// Everything an engine consists of, as its engine file shows it.
inline std::string EngineFileText(const CTorqDoc& engine)
{
    CTorqDoc copy;
    engine.CopyTo(copy);
    TempDir dir;
    EXPECT_TRUE(WriteEngineFile(copy, dir.File("engine.trq").string()));
    return ReadWholeFile(dir.File("engine.trq"));
}

// The same engine: its file, and to the bit what a test changes in it (the
// swept parameters, the calculator results, the eight result series).
inline void ExpectSameEngine(const CTorqDoc& a, const CTorqDoc& b)
{
    EXPECT_EQ(EngineFileText(a), EngineFileText(b));
    for (int type = kItrBore; type <= kItrExhaustLift; ++type) {
        const auto dataType = static_cast<IterationDataType>(type);
        EXPECT_EQ(Bits(SweptParameter(a, dataType).GetValue()), Bits(SweptParameter(b, dataType).GetValue()))
            << IterationDataTypeName(dataType);
    }
    EXPECT_EQ(a.IsCompressionFromCalculator(), b.IsCompressionFromCalculator());
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        for (int point = 0; point < kResultPointCount; ++point) {
            EXPECT_EQ(Bits(a.GetResult(series, point)), Bits(b.GetResult(series, point)))
                << "series " << series << " point " << point;
        }
    }
}
