#include "Iterator.h"

#include <algorithm>

// ---------------------------------------------------------------- DocumentList

void DocumentList::Add(const CTorqDoc* document)
{
    TORQ_ASSERT(document != nullptr);
    if (!IsOpen(document)) m_documents.push_back(document);
}

void DocumentList::Remove(const CTorqDoc* document)
{
    std::erase(m_documents, document);
}

bool DocumentList::IsOpen(const CTorqDoc* document) const
{
    return std::find(m_documents.begin(), m_documents.end(), document) != m_documents.end();
}

// ---------------------------------------------------------------- construction

IteratorTest& IteratorTest::Instance()
{
    static IteratorTest instance;
    return instance;
}

IteratorTest::IteratorTest()
{
    static bool constructed = false;
    TORQ_ASSERT(!constructed);
    constructed = true;
    StepTemplate(kItrBore);  // the step templates are built at start-up
    ResetAll();
}

IteratorTest::IteratorTest(Detached)
{
    ResetAll();
}

void IteratorTest::ResetAll()
{
    m_done = false;
    m_totalTests = 0;
    m_testsRun = 0;
    m_baseline = nullptr;
    m_baselineNumber = 0;
    m_baselineTimingMethod = 0;
    m_working.ClearComponents();
    for (IterationParam& slot : m_slots) slot.Clear();
    m_active.fill(nullptr);
    m_activeCount = 0;
    ClearBestResults();
    m_criterion = kMaxPower;
    m_minRpm = kLowestBandRpm;
    m_maxRpm = kHighestBandRpm;
}

void IteratorTest::ClearBestResults()
{
    for (BestResult& best : m_best) {
        best.engine.ClearComponents();
        best.keep = false;
        best.testNumber = 0;
        best.score = 0.0f;
    }
    m_keptCount = 0;
    m_ringPosition = -1;
    m_lowestScore = 0.0f;
    m_lowestIndex = -1;
}

// ---------------------------------------------------------------- baseline

void IteratorTest::SetBaseline(const CTorqDoc* document)
{
    TORQ_ASSERT(document != nullptr);
    ErrorCode code = 0;
    if (!document->Validate(code)) {
        ShowErrorMessage(code);
        return;
    }
    m_baseline = document;
    m_baselineNumber = document->GetDocumentNumber();
    m_baselineTimingMethod = document->Cam().TimingMethod().GetIndex();
    document->CopyTo(m_working);
    TORQ_ASSERT(m_working.Validate(code));
}

bool IteratorTest::HasOpenBaseline(const DocumentDirectory& open) const
{
    // The number is read only once the address is known to be an open document.
    return m_baseline != nullptr && open.IsOpen(m_baseline) &&
           m_baseline->GetDocumentNumber() == m_baselineNumber;
}

bool IteratorTest::ResetIfBaselineGone(const DocumentDirectory& open)
{
    if (m_baseline == nullptr || HasOpenBaseline(open)) return false;
    ResetAll();
    return true;
}

bool IteratorTest::BaselineTimingChanged(const DocumentDirectory& open) const
{
    return HasOpenBaseline(open) && m_baseline->Cam().TimingMethod().GetIndex() != m_baselineTimingMethod;
}

bool IteratorTest::GetBaselineTitle(std::string& title) const
{
    if (m_baseline == nullptr) {
        title = "(None)";
        return false;
    }
    title = m_baseline->GetTitle();
    return true;
}

// ---------------------------------------------------------------- settings

void IteratorTest::SetCriterion(std::int32_t criterion)
{
    TORQ_ASSERT(criterion == kMaxPower || criterion == kMaxTorque);
    m_criterion = criterion;
}

void IteratorTest::SetScoringBand(float minRpm, float maxRpm)
{
    TORQ_ASSERT(minRpm >= kLowestBandRpm && minRpm <= kHighestBandRpm);
    TORQ_ASSERT(maxRpm >= kLowestBandRpm && maxRpm <= kHighestBandRpm);
    TORQ_ASSERT(minRpm < maxRpm);
    m_minRpm = minRpm;
    m_maxRpm = maxRpm;
}

void IteratorTest::GetScoringBand(float& minRpm, float& maxRpm) const
{
    minRpm = m_minRpm;
    maxRpm = m_maxRpm;
}

void IteratorTest::SetSlot(int index, const IterationParam& slot)
{
    TORQ_ASSERT(index >= 0 && index < kIterationSlotCount);
    TORQ_ASSERT(IsIterationDataType(slot.dataType));
    m_slots[index] = slot;
}

void IteratorTest::GetSlot(int index, IterationParam& slot) const
{
    TORQ_ASSERT(index >= 0 && index < kIterationSlotCount);
    slot = m_slots[index];
}

// ---------------------------------------------------------------- series

void IteratorTest::PrepareRun()
{
    StartAfresh();
    ComputeTotal();
}

void IteratorTest::PrepareSearch()
{
    StartAfresh();
    m_done = true;
}

// No test run, no result kept, and the active slots rebuilt with their
// odometers at Min Value.
void IteratorTest::StartAfresh()
{
    m_done = false;
    m_totalTests = 0;
    m_testsRun = 0;
    ClearBestResults();
    m_active.fill(nullptr);
    m_activeCount = 0;
    for (IterationParam& slot : m_slots) {
        if (slot.dataType != kItrNone) m_active[m_activeCount++] = &slot;
    }
    TORQ_ASSERT(m_activeCount >= 1);
    for (int i = 0; i < m_activeCount; ++i) {
        IterationParam& slot = *m_active[i];
        slot.currentValue = slot.minValue.GetValue();
        slot.stepIndex = 0;
        slot.wrapped = false;
    }
}

void IteratorTest::ComputeTotal()
{
    if (m_activeCount == 0) {
        m_totalTests = 0;
        return;
    }
    std::int64_t total = 1;
    for (int i = 0; i < m_activeCount; ++i) {
        total *= m_active[i]->ComputeSteps();
        TORQ_ASSERT(total > 0 && total <= kMaxTotalTests);
    }
    m_totalTests = static_cast<std::int32_t>(total);
}

bool IteratorTest::IsReady(ErrorCode& code) const
{
    if (m_baseline == nullptr) {
        code = Msg::IteratorBaselineRequired;
        return false;
    }
    if (!m_working.Validate(code)) return false;
    if (m_totalTests <= 1) {
        code = Msg::IteratorTooFewTests;
        return false;
    }
    return true;
}

int IteratorTest::GetProgressPercent() const
{
    if (m_totalTests <= 0) return 0;
    return static_cast<int>(std::int64_t(m_testsRun) * 100 / m_totalTests);
}

// The odometer: slot activeIndex issues its next value, carrying into the
// slot before it when it has issued its last. The last active slot moves
// fastest; every slot runs Min, Min + Step, Min + 2 Step, ... and ends on Max.
void IteratorTest::Advance(int activeIndex)
{
    IterationParam& slot = *m_active[activeIndex];
    const bool isLast = activeIndex == m_activeCount - 1;
    if (slot.wrapped) {
        if (activeIndex == 0) {
            m_done = true;
            TORQ_ASSERT(m_testsRun == m_totalTests);
            return;
        }
        Advance(activeIndex - 1);
        slot.stepIndex = 0;
        slot.wrapped = false;
    } else if (!isLast && slot.stepIndex == 0 && m_active[activeIndex + 1]->wrapped) {
        // Min Value has been in use since the series started: count it now.
        slot.stepIndex = 1;
    }
    if (slot.stepIndex == 0) {
        slot.currentValue = slot.minValue.GetValue();
        slot.stepIndex = 1;
    } else if (slot.stepIndex == slot.numberOfSteps - 1) {
        slot.currentValue = slot.maxValue.GetValue();
        slot.wrapped = true;
        slot.stepIndex = slot.numberOfSteps;
    } else {
        slot.currentValue = slot.currentValue + slot.stepValue.GetValue();
        ++slot.stepIndex;
    }
}

bool IteratorTest::IssueNextTest(CombinationValues& values, std::int32_t& testNumber)
{
    if (m_testsRun == 0) {
        for (int i = 0; i < kIterationSlotCount; ++i) {
            if (i < m_activeCount) {
                TORQ_ASSERT(m_active[i] != nullptr && m_active[i]->stepIndex == 0);
            } else {
                TORQ_ASSERT(m_active[i] == nullptr);
            }
        }
    }
    if (m_done) return false;
    TORQ_ASSERT(m_activeCount >= 1 && m_activeCount <= kIterationSlotCount);
    Advance(m_activeCount - 1);
    if (m_done) return false;
    // A slot of fewer than two steps never wraps: the count would run past the total.
    TORQ_ASSERT(m_testsRun < m_totalTests);
    ++m_testsRun;
    testNumber = m_testsRun;
    values.fill(0.0f);
    for (int i = 0; i < m_activeCount; ++i) {
        const IterationParam& slot = *m_active[i];
        // Checked here, on the caller's thread, so that applying the values
        // elsewhere can never fail.
        TORQ_ASSERT(SweptParameter(m_working, slot.dataType).IsInRange(slot.currentValue));
        values[i] = slot.currentValue;
    }
    return true;
}

void IteratorTest::ApplyValues(CTorqDoc& engine, const CombinationValues& values) const
{
    for (int i = 0; i < m_activeCount; ++i) {
        const IterationDataType type = m_active[i]->dataType;
        SweptParameter(engine, type).SetValue(values[i]);
        // The calculator's chamber and gasket figures no longer describe
        // this bore, stroke or compression.
        if (AffectsCalculatorCompression(type) && engine.IsCompressionFromCalculator()) {
            engine.ClearCalculatorInputs();
        }
    }
}

bool IteratorTest::RunNextTest(bool& isNewBest)
{
    isNewBest = false;
    CombinationValues values;
    std::int32_t testNumber = 0;
    if (!IssueNextTest(values, testNumber)) return false;
    ApplyValues(m_working, values);
    if (!m_working.RunSimulation(true, false)) return false;
    isNewBest = OfferBest(testNumber);
    return true;
}

bool IteratorTest::FinishTest(const CombinationValues& values, std::int64_t testNumber,
                              const TestOutcome& outcome, bool& isNewBest)
{
    isNewBest = false;
    ApplyValues(m_working, values);
    switch (outcome.kind) {
        case TestOutcome::Kind::InvalidEngine:
            ShowErrorMessage(outcome.validationCode);
            m_working.ClearResults();
            return false;
        case TestOutcome::Kind::RunFailed:
            m_working.ClearResults();
            return false;
        case TestOutcome::Kind::Simulated:
            for (int series = 1; series <= kResultSeriesCount; ++series) {
                m_working.SetResultSeries(series, outcome.results[series - 1]);
            }
            isNewBest = OfferBest(testNumber);
            return true;
    }
    ReportAssertion(__FILE__, __LINE__);
}

// ---------------------------------------------------------------- best results

float IteratorTest::Score() const
{
    TORQ_ASSERT(m_maxRpm > m_minRpm);
    const ResultSeriesValues& speeds = m_working.GetResultSeries(kSeriesEngineSpeed);
    const ResultSeriesValues& values =
        m_working.GetResultSeries(m_criterion == kMaxPower ? kSeriesPower : kSeriesTorque);
    float score = 0.0f;
    for (int point = 0; point < kResultPointCount; ++point) {
        const bool inBand = speeds[point] >= m_minRpm && speeds[point] <= m_maxRpm;
        if (inBand && values[point] > score) score = values[point];
    }
    return score;
}

bool IteratorTest::OfferBest(std::int64_t testNumber)
{
    const float score = Score();
    int index;
    if (m_keptCount < kBestResultCount) {
        // Until ten are kept every test is kept, in arrival order.
        m_ringPosition = (m_ringPosition + 1) % kBestResultCount;
        ++m_keptCount;
        index = m_ringPosition;
    } else {
        // A tie with the weakest does not displace it.
        if (!(score > m_lowestScore)) return false;
        index = m_lowestIndex;
    }
    BestResult& best = m_best[index];
    m_working.CopyTo(best.engine);
    best.testNumber = testNumber;
    best.score = score;
    // Among equal lowest scores the smallest index is the next to go.
    m_lowestIndex = 0;
    m_lowestScore = m_best[0].score;
    for (int i = 1; i < m_keptCount; ++i) {
        if (m_best[i].score < m_lowestScore) {
            m_lowestScore = m_best[i].score;
            m_lowestIndex = i;
        }
    }
    return true;
}

void IteratorTest::CheckBestIndex(int i) const
{
    TORQ_ASSERT(i >= 0 && i < m_keptCount);
}

const CTorqDoc& IteratorTest::GetBestEngine(int i) const
{
    CheckBestIndex(i);
    return m_best[i].engine;
}

const ResultSeriesValues& IteratorTest::GetBestPower(int i) const
{
    return GetBestEngine(i).GetResultSeries(kSeriesPower);
}

const ResultSeriesValues& IteratorTest::GetBestTorque(int i) const
{
    return GetBestEngine(i).GetResultSeries(kSeriesTorque);
}

std::int64_t IteratorTest::GetBestTestNumber(int i) const
{
    CheckBestIndex(i);
    return m_best[i].testNumber;
}

float IteratorTest::GetBestScore(int i) const
{
    CheckBestIndex(i);
    return m_best[i].score;
}

bool IteratorTest::GetKeepFlag(int i) const
{
    TORQ_ASSERT(i >= 0 && i < kBestResultCount);
    return m_best[i].keep;
}

void IteratorTest::SetKeepFlag(int i, bool keep)
{
    CheckBestIndex(i);
    m_best[i].keep = keep;
}

const ResultSeriesValues& IteratorTest::GetWorkingSpeeds() const
{
    return m_working.GetResultSeries(kSeriesEngineSpeed);
}

const ResultSeriesValues& IteratorTest::GetWorkingPower() const
{
    return m_working.GetResultSeries(kSeriesPower);
}

const ResultSeriesValues& IteratorTest::GetWorkingTorque() const
{
    return m_working.GetResultSeries(kSeriesTorque);
}
