// A series split with iterate --shard K/N and put together again with
// iterate-merge prints what iterate prints for the whole series, byte for
// byte; iterate-merge refuses records that do not make one whole split.

#include "CliTestSupport.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <string>

namespace {

const QString kChevy = Example("chevy-350-street.trq");

// 66 tests: the 1.2 in intake lift cannot be ground on the shorter intake
// lobes, and from 10,000 rpm on the milder cams make no power, so many
// tests tie at 0.
const QStringList kCamSeries = {"iterate", kChevy,         "--sweep", "ivc=40:100:6",
                                "--sweep", "evo=30:90:30", "--sweep", "int-lift=1.1:1.2:0.1",
                                "--band",  "10000-11000"};
// 48 tests scored by torque, whose scores climb with bore and stroke.
const QStringList kBoreSeries = {
    "iterate",     kChevy,   "--sweep", "bore=3.9:4.2:0.1", "--sweep", "stroke=3.2:3.75:0.05",
    "--criterion", "torque", "--band",  "2500-5000"};

void WriteFile(const std::filesystem::path& path, const QString& text)
{
    QFile file(Q(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QJsonObject ReadJson(const std::filesystem::path& path)
{
    QFile file(Q(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

void WriteJson(const std::filesystem::path& path, const QJsonObject& object)
{
    WriteFile(path, QString::fromUtf8(QJsonDocument(object).toJson()));
}

// Runs shard k of n of the series into dir/shard-k.json, with the threads
// and kernel varied from shard to shard, and returns the file's path.
QString RunShard(const QStringList& series, int k, int n, const TempDir& dir)
{
    QStringList arguments = series + QStringList{"--shard", QString("%1/%2").arg(k).arg(n), "--threads",
                                                 QString::number(k % 3 + 1)};
    if (k % 2 == 0) arguments << "--no-batch";
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const std::filesystem::path path =
        dir.File("shard-" + std::to_string(k) + "-of-" + std::to_string(n) + ".json");
    WriteFile(path, result.out);
    return Q(path);
}

QStringList RunShards(const QStringList& series, int n, const TempDir& dir)
{
    QStringList files;
    for (int k = 1; k <= n; ++k) files << RunShard(series, k, n, dir);
    std::reverse(files.begin(), files.end());  // any order will do
    return files;
}

CliResult Merge(const QStringList& files, const QStringList& options = {})
{
    return RunCli(QStringList{"iterate-merge"} + files + options);
}

void ExpectRefused(const CliResult& result, const char* message)
{
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
}

}  // namespace

TEST(CliIterateShards, MergedShardsPrintTheWholeSeriesByteForByteInJsonAndAsATable)
{
    TempDir dir;
    for (const QStringList& series : {kCamSeries, kBoreSeries}) {
        const CliResult json = RunCli(series + QStringList{"--format", "json"});
        const CliResult table = RunCli(series);
        ASSERT_EQ(json.status, 0) << json.err.toStdString();
        ASSERT_EQ(table.status, 0) << table.err.toStdString();
        for (int n : {1, 2, 3, 7}) {
            SCOPED_TRACE(series[4].toStdString() + " in " + std::to_string(n) + " shards");
            const QStringList files = RunShards(series, n, dir);
            const CliResult mergedJson = Merge(files, {"--format", "json"});
            ASSERT_EQ(mergedJson.status, 0) << mergedJson.err.toStdString();
            EXPECT_EQ(mergedJson.out.toStdString(), json.out.toStdString());
            EXPECT_EQ(Merge(files).out.toStdString(), table.out.toStdString());
        }
    }
}

TEST(CliIterateShards, TheMergeSavesTheSameBestEnginesAsTheWholeSeries)
{
    TempDir dir;
    ASSERT_EQ(RunCli(kBoreSeries + QStringList{"--save-best", Q(dir.File("whole"))}).status, 0);
    ASSERT_EQ(Merge(RunShards(kBoreSeries, 3, dir), {"--save-best", Q(dir.File("merged"))}).status, 0);
    for (int n = 1; n <= 10; ++n) {
        const std::string name = "Best" + std::to_string(n) + "-chevy-350-street.trq";
        EXPECT_EQ(ReadWholeFile(dir.File("merged") / name), ReadWholeFile(dir.File("whole") / name)) << name;
    }
}

TEST(CliIterateShards, TheMergeRefusesShardsThatDoNotMakeOneWholeSplitOfOneSeries)
{
    TempDir dir;
    const QString one = RunShard(kCamSeries, 1, 3, dir);
    const QString two = RunShard(kCamSeries, 2, 3, dir);
    const QString three = RunShard(kCamSeries, 3, 3, dir);
    ASSERT_EQ(Merge({one, two, three}).status, 0);

    ExpectRefused(Merge({one, three}), "shard 2 of 3 is missing");
    ExpectRefused(Merge({one}), "shards 2, 3 of 3 are missing");
    ExpectRefused(Merge({one, two, two, three}), "shard 2 of 3 is given twice");

    // The same engine in another band, or the same band split another way.
    const QString otherBand = Q(dir.File("other-band.json"));
    QStringList banded = kCamSeries;
    banded[banded.indexOf("10000-11000")] = "9500-11000";
    WriteFile(dir.File("other-band.json"), RunCli(banded + QStringList{"--shard", "2/3"}).out);
    ExpectRefused(Merge({one, otherBand, three}), "is a shard of another series");
    const QString halves = RunShard(kCamSeries, 2, 2, dir);
    ExpectRefused(Merge({one, halves, three}), "shards of different splits");

    // The sweeps typed otherwise but of the same values are the same series.
    QStringList retyped = kCamSeries;
    retyped[retyped.indexOf("ivc=40:100:6")] = "ivc=40.0:100:6.00";
    WriteFile(dir.File("retyped.json"), RunCli(retyped + QStringList{"--shard", "2/3"}).out);
    EXPECT_EQ(Merge({one, Q(dir.File("retyped.json")), three}).status, 0);
}

TEST(CliIterateShards, TheMergeRefusesDamagedAndUnfinishedRecordsAndMixedArithmetic)
{
    TempDir dir;
    const QString one = RunShard(kBoreSeries, 1, 2, dir);
    const QString two = RunShard(kBoreSeries, 2, 2, dir);
    const QJsonObject record = ReadJson(dir.File("shard-2-of-2.json"));

    QJsonObject otherKind = record;
    otherKind["fused_multiply_add"] = !record["fused_multiply_add"].toBool();
    otherKind["instruction_set"] = "ELSEWHERE";
    WriteJson(dir.File("kind.json"), otherKind);
    ExpectRefused(Merge({one, Q(dir.File("kind.json"))}), "fused multiply-add (ELSEWHERE)");

    QJsonObject unfinished = record;
    unfinished["tests_issued"] = record["tests_issued"].toInt() - 5;
    WriteJson(dir.File("unfinished.json"), unfinished);
    ExpectRefused(Merge({one, Q(dir.File("unfinished.json"))}), "stopped before the end of the series");

    QJsonObject misplaced = record;  // an entry of shard 1 in shard 2's record
    QJsonArray entries = record["entries"].toArray();
    ASSERT_FALSE(entries.isEmpty());
    QJsonObject entry = entries[0].toObject();
    entry["test"] = entry["test"].toInt() + 1;
    entries[0] = entry;
    misplaced["entries"] = entries;
    WriteJson(dir.File("misplaced.json"), misplaced);
    ExpectRefused(Merge({one, Q(dir.File("misplaced.json"))}), "is damaged");

    // A record cut short, as by a shard killed while it printed.
    WriteFile(dir.File("cut.json"),
              QString::fromStdString(ReadWholeFile(dir.File("shard-2-of-2.json")).substr(0, 200)));
    ExpectRefused(Merge({one, Q(dir.File("cut.json"))}), "is not a shard record");
    ExpectRefused(Merge({one, Q(dir.File("absent.json"))}), "cannot read");
    EXPECT_EQ(Merge({one, two}).status, 0);
}

TEST(CliIterate, ShardAndBatchOptionsAreCheckedAndTheOneEngineRunnerGivesTheSameResults)
{
    const auto refused = [](const QStringList& options, const char* message) {
        ExpectRefused(RunCli(kBoreSeries + options), message);
    };
    for (const char* shard : {"0/3", "4/3", "2", "a/b", "1/0"})
        refused({"--shard", shard}, "--shard takes K/N");
    refused({"--shard", "1/2", "--format", "table"}, "--format table and --save-best go with iterate-merge");
    refused({"--shard", "1/2", "--save-best", "x"}, "--format table and --save-best go with iterate-merge");
    // The record is JSON: asking for JSON changes nothing.
    const CliResult asked = RunCli(kBoreSeries + QStringList{"--shard", "1/2", "--format", "json"});
    const CliResult plain = RunCli(kBoreSeries + QStringList{"--shard", "1/2"});
    EXPECT_EQ(asked.status, 0);
    EXPECT_EQ(asked.out.toStdString(), plain.out.toStdString());

    const CliResult batch = RunCli(kCamSeries + QStringList{"--format", "json"});
    const CliResult oneEngine =
        RunCli(kCamSeries + QStringList{"--format", "json", "--no-batch", "--threads", "1"});
    ASSERT_EQ(batch.status, 0);
    EXPECT_EQ(oneEngine.out.toStdString(), batch.out.toStdString());
}
