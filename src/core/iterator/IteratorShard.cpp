#include "IteratorShard.h"

#include "base/ErrCode.h"

std::int32_t SeriesShare::TestsOf(std::int32_t totalTests) const
{
    if (totalTests < index) return 0;
    return (totalTests - index) / count + 1;
}

ShardEntry EntryOfWorkingEngine(const IteratorTest& iterator, std::int32_t testNumber)
{
    const CTorqDoc& engine = iterator.GetWorkingEngine();
    ShardEntry entry;
    entry.testNumber = testNumber;
    const auto copy = [&](int series, SpeedCurve& curve) {
        const ResultSeriesValues& values = engine.GetResultSeries(series);
        std::copy(values.begin(), values.end(), curve.begin());
    };
    copy(kSeriesPower, entry.results.power);
    copy(kSeriesTorque, entry.results.torque);
    copy(kSeriesManifoldPressure, entry.results.manifoldPressure);
    copy(kSeriesVolumetricEfficiency, entry.results.volumetricEfficiency);
    copy(kSeriesImep, entry.results.imep);
    copy(kSeriesBmep, entry.results.bmep);
    copy(kSeriesFmep, entry.results.fmep);
    return entry;
}

void ReplayShardEntries(IteratorTest& iterator, std::span<const ShardEntry> entries)
{
    std::size_t next = 0;
    CombinationValues values{};
    std::int32_t testNumber = 0;
    while (iterator.IssueNextTest(values, testNumber)) {
        if (next == entries.size() || entries[next].testNumber != testNumber) continue;
        IteratorTest::TestOutcome outcome;
        outcome.kind = IteratorTest::TestOutcome::Kind::Simulated;
        CopyRunResults(entries[next].results, outcome.results);
        bool isNewBest = false;
        iterator.FinishTest(values, testNumber, outcome, isNewBest);
        ++next;
    }
    // Every entry belongs to the series, in test order.
    TORQ_ASSERT(next == entries.size());
}
