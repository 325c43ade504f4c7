#include "base/Util.h"
#include "components/Cam.h"
#include "components/CylHeadFlow.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "EngineSnapshot.h"
#include "ExampleFiles.h"
#include "RecordingPresenter.h"
#include "TempFile.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

constexpr Choice kNitrous4{ChoiceGroup::Fuel, 3};
constexpr EngineCommand kChooseMetricUnits = EngineCommand::MetricUnits;

// Line numbers (0-based) of the items at the top of a version 3.10 file.
constexpr std::size_t kUnitSystemLine = 1;
constexpr std::size_t kBoreLine = 6;
constexpr std::size_t kCylindersLine = 8;
constexpr std::size_t kFuelIndexLine = 21;
constexpr std::size_t kForcedInductionIndexLine = 24;
constexpr std::size_t kForcedInductionClassLine = 25;
constexpr std::size_t kBlowerFlowLine = 26;
constexpr std::size_t kBoostLimitLine = 33;
constexpr std::size_t kCamFileFlagLine = 37;

// Items counted from the end: two result blocks of 19 lines, the point
// count, the nitrous flag, and before them the calculator section.
std::size_t CalculatorFlagLine(const std::vector<std::string>& lines)
{
    return lines.size() - 50;
}
std::size_t PistonKindLine(const std::vector<std::string>& lines)
{
    return lines.size() - 49;
}
std::size_t PistonDistanceLine(const std::vector<std::string>& lines)
{
    return lines.size() - 45;
}
std::size_t NitrousFlagLine(const std::vector<std::string>& lines)
{
    return lines.size() - 40;
}
std::size_t FirstResultLine(const std::vector<std::string>& lines)
{
    return lines.size() - 38;
}

std::vector<std::string> Block(const std::vector<std::string>& lines, std::size_t first)
{
    return {lines.begin() + std::ptrdiff_t(first), lines.begin() + std::ptrdiff_t(first + kResultPointCount)};
}

std::vector<std::string> ResultLines(const CTorqDoc& doc)
{
    std::vector<std::string> lines;
    for (int point = 0; point < kResultPointCount; ++point) {
        lines.push_back(FormatC("%.0f %f %f", double(doc.GetResult(kSeriesEngineSpeed, point)),
                                double(doc.GetResult(kSeriesPower, point)),
                                double(doc.GetResult(kSeriesTorque, point))));
    }
    return lines;
}

std::vector<std::string> SavedLines(CTorqDoc& doc, const TempDir& folder)
{
    const fs::path path = folder.File("saved.trq");
    EXPECT_TRUE(WriteEngineFile(doc, path.string()));
    return SplitLines(ReadWholeFile(path));
}

// Opens the text as a file into a fresh document and gives the codes shown.
std::vector<int> OpenText(const TempDir& folder, const std::string& text, CTorqDoc& doc)
{
    RecordingPresenter presenter;
    const fs::path path = folder.File("opened.trq");
    WriteWholeFile(path, text);
    OpenEngineDocument(doc, path.string());
    return presenter.Codes();
}

std::vector<int> OpenLines(const TempDir& folder, const std::vector<std::string>& lines, CTorqDoc& doc)
{
    return OpenText(folder, JoinLines(lines), doc);
}

bool IsFileErrorCode(int code)
{
    return code >= Msg::FileOpen && code <= Msg::CamFileVersion;
}

}  // namespace

TEST(EngineFile, WritesTheVersion310LayoutWithTwoEqualResultBlocksWithoutNitrous)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    const auto lines = SavedLines(doc, folder);

    const std::vector<std::string> top = {"3.10",
                                          "0",
                                          "0",
                                          "1",
                                          "Chevy 350",
                                          "36",
                                          "1 4.000000",
                                          "1 3.480000",
                                          "8",
                                          "Wedge/Stock Ports And Valves",
                                          "4",
                                          "1",
                                          "1",
                                          "1 2.020000",
                                          "1 1.600000",
                                          "1 10.000000",
                                          "1 750.000000",
                                          "1 1.500000",
                                          "Dual-Plane Manifold",
                                          "2",
                                          "Gasoline",
                                          "1",
                                          "1 0.000000",
                                          "None",
                                          "1",
                                          "0"};
    ASSERT_GT(lines.size(), top.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + std::ptrdiff_t(top.size())), top);
    EXPECT_EQ(lines[kBlowerFlowLine], "0 0.100000")
        << "unused blower values are written as their reset values";
    EXPECT_EQ(lines[CalculatorFlagLine(lines)], "0");
    EXPECT_EQ(lines[PistonKindLine(lines)], "2");
    EXPECT_EQ(lines[NitrousFlagLine(lines)], "0");
    EXPECT_EQ(lines[NitrousFlagLine(lines) + 1], "19");
    EXPECT_EQ(Block(lines, FirstResultLine(lines)), ResultLines(doc));
    EXPECT_EQ(Block(lines, FirstResultLine(lines) + kResultPointCount), ResultLines(doc));
    EXPECT_EQ(lines[FirstResultLine(lines)].substr(0, 5), "2000 ");
    EXPECT_EQ(FilesIn(folder.Path()), 1u) << "no temporary file is left behind";
}

TEST(EngineFile, OpeningGivesBackTheSameEngineAndResultsWithEitherLineEnding)
{
    for (bool (*build)(CTorqDoc&) : {&BuildChevy350, &BuildTurboFour}) {
        TempDir folder;
        CTorqDoc original;
        build(original);
        ASSERT_TRUE(original.HasResults());
        const auto lines = SavedLines(original, folder);

        for (const char* end : {"\n", "\r\n"}) {
            CTorqDoc opened;
            EXPECT_TRUE(OpenText(folder, JoinLines(lines, end), opened).empty());
            EXPECT_EQ(EngineSnapshot(opened), EngineSnapshot(original));
            EXPECT_EQ(opened.GetTitle(), "opened.trq");
            EXPECT_EQ(opened.GetPathName(), folder.File("opened.trq").string());
            EXPECT_FALSE(opened.IsModified());
        }
    }
}

TEST(EngineFile, AMetricEngineIsSavedInInchesAndOpensInMetricUnits)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kChooseMetricUnits);
    const auto before = EngineSnapshot(doc);
    const auto lines = SavedLines(doc, folder);
    EXPECT_EQ(lines[kUnitSystemLine], "1");
    EXPECT_EQ(lines[kBoreLine], "1 4.000000");
    EXPECT_EQ(EngineSnapshot(doc), before) << "the document is shown in metric units again";

    CTorqDoc opened;
    EXPECT_TRUE(OpenLines(folder, lines, opened).empty());
    EXPECT_EQ(opened.GetUnitSystem(), kMetricUnits);
    EXPECT_EQ(opened.Bore().GetTextWithUnits(), "101.60 mm");
    EXPECT_EQ(opened.Cam().IntakeLift().GetTextWithUnits(), doc.Cam().IntakeLift().GetTextWithUnits());
    EXPECT_EQ(opened.GetResultSeries(kSeriesPower), doc.GetResultSeries(kSeriesPower));
}

TEST(EngineFile, OnlyTheFiveVersionsAndTwoUnitSystemsAreAccepted)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    auto lines = SavedLines(doc, folder);

    for (const char* version : {"3.09", "", "3.1", "3.10x", "4.00"}) {
        lines[0] = version;
        CTorqDoc opened;
        EXPECT_EQ(OpenLines(folder, lines, opened), std::vector<int>{Msg::EngineFileVersion})
            << "version '" << version << "'";
    }
    for (const char* version : {"3.08", "  3.10 \t"}) {
        lines[0] = version;
        CTorqDoc opened;
        EXPECT_TRUE(OpenLines(folder, lines, opened).empty()) << version;
    }
    lines[0] = "3.10";
    for (const char* units : {"2", "-1", "x"}) {
        lines[kUnitSystemLine] = units;
        CTorqDoc opened;
        EXPECT_EQ(OpenLines(folder, lines, opened),
                  std::vector<int>{units[0] == 'x' ? Msg::FileRead : Msg::FileInvalidValue})
            << units;
    }
    CTorqDoc empty;
    EXPECT_EQ(OpenText(folder, "", empty), std::vector<int>{Msg::FileRead}) << "nothing to read at all";
}

TEST(EngineFile, OldVersionsOpenWithoutCalculatorDataAndRecomputeTheCombustionSpace)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    UseCalculator(doc);
    doc.Recalculate();
    auto lines = SavedLines(doc, folder);
    EXPECT_EQ(lines[CalculatorFlagLine(lines)], "1");
    EXPECT_EQ(lines[PistonKindLine(lines)], "1");
    EXPECT_EQ(lines[PistonDistanceLine(lines)], "1 0.125000");

    CTorqDoc current;
    EXPECT_TRUE(OpenLines(folder, lines, current).empty());
    EXPECT_TRUE(current.IsCompressionFromCalculator());
    EXPECT_EQ(current.GetPistonKind(), 1);
    EXPECT_EQ(current.CombustionSpace().GetText(), "82.60");
    EXPECT_EQ(current.PistonDistance().GetMinimum(), 0.1f) << "a domed piston's range";

    for (const char* version : {"3.07", "3.06", "3.05"}) {
        lines[0] = version;
        CTorqDoc old;
        EXPECT_TRUE(OpenLines(folder, lines, old).empty()) << version;
        EXPECT_FALSE(old.IsCompressionFromCalculator()) << version;
        EXPECT_EQ(old.CombustionSpace().GetText(), "79.62") << "from the 10:1 ratio";
        EXPECT_FALSE(old.ChamberVolume().IsSet());
        EXPECT_EQ(old.GetPistonKind(), 2);
    }
    // A 3.07 file ends with the airflow block: a shorter file is enough.
    lines[0] = "3.07";
    CTorqDoc shortOld;
    EXPECT_TRUE(OpenLines(folder, {lines.begin(), lines.begin() + std::ptrdiff_t(CalculatorFlagLine(lines))},
                          shortOld)
                    .empty());
}

TEST(EngineFile, TheCalculatorSectionIsReadOnlyWithItsFlagAndChecksThePistonKindsRange)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    UseCalculator(doc);
    auto lines = SavedLines(doc, folder);

    // Flag 0: whatever follows is ignored, even a piston kind that does not exist.
    auto unused = lines;
    unused[CalculatorFlagLine(unused)] = "0";
    unused[PistonKindLine(unused)] = "9";
    CTorqDoc ignoring;
    EXPECT_TRUE(OpenLines(folder, unused, ignoring).empty());
    EXPECT_FALSE(ignoring.IsCompressionFromCalculator());
    EXPECT_EQ(ignoring.CombustionSpace().GetText(), "79.62");

    lines[PistonKindLine(lines)] = "3";
    CTorqDoc badKind;
    EXPECT_EQ(OpenLines(folder, lines, badKind), std::vector<int>{Msg::FileInvalidValue});

    // Above the deck (negative) is possible for a flat-top only.
    lines[PistonDistanceLine(lines)] = "1 -0.200000";
    lines[PistonKindLine(lines)] = "1";
    CTorqDoc domed;
    EXPECT_EQ(OpenLines(folder, lines, domed), std::vector<int>{Msg::FileInvalidValue});
    lines[PistonKindLine(lines)] = "2";
    CTorqDoc flatTop;
    EXPECT_TRUE(OpenLines(folder, lines, flatTop).empty());
    EXPECT_NEAR(flatTop.PistonDistance().GetValue(), -0.2f, 1e-6f);
}

TEST(EngineFile, BlowerValuesOfAnEngineWithoutForcedInductionAreResetButStillRangeChecked)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    auto lines = SavedLines(doc, folder);

    lines[kBlowerFlowLine] = "1 500.000000";
    lines[kBoostLimitLine] = "1 12.000000";
    CTorqDoc reset;
    EXPECT_TRUE(OpenLines(folder, lines, reset).empty());
    EXPECT_FALSE(reset.BlowerFlowRate().IsSet());
    EXPECT_EQ(reset.BlowerFlowRate().GetValue(), 0.1f);
    EXPECT_FALSE(reset.BlowerBoostLevelLimit().IsSet());

    lines[kBlowerFlowLine] = "1 5000.000000";
    CTorqDoc outOfRange;
    EXPECT_EQ(OpenLines(folder, lines, outOfRange), std::vector<int>{Msg::FileInvalidValue});
}

TEST(EngineFile, TheForcedInductionClassMustBeTheChosenUnits)
{
    TempDir folder;
    CTorqDoc turbo;
    BuildTurboFour(turbo);
    auto lines = SavedLines(turbo, folder);
    EXPECT_EQ(lines[kForcedInductionIndexLine], "10");
    EXPECT_EQ(lines[kForcedInductionClassLine], "1");

    // A wrong class would steer validation and the model to values the unit
    // does not have: every disagreement is an invalid value.
    for (const char* forcedInductionClass : {"2", "3", "0", "7", "-1"}) {
        lines[kForcedInductionClassLine] = forcedInductionClass;
        CTorqDoc opened;
        EXPECT_EQ(OpenLines(folder, lines, opened), std::vector<int>{Msg::FileInvalidValue})
            << "class " << forcedInductionClass;
    }
    // The custom Roots blower (where a typed name is kept) is a Roots blower.
    lines[kForcedInductionIndexLine - 1] = "My Own Roots Blower";
    lines[kForcedInductionIndexLine] = "71";
    lines[kForcedInductionClassLine] = "3";
    CTorqDoc roots;
    EXPECT_TRUE(OpenLines(folder, lines, roots).empty());
    EXPECT_EQ(roots.GetForcedInductionClass(), kRootsBlower);
    EXPECT_EQ(roots.ForcedInductionType().GetText(), "My Own Roots Blower");

    CTorqDoc plain;
    BuildChevy350(plain);
    auto plainLines = SavedLines(plain, folder);
    plainLines[kForcedInductionClassLine] = "1";
    CTorqDoc opened;
    EXPECT_EQ(OpenLines(folder, plainLines, opened), std::vector<int>{Msg::FileInvalidValue})
        << "None has class 0";
}

TEST(EngineFile, NulBytesInAFileNameLineAreDroppedSoThatTheEngineStillSavesAndOpens)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    auto lines = SavedLines(doc, folder);
    ASSERT_EQ(lines[kCamFileFlagLine + 1], "***");
    lines[kCamFileFlagLine] = "1";
    lines[kCamFileFlagLine + 1] = std::string("\0\0street.cam", 12);

    CTorqDoc opened;
    ASSERT_TRUE(OpenLines(folder, lines, opened).empty());
    EXPECT_EQ(opened.CamDataFile().GetText(), "street.cam");
    const auto saved = SavedLines(opened, folder);
    EXPECT_EQ(saved[kCamFileFlagLine + 1], "street.cam");
    CTorqDoc reopened;
    EXPECT_TRUE(OpenLines(folder, saved, reopened).empty());

    // A line of nothing but NUL bytes names no file.
    lines[kCamFileFlagLine + 1] = std::string("\0\0\0", 3);
    CTorqDoc blank;
    ASSERT_TRUE(OpenLines(folder, lines, blank).empty());
    EXPECT_FALSE(blank.CamDataFile().IsSet());
    EXPECT_EQ(SavedLines(blank, folder)[kCamFileFlagLine], "0");
}

TEST(EngineFile, ANitrousEngineWritesItsGasolineRunFirstAndKeepsItsOwnResults)
{
    TempDir folder;
    CTorqDoc gasoline;
    BuildChevy350(gasoline);
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kNitrous4);
    doc.Recalculate();
    const auto withNitrous = EngineSnapshot(doc);
    ASSERT_GT(doc.GetResult(kSeriesPower, 4), gasoline.GetResult(kSeriesPower, 4) + 50.0f);

    const auto lines = SavedLines(doc, folder);
    EXPECT_EQ(lines[kFuelIndexLine], "5");
    EXPECT_EQ(lines[NitrousFlagLine(lines)], "1");
    EXPECT_EQ(Block(lines, FirstResultLine(lines)), ResultLines(gasoline));
    EXPECT_EQ(Block(lines, FirstResultLine(lines) + kResultPointCount), ResultLines(doc));
    EXPECT_EQ(EngineSnapshot(doc), withNitrous) << "fuel, nitrous flow and results are the nitrous engine's";
}

TEST(EngineDocumentSave, ValidatesFirstAndAsksBeforeSavingAnEngineWithoutResults)
{
    TempDir folder;
    const std::string path = folder.File("My Big Engine.trq").string();
    RecordingPresenter presenter;

    CTorqDoc incomplete;
    EXPECT_FALSE(SaveEngineDocument(incomplete, path));
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::BoreStrokeSelectionRequired});
    EXPECT_FALSE(fs::exists(path));

    CTorqDoc doc;
    BuildChevy350(doc);
    doc.SetAutoRun(false);
    doc.ClearResults();
    doc.SetModified();
    presenter.Clear();
    EXPECT_FALSE(SaveEngineDocument(doc, path)) << "Cancel";
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(doc.IsModified());

    presenter.AnswerNextWarning(WarningAnswer::Ok);
    EXPECT_TRUE(SaveEngineDocument(doc, path));
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::SaveWithoutResults, Msg::SaveWithoutResults}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "My Big Engine.trq");
    EXPECT_EQ(doc.GetPathName(), path);
    const auto lines = SplitLines(ReadWholeFile(path));
    EXPECT_EQ(lines[3], "0") << "auto run off is kept";
    const std::vector<std::string> zeros(2 * kResultPointCount, "0 0.000000 0.000000");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + std::ptrdiff_t(FirstResultLine(lines)), lines.end()),
              zeros);
}

TEST(EngineDocumentSave, AnUnwritableTargetIsRefusedWithCode43AndNothingChanges)
{
    TempDir folder;
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    fs::create_directory(folder.File("taken.trq"));
    EXPECT_FALSE(SaveEngineDocument(doc, folder.File("taken.trq").string()));
    EXPECT_FALSE(SaveEngineDocument(doc, folder.File("no/such/folder.trq").string()));
    EXPECT_FALSE(SaveEngineDocument(doc, ""));
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::FileOpen, Msg::FileOpen, Msg::FileOpen}));
    EXPECT_TRUE(fs::is_directory(folder.File("taken.trq")));
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
    EXPECT_EQ(doc.GetTitle(), "");
}

TEST(EngineDocumentSaveDeathTest, AFailedWriteLeavesTheOldFileAndTheEngineAsTheyWere)
{
    TempDir folder;
    const fs::path path = folder.File("keep.trq");
    const std::string before = "3.10\nthe engine the user saved yesterday\n";
    WriteWholeFile(path, before);
    // In a child whose files may grow to 2 kB only: the content cannot reach
    // the disk. The engine has nitrous and metric units, so the save changed
    // its fuel and units on the way.
    const auto saveUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2048, 2048};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingPresenter presenter;
        CTorqDoc doc;
        BuildChevy350(doc);
        doc.Apply(kNitrous4);
        doc.Apply(kChooseMetricUnits);
        doc.Recalculate();
        const auto engine = EngineSnapshot(doc);
        const bool refused = !SaveEngineDocument(doc, path.string());
        return refused && presenter.Codes() == std::vector<int>{Msg::FileWrite} &&
               ReadWholeFile(path) == before && FilesIn(folder.Path()) == 1 && EngineSnapshot(doc) == engine;
    };
    EXPECT_EXIT(std::_Exit(saveUnderLimit() ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST(EngineDocumentOpen, AFileThatCannotBeReadLeavesTheOpenEngineAsItWas)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.SetTitle("Mine.trq");
    const auto before = EngineSnapshot(doc);

    RecordingPresenter presenter;
    WriteWholeFile(folder.File("half.trq"), "3.10\n0\n0\n1\nChevy 454\n42\n1 4.251000\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OpenEngineDocument(doc, folder.File("half.trq").string()));
    EXPECT_FALSE(OpenEngineDocument(doc, folder.File("missing.trq").string()));
    EXPECT_FALSE(OpenEngineDocument(doc, folder.Path().string()));
    EXPECT_FALSE(OpenEngineDocument(doc, "/dev/zero")) << "an endless device is no engine file";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(presenter.Codes(),
              (std::vector<int>{Msg::FileRead, Msg::FileOpen, Msg::FileOpen, Msg::FileOpen}));
    EXPECT_EQ(EngineSnapshot(doc), before);
    EXPECT_EQ(doc.GetTitle(), "Mine.trq");
}

TEST(EngineFileReader, EveryTruncationGivesOneFileErrorAndOnlyTheCompleteFileOpens)
{
    TempDir folder;
    CTorqDoc turbo;
    BuildTurboFour(turbo);
    UseCalculator(turbo);
    const std::string text = JoinLines(SavedLines(turbo, folder));
    const std::size_t endOfReadItems = JoinLines(SavedLines(turbo, folder)).find("\n0\n19\n") + 1;

    for (std::size_t cut = 0; cut < endOfReadItems; cut += 3) {
        CTorqDoc opened;
        const auto codes = OpenText(folder, text.substr(0, cut), opened);
        // The last value may be cut to a shorter number that still reads.
        if (codes.empty()) {
            EXPECT_GT(cut, endOfReadItems - 12) << "cut at " << cut;
            continue;
        }
        ASSERT_EQ(codes.size(), 1u) << "cut at " << cut;
        EXPECT_TRUE(IsFileErrorCode(codes[0])) << "cut at " << cut << " gave " << codes[0];
    }
    CTorqDoc whole;
    EXPECT_TRUE(OpenText(folder, text.substr(0, endOfReadItems), whole).empty())
        << "the results are never read";
}

TEST(EngineFileReader, GarbageOfEveryKindGivesOneFileErrorWithoutHangingOrCrashing)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    const auto lines = SavedLines(doc, folder);
    const std::string text = JoinLines(lines);

    std::vector<std::pair<std::string, std::string>> cases;
    std::mt19937 random(2024);
    std::string binary(4096, '\0');
    for (char& c : binary) c = char(random() & 0xFF);
    cases.emplace_back("binary", binary);
    cases.emplace_back("binary after the version", "3.10\n" + binary);
    std::string crOnly = text;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    cases.emplace_back("CR-only line ends", crOnly);
    cases.emplace_back("NUL bytes", std::string("3.10\0\n0\n", 8));

    auto with = [&](std::size_t line, const std::string& replacement) {
        auto changed = lines;
        changed[line] = replacement;
        return JoinLines(changed);
    };
    const std::string longLine(10 * 1024 * 1024, '7');
    cases.emplace_back("10 MB digits for the bore", with(kBoreLine, "1 " + longLine));
    cases.emplace_back("10 MB digits for the cylinders", with(kCylindersLine, longLine));
    cases.emplace_back("10 MB blanks before the bore",
                       with(kBoreLine, std::string(10 * 1024 * 1024, ' ') + "1 x"));
    cases.emplace_back("NaN bore", with(kBoreLine, "1 nan"));
    cases.emplace_back("infinite bore", with(kBoreLine, "1 inf"));
    cases.emplace_back("huge bore", with(kBoreLine, "1 1e999"));
    cases.emplace_back("negative cylinders", with(kCylindersLine, "-8"));
    cases.emplace_back("cylinders beyond int", with(kCylindersLine, "99999999999999999999"));
    cases.emplace_back("bore without a value", with(kBoreLine, "1"));
    cases.emplace_back("blank part name", with(4, "   "));

    for (const auto& [name, content] : cases) {
        CTorqDoc opened;
        const auto start = std::chrono::steady_clock::now();
        const auto codes = OpenText(folder, content, opened);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << name;
        ASSERT_EQ(codes.size(), 1u) << name;
        EXPECT_TRUE(IsFileErrorCode(codes[0])) << name << " gave " << codes[0];
    }

    // A 10 MB name is cut like any long name line; the file still opens.
    CTorqDoc longName;
    EXPECT_TRUE(OpenText(folder, with(4, longLine), longName).empty());
    EXPECT_EQ(longName.ShortBlockType().GetText(), std::string(79, '7'));
}

// Inputs the fuzz targets found or kept (fuzz/README.md): engine, cam and
// airflow files. One named KIND-NN... must be refused with code NN; every
// other one must open, and what opens must save as a file that opens again.
TEST(EngineFileReader, TheCollectedCorruptFilesGiveTheirCodesOrOpenCleanly)
{
    const fs::path corpus = fs::path(TORQWELL_SOURCE_DIR) / "tests/data/corrupt";
    TempDir folder;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        const std::string saved = folder.File("saved" + extension).string();
        SCOPED_TRACE(name);
        ++files;
        RecordingPresenter presenter;
        bool opened = false;
        bool reopened = false;
        if (extension == ".trq") {
            CTorqDoc doc;
            opened = OpenEngineDocument(doc, entry.path().string());
            CTorqDoc again;
            reopened = opened && WriteEngineFile(doc, saved) && ReadEngineFile(again, saved);
        } else if (extension == ".cam") {
            CamData cam;
            CamData again;
            opened = cam.LoadFromFile(entry.path().string());
            reopened = opened && cam.SaveToFile(saved) && again.LoadFromFile(saved);
        } else {
            ASSERT_EQ(extension, ".flw");
            CylHeadFlowData flow;
            CylHeadFlowData again;
            opened = flow.LoadFromFile(entry.path().string());
            reopened = opened && flow.SaveToFile(saved) && again.LoadFromFile(saved);
        }
        int expectedCode = 0;
        std::sscanf(name.c_str(), "%*[a-z]-%d", &expectedCode);
        if (expectedCode == 0) {
            EXPECT_TRUE(reopened);
            EXPECT_TRUE(presenter.Codes().empty());
        } else {
            EXPECT_FALSE(opened);
            EXPECT_EQ(presenter.Codes(), std::vector<int>{expectedCode});
        }
    }
    EXPECT_GE(files, 10u);
}

TEST(Examples, EveryExampleRunsAndSurvivesASaveAndOpenUnchanged)
{
    const std::vector<fs::path> engines = ExampleEngines();
    for (const fs::path& example : engines) {
        const std::string name = example.filename().string();
        RecordingPresenter presenter;
        CTorqDoc doc;
        ASSERT_TRUE(OpenEngineDocument(doc, example.string())) << name;
        ASSERT_TRUE(doc.HasResults()) << name;
        const auto& power = doc.GetResultSeries(kSeriesPower);
        const float peak = *std::max_element(power.begin(), power.end());
        EXPECT_GT(peak, 80.0f) << name;
        EXPECT_LT(peak, 2500.0f) << name;

        TempDir folder;
        const fs::path copy = folder.File(name);
        ASSERT_TRUE(SaveEngineDocument(doc, copy.string())) << name;
        CTorqDoc reopened;
        ASSERT_TRUE(OpenEngineDocument(reopened, copy.string())) << name;
        EXPECT_EQ(EngineSnapshot(reopened), EngineSnapshot(doc)) << name;
        // Everything but the result blocks is written exactly as the example holds it.
        auto original = SplitLines(ReadWholeFile(example));
        auto saved = SplitLines(ReadWholeFile(copy));
        ASSERT_EQ(original.size(), saved.size()) << name;
        original.resize(FirstResultLine(original));
        saved.resize(FirstResultLine(saved));
        EXPECT_EQ(saved, original) << name;
        EXPECT_TRUE(presenter.Codes().empty()) << name;
    }
    EXPECT_GE(engines.size(), 6u);
}
