#include "CliTestSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

const QString kChevy = Example("chevy-350-street.trq");

// 31 x 31 cam closing events.
const QStringList kCamSweeps = {"--sweep", "ivc=50:80:1", "--sweep", "evo=50:80:1"};

// 41 x 61 x 41 x 71 x 71 = 516,909,181 combinations: more than a series may run.
const QStringList kHugeSweeps = {"--sweep", "bore=3.8:4.2:0.01",    "--sweep", "stroke=3.2:3.8:0.01",
                                 "--sweep", "compression=8:12:0.1", "--sweep", "ivc=30:100:1",
                                 "--sweep", "evo=30:100:1"};

QJsonObject Json(const CliResult& result)
{
    return QJsonDocument::fromJson(result.out.toUtf8()).object();
}

double BestScore(const QJsonObject& report)
{
    double best = -1.0;
    for (const QJsonValue& kept : report["best"].toArray()) best = std::max(best, kept["score"].toDouble());
    return best;
}

}  // namespace

TEST(CliIterateSearch, PrintsWhatASeriesPrintsWithItsMethodAndTestsRunAndFindsTheSeriesBest)
{
    const CliResult series =
        RunCli(QStringList{"iterate", kChevy} + kCamSweeps + QStringList{"--format", "json"});
    ASSERT_EQ(series.status, 0) << series.err.toStdString();
    EXPECT_TRUE(series.out.startsWith("{\"total_tests\": 961, \"tests_run\": 961, \"method\": \"series\", "));

    const QStringList search =
        QStringList{"iterate", kChevy} + kCamSweeps + QStringList{"--search", "--format", "json"};
    const CliResult searched = RunCli(search + QStringList{"--threads", "2"});
    ASSERT_EQ(searched.status, 0) << searched.err.toStdString();
    EXPECT_TRUE(searched.out.startsWith("{\"total_tests\": 961, \"tests_run\": "));
    const QJsonObject report = Json(searched);
    EXPECT_EQ(report["method"].toString(), "search");
    EXPECT_LT(report["tests_run"].toInt(), 961 / 2);
    const QJsonArray best = report["best"].toArray();
    ASSERT_EQ(best.size(), 10);
    EXPECT_EQ(best[0].toObject().keys(), Json(series)["best"].toArray()[0].toObject().keys());
    EXPECT_EQ(float(BestScore(report)), float(BestScore(Json(series))));

    // The same tests and kept results one engine at a time on one thread.
    const CliResult alone = RunCli(search + QStringList{"--threads", "1", "--no-batch"});
    EXPECT_EQ(alone.out, searched.out);
}

TEST(CliIterateSearch, TheTableAndTheBestFilesAreASeriesOnes)
{
    TempDir dir;
    const CliResult result = RunCli(QStringList{"iterate", kChevy} + kCamSweeps +
                                    QStringList{"--search", "--save-best", Q(dir.File("best"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n');
    EXPECT_EQ(lines[0], "Total tests: 961");
    EXPECT_TRUE(lines[1].startsWith("Tests run:   "));
    EXPECT_LT(lines[1].mid(13).toInt(), 961);
    EXPECT_EQ(lines[4].split(' ', Qt::SkipEmptyParts),
              (QStringList{"No.", "Test", "Score", "ivc", "evo", "Peak", "hp", "Peak", "ft-lbs"}));
    RecordingPresenter quiet;
    for (int n = 1; n <= 10; ++n) {
        const fs::path path = dir.File("best") / ("Best" + std::to_string(n) + "-chevy-350-street.trq");
        CTorqDoc saved;
        ASSERT_TRUE(OpenEngineDocument(saved, path.string())) << path;
        const QStringList cells = lines[4 + n].split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(cells[4].toStdString(), saved.Cam().NominalIvc().GetText()) << path;
        EXPECT_EQ(cells[5].toStdString(), saved.Cam().NominalEvo().GetText()) << path;
        EXPECT_TRUE(saved.HasResults());
    }
}

TEST(CliIterateSearch, SearchesMoreCombinationsThanASeriesMayRunWithinItsBudget)
{
    const CliResult result = RunCli(QStringList{"iterate", kChevy} + kHugeSweeps +
                                    QStringList{"--search", "--budget", "40", "--format", "json"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject report = Json(result);
    EXPECT_EQ(report["total_tests"].toInteger(), 516909181);
    EXPECT_EQ(report["tests_run"].toInt(), 40);
    EXPECT_EQ(report["best"].toArray().size(), 10);
}

TEST(CliIterateSearch, RefusesBadInputWithAMessageAndStatus2)
{
    const auto refused = [](const QStringList& arguments, const char* message) {
        const CliResult result = RunCli(QStringList{"iterate", kChevy} + arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    };
    refused(kCamSweeps + QStringList{"--budget", "100"}, "--budget goes with --search");
    refused(kCamSweeps + QStringList{"--search", "--shard", "1/2"}, "--search runs on one machine");
    for (const char* budget : {"0", "-5", "many", "1.5"})
        refused(kCamSweeps + QStringList{"--search", "--budget", budget}, "--budget takes a whole number");
    refused({"--search", "--sweep", "bore=4.0:4.0:0.01"}, "A Number of Steps value greater than 2");
    refused({"--search", "--sweep", "ivo=20:30:1", "--sweep", "ivo=40:50:1"},
            "Iteration Data Type specification has been duplicated");
    refused({"--search", "--sweep", "ivc=60:64:1", "--band", "6000-6000"},
            "The Maximum RPM value must be larger");
    QStringList nine = {"--search"};
    for (const char* sweep :
         {"bore=3.9:4:0.1", "stroke=3.4:3.5:0.1", "compression=8:9:1", "ivo=10:11:1", "ivc=60:61:1",
          "evo=60:61:1", "evc=10:11:1", "int-lift=0.4:0.5:0.1", "exh-lift=0.4:0.5:0.1"})
        nine << "--sweep" << sweep;
    refused(nine, "takes at most 8 sweeps");
    // About 2.3e17 combinations: past what a search takes.
    refused({"--search", "--sweep", "bore=2.8:7:0.01", "--sweep", "stroke=2.4:7:0.01", "--sweep",
             "compression=6:18:0.1", "--sweep", "ivc=0:120:1", "--sweep", "evo=0:115:1", "--sweep",
             "evc=0:80:1", "--sweep", "ivo=0:80:1", "--sweep", "int-lift=0.4:1.5:0.01"},
            "a search takes at most 9007199254740992 combinations");
}

TEST(CliIterate, ASeriesPastItsLimitSaysHowLongItWouldTakeAndSuggestsTheSearch)
{
    const CliResult result = RunCli(QStringList{"iterate", kChevy} + kHugeSweeps);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("series of over 300-million")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Every combination: 516909181 tests, about "))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("; --search finds the best in a small share of them"));
    EXPECT_TRUE(result.out.isEmpty());
}

TEST(CliIterate, ALongSeriesSaysOnTheErrorStreamHowLongItTakesBeforeItRuns)
{
    // 7,760,726 tests: far more than a minute. Stopped once it has said so.
    QProcess process;
    process.start(TORQWELL_CLI_PATH,
                  QStringList{"iterate", kChevy, "--sweep", "bore=3.8:4.2:0.01", "--sweep", "ivc=30:100:1",
                              "--sweep", "evo=30:115:1", "--sweep", "stroke=3.2:3.8:0.02", "--threads", "2"});
    process.setReadChannel(QProcess::StandardError);
    QString err;
    while (!err.contains('\n') && process.waitForReadyRead(60000)) err += process.readAllStandardError();
    const QByteArray out = process.readAllStandardOutput();
    process.kill();
    process.waitForFinished();
    EXPECT_TRUE(err.startsWith("Every combination: 7760726 tests, about ")) << err.toStdString();
    EXPECT_TRUE(err.contains(" tests/s on 2 threads; --search finds the best in a small share of them\n"))
        << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
}
