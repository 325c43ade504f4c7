#include "iterator/ShardRecord.h"

#include "base/Sha256.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace {

// Shard 2 of 3 of a 66-test series of intake-closing and exhaust-opening
// points, with three entries into its ten best.
ShardRecord CamSeriesShard()
{
    ShardRecord record;
    record.series.engineFileName = "chevy-350-street.trq";
    record.series.engineFile = "Torqwell engine 3.10\r\nChevy 350 street\r\n\x01\xff binary too\r\n";
    record.series.sweeps = {{"ivc=40:100:6", 40.0f, 100.0f, 6.0f, 11},
                            {"evo=30:90:30", 30.0f, 90.0f, 30.0f, 3},
                            {"int-lift=1.1:1.2:0.1", 1.1f, 1.2f, 0.1f, 2}};
    record.series.criterion = kMaxTorque;
    record.series.minRpm = 10000.0f;
    record.series.maxRpm = 11000.0f;
    record.series.totalTests = 66;
    record.share = {2, 3};
    record.testsIssued = 66;
    record.instructionSet = "AVX2";
    record.fusedMultiplyAdd = true;
    for (std::int32_t test : {2, 5, 44}) {
        ShardEntry entry;
        entry.testNumber = test;
        for (int i = 0; i < kSpeedPointCount; ++i) {
            entry.results.power[std::size_t(i)] = 100.0f + 17.3f * float(i) + float(test) / 7.0f;
            entry.results.torque[std::size_t(i)] = 612.4998f - float(i);
            entry.results.fmep[std::size_t(i)] = 1e-7f * float(i);
        }
        record.entries.push_back(entry);
    }
    return record;
}

bool Reads(const std::string& text, ShardRecord& record, std::string& problem)
{
    return ReadShardRecord(text, record, problem);
}

std::string ProblemOf(const std::string& text)
{
    ShardRecord record;
    std::string problem;
    EXPECT_FALSE(Reads(text, record, problem));
    return problem;
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSameRecord(const ShardRecord& read, const ShardRecord& written)
{
    EXPECT_EQ(read.series.engineFileName, written.series.engineFileName);
    EXPECT_EQ(read.series.engineFile, written.series.engineFile);
    EXPECT_TRUE(SameSeries(read.series, written.series));
    EXPECT_EQ(read.share.index, written.share.index);
    EXPECT_EQ(read.share.count, written.share.count);
    EXPECT_EQ(read.testsIssued, written.testsIssued);
    EXPECT_EQ(read.instructionSet, written.instructionSet);
    EXPECT_EQ(read.fusedMultiplyAdd, written.fusedMultiplyAdd);
    ASSERT_EQ(read.entries.size(), written.entries.size());
    for (std::size_t e = 0; e < read.entries.size(); ++e) {
        EXPECT_EQ(read.entries[e].testNumber, written.entries[e].testNumber);
        for (int i = 0; i < kSpeedPointCount; ++i) {
            const auto at = std::size_t(i);
            EXPECT_TRUE(SameBits(read.entries[e].results.power[at], written.entries[e].results.power[at]));
            EXPECT_TRUE(SameBits(read.entries[e].results.fmep[at], written.entries[e].results.fmep[at]));
        }
    }
}

}  // namespace

TEST(ShardRecord, GivesBackEveryValueToTheBitAndTheNameAsItsBytes)
{
    ShardRecord written = CamSeriesShard();
    written.series.engineFileName =
        "Motor f\xfcr \"Br\xc3\xbc"
        "cke\"\t.trq";  // Latin-1, UTF-8, a quote, a tab
    written.entries[1].results.imep[3] = NAN;
    written.entries[1].results.bmep[4] = -INFINITY;
    written.entries[1].results.bmep[5] = -0.0f;
    const std::string text = WriteShardRecord(written);
    EXPECT_NE(text.find("\"engine_file\": \"Motor f\\uDCFC"), std::string::npos) << "a lone byte is escaped";

    ShardRecord read;
    std::string problem;
    ASSERT_TRUE(Reads(text, read, problem)) << problem;
    ExpectSameRecord(read, written);
    EXPECT_TRUE(std::isnan(read.entries[1].results.imep[3]));
    EXPECT_TRUE(SameBits(read.entries[1].results.bmep[4], -INFINITY));
    EXPECT_TRUE(SameBits(read.entries[1].results.bmep[5], -0.0f));
    EXPECT_EQ(WriteShardRecord(read), text);

    written.entries.clear();
    ASSERT_TRUE(Reads(WriteShardRecord(written), read, problem)) << problem;
    EXPECT_TRUE(read.entries.empty());
}

TEST(ShardRecord, EveryChangeOfOneByteIsRefusedAsDamaged)
{
    const std::string text = WriteShardRecord(CamSeriesShard());
    std::mt19937 random(20240607);
    std::uniform_int_distribution<std::size_t> place(0, text.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string damaged = text;
        const std::size_t at = place(random);
        switch (trial % 3) {
            case 0:
                damaged[at] = char(damaged[at] ^ (1 << (trial / 3 % 8)));
                break;
            case 1:
                damaged.erase(at, 1);
                break;
            default:
                damaged.insert(at, 1, char(byte(random)));
                break;
        }
        ShardRecord record;
        std::string problem;
        ASSERT_FALSE(Reads(damaged, record, problem)) << "trial " << trial << " at byte " << at;
    }
    // A record cut short, as by a shard stopped while it printed, and the
    // entries edited: digits of a value, a dropped entry.
    EXPECT_EQ(ProblemOf(text.substr(0, text.size() / 2)),
              "is damaged: it is cut short or does not end with its SHA-256 digest");
    std::string edited = text;
    edited.replace(edited.find("\"ivc=40:100:6\""), 14, "\"ivc=46:100:6\"");
    EXPECT_EQ(ProblemOf(edited), "is damaged: its content does not match its SHA-256 digest");
}

// The record with its text changed and its digest made again: what a digest
// alone lets through.
std::string Redigested(const std::string& text, const std::string& from, const std::string& to)
{
    const std::string key = ",\n  \"sha256\": \"";
    std::string body = text.substr(0, text.rfind(key));
    const std::size_t at = body.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) body.replace(at, from.size(), to);
    return body + key + Sha256Hex(body) + "\"\n}\n";
}

TEST(ShardRecord, ValuesAndLayoutMustBeExactlyWhatTheWriterWritesWhateverTheDigest)
{
    const std::string text = WriteShardRecord(CamSeriesShard());
    ShardRecord record;
    std::string problem;
    ASSERT_TRUE(Reads(Redigested(text, "\"AVX2\"", "\"AVX2\""), record, problem)) << problem;

    const std::string notWritten = "is damaged: it is not written as torqwell-cli writes a record";
    // The same float written otherwise, and a value that is no float the writer gives.
    EXPECT_EQ(ProblemOf(Redigested(text, "612.4998,", "612.49980,")), notWritten);
    EXPECT_EQ(ProblemOf(Redigested(text, "612.4998,", "612.49981,")), notWritten);
    EXPECT_EQ(ProblemOf(Redigested(text, "\"min\": 40,", "\"min\": 4e1,")), notWritten);
    EXPECT_EQ(ProblemOf(Redigested(text, "\"tests_issued\": 66", "\"tests_issued\": 066")), notWritten);
    // Layout: a blank more, a member left out, one more entry than counted.
    EXPECT_EQ(ProblemOf(Redigested(text, "\"shard\": [2, 3]", "\"shard\": [2,  3]"))
                  .rfind("is damaged: it cannot be read", 0),
              0u);
    EXPECT_EQ(ProblemOf(Redigested(text, "\"entry_count\": 3", "\"entry_count\": 2")),
              "is damaged: it holds 3 entries and counts 2");
}

TEST(ShardRecord, ARecordOfTheFirstVersionIsRefusedNamingWhatItLacks)
{
    const std::string firstVersion =
        "{\n    \"entries\": [\n    ],\n    \"format\": \"torqwell iterator shard\",\n"
        "    \"fused_multiply_add\": true,\n    \"version\": 1\n}\n";
    const std::string problem = ProblemOf(firstVersion);
    EXPECT_NE(problem.find("record version 1"), std::string::npos) << problem;
    EXPECT_NE(problem.find("without the entry count and the SHA-256 digest"), std::string::npos);
    EXPECT_EQ(ProblemOf("{\"format\": \"another program\"}"),
              "is not a shard record of torqwell-cli iterate --shard");
    EXPECT_EQ(ProblemOf(""), "is not a shard record of torqwell-cli iterate --shard");
}

TEST(ShardRecord, AWellFormedRecordWithAFieldOutOfRangeIsRefusedNamingTheField)
{
    struct Case {
        const char* what;
        void (*change)(ShardRecord&);
    };
    const Case cases[] = {
        {"its band 1999-11000 rpm is not a band within 2000-11000 rpm",
         [](ShardRecord& r) { r.series.minRpm = 1999.0f; }},
        {"its band 7000-7000 rpm", [](ShardRecord& r) { r.series.minRpm = r.series.maxRpm = 7000.0f; }},
        {"its shard 2 of 2147483647 is not one of 1 to 100000 shards",
         [](ShardRecord& r) { r.share.count = 2147483647; }},
        {"its shard 0 of 3", [](ShardRecord& r) { r.share.index = 0; }},
        {"its total of 1 tests is outside", [](ShardRecord& r) { r.series.totalTests = 1; }},
        {"its sweeps' steps do not make its total of tests",
         [](ShardRecord& r) { r.series.sweeps[0].steps = 12; }},
        {"its sweep 'ivc=40:100:6' has values out of range",
         [](ShardRecord& r) { r.series.sweeps[0].max = NAN; }},
        {"it has no sweeps or more than 8", [](ShardRecord& r) { r.series.sweeps.clear(); }},
        {"its engine file name is no file name",
         [](ShardRecord& r) { r.series.engineFileName = "../x.trq"; }},
        {"its engine file is empty", [](ShardRecord& r) { r.series.engineFile.clear(); }},
        {"its count of tests issued is outside its series", [](ShardRecord& r) { r.testsIssued = 67; }},
        {"its entry of test 3 does not fit its shard", [](ShardRecord& r) { r.entries[0].testNumber = 3; }},
        {"its entry of test 2 does not fit its shard", [](ShardRecord& r) { r.entries[1].testNumber = 2; }},
        {"its entry of test 68 does not fit its shard", [](ShardRecord& r) { r.entries[2].testNumber = 68; }},
    };
    for (const Case& c : cases) {
        ShardRecord record = CamSeriesShard();
        c.change(record);
        const std::string problem = ProblemOf(WriteShardRecord(record));
        EXPECT_EQ(problem.rfind(std::string("is damaged: ") + c.what, 0), 0u) << problem;
    }
}

TEST(ShardRecord, ShardsOfOneSeriesMatchHoweverTheirSweepsWereTyped)
{
    const ShardRecord one = CamSeriesShard();
    ShardRecord retyped = one;
    retyped.series.sweeps[0].text = "ivc=40.0:100:6.00";
    EXPECT_TRUE(SameSeries(one.series, retyped.series));
    EXPECT_EQ(SweepName(retyped.series.sweeps[0]), "ivc");

    ShardRecord other = one;
    other.series.maxRpm = 10500.0f;
    EXPECT_FALSE(SameSeries(one.series, other.series));
    other = one;
    other.series.engineFile += " ";
    EXPECT_FALSE(SameSeries(one.series, other.series));
    other = one;
    other.series.sweeps[2].text = "exh-lift=1.1:1.2:0.1";
    EXPECT_FALSE(SameSeries(one.series, other.series)) << "the same values of another parameter";
}
