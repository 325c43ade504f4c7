#pragma once

#include "iterator/Iterator.h"
#include "model/EngineFile.h"

#include "IteratorSeries.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

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

// Counters, odometer, every kept result and (unless told otherwise) the
// working engine, to the bit.
inline void ExpectSameSeries(const IteratorTest& reference, const IteratorTest& batched,
                             bool withWorkingEngine = true)
{
    EXPECT_EQ(reference.IsDone(), batched.IsDone());
    EXPECT_EQ(reference.GetTestsRun(), batched.GetTestsRun());
    ASSERT_EQ(reference.GetKeptCount(), batched.GetKeptCount());
    EXPECT_EQ(reference.GetLowestKeptIndex(), batched.GetLowestKeptIndex());
    EXPECT_EQ(Bits(reference.GetLowestKeptScore()), Bits(batched.GetLowestKeptScore()));
    for (int i = 0; i < kIterationSlotCount; ++i) {
        IterationParam a;
        IterationParam b;
        reference.GetSlot(i, a);
        batched.GetSlot(i, b);
        EXPECT_EQ(Bits(a.currentValue), Bits(b.currentValue)) << "slot " << i;
        EXPECT_EQ(a.stepIndex, b.stepIndex) << "slot " << i;
        EXPECT_EQ(a.wrapped, b.wrapped) << "slot " << i;
    }
    for (int i = 0; i < reference.GetKeptCount(); ++i) {
        SCOPED_TRACE("No. " + std::to_string(i + 1));
        EXPECT_EQ(reference.GetKeepFlag(i), batched.GetKeepFlag(i));
        EXPECT_EQ(reference.GetBestTestNumber(i), batched.GetBestTestNumber(i));
        EXPECT_EQ(Bits(reference.GetBestScore(i)), Bits(batched.GetBestScore(i)));
        ExpectSameEngine(reference.GetBestEngine(i), batched.GetBestEngine(i));
    }
    if (!withWorkingEngine) return;
    SCOPED_TRACE("working engine");
    ExpectSameEngine(reference.GetWorkingEngine(), batched.GetWorkingEngine());
}
