#include "model/DosRecordExport.h"

#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/resource.h>

namespace fs = std::filesystem;
namespace at = DosRecordOffset;

namespace {

constexpr EngineCommand kPressureDrop30 = EngineCommand::PressureDrop30;
constexpr EngineCommand kTwoIntakeValves = EngineCommand::TwoIntakeValves;
constexpr EngineCommand kOneIntakeValve = EngineCommand::OneIntakeValve;
constexpr EngineCommand kAutoValveSizes = EngineCommand::AutoValveSizes;
constexpr EngineCommand kAutoValveLift = EngineCommand::AutoValveLift;
constexpr EngineCommand kChooseMetricUnits = EngineCommand::MetricUnits;
constexpr Choice kTimingFiftyLift = NamedChoice::kFiftyLiftTiming;

// The record is little-endian and so is every machine we build for: a plain
// copy of the bytes gives the value.
std::int16_t Int16At(const std::string& record, std::size_t offset)
{
    std::int16_t value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

float FloatAt(const std::string& record, std::size_t offset)
{
    float value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

std::string TextAt(const std::string& record, std::size_t offset)
{
    return std::string(record.c_str() + offset);
}

std::string Exported(CTorqDoc& doc, const TempDir& folder)
{
    EXPECT_TRUE(ExportDosRecordFile(doc, folder.Path().string(), "record.trq"));
    return ReadWholeFile(folder.File("record.trq"));
}

int CheckCode(CTorqDoc& doc)
{
    RecordingPresenter presenter;
    const bool passed = CheckDosRecordExport(doc);
    EXPECT_EQ(passed, presenter.Codes().empty());
    EXPECT_LE(presenter.Codes().size(), 1u);
    return presenter.LastCode();
}

}  // namespace

TEST(DosRecordExport, ChecksRunInTheirOrderAndShowOnlyTheFirstFailure)
{
    CTorqDoc incomplete;
    EXPECT_EQ(CheckCode(incomplete), Msg::BoreStrokeSelectionRequired);

    CTorqDoc doc;
    BuildChevy350(doc);
    EXPECT_EQ(CheckCode(doc), Msg::None);
    doc.Apply(kChooseMetricUnits);
    EXPECT_EQ(CheckCode(doc), Msg::ExportNeedsEnglishUnits) << "metric even though everything else fits";
    doc.SetUnitSystem(kEnglishUnits);
    doc.ClearResults();
    doc.Apply(kAutoValveSizes);
    EXPECT_EQ(CheckCode(doc), Msg::ExportResultsMissing) << "no results comes before the automatic sizes";
    doc.Recalculate();
    EXPECT_EQ(CheckCode(doc), Msg::ExportAutoSizesOn);
    doc.Apply(kAutoValveSizes);
    doc.Apply(kAutoValveLift);
    EXPECT_EQ(CheckCode(doc), Msg::ExportAutoSizesOn);
    doc.Apply(kAutoValveLift);
    doc.Apply(kPressureDrop30);
    EXPECT_EQ(CheckCode(doc), Msg::ExportPressureDrop);
    doc.PressureDrop().SetValue(1.5f);
    doc.Apply(kTwoIntakeValves);
    EXPECT_EQ(CheckCode(doc), Msg::ExportTwoValveCounts);
    doc.Apply(kOneIntakeValve);
    doc.CylinderHeadType().SetChoice(kCustomHeadIndex, "My Ported Heads");
    EXPECT_EQ(CheckCode(doc), Msg::ExportCustomAirflow);

    CTorqDoc turbo;
    BuildTurboFour(turbo);
    turbo.Apply(kAutoValveSizes);
    turbo.Apply(kAutoValveLift);
    EXPECT_EQ(CheckCode(turbo), Msg::ExportForcedInduction)
        << "a 4-valve head with 2 + 2 valves, on forced induction";
    turbo.Apply(kOneIntakeValve);
    EXPECT_EQ(CheckCode(turbo), Msg::ExportFourValveCounts);
}

TEST(DosRecordExport, TheRecordHoldsEveryFieldAtItsOffset)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Cam().AdvanceRetard().SetValue(-4.5f);
    doc.InductionFlow().SetValue(780.9f);
    doc.NitrousFlowRate().SetValue(2.5f);
    const std::string record = Exported(doc, folder);

    ASSERT_EQ(record.size(), 815u);
    EXPECT_EQ(TextAt(record, at::kSignature), "KVRA/02.08.07/M ");
    EXPECT_EQ(TextAt(record, at::kCamTypeName), "High Performance Street");
    EXPECT_EQ(TextAt(record, at::kShortBlockName), "Chevy 350");
    EXPECT_EQ(Int16At(record, 107), 18);
    EXPECT_EQ(Int16At(record, at::kManifoldType), 2);
    EXPECT_EQ(Int16At(record, 111), 18);
    EXPECT_EQ(Int16At(record, at::kHeadType), 4);
    EXPECT_EQ(Int16At(record, 115), 121);
    EXPECT_EQ(Int16At(record, at::kExhaustSystem), 3);
    EXPECT_EQ(Int16At(record, at::kTimingMethod), 6) << "seat-to-seat";
    EXPECT_EQ(Int16At(record, at::kLifterType), 1);
    EXPECT_EQ(Int16At(record, 123), 15);
    EXPECT_EQ(Int16At(record, 125), 0);
    EXPECT_EQ(FloatAt(record, at::kBore), 4.0f);
    EXPECT_EQ(FloatAt(record, at::kStroke), 3.48f);
    EXPECT_EQ(Int16At(record, at::kCylinders), 8);
    EXPECT_EQ(FloatAt(record, at::kIntakeValve), 2.02f);
    EXPECT_EQ(FloatAt(record, at::kExhaustValve), 1.6f);
    EXPECT_EQ(FloatAt(record, at::kCompressionRatio), 10.0f);
    EXPECT_EQ(Int16At(record, at::kInductionFlow), 780) << "truncated";
    EXPECT_EQ(Int16At(record, at::kFlowBasis), 4);
    EXPECT_EQ(FloatAt(record, at::kEvo), 67.0f);
    EXPECT_EQ(FloatAt(record, at::kEvc), 31.0f);
    EXPECT_EQ(FloatAt(record, at::kIvo), 31.0f);
    EXPECT_EQ(FloatAt(record, at::kIvc), 67.0f);
    EXPECT_EQ(FloatAt(record, at::kIntakeLift), 0.5f);
    EXPECT_EQ(FloatAt(record, at::kExhaustLift), 0.5f);
    EXPECT_EQ(Int16At(record, at::kAdvance), -4) << "truncated toward zero";
    for (int series = kSeriesPower; series <= kSeriesFmep; ++series) {
        for (int point = 0; point < kResultPointCount; ++point) {
            const std::size_t offset =
                at::kPower + 76 * std::size_t(series - kSeriesPower) + 4 * std::size_t(point);
            EXPECT_EQ(FloatAt(record, offset), doc.GetResult(series, point))
                << "series " << series << " " << point;
        }
    }
    EXPECT_EQ(Int16At(record, at::kCompressionKind), 2) << "no calculator data";
    EXPECT_EQ(Int16At(record, 713), 2);
    EXPECT_EQ(Int16At(record, at::kFuelType), 1);
    for (std::size_t offset = at::kChamberVolume; offset < at::kNitrousFlow; ++offset) {
        EXPECT_EQ(record[offset], '\0') << "offset " << offset;
    }
    EXPECT_EQ(FloatAt(record, at::kNitrousFlow), 2.5f);
    for (std::size_t offset = at::kNitrousFlow + 4; offset < record.size(); ++offset) {
        EXPECT_EQ(record[offset], '\0') << "offset " << offset;
    }
}

TEST(DosRecordExport, CalculatorDataLongNamesAndFiftyLiftTimingAreRecordedAsTheOldProgramsReadThem)
{
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.ShortBlockType().SetFromText("Chevy 350 with a forged crank and rods", false);
    doc.Apply(kTimingFiftyLift);
    doc.ApplyCustomCamType(std::string(60, 'C'));
    UseCalculator(doc);
    const std::string record = Exported(doc, folder);

    EXPECT_EQ(TextAt(record, at::kCamTypeName), std::string(49, 'C'));
    EXPECT_EQ(TextAt(record, at::kShortBlockName), "Chevy 350 with a forged ");
    EXPECT_EQ(Int16At(record, at::kTimingMethod), 7);
    EXPECT_EQ(Int16At(record, at::kCompressionKind), 1);
    EXPECT_EQ(FloatAt(record, at::kChamberVolume), 64.0f);
    EXPECT_EQ(FloatAt(record, at::kKindDeckVolume), 5.5f) << "the piston's deck volume for kind 1";
    EXPECT_EQ(FloatAt(record, at::kGasketBore), 4.1f);
    EXPECT_EQ(FloatAt(record, at::kPistonDistance), 0.125f);
    EXPECT_EQ(FloatAt(record, at::kGasketVolume), 8.9f);
    EXPECT_EQ(FloatAt(record, at::kDeckVolume), 4.2f);
    EXPECT_EQ(FloatAt(record, at::kGasketThickness), 0.041f);

    doc.SetPistonKind(2);
    const std::string flatTop = Exported(doc, folder);
    EXPECT_EQ(Int16At(flatTop, at::kCompressionKind), 2);
    EXPECT_EQ(FloatAt(flatTop, at::kKindDeckVolume), 4.2f) << "the deck volume for kind 2";
}

TEST(DosRecordExport, ALongChosenNameIsShortenedAndMayNotOverwriteAnotherFile)
{
    TempDir folder;
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    EXPECT_EQ(ProposedDosRecordName(doc), "Untitled.trq");
    doc.SetTitle("My Big Engine.trq");
    EXPECT_EQ(ProposedDosRecordName(doc), "My Big E.trq");
    EXPECT_TRUE(ExportDosRecordFile(doc, folder.Path().string(), "MYENGINE2001.trq"));
    EXPECT_EQ(fs::file_size(folder.File("MYENGINE.trq")), 815u);
    WriteWholeFile(folder.File("MYENGINE.trq"), "somebody else's engine");
    EXPECT_FALSE(ExportDosRecordFile(doc, folder.Path().string(), "MYENGINE2001.trq"));
    EXPECT_EQ(ReadWholeFile(folder.File("MYENGINE.trq")), "somebody else's engine");
    EXPECT_TRUE(ExportDosRecordFile(doc, folder.Path().string(), "MYENGINE.trq"))
        << "the name chosen: no check";
    EXPECT_EQ(fs::file_size(folder.File("MYENGINE.trq")), 815u);
    // A short name that the cut changes: "my.eng.trq" would write my.trq.
    WriteWholeFile(folder.File("my.trq"), "another engine");
    EXPECT_FALSE(ExportDosRecordFile(doc, folder.Path().string(), "my.eng.trq"));
    EXPECT_EQ(ReadWholeFile(folder.File("my.trq")), "another engine");
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::ExportDosNameTaken, Msg::ExportDosNameTaken}));
    EXPECT_EQ(FilesIn(folder.Path()), 2u);
}

TEST(DosRecordExportDeathTest, AFailedWriteLeavesTheOldFileAndNoPartOfTheNewOne)
{
    TempDir folder;
    const fs::path path = folder.File("OLD.trq");
    WriteWholeFile(path, "an older record");
    const auto writeUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingPresenter presenter;
        CTorqDoc doc;
        BuildChevy350(doc);
        return !WriteGameEngineFile(path.string(), doc) &&
               presenter.Codes() == std::vector<int>{Msg::FileWrite} &&
               ReadWholeFile(path) == "an older record" && FilesIn(folder.Path()) == 1;
    };
    EXPECT_EXIT(std::_Exit(writeUnderLimit() ? 0 : 1), testing::ExitedWithCode(0), "");
}
