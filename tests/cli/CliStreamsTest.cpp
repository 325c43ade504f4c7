#include "CliFixtures.h"
#include "CliSupport.h"
#include "CliTestSupport.h"

#include "TempFile.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(CliOutput, AStandardOutputThatCannotBeWrittenFailsTheCommandWithAMessage)
{
    TempDir folder;
    const std::string chevy = (ExamplesFolder() / "chevy-350-street.trq").string();
    const std::vector<std::string> commands[] = {
        {"run", chevy, "--format", "csv"},
        {"run", chevy, "--format", "json"},
        {"run", chevy},
        {"iterate", chevy, "--sweep", "ivc=60:62:1", "--threads", "1"},
        {"iterate", chevy, "--sweep", "ivc=60:62:1", "--threads", "1", "--format", "json"},
        {"--help"},
        {"new", "--help"},
        {"--version"},
        {"new", "--list", "blocks"},
        {"convert", chevy, "-o", folder.File("converted.trq").string()},  // its "Wrote" line
    };
    for (const auto& arguments : commands) {
        const ProcessResult result = RunProgram(arguments, "/dev/full");
        EXPECT_EQ(result.status, 2) << arguments.front() << " " << arguments.back();
        EXPECT_EQ(result.err, "torqwell-cli: cannot write the standard output: No space left on device\n")
            << arguments.front() << " " << arguments.back();
    }
    const ProcessResult terminal = RunProgram({"run", chevy});
    EXPECT_EQ(terminal.status, 0);
    EXPECT_EQ(terminal.out.substr(0, 38), "CALCULATED POWER AND ENGINE PRESSURES\n");
}

TEST(CliNames, EveryArgumentByteSurvivesTheParserAndComesBackForTheFileSystem)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string name = "x" + std::string(1, char(byte)) + ".trq";
        EXPECT_EQ(cli::LocalPath(cli::ArgumentText(name)), name) << byte;
    }
    // UTF-8 reads as text; broken or overlong sequences and encoded surrogates stay bytes.
    for (const std::string name : {"Motorpr\xc3\xa9par\xc3\xa9.trq", "\xf0\x9f\x94\xa7 \xe2\x82\xac", "\xc3",
                                   "\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                                   "a\xff\xfe"
                                   "b\xc3\xa9"}) {
        EXPECT_EQ(cli::LocalPath(cli::ArgumentText(name)), name);
    }
    EXPECT_EQ(cli::ArgumentText("Motorpr\xc3\xa9par\xc3\xa9"),
              QString::fromUtf8("Motorpr\xc3\xa9par\xc3\xa9"));
    EXPECT_EQ(cli::ArgumentText("a\xff").size(), 2);
}

TEST(CliNames, FileNamesThatAreNotUtf8PassFromTheCommandLineToTheFileAsBytes)
{
    TempDir folder;
    const std::string odd = folder.File("odd\xff.trq").string();
    fs::copy_file(ExamplesFolder() / "chevy-350-street.trq", odd);

    const ProcessResult run = RunProgram({"run", odd, "--format", "csv"});
    EXPECT_EQ(run.status, 0) << run.err;

    const std::string converted = folder.File("new\xfe\xe9.trq").string();
    const ProcessResult convert = RunProgram({"convert", odd, "-o", converted});
    EXPECT_EQ(convert.status, 0) << convert.err;
    EXPECT_TRUE(fs::exists(converted));
    EXPECT_EQ(convert.out, "Wrote " + converted + "\n");

    // The game file takes the engine's own name, cut to 8.3.
    const ProcessResult game = RunProgram({"export-game", odd, "-o", folder.Path().string()});
    EXPECT_EQ(game.status, 0) << game.err;
    EXPECT_TRUE(fs::exists(folder.File("odd\xff.gme")));
    EXPECT_EQ(FilesIn(folder.Path()), 3u);
}
