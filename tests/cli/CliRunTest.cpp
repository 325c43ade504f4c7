#include "CliTestSupport.h"

#include "base/Util.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

const char* const kSeriesKeys[] = {"rpm",  "power", "torque", "manifold_pressure", "volumetric_efficiency",
                                   "imep", "bmep",  "fmep"};
const int kSeriesOfKey[] = {kSeriesEngineSpeed,          kSeriesPower, kSeriesTorque, kSeriesManifoldPressure,
                            kSeriesVolumetricEfficiency, kSeriesImep,  kSeriesBmep,   kSeriesFmep};

// The engine as the desktop program shows it after opening and a run.
void OpenAndRun(CTorqDoc& doc, const fs::path& path)
{
    RecordingPresenter quiet;
    ASSERT_TRUE(OpenEngineDocument(doc, path.string()));
    ASSERT_TRUE(doc.RunSimulation(false, false));
}

float ParseFloat(const QString& text)
{
    const std::string digits = text.toStdString();
    return std::strtof(digits.c_str(), nullptr);
}

QStringList Lines(const QString& text)
{
    return text.split('\n', Qt::SkipEmptyParts);
}

}  // namespace

TEST(CliRun, TheTableIsTheDesktopResultsTableInGroupsOfFour)
{
    const fs::path path = fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-350-street.trq";
    CTorqDoc doc;
    OpenAndRun(doc, path);
    const CliResult result = RunCli({"run", Q(path)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());

    const QStringList lines = result.out.split('\n');
    EXPECT_EQ(lines[0], "CALCULATED POWER AND ENGINE PRESSURES");
    EXPECT_EQ(lines[3], "Engine   |Power     Torque    Int Man   Vol       IMEP      FMEP      BMEP");
    EXPECT_EQ(lines[4], "RPM      |(Fly)     (Fly)     Pressure  Eff %     Pressure  Pressure  Pressure");
    EXPECT_EQ(lines[5], "         |(hp)      (ft-lbs)  (psi)               (psi)     (psi)     (psi)");
    EXPECT_TRUE(lines[2].startsWith("---------+---"));
    EXPECT_TRUE(lines[6].startsWith("---------+---"));
    // The body: 19 rows and a blank row after every four, then the closing rule.
    const QStringList body = lines.mid(7, 23);
    EXPECT_TRUE(lines[7 + 23].startsWith("---------+---"));
    int row = 0;
    for (int index = 0; index < body.size(); ++index) {
        if (index % 5 == 4) {
            EXPECT_EQ(body[index], "         |") << "blank row after row " << row;
            continue;
        }
        const QStringList cells = body[index].mid(10).split(' ', Qt::SkipEmptyParts);
        ASSERT_EQ(cells.size(), 7) << body[index].toStdString();
        EXPECT_EQ(body[index].left(9).trimmed().toStdString(),
                  FormatC("%.0f", double(doc.GetResult(1, row))));
        EXPECT_EQ(cells[0].toStdString(), FormatC("%.0f", double(doc.GetResult(kSeriesPower, row))));
        EXPECT_EQ(cells[2].toStdString(),
                  FormatC("%.2f", double(doc.GetResult(kSeriesManifoldPressure, row))));
        EXPECT_EQ(cells[5].toStdString(), FormatC("%.1f", double(doc.GetResult(kSeriesFmep, row))))
            << "FMEP first";
        EXPECT_EQ(cells[6].toStdString(), FormatC("%.1f", double(doc.GetResult(kSeriesBmep, row))));
        ++row;
    }
    EXPECT_EQ(row, kResultPointCount);
    EXPECT_EQ(result.out.count("\n         |\n"), 4);
}

TEST(CliRun, CsvAndJsonGiveBackEveryResultOfEveryExampleExactly)
{
    const auto engines = ExampleEngines();
    ASSERT_GE(engines.size(), 6u);
    for (const fs::path& path : engines) {
        SCOPED_TRACE(path.filename().string());
        CTorqDoc doc;
        OpenAndRun(doc, path);

        const CliResult table = RunCli({"run", Q(path), "--format", "table"});
        EXPECT_EQ(table.status, 0);
        EXPECT_EQ(Lines(table.out).size(), 3 + 3 + 19 + 4 + 1);

        const CliResult csv = RunCli({"run", Q(path), "--format=csv"});
        ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
        const QStringList rows = Lines(csv.out);
        ASSERT_EQ(rows.size(), 1 + kResultPointCount);
        EXPECT_EQ(rows[0], "rpm,power,torque,manifold_pressure,volumetric_efficiency,imep,bmep,fmep");
        for (int point = 0; point < kResultPointCount; ++point) {
            const QStringList values = rows[point + 1].split(',');
            ASSERT_EQ(values.size(), 8);
            for (int column = 0; column < 8; ++column) {
                EXPECT_EQ(ParseFloat(values[column]), doc.GetResult(kSeriesOfKey[column], point))
                    << kSeriesKeys[column] << " at point " << point;
            }
        }

        const CliResult json = RunCli({"run", Q(path), "-f", "json"});
        ASSERT_EQ(json.status, 0);
        QJsonParseError error{};
        const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        EXPECT_EQ(root["file"].toString(), Q(path));
        EXPECT_EQ(root["engine"]["short_block"].toString().toStdString(), doc.ShortBlockType().GetText());
        EXPECT_EQ(float(root["engine"]["bore_in"].toDouble()), doc.Bore().GetEnglishValue());
        EXPECT_EQ(root["engine"]["cylinders"].toInt(), doc.NumberOfCylinders().GetValue());
        const QJsonObject results = root["results"].toObject();
        EXPECT_EQ(results.size(), 8);
        for (int column = 0; column < 8; ++column) {
            const QJsonArray values = results[kSeriesKeys[column]].toArray();
            ASSERT_EQ(values.size(), kResultPointCount) << kSeriesKeys[column];
            for (int point = 0; point < kResultPointCount; ++point) {
                EXPECT_EQ(float(values[point].toDouble()), doc.GetResult(kSeriesOfKey[column], point))
                    << kSeriesKeys[column] << " at point " << point;
            }
        }
    }
}

TEST(CliRun, AFileThatCannotBeReadGivesStatus2AndItsMessage)
{
    TempDir folder;
    WriteWholeFile(folder.File("old.trq"), "3.09\n0\n");
    const CliResult old = RunCli({"run", Q(folder.File("old.trq"))});
    EXPECT_EQ(old.status, 2);
    EXPECT_TRUE(old.out.isEmpty());
    EXPECT_TRUE(
        old.err.startsWith("Invalid File Version: The Torqwell File you have selected was not created\n"));
    EXPECT_EQ(old.err.count('\n'), 8) << "the message once, nothing else";

    const CliResult missing = RunCli({"run", Q(folder.File("missing.trq"))});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "File Error: Unable to Open the Selected File\n");

    std::string truncated = ReadWholeFile(fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-350-street.trq");
    WriteWholeFile(folder.File("cut.trq"), truncated.substr(0, truncated.size() / 3));
    const CliResult cut = RunCli({"run", Q(folder.File("cut.trq"))});
    EXPECT_EQ(cut.status, 2);
    EXPECT_TRUE(cut.err.startsWith("File Error: ")) << cut.err.toStdString();
}

TEST(CliRun, AnIncompleteOrUnrunnableEngineGivesStatus3AndItsMessageOnce)
{
    TempDir folder;
    // A big-block that 100 cfm cannot feed.
    std::string text = ReadWholeFile(fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-454-big-block.trq");
    const std::string induction = "\n1 850.000000\n";
    ASSERT_NE(text.find(induction), std::string::npos);

    std::string starved = text;
    starved.replace(starved.find(induction), induction.size(), "\n1 100.000000\n");
    WriteWholeFile(folder.File("starved.trq"), starved);
    const CliResult failed = RunCli({"run", Q(folder.File("starved.trq"))});
    EXPECT_EQ(failed.status, 3);
    EXPECT_TRUE(failed.err.startsWith("Simulation Run Time Error: The Torqwell was unable to complete"));
    EXPECT_EQ(failed.err.count("Simulation Run Time Error"), 1);

    std::string unset = text;
    unset.replace(unset.find(induction), induction.size(), "\n0 850.000000\n");
    WriteWholeFile(folder.File("unset.trq"), unset);
    const CliResult incomplete = RunCli({"run", Q(folder.File("unset.trq"))});
    EXPECT_EQ(incomplete.status, 3);
    EXPECT_EQ(incomplete.err, "Incomplete Engine: Induction Flow Selection Required\n");
}
