#include "base/AtomicFile.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The names in a folder that look like a save's temporary files.
std::vector<std::string> TemporariesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(kTemporaryFileSuffix) != std::string::npos) names.push_back(name);
    }
    return names;
}

void Save(const fs::path& target, const std::string& content)
{
    CAtomicFile file(target);
    ASSERT_TRUE(file.Open());
    std::fputs(content.c_str(), file.File());
    ASSERT_EQ(file.Commit(), CAtomicFile::Result::Ok);
}

mode_t ModeOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Sets the process umask for the test and puts the old one back.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

}  // namespace

TEST(AtomicSave, ANewFileGetsTheUmaskAndAReplacedFileKeepsItsMode)
{
    TempDir dir;
    UmaskScope mask(027);
    Save(dir.File("new.trq"), "engine\n");
    EXPECT_EQ(ModeOf(dir.File("new.trq")), 0640u);

    fs::permissions(dir.File("new.trq"), fs::perms(0604));
    Save(dir.File("new.trq"), "engine, saved again\n");
    EXPECT_EQ(ModeOf(dir.File("new.trq")), 0604u) << "not 0600 of a private temporary, not the umask";
    EXPECT_EQ(ReadWholeFile(dir.File("new.trq")), "engine, saved again\n");
}

TEST(AtomicSave, ASymbolicLinkIsFollowedEvenWhenItDangles)
{
    TempDir dir;
    fs::create_directory(dir.File("engines"));
    fs::create_symlink("engines/real.trq", dir.File("link.trq"));

    Save(dir.File("link.trq"), "first\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.File("link.trq")))) << "the link stays a link";
    EXPECT_EQ(ReadWholeFile(dir.File("engines/real.trq")), "first\n") << "created where the link points";

    Save(dir.File("link.trq"), "second\n");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.File("link.trq"))));
    EXPECT_EQ(ReadWholeFile(dir.File("engines/real.trq")), "second\n");
    EXPECT_TRUE(TemporariesIn(dir.Path() / "engines").empty());
}

TEST(AtomicSave, TemporariesThatAKilledSaveLeftAreRemovedByTheNextSaveOfTheSameTarget)
{
    TempDir dir;
    WriteWholeFile(dir.File("engine.trq.tmp-Ab3xYz"), "half an engine");
    WriteWholeFile(dir.File("engine.trq.tmp-000000"), "half an engine");
    WriteWholeFile(dir.File("other.trq.tmp-Ab3xYz"), "another engine's");
    WriteWholeFile(dir.File("engine.trq.tmp-notours"), "a name that is no temporary of ours");

    Save(dir.File("engine.trq"), "whole\n");

    const std::vector<std::string> left = TemporariesIn(dir.Path());
    EXPECT_EQ(left.size(), 2u);
    EXPECT_TRUE(fs::exists(dir.File("other.trq.tmp-Ab3xYz"))) << "another target's temporary is not ours";
    EXPECT_TRUE(fs::exists(dir.File("engine.trq.tmp-notours")));
    EXPECT_EQ(ReadWholeFile(dir.File("engine.trq")), "whole\n");
}

TEST(AtomicSave, SeveralFilesAreWrittenCompletelyBeforeAnyReplacesItsTarget)
{
    TempDir dir;
    WriteWholeFile(dir.File("a.trq"), "old a\n");
    CAtomicFile a(dir.File("a.trq"));
    CAtomicFile b(dir.File("b.trq"));
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    std::fputs("new a\n", a.File());
    std::fputs("new b\n", b.File());
    ASSERT_EQ(a.Finish(), CAtomicFile::Result::Ok);
    ASSERT_EQ(b.Finish(), CAtomicFile::Result::Ok);
    EXPECT_EQ(ReadWholeFile(dir.File("a.trq")), "old a\n") << "finished is not yet committed";
    EXPECT_FALSE(fs::exists(dir.File("b.trq")));

    ASSERT_EQ(a.Commit(), CAtomicFile::Result::Ok);
    b.Abandon();
    EXPECT_EQ(ReadWholeFile(dir.File("a.trq")), "new a\n");
    EXPECT_FALSE(fs::exists(dir.File("b.trq")));
    EXPECT_TRUE(TemporariesIn(dir.Path()).empty());
}

TEST(AtomicSaveDeathTest, ATerminatedSaveLeavesNoTemporaryAndTheOldFileIntact)
{
    for (int signal : {SIGTERM, SIGINT}) {
        TempDir dir;
        WriteWholeFile(dir.File("engine.trq"), "the engine of an evening\n");
        EXPECT_EXIT(
            {
                CAtomicFile file(dir.File("engine.trq"));
                if (!file.Open()) std::_Exit(1);
                std::fputs("half", file.File());
                std::fflush(file.File());
                std::raise(signal);
            },
            testing::KilledBySignal(signal), "");
        EXPECT_TRUE(TemporariesIn(dir.Path()).empty()) << "signal " << signal;
        EXPECT_EQ(ReadWholeFile(dir.File("engine.trq")), "the engine of an evening\n");
    }
}

TEST(AtomicSave, AFolderOrAReadOnlyFileIsNoTargetAndNothingIsLeftBehind)
{
    TempDir dir;
    fs::create_directory(dir.File("folder.trq"));
    CAtomicFile folder(dir.File("folder.trq"));
    EXPECT_FALSE(folder.Open());

    WriteWholeFile(dir.File("locked.trq"), "kept\n");
    fs::permissions(dir.File("locked.trq"), fs::perms(0444));
    CAtomicFile locked(dir.File("locked.trq"));
    if (::geteuid() != 0) {
        EXPECT_FALSE(locked.Open()) << "a file the user may not write is not replaced";
    }
    EXPECT_TRUE(TemporariesIn(dir.Path()).empty());
}

TEST(AtomicSave, ASaveThatMayNotReplaceKeepsAFileThatAppearedSinceItWasChecked)
{
    TempDir dir;
    CAtomicFile late(dir.File("Best1-engine.trq"));
    late.RefuseToReplace();
    ASSERT_TRUE(late.Open());
    std::fputs("this run's best\n", late.File());
    WriteWholeFile(dir.File("Best1-engine.trq"), "another run's best\n");

    EXPECT_EQ(late.Commit(), CAtomicFile::Result::TargetExists);
    EXPECT_EQ(ReadWholeFile(dir.File("Best1-engine.trq")), "another run's best\n");
    EXPECT_TRUE(TemporariesIn(dir.Path()).empty());

    CAtomicFile first(dir.File("Best2-engine.trq"));
    first.RefuseToReplace();
    ASSERT_TRUE(first.Open());
    std::fputs("new\n", first.File());
    EXPECT_EQ(first.Commit(), CAtomicFile::Result::Ok) << "a target still absent is written";
    EXPECT_EQ(ReadWholeFile(dir.File("Best2-engine.trq")), "new\n");
}

TEST(AtomicSave, ASaveLeavesTheLiveTemporaryOfAnotherSaveOfTheSameTargetAlone)
{
    TempDir dir;
    WriteWholeFile(dir.File("engine.trq.tmp-Ab3xYz"), "left by a killed save");
    CAtomicFile slow(dir.File("engine.trq"));  // another program's save, still writing
    ASSERT_TRUE(slow.Open());
    std::fputs("the slow save's engine\n", slow.File());
    ASSERT_EQ(slow.Finish(), CAtomicFile::Result::Ok) << "finished, not yet committed: still live";

    Save(dir.File("engine.trq"), "the quick save's engine\n");
    EXPECT_TRUE(fs::exists(slow.TemporaryPath())) << "a live temporary is no leftover";
    EXPECT_FALSE(fs::exists(dir.File("engine.trq.tmp-Ab3xYz"))) << "an unlocked one is";
    ASSERT_EQ(slow.Commit(), CAtomicFile::Result::Ok);
    EXPECT_EQ(ReadWholeFile(dir.File("engine.trq")), "the slow save's engine\n");
    EXPECT_TRUE(TemporariesIn(dir.Path()).empty());
}

TEST(AtomicSaveDeathTest, SigtermAndSigintWaitWhileHeldAndEndTheProgramAfter)
{
    for (int signal : {SIGTERM, SIGINT}) {
        TempDir dir;
        EXPECT_EXIT(
            {
                CAtomicFile file(dir.File("engine.trq"));  // installs the save's handlers
                if (!file.Open()) std::_Exit(1);
                {
                    const CTerminationSignalsHeld held;
                    std::raise(signal);
                    // A signal sent to the process may reach any of its threads.
                    std::thread other([signal] { ::kill(::getpid(), signal); });
                    other.join();
                    WriteWholeFile(dir.File("after-the-signals"), "the held work went on");
                }
                std::_Exit(2);  // not reached: the signal acts once the hold ends
            },
            testing::KilledBySignal(signal), "");
        EXPECT_EQ(ReadWholeFile(dir.File("after-the-signals")), "the held work went on");
        EXPECT_TRUE(TemporariesIn(dir.Path()).empty()) << "the handler still removes the temporary";
    }
}

TEST(AtomicSaveDeathTest, AFileSizeLimitFailsTheSaveInsteadOfEndingTheProgram)
{
    TempDir dir;
    WriteWholeFile(dir.File("engine.trq"), "the engine before\n");
    EXPECT_EXIT(
        {
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = 4096;  // bytes, as ulimit -f 4
            ::setrlimit(RLIMIT_FSIZE, &limit);
            CAtomicFile file(dir.File("engine.trq"));
            if (!file.Open()) std::_Exit(1);
            const std::string line(1000, 'x');
            for (int i = 0; i < 100; ++i) std::fputs(line.c_str(), file.File());
            errno = 0;
            const bool failed = file.Commit() == CAtomicFile::Result::WriteFailed;
            std::_Exit(failed && errno == EFBIG ? 0 : 3);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWholeFile(dir.File("engine.trq")), "the engine before\n");
    EXPECT_TRUE(TemporariesIn(dir.Path()).empty());
}
