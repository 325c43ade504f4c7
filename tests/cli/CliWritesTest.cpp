#include "CliFixtures.h"
#include "CliTestSupport.h"

#include "FileTargets.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// A copy of the Chevy 350 example whose name fits 8.3, so that the DOS
// record's proposed name is the engine file's own.
fs::path CopyOfChevy(const TempDir& folder, const char* name = "myeng.trq")
{
    const fs::path engine = folder.File(name);
    fs::copy_file(ExamplesFolder() / "chevy-350-street.trq", engine);
    return engine;
}

// The arguments without an option and its value.
QStringList Without(QStringList arguments, const QString& option)
{
    const qsizetype at = arguments.indexOf(option);
    if (at >= 0) arguments.remove(at, 2);
    return arguments;
}

}  // namespace

TEST(CliWrites, NoCommandWritesOverAFileItReadsWhateverNameReachesIt)
{
    TempDir folder;
    const fs::path engine = CopyOfChevy(folder);
    const std::string original = ReadWholeFile(engine);
    fs::create_hard_link(engine, folder.File("hard.trq"));
    fs::create_symlink(engine, folder.File("link.trq"));
    fs::create_directory(folder.File("sub"));

    // The DOS record's default name is the engine itself; --force changes nothing.
    const CliResult defaultName = RunCli({"export-dos", Q(engine), "-o", Q(folder.Path()), "--force"});
    EXPECT_EQ(defaultName.status, 2);
    EXPECT_EQ(defaultName.err, "torqwell-cli export-dos: '" + Q(engine) +
                                   "' is a file this command reads; it is never written over\n");
    for (const fs::path& other :
         {folder.File("hard.trq"), folder.File("link.trq"), folder.Path() / "sub/../myeng.trq"}) {
        const CliResult result = RunCli({"export-dos", Q(engine), "-o", Q(other), "--force"});
        EXPECT_EQ(result.status, 2) << other;
        EXPECT_TRUE(result.err.contains("is a file this command reads")) << result.err.toStdString();
    }
    EXPECT_EQ(RunCli({"convert", Q(engine), "-o", Q(folder.File("hard.trq")), "--force"}).status, 2);
    EXPECT_EQ(RunCli({"export-game", Q(folder.File("link.trq")), "-o", Q(folder.File("myeng.gme"))}).status,
              0)
        << "another file, the same engine";

    // new: the cam file it reads is not the one it saves.
    const std::string camFile = (ExamplesFolder() / "street-roller.cam").string();
    fs::copy_file(camFile, folder.File("mine.cam"));
    const CliResult cam =
        RunCli(QStringList{"new"} + Without(ChevyParts(), "--cam") +
               QStringList{"-o", Q(folder.File("new.trq")), "--cam-file", Q(folder.File("mine.cam")),
                           "--save-cam", Q(folder.Path() / "./mine.cam"), "--force"});
    EXPECT_EQ(cam.status, 2);
    EXPECT_TRUE(cam.err.contains("mine.cam' is a file this command reads")) << cam.err.toStdString();
    EXPECT_FALSE(fs::exists(folder.File("new.trq")));
    EXPECT_EQ(ReadWholeFile(folder.File("mine.cam")), ReadWholeFile(camFile));

    EXPECT_EQ(ReadWholeFile(engine), original);
    EXPECT_EQ(ReadWholeFile(folder.File("hard.trq")), original);
}

TEST(CliWrites, AnExistingFileIsReplacedOnlyWithForce)
{
    TempDir folder;
    const QString engine = Example("chevy-350-street.trq");
    const struct {
        QStringList arguments;
        fs::path target;
    } writes[] = {
        {{"export-dos", engine, "-o", Q(folder.File("other.trq"))}, folder.File("other.trq")},
        {{"export-game", engine, "-o", Q(folder.Path())}, folder.File("chevy-35.gme")},
        {{"convert", engine, "-o", Q(folder.File("other.trq"))}, folder.File("other.trq")},
        {QStringList{"new", "-o", Q(folder.File("other.trq"))} + ChevyParts(), folder.File("other.trq")},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.arguments.join(' ').toStdString());
        WriteWholeFile(write.target, "somebody's file\n");
        const CliResult refused = RunCli(write.arguments);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.err, "torqwell-cli " + write.arguments.front() + ": '" + Q(write.target) +
                                   "' exists; give --force to replace it\n");
        EXPECT_TRUE(refused.out.isEmpty());
        EXPECT_EQ(ReadWholeFile(write.target), "somebody's file\n");

        const CliResult forced = RunCli(write.arguments + QStringList{"--force"});
        EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
        EXPECT_NE(ReadWholeFile(write.target), "somebody's file\n");
    }
    EXPECT_EQ(FilesIn(folder.Path()), 2u) << "no temporary file left";
}

TEST(CliExport, ANameThatTheCutChangesNeverReplacesTheFileItsShortFormNames)
{
    TempDir folder;
    WriteWholeFile(folder.File("my.trq"), "another engine\n");
    WriteWholeFile(folder.File("my.gme"), "another game file\n");
    for (const QString force : {"", "--force"}) {
        for (const char* command : {"export-dos", "export-game"}) {
            const QString chosen =
                Q(folder.File(command == std::string("export-dos") ? "my.eng.trq" : "my.eng.gme"));
            QStringList arguments{command, Example("chevy-350-street.trq"), "-o", chosen};
            if (!force.isEmpty()) arguments << force;
            const CliResult result = RunCli(arguments);
            EXPECT_EQ(result.status, 2) << command << " " << force.toStdString();
            EXPECT_TRUE(result.err.startsWith(
                "File Export Error: After converting the file name entered to the DOS 8"))
                << result.err.toStdString();
        }
    }
    EXPECT_EQ(ReadWholeFile(folder.File("my.trq")), "another engine\n");
    EXPECT_EQ(ReadWholeFile(folder.File("my.gme")), "another game file\n");
    EXPECT_EQ(FilesIn(folder.Path()), 2u);
}

TEST(CliNew, TheEngineAndItsCamAndAirflowFilesAppearTogetherOrNotAtAll)
{
    TempDir folder;
    WriteWholeFile(folder.File("old.cam"), "old cam\n");
    WriteWholeFile(folder.File("old.flw"), "old airflow\n");
    fs::create_directory(folder.File("sub"));
    const QStringList parts = QStringList{"new"} + ChevyParts() +
                              QStringList{"--save-cam", Q(folder.File("old.cam")), "--save-airflow",
                                          Q(folder.File("old.flw")), "--force"};
    const auto unchanged = [&] {
        EXPECT_EQ(ReadWholeFile(folder.File("old.cam")), "old cam\n");
        EXPECT_EQ(ReadWholeFile(folder.File("old.flw")), "old airflow\n");
        EXPECT_EQ(FilesIn(folder.Path()), 3u) << "no temporary file left";
    };

    // A folder as the engine file: refused before anything is written.
    const CliResult folderTarget = RunCli(parts + QStringList{"-o", Q(folder.File("sub"))});
    EXPECT_EQ(folderTarget.status, 2);
    EXPECT_EQ(folderTarget.err, "torqwell-cli new: '" + Q(folder.File("sub")) +
                                    "' is a folder; the output needs a file name\n");
    unchanged();

    // An engine file that cannot be created: the cam and airflow files stay as they were.
    const QString nowhere = Q(folder.Path() / "none/x.trq");
    const CliResult failed = RunCli(parts + QStringList{"-o", nowhere});
    EXPECT_EQ(failed.status, 2);
    EXPECT_TRUE(failed.err.endsWith("torqwell-cli new: '" + nowhere +
                                    "' could not be written; no file was changed\n"))
        << failed.err.toStdString();
    unchanged();

    // All three, the engine naming its cam and airflow files.
    const CliResult written = RunCli(parts + QStringList{"-o", Q(folder.File("x.trq"))});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_EQ(ReadWholeFile(folder.File("old.cam")).substr(0, 5), "3.10\n");
    EXPECT_EQ(ReadWholeFile(folder.File("old.flw")).substr(0, 5), "3.10\n");
    const std::string engine = ReadWholeFile(folder.File("x.trq"));
    EXPECT_NE(engine.find("\nold.cam\n"), std::string::npos);
    EXPECT_NE(engine.find("\nold.flw\n"), std::string::npos);
}

TEST(CliIterate, SavedBestEnginesAppearAfterTheSeriesAllOfThemAndOnlyThoseOfThisRun)
{
    TempDir dir;
    const QString chevy = Example("chevy-350-street.trq");
    const fs::path best = dir.File("best");
    const auto bestFile = [&](int n) {
        return best / ("Best" + std::to_string(n) + "-chevy-350-street.trq");
    };
    const auto iterate = [&](const char* sweep, QStringList more = {}) {
        return RunCli(
            QStringList{"iterate", chevy, "--sweep", sweep, "--threads", "1", "--save-best", Q(best)} + more);
    };

    // No folder for an engine that does not open, or a series the setup refuses.
    EXPECT_EQ(
        RunCli({"iterate", Q(dir.File("none.trq")), "--sweep", "evc=20:31:1", "--save-best", Q(best)}).status,
        2);
    EXPECT_EQ(iterate("bore=4.0:4.0:0.01").status, 2);
    EXPECT_FALSE(fs::exists(best));

    // A Best file that could not be written is found before the series runs.
    fs::create_directories(bestFile(2));
    const CliResult blocked = iterate("evc=20:31:1", {"--force"});
    EXPECT_EQ(blocked.status, 2);
    EXPECT_TRUE(blocked.err.contains("Best2-chevy-350-street.trq' is a folder")) << blocked.err.toStdString();
    EXPECT_TRUE(blocked.out.isEmpty()) << "the series did not run";
    EXPECT_FALSE(fs::exists(bestFile(1)));
    fs::remove(bestFile(2));

    ASSERT_EQ(iterate("evc=20:31:1").status, 0);
    EXPECT_EQ(FilesIn(best), 10u);

    // A shorter series keeps three: the ten of the earlier run are refused,
    // or with --force replaced and removed.
    const CliResult again = iterate("evc=20:22:1");
    EXPECT_EQ(again.status, 2);
    EXPECT_TRUE(again.err.contains("Best1-chevy-350-street.trq' exists; give --force"))
        << again.err.toStdString();
    EXPECT_TRUE(again.out.isEmpty());
    const CliResult forced = iterate("evc=20:22:1", {"--force"});
    ASSERT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.out.startsWith("Total tests: 3\n"));
    EXPECT_EQ(FilesIn(best), 3u);
    for (int n = 1; n <= 3; ++n) EXPECT_TRUE(fs::exists(bestFile(n))) << n;
}

TEST(CliWrites, WithoutForceASetOfFilesKeepsAFileThatAppearedWhileTheCommandRanAndWritesNoneOfTheSet)
{
    TempDir folder;
    cli::OutputFiles files(false);
    for (const char* name : {"Best1-x.trq", "Best2-x.trq", "Best3-x.trq"}) {
        ASSERT_TRUE(files.Write(folder.File(name).string(), [](CAtomicFile& file) {
            return file.Open() && std::fputs("this run\n", file.File()) >= 0 &&
                   file.Finish() == CAtomicFile::Result::Ok;
        }));
    }
    WriteWholeFile(folder.File("Best2-x.trq"), "another run, started later, finished first\n");

    EXPECT_FALSE(files.CommitAll());
    EXPECT_EQ(files.FailureText(), "'" + Q(folder.File("Best2-x.trq")) +
                                       "' appeared while the command ran (another program wrote it) and is "
                                       "kept; no file was changed");
    EXPECT_EQ(ReadWholeFile(folder.File("Best2-x.trq")), "another run, started later, finished first\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1u) << "Best1 taken back, Best3 never written, no temporary left";
}

TEST(CliWritesDeathTest, SigtermDuringTheCommitOfASetWaitsUntilTheWholeSetIsInPlace)
{
    TempDir folder;
    for (const char* name : {"Best1-x.trq", "Best2-x.trq", "Best3-x.trq"})
        WriteWholeFile(folder.File(name), "the earlier run\n");
    EXPECT_EXIT(
        {
            cli::OutputFiles files(true);
            for (const char* name : {"Best1-x.trq", "Best2-x.trq", "Best3-x.trq"}) {
                files.Write(folder.File(name).string(), [](CAtomicFile& file) {
                    return file.Open() && std::fputs("this run\n", file.File()) >= 0 &&
                           file.Finish() == CAtomicFile::Result::Ok;
                });
            }
            // The scheduler's time limit, right after the first file is in place.
            files.SetCommitObserver([](const std::string&) { std::raise(SIGTERM); });
            files.CommitAll();
            std::_Exit(0);  // not reached: the signal acts once the set is in place
        },
        testing::KilledBySignal(SIGTERM), "");
    for (const char* name : {"Best1-x.trq", "Best2-x.trq", "Best3-x.trq"})
        EXPECT_EQ(ReadWholeFile(folder.File(name)), "this run\n") << name;
    EXPECT_EQ(FilesIn(folder.Path()), 3u);
}

TEST(CliWrites, AFileSizeLimitFailsASaveWithStatus2AndLeavesTheFileAsItWas)
{
    TempDir folder;
    const fs::path engine = CopyOfChevy(folder);
    WriteWholeFile(folder.File("out.trq"), "kept\n");
    const std::string cli = TORQWELL_CLI_PATH;
    const std::string commands[] = {
        "convert '" + engine.string() + "' -o out.trq --force",
        "export-game '" + engine.string() + "' -o out.gme",
        "sheet '" + engine.string() + "' -o out.pdf",
        "iterate '" + engine.string() + "' --sweep bore=4:4.01:0.01 --threads 1 --save-best best",
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        // 1 block of 512 bytes: less than any of these files.
        const std::string shell = "cd '" + folder.Path().string() + "' && (ulimit -f 1; exec '" + cli + "' " +
                                  command + ") >/dev/null 2>err.txt";
        const int status = std::system(shell.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
        EXPECT_EQ(WEXITSTATUS(status), 2);
        EXPECT_TRUE(ReadWholeFile(folder.File("err.txt")).find("File Error") != std::string::npos ||
                    ReadWholeFile(folder.File("err.txt")).find("File too large") != std::string::npos)
            << ReadWholeFile(folder.File("err.txt"));
    }
    EXPECT_EQ(ReadWholeFile(folder.File("out.trq")), "kept\n");
    fs::remove(folder.File("err.txt"));
    std::size_t bestFiles = fs::exists(folder.File("best")) ? FilesIn(folder.File("best")) : 0;
    EXPECT_EQ(bestFiles, 0u) << "no Best file and no temporary";
    EXPECT_EQ(FilesIn(folder.Path()), fs::exists(folder.File("best")) ? 3u : 2u)
        << "the engine, out.trq and no temporary";
}
