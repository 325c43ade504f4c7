#include "CliTestSupport.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/DynoPull.h"
#include "study/MatchFigures.h"
#include "study/PullComparison.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace fs = std::filesystem;

namespace {

// A dyno pull of the example Chevy 350 with a later intake closing (74
// degrees), a 640 cfm carburettor and a 0.360 in intake lift, as its own
// "run --format csv" prints it from 2000 to 6000 rpm.
class CliMatch : public testing::Test {
protected:
    void SetUp() override
    {
        const CliResult made = RunCli({"new",
                                       "-o",
                                       Q(folder.File("truth.trq")),
                                       "--block",
                                       "Chevy 350",
                                       "--head",
                                       "Wedge/Stock Ports And Valves",
                                       "--intake-valve",
                                       "1.94",
                                       "--exhaust-valve",
                                       "1.50",
                                       "--compression",
                                       "8.5",
                                       "--induction",
                                       "640@1.5",
                                       "--manifold",
                                       "Dual-Plane Manifold",
                                       "--exhaust",
                                       "Stock Manifolds And Mufflers",
                                       "--cam",
                                       "Stock Street/Economy",
                                       "--timing",
                                       "seat",
                                       "--cam-events",
                                       "12,74,66,10",
                                       "--lifter",
                                       "Hyd.",
                                       "--intake-lift",
                                       "0.36",
                                       "--exhaust-lift",
                                       "0.41"});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        const CliResult run = RunCli({"run", Q(folder.File("truth.trq")), "--format", "csv"});
        ASSERT_EQ(run.status, 0);
        QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        // The header and 2000 to 6000 rpm.
        WriteWholeFile(folder.File("pull.csv"), lines.mid(0, 10).join('\n').toStdString() + "\n");
        engine = Example("chevy-350-street.trq");
    }

    QStringList Match(const QString& output, std::initializer_list<QString> more = {}) const
    {
        QStringList arguments = {"match",  engine, "--pull", Q(folder.File("pull.csv")),
                                 "--vary", "ivc",  "--vary", "int-lift",
                                 "-o",     output};
        for (const QString& argument : more) arguments << argument;
        return arguments;
    }

    TempDir folder;
    QString engine;
};

TEST_F(CliMatch, TheSavedMatchedEngineRunsExactlyToTheFiguresTheJsonReports)
{
    const QString output = Q(folder.File("MATCHED.trq"));
    const CliResult result = RunCli(Match(output, {"-f", "json", "--vary", "induction=600:700"}));
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    ASSERT_FALSE(json.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(json["points"].toInt(), 9);
    const QJsonObject parameters = json["parameters"].toObject();
    EXPECT_EQ(parameters.keys(), (QStringList{"induction", "int-lift", "ivc"}));
    EXPECT_EQ(parameters["ivc"].toObject()["from"].toDouble(), 62.0);
    EXPECT_NEAR(parameters["ivc"].toObject()["to"].toDouble(), 74.0, 2.0);
    EXPECT_NEAR(parameters["induction"].toObject()["to"].toDouble(), 640.0, 25.0);
    EXPECT_NEAR(parameters["int-lift"].toObject()["to"].toDouble(), 0.36, 0.010);
    EXPECT_LE(parameters["ivc"].toObject()["firm_from"].toDouble(),
              parameters["ivc"].toObject()["to"].toDouble());
    EXPECT_GT(json["tests_run"].toInt(), 100);
    EXPECT_GT(json["rms_power_before"].toDouble(), 5.0);
    EXPECT_EQ(FilesIn(folder.Path()), 3u) << "truth, pull and the matched engine: no temporary left";

    // The saved engine holds the values reported, and its run gives the rms reported, to the bit.
    RecordingPresenter presenter;
    CTorqDoc matched;
    ASSERT_TRUE(OpenEngineDocument(matched, output.toStdString()));
    for (const QString& name : parameters.keys()) {
        const MatchFigure figure = *MatchFigureNamed(name.toStdString());
        EXPECT_EQ(FigureParameter(matched, figure).GetValue(),
                  float(parameters[name].toObject()["to"].toDouble()))
            << name.toStdString();
    }
    const CliResult run = RunCli({"run", output, "--format", "csv"});
    const PullReading curves = ReadDynoPull(run.out.toStdString());
    ASSERT_TRUE(curves.ok);
    RunSeries results{};
    for (int i = 0; i < kResultPointCount; ++i) {
        results[kSeriesEngineSpeed - 1][i] = float(curves.pull.rows[std::size_t(i)].rpm);
        results[kSeriesPower - 1][i] = float(curves.pull.rows[std::size_t(i)].powerHp);
        results[kSeriesTorque - 1][i] = float(curves.pull.rows[std::size_t(i)].torqueLbFt);
    }
    const PullReading pull = ReadDynoPullFile(folder.File("pull.csv").string());
    ASSERT_TRUE(pull.ok);
    const PullComparison comparison = ComparePull(results, pull.pull);
    EXPECT_EQ(comparison.rmsPowerHp, json["rms_power_after"].toDouble());
    EXPECT_EQ(comparison.rmsTorqueLbFt, json["rms_torque_after"].toDouble());
    EXPECT_EQ(comparison.rmsPercent, json["rms_percent_after"].toDouble());
}

TEST_F(CliMatch, TheTableShowsTheFiguresTheErrorsAndWhatWasWritten)
{
    const QString output = Q(folder.File("m.trq"));
    const CliResult result = RunCli(Match(output));
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n');
    EXPECT_TRUE(lines[0].endsWith("9 engine speeds covered")) << lines[0].toStdString();
    EXPECT_TRUE(lines[3].startsWith("ivc            42.0 - 82.0 Deg               62.0      7"))
        << lines[3].toStdString();
    EXPECT_TRUE(result.out.contains("\nRMS power (hp)               11.86"));
    EXPECT_EQ(lines[lines.size() - 2], "Wrote " + output);
    EXPECT_EQ(
        result.err,
        "torqwell-cli match: '" + Q(folder.File("pull.csv")) +
            "': skipped 5 columns it does not use: manifold_pressure, volumetric_efficiency, imep, bmep, "
            "fmep\n");
}

TEST_F(CliMatch, ABadPullIsRefusedWithTheReadersMessageAndNothingIsWritten)
{
    WriteWholeFile(folder.File("bad.csv"), "RPM,HP\n3000,150\n4000,lots\n5000,240\n6000,250\n");
    const QString output = Q(folder.File("m.trq"));
    QStringList arguments = Match(output);
    arguments[3] = Q(folder.File("bad.csv"));
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "torqwell-cli match: '" + Q(folder.File("bad.csv")) +
                              "': line 3, column 2 (HP): 'lots' is not a number\n");
    EXPECT_FALSE(fs::exists(output.toStdString()));

    arguments[3] = Q(folder.File("none.csv"));
    EXPECT_EQ(RunCli(arguments).status, 2);
    EXPECT_FALSE(fs::exists(output.toStdString()));
}

TEST_F(CliMatch, ItNeverWritesAFileItReadsAndReplacesAnotherOnlyWithForce)
{
    const QString output = Q(folder.File("m.trq"));
    WriteWholeFile(output.toStdString(), "keep me");
    const CliResult exists = RunCli(Match(output));
    EXPECT_EQ(exists.status, 2);
    EXPECT_EQ(exists.err, "torqwell-cli match: '" + output + "' exists; give --force to replace it\n");
    EXPECT_EQ(ReadWholeFile(output.toStdString()), "keep me");

    fs::create_symlink(folder.File("pull.csv"), folder.File("pull-link.trq"));
    const CliResult pull = RunCli(Match(Q(folder.File("pull-link.trq")), {"--force"}));
    EXPECT_EQ(pull.status, 2);
    EXPECT_TRUE(pull.err.contains("is a file this command reads; it is never written over"));
    fs::copy_file(ExamplesFolder() / "chevy-350-street.trq", folder.File("engine.trq"));
    engine = Q(folder.File("engine.trq"));
    EXPECT_EQ(RunCli(Match(engine, {"--force"})).status, 2);

    EXPECT_EQ(RunCli(Match(output, {"--force"})).status, 0);
    EXPECT_NE(ReadWholeFile(output.toStdString()), "keep me");
}

TEST_F(CliMatch, BadUsageIsRefused)
{
    const QString output = Q(folder.File("m.trq"));
    const auto refusal = [&](QStringList arguments) {
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(fs::exists(output.toStdString()));
        return result.err.section('\n', 0, 0).toStdString();
    };
    EXPECT_EQ(
        refusal(Match(output, {"--vary", "cam"})),
        "torqwell-cli match: unknown figure 'cam' (bore, stroke, compression, ivo, ivc, evo, evc, int-lift, "
        "exh-lift, induction, intake-valve, exhaust-valve)");
    EXPECT_EQ(refusal(Match(output, {"--vary", "ivc=60:70"})),
              "torqwell-cli match: --vary ivc is given twice");
    EXPECT_EQ(refusal(Match(output, {"--vary", "compression=9:20"})),
              "torqwell-cli match: compression: the range must lie within 6.00 to 18.00");
    EXPECT_EQ(refusal(Match(output, {"--vary", "bore=4.1"})),
              "torqwell-cli match: --vary 'bore=4.1' is not NAME or NAME=MIN:MAX");
    EXPECT_EQ(refusal({"match", engine, "--vary", "ivc", "-o", output}),
              "torqwell-cli match: needs --pull PULL.csv");
    EXPECT_EQ(refusal(Match(output, {"--power-unit", "whp"})),
              "torqwell-cli match: unknown power unit 'whp' (hp, kW or PS)");
}

TEST_F(CliMatch, APullsColumnsAndUnitsMayBeGiven)
{
    WriteWholeFile(folder.File("de.csv"),
                   "Drehzahl;Leistung\n2000;82,2\n3000;117,5\n4000;142,4\n5000;148,9\n6000;128,6\n");
    const QString output = Q(folder.File("m.trq"));
    QStringList arguments =
        Match(output, {"--columns", "Drehzahl,Leistung,", "--power-unit", "kW", "-f", "json"});
    arguments[3] = Q(folder.File("de.csv"));
    const CliResult result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(json["points"].toInt(), 9);
    EXPECT_TRUE(json["rms_torque_after"].isNull()) << "a pull without torque";
    EXPECT_GT(json["rms_power_after"].toDouble(), 0.0);
}

}  // namespace
