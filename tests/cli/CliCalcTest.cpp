#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QStringList kFlattop = {
    "calc", "compression",        "--bore", "4.0",    "--stroke", "3.48", "--chamber", "64", "--gasket-bore",
    "4.1",  "--gasket-thickness", "0.040",  "--deck", "0.025"};

QJsonObject Json(const CliResult& result)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    return document.object();
}

// The value column of the table row that starts with the label.
QString Row(const CliResult& result, const QString& label)
{
    for (const QString& line : result.out.split('\n')) {
        if (line.startsWith(label)) return line.mid(label.size()).trimmed();
    }
    return "(no row " + label + ")";
}

QStringList With(QStringList arguments, const QString& option, const QString& value)
{
    const qsizetype at = arguments.indexOf(option);
    if (at >= 0) {
        arguments[at + 1] = value;
    } else {
        arguments << option << value;
    }
    return arguments;
}

}  // namespace

TEST(CliCalcCompression, AFlattopChevy350PrintsTheDialogsFigures)
{
    const CliResult result = RunCli(kFlattop);
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_EQ(Row(result, "Head Gasket Volume:"), "8.65 cc");
    EXPECT_EQ(Row(result, "Deck Volume @ TDC:"), "5.15 cc");
    EXPECT_EQ(Row(result, "Swept Cylinder Vol:"), "716.62 cc");
    EXPECT_EQ(Row(result, "Total Combustion Vol:"), "77.80 cc");
    EXPECT_EQ(Row(result, "Compression Ratio:"), "10.21");

    const QJsonObject json = Json(RunCli(kFlattop + QStringList{"--format", "json"}));
    EXPECT_DOUBLE_EQ(json["gasket_volume"].toDouble(), 8.65);
    EXPECT_DOUBLE_EQ(json["deck_volume"].toDouble(), 5.15);
    EXPECT_DOUBLE_EQ(json["total_combustion_volume"].toDouble(), 77.80);
    EXPECT_DOUBLE_EQ(json["swept_volume"].toDouble(), 716.62);
    EXPECT_DOUBLE_EQ(json["compression_ratio"].toDouble(), 10.21);
}

TEST(CliCalcCompression, DomedAboveTheDeckAndMetricPistonsGiveTheirVolumes)
{
    EXPECT_EQ(Row(RunCli(With(kFlattop, "--deck", "-0.025")), "Deck Volume @ TDC:"), "-5.15 cc");

    // A measured volume above the piston makes it a domed piston, measured down from TDC.
    const CliResult dome = RunCli(With(With(kFlattop, "--deck", "0.1"), "--dome", "10"));
    EXPECT_EQ(dome.status, 0) << dome.err.toStdString();
    EXPECT_EQ(Row(dome, "Deck Volume @ TDC:"), "-10.59 cc");

    const CliResult metric =
        RunCli({"calc", "compression", "--metric", "--bore", "101.6", "--stroke", "88.392", "--chamber", "64",
                "--gasket-bore", "104.14", "--gasket-thickness", "1.016", "--deck", "0.635"});
    EXPECT_EQ(metric.status, 0) << metric.err.toStdString();
    EXPECT_EQ(Row(metric, "Total Combustion Vol:"), "77.80 cc");
    EXPECT_EQ(Row(metric, "Compression Ratio:"), "10.21");
}

TEST(CliCalcCompression, AResultTheEngineCannotTakeIsPrintedAndRefused)
{
    // 18.01 is above the engine's range: figures, message 89, status 2.
    const CliResult high = RunCli(With(kFlattop, "--chamber", "28.33"));
    EXPECT_EQ(high.status, 2);
    EXPECT_EQ(Row(high, "Compression Ratio:"), "18.01");
    EXPECT_TRUE(high.err.startsWith("Out-of-Range Compression Ratio:")) << high.err.toStdString();
    EXPECT_TRUE(high.err.contains("6.00 to 18.00"));
    EXPECT_EQ(RunCli(With(kFlattop, "--chamber", "28.35")).status, 0);

    // A total of zero leaves no ratio: "Infinity" in the table, null in
    // json, and message 96.
    const QStringList zero = {
        "calc",      "compression", "--bore",        "4",    "--stroke",           "3.48",
        "--chamber", "10",          "--gasket-bore", "4.1",  "--gasket-thickness", "0",
        "--deck",    "0.1",         "--dome",        "10.59"};
    const CliResult table = RunCli(zero);
    EXPECT_EQ(table.status, 2);
    EXPECT_EQ(Row(table, "Compression Ratio:"), "Infinity");
    EXPECT_TRUE(table.err.contains("Total Combustion Volume of zero"));
    const QJsonObject json = Json(RunCli(zero + QStringList{"--format", "json"}));
    EXPECT_TRUE(json["compression_ratio"].isNull());
    EXPECT_DOUBLE_EQ(json["total_combustion_volume"].toDouble(), 0.0);
}

TEST(CliCalcCompression, BadNumbersAreRefusedWithTheRange)
{
    const CliResult letters = RunCli(With(kFlattop, "--bore", "4abc"));
    EXPECT_EQ(letters.status, 2);
    EXPECT_TRUE(letters.err.contains("--bore: '4abc' is not a number")) << letters.err.toStdString();
    EXPECT_TRUE(letters.out.isEmpty());

    const CliResult range = RunCli(With(kFlattop, "--gasket-thickness", "0.2"));
    EXPECT_EQ(range.status, 2);
    EXPECT_TRUE(
        range.err.contains("Enter Head Gasket Compressed Thickness Value Within Range: 0.000 to 0.150 in"))
        << range.err.toStdString();

    // A domed piston stands at least 0.1 in down; a flattop may be above the deck.
    EXPECT_EQ(RunCli(With(With(kFlattop, "--deck", "-0.025"), "--dome", "10")).status, 2);

    QStringList missing = kFlattop;
    missing.removeAt(missing.indexOf("--chamber") + 1);
    missing.removeAll("--chamber");
    const CliResult absent = RunCli(missing);
    EXPECT_EQ(absent.status, 2);
    EXPECT_TRUE(absent.err.contains("--chamber is required"));
}

TEST(CliCalcAirflow, SixHundredCfmRatesAt604Point9And722Point9)
{
    const CliResult four = RunCli({"calc", "airflow", "--flow", "600", "--at", "20", "--to", "4bbl"});
    ASSERT_EQ(four.status, 0) << four.err.toStdString();
    EXPECT_EQ(Row(four, "Airflow Rate:"), "604.9 cfm");
    EXPECT_EQ(Row(four, "Pressure Drop:"), "1.50 inHg");

    const CliResult two =
        RunCli({"calc", "airflow", "--flow", "600", "--at", "28", "--to", "2bbl", "--format", "json"});
    ASSERT_EQ(two.status, 0) << two.err.toStdString();
    EXPECT_DOUBLE_EQ(Json(two)["airflow"].toDouble(), 722.9);
    EXPECT_DOUBLE_EQ(Json(two)["pressure_drop_inhg"].toDouble(), 3.0);

    // The same pressure in mercury: both are brought to water first.
    EXPECT_EQ(Row(RunCli({"calc", "airflow", "--flow", "600", "--at-hg", "2.0664", "--to", "2bbl"}),
                  "Airflow Rate:"),
              "722.9 cfm");
}

TEST(CliCalcAirflow, ARatingBelow100CfmIsRefusedWith99)
{
    const CliResult low = RunCli({"calc", "airflow", "--flow", "100", "--at", "20.37", "--to", "4bbl"});
    EXPECT_EQ(low.status, 2);
    EXPECT_EQ(Row(low, "Airflow Rate:"), "99.9 cfm");
    EXPECT_TRUE(low.err.startsWith("Out-of-Range Airflow Rating Value:")) << low.err.toStdString();
    EXPECT_EQ(RunCli({"calc", "airflow", "--flow", "100", "--at", "20.33", "--to", "4bbl"}).status, 0);
}

TEST(CliCalcAirflow, ATargetInInchesOfWaterIsAFreeConversion)
{
    const CliResult free =
        RunCli({"calc", "airflow", "--flow", "600", "--at", "28", "--to", "13.55", "--format", "json"});
    ASSERT_EQ(free.status, 0) << free.err.toStdString();
    EXPECT_DOUBLE_EQ(Json(free)["airflow"].toDouble(), 417.4);
    EXPECT_NEAR(Json(free)["pressure_drop_inhg"].toDouble(), 1.0, 0.0005);

    // One measured pressure, a target, whole numbers, known standards.
    for (const QStringList& bad : {
             QStringList{"calc", "airflow", "--flow", "600", "--at", "28"},
             QStringList{"calc", "airflow", "--flow", "600", "--to", "4bbl"},
             QStringList{"calc", "airflow", "--flow", "600", "--at", "28", "--at-hg", "2", "--to", "4bbl"},
             QStringList{"calc", "airflow", "--flow", "600x", "--at", "28", "--to", "4bbl"},
             QStringList{"calc", "airflow", "--flow", "99", "--at", "28", "--to", "4bbl"},
             QStringList{"calc", "airflow", "--flow", "600", "--at", "28", "--to", "3bbl"},
         }) {
        const CliResult result = RunCli(bad);
        EXPECT_EQ(result.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

TEST(CliCalcCam, ACamCardGivesItsFourEvents)
{
    const CliResult seat = RunCli({"calc", "cam", "--lsa", "110", "--icl", "106", "--intake-duration", "280",
                                   "--exhaust-duration", "280"});
    ASSERT_EQ(seat.status, 0) << seat.err.toStdString();
    EXPECT_EQ(Row(seat, "IVO (degrees BTDC):"), "34.0");
    EXPECT_EQ(Row(seat, "IVC (degrees ABDC):"), "66.0");
    EXPECT_EQ(Row(seat, "EVO (degrees BBDC):"), "74.0");
    EXPECT_EQ(Row(seat, "EVC (degrees ATDC):"), "26.0");
}

TEST(CliCalcCam, EventsOutsideTheTimingMethodAreNullAndRefusedWith34)
{
    const CliResult fifty = RunCli({"calc", "cam", "--lsa", "110", "--icl", "106", "--intake-duration", "360",
                                    "--exhaust-duration", "280", "--timing", "050", "--format", "json"});
    EXPECT_EQ(fifty.status, 2);
    const QJsonObject json = Json(fifty);
    EXPECT_TRUE(json["ivo"].isNull());
    EXPECT_TRUE(json["ivc"].isNull());
    EXPECT_DOUBLE_EQ(json["evo"].toDouble(), 74.0);
    EXPECT_DOUBLE_EQ(json["evc"].toDouble(), 26.0);
    EXPECT_TRUE(fifty.err.contains("A valid Cam IVO value is Required")) << fifty.err.toStdString();

    const CliResult wide = RunCli({"calc", "cam", "--lsa", "110", "--icl", "106", "--intake-duration", "721",
                                   "--exhaust-duration", "280"});
    EXPECT_EQ(wide.status, 2);
    EXPECT_TRUE(wide.err.contains("-720.0 to 720.0 Deg")) << wide.err.toStdString();
}

TEST(CliCalc, NamesItsCalculatorsAndRefusesOthers)
{
    const CliResult help = RunCli({"--help"});
    EXPECT_TRUE(help.out.contains("  calc "));
    const CliResult calcHelp = RunCli({"calc", "--help"});
    EXPECT_EQ(calcHelp.status, 0);
    EXPECT_TRUE(calcHelp.out.contains("compression|airflow|cam"));
    EXPECT_EQ(RunCli({"calc"}).status, 2);
    EXPECT_EQ(RunCli({"calc", "boost"}).status, 2);
    EXPECT_EQ(RunCli({"calc", "cam", "extra", "--lsa", "1"}).status, 2);
}
