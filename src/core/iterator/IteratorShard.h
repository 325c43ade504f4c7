#pragma once

#include "Iterator.h"
#include "sim/SimRecords.h"

#include <cstdint>
#include <span>

// A series too large for one machine runs as shards: shard k of n simulates
// the tests whose number t has (t - 1) mod n = k - 1, and offers them to a
// ten best of its own, in test order. A test that enters the ten best of the
// whole series enters its shard's ten best at that moment as well: a
// shard's weakest kept score is never above the whole series' (its tests
// are some of the series' tests), and its first ten tests come no later.
// So every shard records each entry into its ten best (the test number and
// its results), and the series' ten best are rebuilt by issuing every test
// and finishing only those entries, in test order: the same kept results,
// slots, test numbers and scores as one machine running the whole series.

// The most shards a series is split into.
inline constexpr std::int32_t kMostShards = 100000;

struct SeriesShare {
    std::int32_t index = 1;  // 1..count
    std::int32_t count = 1;

    bool IsWhole() const { return count == 1; }
    bool Contains(std::int32_t testNumber) const { return (testNumber - 1) % count == index - 1; }
    // How many of the tests 1..totalTests belong to this share.
    std::int32_t TestsOf(std::int32_t totalTests) const;
};

// A test that entered a shard's ten best, with the results it entered with.
struct ShardEntry {
    std::int32_t testNumber = 0;
    SimResults results{};
};

// The working engine's results after a test, as an entry of that test.
ShardEntry EntryOfWorkingEngine(const IteratorTest& iterator, std::int32_t testNumber);

// Issues every remaining test of the prepared series and finishes, as
// simulated with their recorded results, the tests of the entries (sorted
// by test number, each number once, within the series). Tests without an
// entry are issued and counted but not finished: they could not have
// entered the ten best. Leaves the series done.
void ReplayShardEntries(IteratorTest& iterator, std::span<const ShardEntry> entries);
