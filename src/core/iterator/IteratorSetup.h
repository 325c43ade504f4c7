#pragma once

#include "Iterator.h"

// The settings an iterator series is set up from, as the setup dialog edits
// them and the command-line tool builds them: the baseline, the nine slots,
// the criterion, the scoring band, and whether every combination runs or a
// search picks them (with the most tests it may run). Nothing reaches the
// iterator until Apply.
struct IteratorSetup {
    const CTorqDoc* baseline = nullptr;
    std::array<IterationParam, kIterationSlotCount> params;  // the slots: rows 1..8, slot 9 empty
    std::int32_t criterion = kMaxPower;
    float minRpm = kLowestBandRpm;  // rpm
    float maxRpm = kHighestBandRpm;
    IteratorMethod method = IteratorMethod::EveryCombination;
    std::int64_t budget = 0;  // tests a search may run; 0 as many as it needs

    // No baseline, all slots cleared, Max Power, 2000 to 11000 rpm, every
    // combination, no budget.
    void Reset();

    // The iterator's settings: its baseline and slots when the baseline is
    // still open with its number (otherwise none and cleared slots), its
    // criterion, band, method and budget in either case.
    static IteratorSetup FromIterator(const IteratorTest& iterator, const DocumentDirectory& open);
};

// 68 when an engine computes its valve sizes or lifts itself (then it
// cannot be a baseline, since a swept bore or lift would not move them), else 0.
ErrorCode CheckBaselineChoice(const CTorqDoc& engine);

// The checks of OK with a baseline chosen, first failure only: 62 for a
// baseline that does not validate; per used slot in order 65 for a data
// type used before, 64 for fewer than two steps (the slot's stored number)
// and 86 once the product of the steps, in extended precision, passes
// 300,000,000; 63 for a product below 2; 67 for a band whose maximum is
// not above its minimum. 0 when the settings may be applied.
ErrorCode CheckSetup(const IteratorSetup& setup);

// The same checks for a search, which runs only some of the combinations:
// no 86, however many there are (the search's grid has a bound of its own).
ErrorCode CheckSearchSetup(const IteratorSetup& setup);

// CheckSetup or CheckSearchSetup, as the setup's method says.
ErrorCode CheckSetupFor(const IteratorSetup& setup);

// What OK does once the checks pass: with a baseline, ResetAll,
// SetBaseline, SetCriterion, SetScoringBand, the nine SetSlot,
// SetSearchBudget and PrepareRun (PrepareSearch when the setup's method is a
// search); without one, ResetAll alone.
void ApplySetup(IteratorTest& iterator, const IteratorSetup& setup);

// As ApplySetup, with PrepareSearch whatever the setup's method.
void ApplySearchSetup(IteratorTest& iterator, const IteratorSetup& setup);
