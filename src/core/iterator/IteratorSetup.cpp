#include "IteratorSetup.h"

#include <limits>

void IteratorSetup::Reset()
{
    baseline = nullptr;
    for (IterationParam& slot : params) slot.Clear();
    criterion = kMaxPower;
    minRpm = kLowestBandRpm;
    maxRpm = kHighestBandRpm;
}

IteratorSetup IteratorSetup::FromIterator(const IteratorTest& iterator, const DocumentDirectory& open)
{
    IteratorSetup setup;
    setup.Reset();
    if (iterator.HasOpenBaseline(open)) {
        setup.baseline = iterator.GetBaseline();
        for (int i = 0; i < kIterationSlotCount; ++i) iterator.GetSlot(i, setup.params[i]);
    }
    setup.criterion = iterator.GetCriterion();
    iterator.GetScoringBand(setup.minRpm, setup.maxRpm);
    return setup;
}

ErrorCode CheckBaselineChoice(const CTorqDoc& engine)
{
    return engine.IsAutoValveSizes() || engine.Cam().IsAutoValveLift() ? Msg::IteratorAutoSizesOn : Msg::None;
}

namespace {

// mostTests: the largest product of the steps that passes; above it,
// Msg::IteratorTooManyTests.
ErrorCode CheckSetupWithin(const IteratorSetup& setup, long double mostTests)
{
    TORQ_ASSERT(setup.baseline != nullptr);
    ErrorCode code = 0;
    if (!setup.baseline->Validate(code)) return Msg::IteratorBaselineRequired;
    bool seen[kIterationDataTypeCount] = {};
    long double product = 1.0L;
    for (const IterationParam& slot : setup.params) {
        if (slot.dataType == kItrNone) continue;
        TORQ_ASSERT(IsIterationDataType(slot.dataType));
        if (seen[slot.dataType]) return Msg::IteratorDataTypeDuplicated;
        seen[slot.dataType] = true;
        if (slot.numberOfSteps < 2) return Msg::IteratorTooFewSteps;
        product *= slot.numberOfSteps;
        if (product > mostTests) return Msg::IteratorTooManyTests;
    }
    if (product < 2.0L) return Msg::IteratorTooFewTests;
    if (!(setup.maxRpm > setup.minRpm)) return Msg::IteratorRpmRangeInverted;
    return Msg::None;
}

// PrepareRun or PrepareSearch: how the applied setup is to run.
using Preparation = void (IteratorTest::*)();

void ApplySetupFor(IteratorTest& iterator, const IteratorSetup& setup, Preparation prepare)
{
    iterator.ResetAll();
    if (setup.baseline == nullptr) return;
    iterator.SetBaseline(setup.baseline);
    iterator.SetCriterion(setup.criterion);
    iterator.SetScoringBand(setup.minRpm, setup.maxRpm);
    for (int i = 0; i < kIterationSlotCount; ++i) iterator.SetSlot(i, setup.params[i]);
    (iterator.*prepare)();
}

}  // namespace

ErrorCode CheckSetup(const IteratorSetup& setup)
{
    return CheckSetupWithin(setup, static_cast<long double>(kMaxTotalTests));
}

ErrorCode CheckSearchSetup(const IteratorSetup& setup)
{
    return CheckSetupWithin(setup, std::numeric_limits<long double>::infinity());
}

void ApplySetup(IteratorTest& iterator, const IteratorSetup& setup)
{
    ApplySetupFor(iterator, setup, &IteratorTest::PrepareRun);
}

void ApplySearchSetup(IteratorTest& iterator, const IteratorSetup& setup)
{
    ApplySetupFor(iterator, setup, &IteratorTest::PrepareSearch);
}
