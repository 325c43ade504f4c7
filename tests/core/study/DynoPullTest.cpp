#include "study/DynoPull.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include "model/ResultsCsv.h"
#include "model/TorqDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>

namespace {

constexpr double kHpPerKw = 1000.0 / 745.699872;
constexpr double kLbFtPerNm = 1.0 / 1.3558179483;

PullReading Read(const std::string& text, const PullReadOptions& options = {})
{
    return ReadDynoPull(text, options);
}

// A refusal and its message.
std::string Refusal(const std::string& text, const PullReadOptions& options = {})
{
    const PullReading reading = Read(text, options);
    EXPECT_FALSE(reading.ok) << text;
    return reading.error;
}

TEST(DynoPull, ACommaSeparatedPullIsReadAndSortedBySpeed)
{
    const PullReading reading =
        Read("RPM,Power,Torque\n4000,200,262.6\n3000,150.5,263.5\n5000,240,252\n6000,250,218.8\n");
    ASSERT_TRUE(reading.ok) << reading.error;
    const DynoPull& pull = reading.pull;
    EXPECT_TRUE(pull.hasPower);
    EXPECT_TRUE(pull.hasTorque);
    ASSERT_EQ(pull.rows.size(), 4u);
    EXPECT_EQ(pull.rows[0].rpm, 3000.0);
    EXPECT_EQ(pull.rows[0].powerHp, 150.5);
    EXPECT_EQ(pull.rows[0].line, 3);
    EXPECT_EQ(pull.rows[3].torqueLbFt, 218.8);
    EXPECT_EQ(pull.PeakPowerHp(), 250.0);
    EXPECT_EQ(pull.PeakTorqueLbFt(), 263.5);
    EXPECT_TRUE(pull.notes.empty());
}

TEST(DynoPull, ASemicolonFileWithADecimalCommaAndMetricUnitsInItsHeaderIsConvertedToHpAndLbFt)
{
    const PullReading reading = Read(
        "Engine Speed;Power (kW);Torque [Nm]\n3000;100,5;320\n4000;140;334,2\n5000;160;305\n6000;150;240\n");
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_DOUBLE_EQ(reading.pull.rows[0].powerHp, 100.5 * kHpPerKw);
    EXPECT_DOUBLE_EQ(reading.pull.rows[1].torqueLbFt, 334.2 * kLbFtPerNm);
}

TEST(DynoPull, LinesBeforeTheHeaderCommentsAndBlankLinesAreSkippedInATabSeparatedFile)
{
    const std::string text =
        "Dyno run 12, 2024-05-01\r\n"
        "Operator: K. Jones\r\n"
        "\r\n"
        "Speed\tHP\tTQ\r\n"
        "# warm-up pass below\r\n"
        "2500\t110\t231\r\n"
        "\r\n"
        "3500\t170\t255\r\n"
        "4500\t215\t251\r\n"
        "5500\t235\t224\r\n";
    const PullReading reading = Read(text);
    ASSERT_TRUE(reading.ok) << reading.error;
    ASSERT_EQ(reading.pull.rows.size(), 4u);
    EXPECT_EQ(reading.pull.rows[0].line, 6);
    EXPECT_EQ(reading.pull.rows[3].powerHp, 235.0);
}

TEST(DynoPull, TheUnitsOfAHeaderWithoutThemAreTheOnesGivenAndAColumnMayBeNamed)
{
    PullReadOptions options;
    options.powerUnit = PullPowerUnit::MetricHorsepower;
    options.torqueUnit = PullTorqueUnit::NewtonMetre;
    const std::string text =
        "Motordrehzahl;Leistung;Drehmoment\n3000;100;300\n4000;140;330\n5000;160;300\n6000;150;240\n";
    EXPECT_NE(Refusal(text, options).find("no line names an engine-speed column"), std::string::npos);
    options.speedColumn = "motordrehzahl";
    options.powerColumn = "Leistung";
    options.torqueColumn = "Drehmoment";
    const PullReading reading = Read(text, options);
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_DOUBLE_EQ(reading.pull.rows[0].powerHp, 100.0 * 735.49875 / 745.699872);
    EXPECT_DOUBLE_EQ(reading.pull.rows[0].torqueLbFt, 300.0 * kLbFtPerNm);
}

TEST(DynoPull, APullSaysWhetherItsFileNamesTheUnitsSoThatTheDialogAsksOnlyForTheOthers)
{
    const auto named = [](const std::string& header) {
        const PullReading reading =
            Read(header + "\n3000,100,300\n4000,140,330\n5000,160,300\n6000,150,240\n");
        EXPECT_TRUE(reading.ok) << header << ": " << reading.error;
        return std::pair(reading.pull.powerUnitNamed, reading.pull.torqueUnitNamed);
    };
    EXPECT_EQ(named("RPM,Power (kW),Torque [Nm]"), std::pair(true, true));
    EXPECT_EQ(named("RPM,BHP,ft-lbs"), std::pair(true, true));
    EXPECT_EQ(named("RPM,Power,Torque"), std::pair(false, false));
    EXPECT_EQ(named("RPM,PS,TQ"), std::pair(true, false));
}

TEST(DynoPull, APullWithOnlyTorqueInANamedUnitColumnIsTaken)
{
    const PullReading reading = Read("rpm,Nm\n3000,300\n4000,330\n5000,300\n6000,240\n");
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_FALSE(reading.pull.hasPower);
    EXPECT_TRUE(reading.pull.hasTorque);
    EXPECT_DOUBLE_EQ(reading.pull.rows[1].torqueLbFt, 330.0 * kLbFtPerNm);
    EXPECT_EQ(reading.pull.PeakPowerHp(), 0.0);
}

TEST(DynoPull, TheCommandLinesOwnCsvIsAPullWhoseOtherColumnsAreSkippedWithANote)
{
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    const PullReading reading = Read(FormatResultsCsv(engine));
    ASSERT_TRUE(reading.ok) << reading.error;
    ASSERT_EQ(reading.pull.rows.size(), 19u);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(reading.pull.rows[i].rpm, engine.GetResult(kSeriesEngineSpeed, i));
        EXPECT_EQ(float(reading.pull.rows[i].powerHp), engine.GetResult(kSeriesPower, i))
            << "9 digits give the float back";
        EXPECT_EQ(float(reading.pull.rows[i].torqueLbFt), engine.GetResult(kSeriesTorque, i));
    }
    ASSERT_EQ(reading.pull.notes.size(), 1u);
    EXPECT_EQ(
        reading.pull.notes[0],
        "skipped 5 columns it does not use: manifold_pressure, volumetric_efficiency, imep, bmep, fmep");
}

TEST(DynoPull, AColumnInAnUnknownUnitIsSkippedWithANoteAndTheRestTaken)
{
    const PullReading reading = Read(
        "RPM,Power (whp),Torque (lb-ft),AFR\n3000,130,230,12.5\n4000,170,225,12.8\n5000,190,200,12.9\n6000,"
        "180,158,13.0\n");
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_FALSE(reading.pull.hasPower);
    EXPECT_TRUE(reading.pull.hasTorque);
    ASSERT_EQ(reading.pull.notes.size(), 2u);
    EXPECT_EQ(reading.pull.notes[0],
              "skipped column 2 (Power (whp)): the power unit 'whp' is not known (hp, kW or PS)");
    EXPECT_EQ(reading.pull.notes[1], "skipped 1 column it does not use: AFR");
}

TEST(DynoPull, RefusalsNameTheLineAndTheColumn)
{
    EXPECT_EQ(Refusal("Power,Torque\n200,300\n"),
              "line 1: no engine-speed column (RPM, Engine Speed or Speed)");
    EXPECT_EQ(Refusal("a pull\n1,2,3\n"),
              "no line names an engine-speed column (RPM, Engine Speed or Speed)");
    EXPECT_EQ(Refusal("RPM,AFR\n3000,12\n"),
              "line 1: no power column (Power, HP, BHP, kW, PS) and no torque column (Torque, TQ, lb-ft, "
              "ft-lbs, Nm)");
    EXPECT_EQ(Refusal("RPM,HP\n1500,80\n3000,150\n4000,200\n5000,240\n11500,10\n"),
              "line 1, column 1 (RPM): 3 rows between 2000 and 11000 rpm; a pull needs at least 4");
    EXPECT_EQ(Refusal("RPM,HP\n3000,150\n4000,200\n3000,151\n5000,240\n"),
              "line 4, column 1 (RPM): the speed 3000 is given twice (line 2)");
    EXPECT_EQ(Refusal("RPM,HP\n3000,150\nabout 4000,200\n"),
              "line 3, column 1 (RPM): 'about 4000' is not a number");
    EXPECT_EQ(Refusal("RPM;HP;TQ\n3000;150;260\n4000;-2,5;262\n"), "line 3, column 2 (HP): -2,5 is negative");
    EXPECT_EQ(Refusal("RPM,HP,TQ\n3000,150,260\n4000,200,inf\n"),
              "line 3, column 3 (TQ): 'inf' is not a finite number");
    EXPECT_EQ(Refusal("RPM,HP,TQ\n3000,150,260\n4000,nan,262\n"),
              "line 3, column 2 (HP): 'nan' is not a finite number");
    EXPECT_EQ(Refusal("RPM,HP,TQ\n3000,150,260\n4000,200\n"), "line 3, column 3 (TQ): no number");
    EXPECT_EQ(Refusal("RPM,HP\n3000,1e999\n"), "line 2, column 2 (HP): '1e999' is not a finite number");
}

TEST(DynoPull, AFileThatCannotBeReadIsRefused)
{
    TempDir folder;
    EXPECT_EQ(ReadDynoPullFile(folder.File("missing.csv").string()).error, "cannot be read");
    EXPECT_EQ(ReadDynoPullFile(folder.Path().string()).error, "cannot be read");
    WriteWholeFile(folder.File("pull.csv"), "\xEF\xBB\xBFRPM,HP\n3000,150\n4000,200\n5000,240\n6000,250");
    const PullReading reading = ReadDynoPullFile(folder.File("pull.csv").string());
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_EQ(reading.pull.rows.back().powerHp, 250.0) << "a last line without its end";
}

TEST(DynoPull, UnitNamesAreTakenWithoutRegardToCase)
{
    PullPowerUnit power = PullPowerUnit::Horsepower;
    EXPECT_TRUE(ParsePullPowerUnit("KW", power));
    EXPECT_EQ(power, PullPowerUnit::Kilowatt);
    EXPECT_FALSE(ParsePullPowerUnit("whp", power));
    PullTorqueUnit torque = PullTorqueUnit::PoundFeet;
    EXPECT_TRUE(ParsePullTorqueUnit("nm", torque));
    EXPECT_EQ(torque, PullTorqueUnit::NewtonMetre);
    EXPECT_FALSE(ParsePullTorqueUnit("kgm", torque));
}

TEST(DynoPull, ADotBetweenTheUnitsReadsAsTheUnitWrittenWithAHyphen)
{
    // "lb·ft" and "N·m" as a spreadsheet writes them, the dot in UTF-8.
    const PullReading reading = Read(
        "RPM,Torque (lb\xC2\xB7"
        "ft),Torque (N\xC2\xB7m)\n3000,300,400\n"
        "4000,330,420\n5000,300,410\n6000,240,330\n");
    ASSERT_TRUE(reading.ok) << reading.error;
    EXPECT_DOUBLE_EQ(reading.pull.rows[1].torqueLbFt, 330.0);
}

}  // namespace

namespace {

// Every answer of the reader, whatever it was given: a refusal says why; a
// pull has its rows sorted, no speed twice, at least four rows in the
// model's speeds, and only finite figures that are not negative.
void ExpectSoundReading(const std::string& text)
{
    const PullReading reading = ReadDynoPull(text);
    if (!reading.ok) {
        EXPECT_FALSE(reading.error.empty());
        return;
    }
    const std::vector<PullRow>& rows = reading.pull.rows;
    int inside = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(rows[i - 1].rpm, rows[i].rpm);
        }
        EXPECT_TRUE(std::isfinite(rows[i].powerHp) && rows[i].powerHp >= 0.0);
        EXPECT_TRUE(std::isfinite(rows[i].torqueLbFt) && rows[i].torqueLbFt >= 0.0);
        inside += rows[i].rpm >= kPullLowestRpm && rows[i].rpm <= kPullHighestRpm ? 1 : 0;
    }
    EXPECT_GE(inside, kPullFewestRows);
}

TEST(DynoPull, AnyTextGivesAPullThatHoldsTogetherOrARefusal)
{
    const std::string pull =
        "# run 3\nRPM;Power (kW);Torque [Nm]\n3000;100,5;320\n4000;140;334,2\n5000;160;305\n"
        "6000;150;240\n6500;140;205\n";
    std::mt19937 random(5);
    const char alphabet[] = "0123456789.,;\t\n\r#-+eE\"( )[]RPMkWNminf";
    for (int trial = 0; trial < 3000; ++trial) {
        std::string text = pull;
        const int changes = 1 + int(random() % 6);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0:
                    text[at] = alphabet[random() % (sizeof alphabet - 1)];
                    break;
                case 1:
                    text.erase(at, 1 + random() % 4);
                    break;
                default:
                    text.insert(at, 1, alphabet[random() % (sizeof alphabet - 1)]);
                    break;
            }
            if (text.empty()) text = "x";
        }
        SCOPED_TRACE(text);
        ExpectSoundReading(text);
        if (HasFailure()) return;
    }
}

}  // namespace
