#include "CliTestSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "EngineSnapshot.h"
#include "RecordingPresenter.h"
#include "TempFile.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Every number of the lines from the first on agrees within a relative tolerance.
void ExpectNumbersNear(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                       std::size_t first, double tolerance)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t line = first; line < actual.size(); ++line) {
        std::istringstream a(actual[line]);
        std::istringstream b(expected[line]);
        int numbers = 0;
        for (double x, y; a >> x && b >> y; ++numbers) {
            EXPECT_NEAR(x, y, tolerance * std::max(1.0, std::abs(y)))
                << actual[line] << " / " << expected[line];
        }
        EXPECT_EQ(numbers, 3) << actual[line];
    }
}

CliResult RunBinary(const QStringList& arguments)
{
    QProcess process;
    process.start(TORQWELL_CLI_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TEST(CliExport, TheDosRecordIsWrittenUnderItsShortNameAndAnExistingShortNameIsRefused)
{
    TempDir folder;
    const QString engine = Example("chevy-350-street.trq");
    const CliResult proposed = RunCli({"export-dos", engine, "-o", Q(folder.Path())});
    ASSERT_EQ(proposed.status, 0) << proposed.err.toStdString();
    EXPECT_EQ(fs::file_size(folder.File("chevy-35.trq")), 815u) << "the engine's title in 8.3 form";
    EXPECT_EQ(proposed.out, "Wrote " + Q(folder.File("chevy-35.trq")) + "\n");

    const QString longName = Q(folder.File("MYENGINE2001.trq"));
    EXPECT_EQ(RunCli({"export-dos", engine, "-o", longName}).status, 0);
    EXPECT_EQ(fs::file_size(folder.File("MYENGINE.trq")), 815u);
    const CliResult collision = RunCli({"export-dos", engine, "-o", longName});
    EXPECT_EQ(collision.status, 2);
    EXPECT_TRUE(
        collision.err.startsWith("File Export Error: After converting the file name entered to the DOS 8"));

    const CliResult turbo = RunCli({"export-dos", Example("buick-231-turbo.trq"), "-o", Q(folder.Path())});
    EXPECT_EQ(turbo.status, 3);
    EXPECT_TRUE(turbo.err.startsWith("File Export Error: Forced Induction specified."))
        << turbo.err.toStdString();
    const CliResult metric = RunCli({"export-dos", Example("honda-4valve-four.trq"), "-o", Q(folder.Path())});
    EXPECT_EQ(metric.status, 3);
    EXPECT_TRUE(
        metric.err.startsWith("File Export Error: File exporting requires that the units are set to"));
}

TEST(CliExport, TheGameFileOfANitrousEngineHoldsTheGasolineRunFirst)
{
    TempDir folder;
    const CliResult result =
        RunCli({"export-game", Example("ford-302-nitrous.trq"), "-o", Q(folder.File("f302.gme"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const auto lines = SplitLines(ReadWholeFile(folder.File("f302.gme")));
    ASSERT_EQ(lines.size(), 8u + 38u);
    EXPECT_EQ(lines[1], "NAME: Ford 302");
    EXPECT_EQ(lines[5], "NITROUS: 1");
    EXPECT_NE(lines[8], lines[27]) << "gasoline and nitrous runs differ";

    const CliResult missing =
        RunCli({"export-game", Q(folder.File("none.trq")), "-o", Q(folder.File("x.gme"))});
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(fs::exists(folder.File("x.gme")));
}

TEST(CliConvert, AnOldFileIsSavedAsVersion310WithFreshResults)
{
    TempDir folder;
    std::string text = ReadWholeFile(fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-454-big-block.trq");
    auto lines = SplitLines(text);
    lines[0] = "3.07";
    // A 3.07 file ends with its airflow block and has no results.
    lines.resize(lines.size() - 50);
    std::string old;
    for (const std::string& line : lines) old += line + "\r\n";
    WriteWholeFile(folder.File("old.trq"), old);

    const CliResult result =
        RunCli({"convert", Q(folder.File("old.trq")), "-o", Q(folder.File("new.trq")), "--units", "metric"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const auto converted = SplitLines(ReadWholeFile(folder.File("new.trq")));
    const auto example = SplitLines(text);
    ASSERT_EQ(converted.size(), example.size());
    EXPECT_EQ(converted[0], "3.10");
    EXPECT_EQ(converted[1], "1") << "metric";
    // The engine line by line; the results of the metric engine within the
    // float rounding that the millimetres bring in.
    const std::size_t results = example.size() - 38;
    for (std::size_t line = 2; line < results; ++line) {
        EXPECT_EQ(converted[line], example[line]) << "line " << line;
    }
    ExpectNumbersNear(converted, example, results, 1e-5);
}

TEST(CliConvert, AnEngineThatCannotRunIsOnlySavedWhenAllowed)
{
    TempDir folder;
    // A big-block that 100 cfm cannot feed.
    std::string text = ReadWholeFile(fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-454-big-block.trq");
    text.replace(text.find("\n1 850.000000\n"), 14, "\n1 100.000000\n");
    WriteWholeFile(folder.File("starved.trq"), text);
    const QString in = Q(folder.File("starved.trq"));
    const QString out = Q(folder.File("out.trq"));

    const CliResult refused = RunCli({"convert", in, "-o", out});
    EXPECT_EQ(refused.status, 3);
    EXPECT_FALSE(fs::exists(folder.File("out.trq")));
    EXPECT_EQ(refused.err.count("Simulation Run Time Error"), 1);

    const CliResult allowed = RunCli({"convert", in, "-o", out, "--allow-no-results"});
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_TRUE(allowed.err.contains("Answered OK."));
    EXPECT_EQ(SplitLines(ReadWholeFile(folder.File("out.trq"))).back(), "0 0.000000 0.000000");

    EXPECT_EQ(RunCli({"convert", in}).status, 2) << "no output";
    EXPECT_EQ(RunCli({"convert", in, "-o", out, "--units", "imperial"}).status, 2);
    WriteWholeFile(folder.File("junk.trq"), std::string("\x7f"
                                                        "ELF\x02\x01",
                                                        6));
    EXPECT_EQ(RunCli({"convert", Q(folder.File("junk.trq")), "-o", out}).status, 2);
}

TEST(CliTool, HelpVersionAndUnknownCommands)
{
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "torqwell-cli 3.10\n");

    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const cli::CliCommand& command : cli::Commands()) {
        EXPECT_TRUE(help.out.contains(QString("  ") + command.name)) << command.name;
        const CliResult own = RunCli({command.name, "--help"});
        EXPECT_EQ(own.status, 0) << command.name;
        EXPECT_TRUE(own.out.startsWith(QString("Usage: torqwell-cli ") + command.name + " ")) << command.name;
        EXPECT_EQ(RunCli({"help", command.name}).out, own.out) << command.name;
    }
    EXPECT_EQ(RunCli({}).status, 2);
    EXPECT_EQ(RunCli({"run"}).status, 2) << "no engine file";
    const CliResult format = RunCli({"run", Example("chevy-350-street.trq"), "--format", "xml"});
    EXPECT_EQ(format.status, 2);
    EXPECT_TRUE(format.err.startsWith("torqwell-cli run: unknown format 'xml'"));
    const CliResult unknown = RunCli({"dance"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "torqwell-cli: unknown command 'dance'\nTry 'torqwell-cli --help'.\n");
}

TEST(CliTool, TheProgramItselfRunsAnExampleAndRefusesWhatItCannotRead)
{
    const CliResult run = RunBinary({"run", Example("chevy-350-street.trq")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("CALCULATED POWER AND ENGINE PRESSURES\n"));

    TempDir folder;
    WriteWholeFile(folder.File("bad.trq"), "3.10\n7\n");
    const CliResult bad = RunBinary({"run", Q(folder.File("bad.trq"))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.startsWith("File Error: The File you have selected contains an invalid value."));

    const CliResult device = RunBinary({"run", "/dev/zero"});
    EXPECT_EQ(device.status, 2);
    EXPECT_EQ(device.err, "File Error: Unable to Open the Selected File\n");
}

namespace {

// Runs the commands of the README of an examples folder (relative to the
// source tree) in a scratch folder and compares what they write with the
// files kept there; every file of the folder but those named comes from a command.
void ExpectReadmeCommandsWriteTheFolder(const std::string& relative, std::size_t notFromCommands)
{
    const fs::path examples = fs::path(TORQWELL_SOURCE_DIR) / relative;
    const auto commands = ReadmeCommands(examples / "README.md");
    ASSERT_GE(commands.size(), 6u);
    TempDir folder;
    const QString prefix = QString::fromStdString(relative + "/");
    for (QStringList command : commands) {
        ASSERT_EQ(command.front(), "torqwell-cli");
        command.removeFirst();
        for (QString& word : command) {
            if (word.startsWith(prefix)) word = Q(folder.Path()) + "/" + word.mid(prefix.size());
        }
        const CliResult result = RunCli(command);
        ASSERT_EQ(result.status, 0) << command.join(' ').toStdString() << "\n" << result.err.toStdString();
    }
    std::size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++compared;
        const auto made = SplitLines(ReadWholeFile(entry.path()));
        const auto kept = SplitLines(ReadWholeFile(examples / name));
        if (entry.path().extension() != ".trq") {
            EXPECT_EQ(made, kept);
            continue;
        }
        // The engine exactly; its results within a small tolerance, so that a
        // change of the model in the last digits does not call for new files.
        ASSERT_EQ(made.size(), kept.size());
        const std::size_t results = made.size() - 38;
        EXPECT_EQ(std::vector<std::string>(made.begin(), made.begin() + std::ptrdiff_t(results)),
                  std::vector<std::string>(kept.begin(), kept.begin() + std::ptrdiff_t(results)));
        ExpectNumbersNear(made, kept, results, 1e-3);
    }
    // Folders (cluster/ holds scripts, reference/ engines of their own) are not example files.
    const auto files =
        std::count_if(fs::directory_iterator(examples), fs::directory_iterator(),
                      [](const fs::directory_entry& entry) { return entry.is_regular_file(); });
    EXPECT_EQ(compared, std::size_t(files) - notFromCommands) << "every engine file comes from a command";
}

}  // namespace

TEST(Examples, TheReadmeCommandsWriteTheExampleFiles)
{
    ExpectReadmeCommandsWriteTheFolder("examples", 1);  // README.md
}

TEST(Examples, TheReferenceReadmeCommandsWriteTheReferenceEngines)
{
    ExpectReadmeCommandsWriteTheFolder("examples/reference", 2);  // README.md, published.json
}
