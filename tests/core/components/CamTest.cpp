#include "components/Cam.h"

#include "ReaderChecks.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

// Stock street profile, hydraulic lifters, 0.5 in lifts: complete.
CamData StockStreetCam()
{
    CamData cam;
    cam.ChooseProfile(1, "Stock Street/Economy", 12, 62, 66, 10);
    cam.LifterType().SetChoice(1, "Hyd.");
    cam.IntakeLift().SetValue(0.5f);
    cam.ExhaustLift().SetValue(0.5f);
    return cam;
}

const std::string kStockStreetBlock =
    "3.10\n0\nStock Street/Economy\n1\nHyd.\n1\nSeat-To-Seat\n1\n1 0.000000\n1 0.500000\n"
    "1 0.500000\n0\n1 12.000000\n1 62.000000\n1 66.000000\n1 10.000000\n";

std::string ReplaceLine(const std::string& block, int lineIndex, const std::string& line)
{
    std::size_t begin = 0;
    for (int i = 0; i < lineIndex; ++i) begin = block.find('\n', begin) + 1;
    return block.substr(0, begin) + line + block.substr(block.find('\n', begin));
}

}  // namespace

TEST(CamData, ProfilesGiveTheirDerivedFiguresAndAdvanceMovesOnlyTheActualEvents)
{
    // index, IVO, IVC, EVO, EVC, intake / exhaust duration, lobe center, overlap
    const float cases[][9] = {{1, 12, 62, 66, 10, 254, 256, 116.5f, 22},
                              {2, 31, 67, 67, 31, 278, 278, 108, 62},
                              {3, 32, 70, 70, 32, 282, 282, 109, 64},
                              {4, 42, 74, 77, 45, 296, 302, 106, 87},
                              {5, 52, 88, 88, 52, 320, 320, 108, 104}};
    for (const auto& c : cases) {
        CamData cam;
        cam.AdvanceRetard().SetValue(5.0f);
        EXPECT_EQ(cam.ChooseProfile(int(c[0]), "Profile", c[1], c[2], c[3], c[4]), 0);
        EXPECT_EQ(cam.AdvanceRetard().GetValue(), 0.0f);
        cam.ComputeEvents();
        EXPECT_EQ(cam.IntakeDuration().GetValue(), c[5]) << c[0];
        EXPECT_EQ(cam.ExhaustDuration().GetValue(), c[6]) << c[0];
        EXPECT_EQ(cam.LobeCenter().GetValue(), c[7]) << c[0];
        EXPECT_EQ(cam.Overlap().GetValue(), c[8]) << c[0];
    }
    CamData cam = StockStreetCam();
    cam.AdvanceRetard().SetValue(4.0f);
    cam.ComputeEvents();
    EXPECT_EQ(cam.ActualIvo().GetValue(), 16.0f);
    EXPECT_EQ(cam.ActualIvc().GetValue(), 58.0f);
    EXPECT_EQ(cam.ActualEvo().GetValue(), 70.0f);
    EXPECT_EQ(cam.ActualEvc().GetValue(), 6.0f);
    EXPECT_EQ(cam.ActualIntakeCenterline().GetValue(), 111.0f);
    EXPECT_EQ(cam.ActualExhaustCenterline().GetValue(), 122.0f);
    EXPECT_EQ(cam.LobeCenter().GetValue(), 116.5f);
}

TEST(CamData, TimingSpecsGiveTheEventsThatFitTheMethodsRanges)
{
    for (const bool seatToSeat : {true, false}) {
        CamData cam;
        cam.SetTimingMethod(seatToSeat ? 1 : 2,
                            seatToSeat ? CamData::kSeatToSeatName : CamData::kFiftyLiftName);
        cam.LobeCenter().SetValue(110.0f);
        cam.NominalIntakeCenterline().SetValue(106.0f);
        cam.IntakeDuration().SetValue(280.0f);
        cam.ExhaustDuration().SetValue(280.0f);
        cam.EventsFromTimingSpecs();
        EXPECT_EQ(cam.NominalIvo().GetValue(), 34.0f);
        EXPECT_EQ(cam.NominalIvc().GetValue(), 66.0f);
        EXPECT_EQ(cam.NominalEvo().GetValue(), 74.0f);
        EXPECT_EQ(cam.NominalEvc().GetValue(), 26.0f);
        ErrorCode code = 0;
        EXPECT_TRUE(cam.CheckEvents(code));

        // IVO 74 and IVC 106 are too late for 0.050-inch figures: unset, old values kept.
        cam.IntakeDuration().SetValue(360.0f);
        cam.EventsFromTimingSpecs();
        EXPECT_EQ(cam.NominalIvo().IsSet(), seatToSeat);
        EXPECT_EQ(cam.NominalIvc().GetValue(), seatToSeat ? 106.0f : 66.0f);
        EXPECT_TRUE(cam.NominalEvo().IsValid() && cam.NominalEvc().IsValid());
        EXPECT_EQ(cam.CheckEvents(code) ? 0 : code, seatToSeat ? Msg::None : Msg::CamIvoRequired);
    }
}

TEST(CamData, ChangingTheTimingMethodSwitchesRangesAndAsksForTheMatchingNote)
{
    CamData cam;
    EXPECT_EQ(cam.SetTimingMethod(2, CamData::kFiftyLiftName), 0) << "first choice";
    EXPECT_EQ(cam.ChooseProfile(1, "Stock Street/Economy", 12, 62, 66, 10), 101);
    cam.NominalIvo().SetValue(52.0f);
    EXPECT_EQ(cam.SetTimingMethod(1, CamData::kSeatToSeatName), 0) << "no change";
    EXPECT_EQ(cam.SetTimingMethod(2, CamData::kFiftyLiftName), 102);
    EXPECT_EQ(cam.TimingMethod().GetText(), "0.050-Lift");
    EXPECT_TRUE(cam.NominalEvo().IsValid()) << "EVO 66 fits both and is not converted";
    EXPECT_EQ(cam.NominalEvo().GetValue(), 66.0f);
    EXPECT_FALSE(cam.NominalIvo().IsSet()) << "IVO 52 is beyond 0.050-inch figures";
    EXPECT_EQ(cam.NominalIvo().GetValue(), -25.0f);
    EXPECT_EQ(cam.NominalIvc().GetMinimum(), -10.0f);
}

TEST(CamData, CompletenessNamesTheFirstGapInItsFixedOrder)
{
    CamData cam;
    EXPECT_EQ(CompleteCode(cam), Msg::CamshaftRequired);
    cam.ChooseProfile(2, "High Performance Street", 31, 67, 67, 31);
    EXPECT_EQ(CompleteCode(cam), Msg::LifterTypeRequired);
    cam.LifterType().SetChoice(3, "Roller");
    cam.TimingMethod().MarkUnset();
    EXPECT_EQ(CompleteCode(cam), Msg::CamTimingMethodRequired);
    cam.SetTimingMethod(1, CamData::kSeatToSeatName);
    EXPECT_EQ(CompleteCode(cam), Msg::CamIntakeLiftRequired) << "a profile brings no lifts";
    cam.IntakeLift().SetValue(0.5f);
    EXPECT_EQ(CompleteCode(cam), Msg::CamExhaustLiftRequired);
    cam.ExhaustLift().SetValue(0.5f);
    EXPECT_EQ(CompleteCode(cam), Msg::None);
    // Advance last, the events before it, a lift before them.
    const std::pair<CFloatPtSpec*, int> gaps[] = {{&cam.AdvanceRetard(), 31}, {&cam.NominalEvc(), 37},
                                                  {&cam.NominalEvo(), 36},    {&cam.NominalIvc(), 35},
                                                  {&cam.NominalIvo(), 34},    {&cam.IntakeLift(), 32}};
    for (const auto& [parameter, code] : gaps) {
        parameter->MarkUnset();
        EXPECT_EQ(CompleteCode(cam), code) << parameter->GetName();
    }
}

TEST(CamData, CopiesKeepFlagsUnitsAndRangesAndClearAllKeepsOnlyAZeroAdvance)
{
    CamData source = StockStreetCam();
    source.SetTimingMethod(2, CamData::kFiftyLiftName);
    source.ExhaustLift().MarkUnset();
    source.SetAutoValveLift(true);
    source.SetUnitSystem(kMetricUnits);
    const CamData copied(source);
    EXPECT_EQ(copied.IntakeLift().GetTextWithUnits(), "12.70 mm");
    EXPECT_TRUE(copied.IsAutoValveLift() && copied.NominalIvo().GetMinimum() == -25.0f);
    EXPECT_EQ(CompleteCode(copied), Msg::CamExhaustLiftRequired) << "an unset lift stays unset";

    source.ComputeEvents();
    source.ClearAll();
    EXPECT_EQ(CompleteCode(source), Msg::CamshaftRequired);
    EXPECT_FALSE(source.IsAutoValveLift() || source.LifterType().IsSet() || source.IntakeLift().IsSet() ||
                 source.NominalEvo().IsSet() || source.ActualEvc().IsSet());
    EXPECT_TRUE(source.AdvanceRetard().IsValid() && source.AdvanceRetard().GetValue() == 0.0f);
    EXPECT_TRUE(source.IntakeLift().IsMetric() && source.NominalIvo().GetMinimum() == -25.0f);
}

TEST(CamBlock, IsWrittenInEnglishUnitsAndReadsBackWithFlagsRangesAndUnitSystem)
{
    CamData cam = StockStreetCam();
    cam.SetUnitSystem(kMetricUnits);
    EXPECT_EQ(WrittenBlock(cam), kStockStreetBlock);
    EXPECT_TRUE(cam.IntakeLift().IsMetric()) << "the record stays metric";
    CamData read;
    read.SetUnitSystem(kMetricUnits);
    ASSERT_EQ(ReadBlockCode(read, kStockStreetBlock), Msg::None);
    EXPECT_EQ(read.IntakeLift().GetTextWithUnits(), "0.500 in");
    EXPECT_EQ(WrittenBlock(read), kStockStreetBlock);
    ASSERT_EQ(ReadBlockCode(read, ReplaceLine(kStockStreetBlock, 1, "1")), Msg::None);
    EXPECT_EQ(read.IntakeLift().GetTextWithUnits(), "12.70 mm") << "a block that says metric";

    cam.SetTimingMethod(2, CamData::kFiftyLiftName);
    cam.NominalIvo().SetValue(-20.0f);
    cam.ExhaustLift().MarkUnset();
    cam.SetAutoValveLift(true);
    ASSERT_EQ(ReadBlockCode(read, WrittenBlock(cam)), Msg::None);
    EXPECT_FALSE(read.ExhaustLift().IsSet());
    EXPECT_EQ(read.ExhaustLift().GetValue(), 0.5f);
    EXPECT_TRUE(read.IsAutoValveLift());
    EXPECT_EQ(read.NominalIvo().GetValue(), -20.0f) << "read against the 0.050-inch ranges";
}

TEST(CamBlock, VersionsLineEndsAndBadValuesGiveTheirCodes)
{
    const std::tuple<int, const char*, int> cases[] = {
        {0, "3.05", 0},  {0, " 3.10\t", 0},  {0, "3.09", 50},   {0, "3.1", 50},   {0, "3.10 beta", 50},
        {0, "", 50},     {1, "2", 47},       {1, "x", 45},      {3, "7", 47},     {5, "0", 47},
        {7, "3", 47},    {8, "1 16.0", 47},  {9, "1 0.15", 47}, {9, "1 nan", 47}, {10, "1 inf", 47},
        {11, "yes", 45}, {12, "1 81.0", 47}, {15, "1", 45},     {4, "   ", 45}};
    for (const auto& [line, text, code] : cases) {
        CamData cam;
        EXPECT_EQ(ReadBlockCode(cam, ReplaceLine(kStockStreetBlock, line, text)), code)
            << line << ": " << text;
    }
    std::string crlf;
    for (char c : kStockStreetBlock) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    CamData cam;
    ASSERT_EQ(ReadBlockCode(cam, crlf), Msg::None);
    EXPECT_EQ(cam.CamType().GetText(), "Stock Street/Economy");
    EXPECT_EQ(CompleteCode(cam), Msg::None);
}

TEST(CamBlock, TruncatedEmptyAndGarbageInputAreRefusedWithoutHarm)
{
    const std::size_t lastLine = kStockStreetBlock.rfind('\n', kStockStreetBlock.size() - 2) + 1;
    for (std::size_t length = 0; length <= lastLine; ++length) {
        CamData cam;
        cam.SetUnitSystem(kMetricUnits);
        const int code = ReadBlockCode(cam, kStockStreetBlock.substr(0, length));
        // Inside a line the cut may leave a shorter version or an out-of-range number.
        const bool atLineEnd = length == 0 || kStockStreetBlock[length - 1] == '\n';
        EXPECT_TRUE(code == Msg::FileRead ||
                    (!atLineEnd && (code == Msg::FileInvalidValue || code == Msg::CamFileVersion)))
            << code << " at " << length;
        EXPECT_TRUE(cam.GetUnitSystem() == kEnglishUnits && cam.IntakeLift().IsEnglish());
    }
    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919 + 13) % 256);
    CamData cam;
    EXPECT_NE(ReadBlockCode(cam, garbage), 0);
    EXPECT_EQ(ReadBlockCode(cam, "3.10\r0\rStock Street/Economy\r1\r"), Msg::CamFileVersion)
        << "CR alone ends no line";
    EXPECT_EQ(ReadBlockCode(cam, std::string(1 << 20, '3')), Msg::CamFileVersion);
    EXPECT_EQ(ReadBlockCode(cam, "3.10\n" + std::string(1 << 20, '0') + "\n"), Msg::FileRead);
}

TEST(CamBlock, AFailedReadKeepsWhatWasReadAndLeavesTheRestAlone)
{
    CamData cam;
    cam.ChooseProfile(5, "Drag-Race High-Speed", 52, 88, 88, 52);
    cam.SetAutoValveLift(true);
    cam.SetUnitSystem(kMetricUnits);
    EXPECT_EQ(ReadBlockCode(cam, ReplaceLine(kStockStreetBlock, 10, "1 9.0")), Msg::FileInvalidValue);
    EXPECT_EQ(cam.CamType().GetIndex(), 1);
    EXPECT_EQ(cam.IntakeLift().GetTextWithUnits(), "0.500 in") << "read before the failure, in English";
    EXPECT_TRUE(cam.IsAutoValveLift()) << "after the failure: unchanged";
    EXPECT_EQ(cam.NominalIvo().GetValue(), 52.0f);
}

TEST(CamFile, SaveAndLoadRoundTripCutLongNamesAndReportEachFailureOnce)
{
    TempDir folder;
    RecordingPresenter presenter;
    CamData cam = StockStreetCam();
    cam.SetUnitSystem(kMetricUnits);
    const std::string path = folder.File("stock.cam").string();
    ASSERT_TRUE(cam.SaveToFile(path));
    EXPECT_EQ(ReadWholeFile(path), kStockStreetBlock);
    EXPECT_EQ(FilesIn(folder.Path()), 1u) << "no temporary file left behind";

    cam.CamType().SetChoice(CamData::kCustomCamType, std::string(100, 'N') + "\nsecond line");
    ASSERT_TRUE(cam.SaveToFile(path));
    CamData loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.CamType().GetText(), std::string(78, 'N'));
    EXPECT_EQ(CompleteCode(loaded), Msg::None);
    EXPECT_TRUE(presenter.Messages().empty());

    EXPECT_FALSE(loaded.LoadFromFile(folder.File("missing.cam").string()));
    EXPECT_FALSE(loaded.LoadFromFile(folder.Path().string()));
    EXPECT_FALSE(loaded.LoadFromFile("/dev/zero")) << "a device that never ends is not read";
    WriteWholeFile(folder.File("old.cam"), "3.09\n");
    EXPECT_FALSE(loaded.LoadFromFile(folder.File("old.cam").string()));
    EXPECT_EQ(presenter.Messages().back().message.title, "Invalid File Version");
    EXPECT_FALSE(cam.SaveToFile(folder.File("no/such/folder.cam").string()));
    EXPECT_FALSE(cam.SaveToFile(folder.Path().string()));
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::FileOpen, Msg::FileOpen, Msg::FileOpen,
                                                   Msg::CamFileVersion, Msg::FileOpen, Msg::FileOpen}));
}

TEST(CamFile, ReplacingAFileKeepsItsPermissions)
{
    TempDir folder;
    const fs::path path = folder.File("perm.cam");
    const auto ownerRwGroupR = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    WriteWholeFile(path, "old content\n");
    fs::permissions(path, ownerRwGroupR);
    CamData cam = StockStreetCam();
    ASSERT_TRUE(cam.SaveToFile(path.string()));
    EXPECT_EQ(fs::status(path).permissions(), ownerRwGroupR);
}

TEST(CamFileDeathTest, ASaveThatCannotBeWrittenLeavesTheOldFileUntouched)
{
    TempDir folder;
    const fs::path path = folder.File("keep.cam");
    const std::string before = "precious cam content\n";
    WriteWholeFile(path, before);
    // In a child whose files may grow to 16 bytes only.
    const auto saveUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingPresenter presenter;
        CamData cam = StockStreetCam();
        return !cam.SaveToFile(path.string()) && presenter.LastCode() == Msg::FileWrite &&
               ReadWholeFile(path) == before && FilesIn(folder.Path()) == 1;
    };
    EXPECT_EXIT(std::_Exit(saveUnderLimit() ? 0 : 1), testing::ExitedWithCode(0), "");
}
