#include "iterator/IteratorShard.h"

#include "iterator/IteratorRunner.h"

#include "EngineBuilds.h"
#include "IteratorTestHelpers.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Configurer = std::function<void(IteratorTest&)>;

// Every shard of n run on its own iterator, as separate machines would, and
// the entries into each shard's ten best, gathered in test order.
std::vector<ShardEntry> RunShards(const Configurer& configure, int n, int threads)
{
    std::vector<ShardEntry> entries;
    for (int k = 1; k <= n; ++k) {
        IteratorTest shard{IteratorTest::Detached{}};
        configure(shard);
        IteratorRunner runner(shard, threads);
        runner.SetShare({k, n});
        runner.SetNewBestObserver(
            [&](std::int32_t test) { entries.push_back(EntryOfWorkingEngine(shard, test)); });
        std::int32_t simulated = 0;
        while (!shard.IsDone()) {
            const IteratorRunner::Batch batch = runner.RunTests(37);
            simulated += batch.testsSimulated;
        }
        // The shard saw the whole series go by and kept only its own tests.
        EXPECT_EQ(shard.GetTestsRun(), shard.GetTotalTests());
        EXPECT_LE(simulated, (SeriesShare{k, n}.TestsOf(shard.GetTotalTests())));
        for (int i = 0; i < shard.GetKeptCount(); ++i)
            EXPECT_TRUE((SeriesShare{k, n}.Contains(shard.GetBestTestNumber(i))));
    }
    std::sort(entries.begin(), entries.end(),
              [](const ShardEntry& a, const ShardEntry& b) { return a.testNumber < b.testNumber; });
    return entries;
}

// The series run whole, one RunNextTest after another, against the series
// rebuilt from its shards' entries for several numbers of shards.
void ExpectShardsRebuildTheSeries(const Configurer& configure, std::initializer_list<int> shardCounts)
{
    RecordingPresenter quiet;
    IteratorTest whole{IteratorTest::Detached{}};
    configure(whole);
    bool isNewBest = false;
    while (!whole.IsDone()) whole.RunNextTest(isNewBest);

    int threads = 1;
    for (int n : shardCounts) {
        SCOPED_TRACE(std::to_string(n) + " shards");
        const std::vector<ShardEntry> entries = RunShards(configure, n, threads);
        threads = threads % 3 + 1;
        IteratorTest merged{IteratorTest::Detached{}};
        configure(merged);
        ReplayShardEntries(merged, entries);
        ExpectSameSeries(whole, merged, false);
    }
}

}  // namespace

TEST(SeriesShare, EveryTestBelongsToExactlyOneShareAndTheCountsAddUp)
{
    for (int total : {1, 2, 7, 100, 101}) {
        for (int n : {1, 2, 3, 8, 150}) {
            std::int32_t sum = 0;
            for (int k = 1; k <= n; ++k) {
                const SeriesShare share{k, n};
                std::int32_t members = 0;
                for (int t = 1; t <= total; ++t) members += share.Contains(t);
                EXPECT_EQ(share.TestsOf(total), members) << k << "/" << n << " of " << total;
                sum += members;
            }
            EXPECT_EQ(sum, total);
        }
    }
}

TEST(IteratorShards, ACamSweepWithFailuresAndTiedZeroScoresMergesToTheWholeSeries)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    const Configurer configure = [&](IteratorTest& iterator) {
        Configure(iterator, baseline, CamSweepWithFailuresAndTies(baseline));
    };
    ExpectShardsRebuildTheSeries(configure, {1, 3, 8, 70});  // 70: more shards than tests
}

TEST(IteratorShards, ABoreAndStrokeSweepScoredByTorqueMergesToTheWholeSeries)
{
    CTorqDoc baseline;
    BuildChevy350(baseline);
    // 48 tests whose scores climb with the bore and the stroke: late tests
    // keep displacing the weakest, so each shard has many entries.
    const Configurer configure = [&](IteratorTest& iterator) {
        Configure(
            iterator, baseline,
            {Sweep(kItrBore, baseline, 3.9f, 4.2f, 0.1f), Sweep(kItrStroke, baseline, 3.2f, 3.75f, 0.05f)},
            kMaxTorque, 2500.0f, 5000.0f);
    };
    ExpectShardsRebuildTheSeries(configure, {2, 7});
}
