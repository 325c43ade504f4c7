#include "CliTestSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "IteratorSeries.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

const QString kChevy = Example("chevy-350-street.trq");

}  // namespace

TEST(CliIterate, JsonListsTheKeptResultsOfTheSequentialSeriesExactly)
{
    const CliResult result =
        RunCli({"iterate", kChevy, "--sweep", "ivc=60:64:1", "--sweep", "bore=4.0:4.1:0.03", "--band",
                "3000-7000", "--threads", "2", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith(
        "{\"total_tests\": 25, \"tests_run\": 25, \"method\": \"series\", \"criterion\": \"power\", "
        "\"band\": [3000, 7000], "
        "\"best\": [{\"no\": 1, \"test\": "));

    // The same series, one RunNextTest after another.
    RecordingPresenter quiet;
    CTorqDoc engine;
    ASSERT_TRUE(OpenEngineDocument(engine, kChevy.toStdString()));
    IteratorTest reference{IteratorTest::Detached{}};
    Configure(reference, engine,
              {Sweep(kItrIvc, engine, 60.0f, 64.0f, 1.0f), Sweep(kItrBore, engine, 4.0f, 4.1f, 0.03f)},
              kMaxPower, 3000.0f, 7000.0f);
    bool isNewBest = false;
    while (!reference.IsDone()) reference.RunNextTest(isNewBest);

    // The sweeps in the order given: the first changes slowest.
    EXPECT_EQ(result.out.count("\"values\": {\"ivc\": "), reference.GetKeptCount());
    const QJsonArray best = QJsonDocument::fromJson(result.out.toUtf8()).object()["best"].toArray();
    ASSERT_EQ(best.size(), reference.GetKeptCount());
    for (int i = 0; i < best.size(); ++i) {
        const QJsonObject kept = best[i].toObject();
        const CTorqDoc& expected = reference.GetBestEngine(i);
        EXPECT_EQ(kept["no"].toInt(), i + 1);
        EXPECT_EQ(kept["test"].toInt(), reference.GetBestTestNumber(i));
        EXPECT_EQ(float(kept["score"].toDouble()), reference.GetBestScore(i));
        EXPECT_EQ(kept["values"].toObject().size(), 2);
        EXPECT_EQ(float(kept["values"]["bore"].toDouble()), expected.Bore().GetValue());
        EXPECT_EQ(float(kept["values"]["ivc"].toDouble()), expected.Cam().NominalIvc().GetValue());
        const ResultSeriesValues& power = expected.GetResultSeries(kSeriesPower);
        EXPECT_EQ(float(kept["peak_power"].toDouble()), *std::max_element(power.begin(), power.end()));
    }
}

TEST(CliIterate, TheTableAndTheSavedBestEngines)
{
    TempDir dir;
    const CliResult result = RunCli({"iterate", kChevy, "--sweep", "evc=20:31:1", "--criterion", "torque",
                                     "--threads", "1", "--save-best", Q(dir.File("best"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n');
    EXPECT_EQ(lines[0], "Total tests: 12");
    EXPECT_EQ(lines[1], "Tests run:   12");
    EXPECT_EQ(lines[2], "Best results by peak torque between 2000 and 11000 rpm:");
    EXPECT_EQ(lines[4].split(' ', Qt::SkipEmptyParts),
              (QStringList{"No.", "Test", "Score", "evc", "Peak", "hp", "Peak", "ft-lbs"}));
    EXPECT_TRUE(lines[5].startsWith("No. 1 "));
    EXPECT_TRUE(lines[14].startsWith("No. 10"));
    RecordingPresenter quiet;
    for (int n = 1; n <= 10; ++n) {
        const fs::path path = dir.File("best") / ("Best" + std::to_string(n) + "-chevy-350-street.trq");
        CTorqDoc saved;
        ASSERT_TRUE(OpenEngineDocument(saved, path.string())) << path;
        const QStringList cells = lines[4 + n].split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(cells[4].toStdString(), saved.Cam().NominalEvc().GetText()) << path;
        EXPECT_TRUE(saved.HasResults());
    }
}

TEST(CliIterate, SetupChecksRefuseTheSeriesWithTheirMessageAndStatus2)
{
    const auto refused = [](const QStringList& arguments, const char* messageStart) {
        const CliResult result = RunCli(QStringList{"iterate", kChevy} + arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(messageStart)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    };
    refused({"--sweep", "bore=4.0:4.0:0.01"}, "A Number of Steps value greater than 2");
    refused({"--sweep", "ivo=20:30:1", "--sweep", "ivo=40:50:1"},
            "Iteration Data Type specification has been duplicated");
    refused({"--sweep", "bore=2.8:7:0.01", "--sweep", "stroke=2.4:7:0.01", "--sweep", "compression=6:18:0.1",
             "--sweep", "ivc=0:120:1"},
            "series of over 300-million");
    refused({"--sweep", "ivc=60:64:1", "--band", "6000-6000"}, "The Maximum RPM value must be larger");
    refused({"--sweep", "bore=4.0:9.5:0.1"}, "Bore");  // Max outside the bore's range
    refused({"--sweep", "valve=1:2:1"}, "unknown sweep 'valve'");
    refused({"--sweep", "ivc=60:64:1", "--band", "1000-3000"}, "--band");

    // An engine that computes its own valve lifts cannot be a baseline.
    TempDir dir;
    {
        RecordingPresenter quiet;
        CTorqDoc engine;
        ASSERT_TRUE(OpenEngineDocument(engine, kChevy.toStdString()));
        engine.Cam().SetAutoValveLift(true);
        ASSERT_TRUE(SaveEngineDocument(engine, dir.File("auto.trq").string()));
    }
    const CliResult result = RunCli({"iterate", Q(dir.File("auto.trq")), "--sweep", "ivc=60:64:1"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("The Auto Calculate Valve Sizes and/or Valve Lifts feature"));
}
