// A series split with iterate --shard K/N and put together again with
// iterate-merge prints what iterate prints for the whole series, byte for
// byte; iterate-merge refuses records that do not make one whole split.

#include "CliSupport.h"
#include "CliTestSupport.h"

#include "TempFile.h"

#include "iterator/ShardRecord.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <string>

#include <sys/stat.h>

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

ShardRecord ReadRecord(const std::filesystem::path& path)
{
    ShardRecord record;
    std::string problem;
    EXPECT_TRUE(ReadShardRecord(ReadWholeFile(path), record, problem)) << problem;
    return record;
}

// A record as the writer writes it, whatever its values: whole, with its digest.
QString WriteRecord(const std::filesystem::path& path, const ShardRecord& record)
{
    WriteWholeFile(path, WriteShardRecord(record));
    return Q(path);
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

TEST(CliIterateShards, TheMergeRefusesUnfinishedRecordsAndMixedArithmetic)
{
    TempDir dir;
    const QString one = RunShard(kBoreSeries, 1, 2, dir);
    const QString two = RunShard(kBoreSeries, 2, 2, dir);
    const ShardRecord record = ReadRecord(dir.File("shard-2-of-2.json"));

    ShardRecord otherKind = record;
    otherKind.fusedMultiplyAdd = !record.fusedMultiplyAdd;
    otherKind.instructionSet = "ELSEWHERE";
    ExpectRefused(Merge({one, WriteRecord(dir.File("kind.json"), otherKind)}),
                  "fused multiply-add (ELSEWHERE)");

    ShardRecord unfinished = record;
    unfinished.testsIssued -= 5;
    ExpectRefused(Merge({one, WriteRecord(dir.File("unfinished.json"), unfinished)}),
                  "stopped before the end of the series");

    ShardRecord misplaced = record;  // an entry of shard 1 in shard 2's record
    ASSERT_FALSE(misplaced.entries.empty());
    misplaced.entries[0].testNumber += 1;
    ExpectRefused(Merge({one, WriteRecord(dir.File("misplaced.json"), misplaced)}), "does not fit its shard");
    ExpectRefused(Merge({one, Q(dir.File("absent.json"))}), "cannot read");
    EXPECT_EQ(Merge({one, two}).status, 0);
}

TEST(CliIterateShards, ADamagedRecordIsRefusedNamingItAndNeverGivesAnotherBest)
{
    TempDir dir;
    QStringList series = kCamSeries;
    const QString one = RunShard(series, 1, 2, dir);
    const QString two = RunShard(series, 2, 2, dir);
    const std::string text = ReadWholeFile(dir.File("shard-2-of-2.json"));
    const auto damaged = [&](const char* name, std::string changed) {
        WriteWholeFile(dir.File(name), changed);
        const CliResult result = Merge({one, Q(dir.File(name))});
        ExpectRefused(result, "is damaged");
        EXPECT_TRUE(result.err.contains(name)) << result.err.toStdString();
    };
    // The sweep text that shifts every printed value, a score, an entry dropped, a record cut short.
    std::string sweep = text;
    sweep.replace(sweep.find("ivc=40:100:6"), 12, "ivc=46:100:6");
    damaged("sweep.json", sweep);
    std::string score = text;
    score[score.find("\"power\": [") + 11] ^= 1;
    damaged("score.json", score);
    std::string dropped = text;
    const std::size_t entry = dropped.find("    {\n      \"test\"");
    dropped.erase(entry, dropped.find("    },\n", entry) + 7 - entry);
    damaged("dropped.json", dropped);
    damaged("cut.json", text.substr(0, text.size() - 80));

    // Whole, but its sweep as typed gives other values than it ran with.
    ShardRecord retyped = ReadRecord(dir.File("shard-2-of-2.json"));
    retyped.series.sweeps[0].text = "ivc=46:100:6";
    ShardRecord first = ReadRecord(dir.File("shard-1-of-2.json"));
    first.series.sweeps[0].text = "ivc=46:100:6";
    const CliResult result = Merge(
        {WriteRecord(dir.File("retyped-1.json"), first), WriteRecord(dir.File("retyped-2.json"), retyped)});
    ExpectRefused(result, "is damaged: its sweep 'ivc=46:100:6' does not give the values it ran with");

    // A record of the first version carries no digest: refused, saying what it lacks.
    WriteWholeFile(dir.File("old.json"),
                   "{\n    \"entries\": [\n    ],\n    \"format\": \"torqwell iterator shard\",\n    "
                   "\"version\": 1\n}\n");
    ExpectRefused(Merge({one, Q(dir.File("old.json"))}), "without the entry count and the SHA-256 digest");
    EXPECT_EQ(Merge({one, two}).status, 0);
}

TEST(CliIterateShards, FieldsOutOfRangeAreRefusedBeforeAnythingIsBuiltFromThem)
{
    TempDir dir;
    RunShards(kBoreSeries, 2, dir);
    const ShardRecord record = ReadRecord(dir.File("shard-2-of-2.json"));

    ShardRecord band = record;
    band.series.minRpm = 1999.0f;
    ShardRecord bandOne = ReadRecord(dir.File("shard-1-of-2.json"));
    bandOne.series.minRpm = 1999.0f;
    ExpectRefused(
        Merge({WriteRecord(dir.File("band-1.json"), bandOne), WriteRecord(dir.File("band-2.json"), band)}),
        "its band 1999-5000 rpm is not a band within 2000-11000 rpm");

    ShardRecord huge = record;
    huge.share = {2, 2147483647};
    ExpectRefused(Merge({WriteRecord(dir.File("huge.json"), huge)}), "is not one of 1 to 100000 shards");

    // A record of one shard of 100000: the missing ones are counted, not listed.
    ShardRecord many = record;
    many.share = {1, 100000};
    many.entries.resize(1);
    many.entries[0].testNumber = 1;
    const CliResult missing = Merge({WriteRecord(dir.File("many.json"), many)});
    ExpectRefused(missing, "shards 2, 3, 4, 5, 6 and 99994 more of 100000 are missing");
    EXPECT_LT(missing.err.size(), 200);
}

TEST(CliIterateShards, AFolderADeviceOrAPipeIsNeitherARecordNorTheEngineOfAShard)
{
    TempDir dir;
    const QString one = RunShard(kBoreSeries, 1, 2, dir);
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    for (const QString& odd : {Q(dir.File("folder")), Q(dir.File("pipe")), QString("/dev/zero")}) {
        SCOPED_TRACE(odd.toStdString());
        ExpectRefused(Merge({one, odd}), "it is no file (a folder, a device or a pipe)");
        QStringList shard = kBoreSeries;
        shard[1] = odd;
        ExpectRefused(RunCli(shard + QStringList{"--shard", "1/2"}), "Unable to Open the Selected File");
    }
}

TEST(CliIterateShards, TheMergeNeverWritesABestFileOverARecordItReads)
{
    TempDir dir;
    const QStringList files = RunShards(kBoreSeries, 2, dir);
    const std::string before = ReadWholeFile(dir.File("shard-1-of-2.json"));
    std::filesystem::create_directory(dir.File("best"));
    std::filesystem::create_symlink(dir.File("shard-1-of-2.json"),
                                    dir.File("best/Best1-chevy-350-street.trq"));
    const CliResult result = Merge(files, {"--save-best", Q(dir.File("best")), "--force"});
    ExpectRefused(result, "is a file this command reads; it is never written over");
    EXPECT_EQ(ReadWholeFile(dir.File("shard-1-of-2.json")), before);
}

TEST(CliIterateShards, AnEngineWhoseNameIsNotUtf8IsMergedAndItsBestFilesKeepTheName)
{
    TempDir dir;
    const std::string name = "moteur-\xe9t\xe9.trq";  // Latin-1
    std::filesystem::copy_file(ExamplesFolder() / "chevy-350-street.trq", dir.File(name));
    QStringList series = kBoreSeries;
    series[1] = cli::ArgumentText(dir.File(name).string());
    // The merge's scratch folder goes where the test can see that none is left.
    std::filesystem::create_directory(dir.File("tmp"));
    const bool temporaryFolderSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray temporaryFolder = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(dir.File("tmp").string()));
    const CliResult whole = RunCli(series + QStringList{"--save-best", Q(dir.File("whole"))});
    ASSERT_EQ(whole.status, 0) << whole.err.toStdString();
    const CliResult merged = Merge(RunShards(series, 2, dir), {"--save-best", Q(dir.File("merged"))});
    ASSERT_EQ(merged.status, 0) << merged.err.toStdString();
    EXPECT_EQ(merged.out.toStdString(), whole.out.toStdString());
    const std::string best = "Best1-moteur-\xe9t\xe9.trq";
    EXPECT_EQ(ReadWholeFile(dir.File("merged") / best), ReadWholeFile(dir.File("whole") / best));
    EXPECT_FALSE(ReadWholeFile(dir.File("merged") / best).empty());
    EXPECT_EQ(FilesIn(dir.File("tmp")), 0u) << "the scratch folder is removed, whatever the engine's name";
    if (temporaryFolderSet) {
        qputenv("TMPDIR", temporaryFolder);
    } else {
        qunsetenv("TMPDIR");
    }
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
