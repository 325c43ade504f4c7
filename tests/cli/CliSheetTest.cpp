#include "CliFixtures.h"
#include "CliTestSupport.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace fs = std::filesystem;

namespace {

// The tool as its own process, without a display: no X server, no platform
// chosen unless given.
CliResult RunWithoutDisplay(const QStringList& arguments, const QString& platform = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("XDG_RUNTIME_DIR");
    environment.remove("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) environment.insert("QT_QPA_PLATFORM", platform);
    process.setProcessEnvironment(environment);
    process.start(TORQWELL_CLI_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

TEST(CliSheet, AnExampleGivesAOnePagePdfAPngAndAnSvgWithoutADisplay)
{
    TempDir folder;
    const QString engine = Example("ford-302-nitrous.trq");
    for (const char* name : {"sheet.pdf", "sheet.png", "sheet.svg"}) {
        SCOPED_TRACE(name);
        const QString output = Q(folder.File(name));
        const CliResult result = RunWithoutDisplay({"sheet", engine, "-o", output});
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
        EXPECT_EQ(result.out, "Wrote " + output + "\n");
        EXPECT_EQ(result.err, "") << "without XDG_RUNTIME_DIR too, the error stream is the program's own";
    }
    const std::string pdf = ReadWholeFile(folder.File("sheet.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1)) {
        ++pages;
    }
    EXPECT_EQ(pages, 1u);
    EXPECT_EQ(ReadWholeFile(folder.File("sheet.png")).substr(1, 3), "PNG");
    const std::string svg = ReadWholeFile(folder.File("sheet.svg"));
    for (const char* text : {"ford-302-nitrous.trq", "CALCULATED POWER AND ENGINE PRESSURES", "Peak power",
                             "(hp)", "Power (HP)-ford-302-nitrous.trq", "SHORT BLOCK"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
}

TEST(CliSheet, ExistingTargetsTheEngineItselfAndUnknownFormatsAreRefused)
{
    TempDir folder;
    const QString engine = Example("chevy-350-street.trq");
    const QString output = Q(folder.File("sheet.svg"));
    WriteWholeFile(folder.File("sheet.svg"), "kept");
    const CliResult exists = RunCli({"sheet", engine, "-o", output});
    EXPECT_EQ(exists.status, 2);
    EXPECT_TRUE(exists.err.contains("exists; use --force")) << exists.err.toStdString();
    EXPECT_EQ(ReadWholeFile(folder.File("sheet.svg")), "kept");
    const CliResult forced = RunCli({"sheet", engine, "-o", output, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_NE(ReadWholeFile(folder.File("sheet.svg")).find("</svg>"), std::string::npos);

    // The engine file is never written over, whatever its name.
    fs::copy_file(engine.toStdString(), folder.File("engine.pdf"));
    const std::string before = ReadWholeFile(folder.File("engine.pdf"));
    const CliResult self =
        RunCli({"sheet", Q(folder.File("engine.pdf")), "-o", Q(folder.File("engine.pdf")), "--force"});
    EXPECT_EQ(self.status, 2);
    EXPECT_TRUE(self.err.contains("is the engine file it reads"));
    EXPECT_EQ(ReadWholeFile(folder.File("engine.pdf")), before);

    const CliResult format = RunCli({"sheet", engine, "-o", Q(folder.File("sheet.jpg"))});
    EXPECT_EQ(format.status, 2);
    EXPECT_TRUE(format.err.contains(".pdf, .png or .svg"));
    const CliResult noOutput = RunCli({"sheet", engine});
    EXPECT_EQ(noOutput.status, 2);
    const CliResult units = RunCli({"sheet", engine, "-o", Q(folder.File("u.pdf")), "--units", "kw"});
    EXPECT_EQ(units.status, 2);
    EXPECT_TRUE(units.err.contains("english, kpa or bar"));

    // A folder that is not there: status 2, the file named, nothing written.
    const QString missing = Q(folder.File("gone") / "sheet.pdf");
    const CliResult unwritable = RunCli({"sheet", engine, "-o", missing});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(unwritable.err.contains(missing)) << unwritable.err.toStdString();
    EXPECT_FALSE(fs::exists(folder.File("gone")));
}

TEST(CliSheet, AMetricEngineCanBeShownInKilowattsAndAnEnglishOneStaysInHorsepower)
{
    TempDir folder;
    const CliResult metric =
        RunCli({"sheet", Example("honda-4valve-four.trq"), "-o", Q(folder.File("m.svg")), "--units", "bar"});
    ASSERT_EQ(metric.status, 0) << metric.err.toStdString();
    const std::string svg = ReadWholeFile(folder.File("m.svg"));
    EXPECT_NE(svg.find("Power (kW)"), std::string::npos);
    EXPECT_NE(svg.find("(bar)"), std::string::npos);
    EXPECT_EQ(svg.find("(hp)"), std::string::npos);

    const CliResult english =
        RunCli({"sheet", Example("chevy-350-street.trq"), "-o", Q(folder.File("e.svg")), "--units", "kpa"});
    ASSERT_EQ(english.status, 0) << english.err.toStdString();
    EXPECT_NE(ReadWholeFile(folder.File("e.svg")).find("(hp)"), std::string::npos);
}

TEST(CliSheet, AnIncompleteEngineGivesStatus3ItsMessageAndNoSheet)
{
    TempDir folder;
    std::string text = ReadWholeFile(fs::path(TORQWELL_SOURCE_DIR) / "examples/chevy-454-big-block.trq");
    const std::string induction = "\n1 850.000000\n";
    ASSERT_NE(text.find(induction), std::string::npos);
    text.replace(text.find(induction), induction.size(), "\n0 850.000000\n");
    WriteWholeFile(folder.File("unset.trq"), text);
    const CliResult incomplete =
        RunCli({"sheet", Q(folder.File("unset.trq")), "-o", Q(folder.File("s.pdf"))});
    EXPECT_EQ(incomplete.status, 3);
    EXPECT_EQ(incomplete.err, "Incomplete Engine: Induction Flow Selection Required\n");
    EXPECT_FALSE(fs::exists(folder.File("s.pdf")));
}

TEST(CliSheet, APullIsDrawnBesideTheCurvesWithItsRmsAndABadPullIsRefusedBeforeAnythingIsWritten)
{
    TempDir folder;
    const QString engine = Example("chevy-350-street.trq");
    // Power in kW by the option, torque in N·m by its header, and a column it skips.
    WriteWholeFile(folder.File("day1.csv"),
                   "RPM,Power,Torque (Nm),AFR\n3000,150,450,12.5\n4000,190,460,12.6\n"
                   "5000,220,420,12.8\n6000,230,365,12.9\n");
    const QString output = Q(folder.File("sheet.svg"));
    const CliResult drawn =
        RunCli({"sheet", engine, "-o", output, "--pull", Q(folder.File("day1.csv")), "--power-unit", "kW"});
    ASSERT_EQ(drawn.status, 0) << drawn.err.toStdString();
    EXPECT_TRUE(drawn.err.contains("day1.csv") && drawn.err.contains("AFR")) << drawn.err.toStdString();
    const std::string svg = ReadWholeFile(folder.File("sheet.svg"));
    for (const char* text : {"Measured: day1.csv", "RMS difference", "over 7 speeds"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;

    // A pull with a word for a speed: refused with its line and column, no sheet.
    WriteWholeFile(folder.File("bad.csv"), "RPM,Power\n3000,100\nfast,120\n5000,140\n6000,150\n7000,155\n");
    const CliResult bad =
        RunCli({"sheet", engine, "-o", Q(folder.File("bad.svg")), "--pull", Q(folder.File("bad.csv"))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("bad.csv") && bad.err.contains("line 3, column 1")) << bad.err.toStdString();
    EXPECT_FALSE(fs::exists(folder.File("bad.svg")));

    const CliResult unit = RunCli({"sheet", engine, "-o", Q(folder.File("u.svg")), "--pull",
                                   Q(folder.File("day1.csv")), "--torque-unit", "kgm"});
    EXPECT_EQ(unit.status, 2);
    EXPECT_TRUE(unit.err.contains("lb-ft or Nm")) << unit.err.toStdString();

    // The pull is never written over, whatever its name.
    fs::copy_file(folder.File("day1.csv"), folder.File("day1.svg"));
    const CliResult self = RunCli({"sheet", engine, "-o", Q(folder.File("day1.svg")), "--pull",
                                   Q(folder.File("day1.svg")), "--power-unit", "kW", "--force"});
    EXPECT_EQ(self.status, 2);
    EXPECT_TRUE(self.err.contains("is a pull it reads")) << self.err.toStdString();
    EXPECT_EQ(ReadWholeFile(folder.File("day1.svg")), ReadWholeFile(folder.File("day1.csv")));
}

TEST(CliSheet, APlatformThatCannotStartGivesStatus2AndAMessageInsteadOfAnAbort)
{
    TempDir folder;
    for (const char* platform : {"xcb", "no-such-platform"}) {
        SCOPED_TRACE(platform);
        const CliResult result = RunWithoutDisplay(
            {"sheet", Example("chevy-350-street.trq"), "-o", Q(folder.File("s.pdf"))}, platform);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err,
                  QString("torqwell-cli sheet: the Qt platform '%1' (QT_QPA_PLATFORM) cannot start "
                          "here; without QT_QPA_PLATFORM the sheet is drawn offscreen\n")
                      .arg(platform));
        EXPECT_EQ(FilesIn(folder.Path()), 0u);
    }
}

TEST(CliSheet, ASheetNameThatIsNotUtf8IsWrittenAsItsBytesAndReplacesNoOtherFile)
{
    TempDir folder;
    const std::string latin1 = folder
                                   .File(
                                       "pr\xfc"
                                       "fstand.svg")
                                   .string();
    // What a conversion of the name to text and back would give.
    WriteWholeFile(folder.File("pr\xef\xbf\xbd"
                               "fstand.svg"),
                   "an unrelated file");
    const std::string engine = (ExamplesFolder() / "chevy-350-street.trq").string();
    const ProcessResult sheet = RunProgram({"sheet", engine, "-o", latin1, "--force"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    EXPECT_EQ(sheet.out, "Wrote " + latin1 + "\n");
    EXPECT_NE(ReadWholeFile(latin1).find("</svg>"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(folder.File("pr\xef\xbf\xbd"
                                        "fstand.svg")),
              "an unrelated file");
    EXPECT_EQ(FilesIn(folder.Path()), 2u);
    const ProcessResult again = RunProgram({"sheet", engine, "-o", latin1});
    EXPECT_EQ(again.status, 2) << "it exists, by its bytes";
}
