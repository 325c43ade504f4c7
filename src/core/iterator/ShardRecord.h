#pragma once

#include "IteratorShard.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The shard record: what "iterate --shard K/N" prints and "iterate-merge"
// reads. A JSON document, written in one fixed layout: the series (the
// engine file itself, the sweeps as typed with the values they gave, the
// criterion, the band and the number of tests), which shard of how many it
// is, how far it went, the instruction set it ran with, each test that
// entered the shard's ten best with its seven result curves, the number of
// those entries and, last, the SHA-256 digest of everything before it.
//
// A record travels between machines (copied, mailed, stored): the reader
// takes only a record that is byte for byte what the writer writes for the
// values it holds, whose digest matches and whose fields are within their
// ranges. Anything else is refused as damaged, never merged into another
// "best".

inline constexpr int kShardRecordVersion = 2;
// The largest engine file a record carries; engine files are a few kilobytes.
inline constexpr std::size_t kMostShardEngineFileBytes = 16u << 20;

struct ShardSweep {
    std::string text;  // "NAME=MIN:MAX:STEP" as typed, in its own bytes
    float min = 0.0f;  // the slot's values in the engine's units
    float max = 0.0f;
    float step = 0.0f;
    std::int32_t steps = 0;
};

struct ShardSeries {
    std::string engineFileName;  // the baseline's file name, in its own bytes
    std::string engineFile;      // the baseline's file, as it was read
    std::vector<ShardSweep> sweeps;
    std::int32_t criterion = kMaxPower;
    float minRpm = kLowestBandRpm;
    float maxRpm = kHighestBandRpm;
    std::int32_t totalTests = 0;
};

struct ShardRecord {
    ShardSeries series;
    SeriesShare share;
    std::int32_t testsIssued = 0;  // tests of the whole series the shard went through
    std::string instructionSet;
    bool fusedMultiplyAdd = false;
    std::vector<ShardEntry> entries;  // in test order
};

// The record's text, its digest written last.
std::string WriteShardRecord(const ShardRecord& record);

// Reads a record. False with what is wrong with it, to follow the file's
// name: "is damaged: its content does not match its SHA-256 digest".
bool ReadShardRecord(std::string_view text, ShardRecord& record, std::string& problem);

// Whether two records are shards of the same series: the same engine file
// and name, sweeps (their parameters and values, however typed), criterion,
// band and test count.
bool SameSeries(const ShardSeries& a, const ShardSeries& b);

// The parameter name of a sweep as typed: the text before its '='.
std::string_view SweepName(const ShardSweep& sweep);
