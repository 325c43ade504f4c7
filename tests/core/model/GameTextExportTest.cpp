#include "base/Util.h"
#include "model/GameTextExport.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "EngineSnapshot.h"
#include "RecordingPresenter.h"
#include "TempFile.h"
#include "TextLines.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr Choice kNitrous4{ChoiceGroup::Fuel, 3};
constexpr EngineCommand kChooseMetricUnits = EngineCommand::MetricUnits;
constexpr std::size_t kHeaderLines = 8;

std::vector<std::string> DataLines(const CTorqDoc& doc)
{
    std::vector<std::string> lines;
    for (int point = 0; point < kResultPointCount; ++point) {
        lines.push_back(FormatC("%.0f %f %f %f", double(doc.GetResult(kSeriesEngineSpeed, point)),
                                double(doc.GetResult(kSeriesPower, point)),
                                double(doc.GetResult(kSeriesTorque, point)),
                                double(doc.GetResult(kSeriesBmep, point))));
    }
    return lines;
}

std::vector<std::string> Block(const std::vector<std::string>& lines, int block)
{
    const auto first = lines.begin() + std::ptrdiff_t(kHeaderLines) + block * kResultPointCount;
    return {first, first + kResultPointCount};
}

}  // namespace

TEST(GameTextExport, ProposesTheDosFormOfTheDocumentTitle)
{
    CTorqDoc doc;
    EXPECT_EQ(ProposedGameTextName(doc), "Untitled.gme");
    doc.SetTitle("My Big Engine.trq");
    EXPECT_EQ(ProposedGameTextName(doc), "My Big E.gme");
    doc.SetTitle("v8.street.trq");
    EXPECT_EQ(ProposedGameTextName(doc), "v8.gme");
}

TEST(GameTextExport, AnIncompleteEngineOrOneWithoutResultsIsRefused)
{
    RecordingPresenter presenter;
    CTorqDoc incomplete;
    EXPECT_FALSE(CheckGameTextExport(incomplete));
    CTorqDoc doc;
    BuildChevy350(doc);
    EXPECT_TRUE(CheckGameTextExport(doc));
    doc.ClearResults();
    EXPECT_FALSE(CheckGameTextExport(doc));
    EXPECT_EQ(presenter.Codes(),
              (std::vector<int>{Msg::BoreStrokeSelectionRequired, Msg::ExportResultsMissing}));
}

TEST(GameTextExport, WritesTheEngineFiguresAndTwoFreshRunsInInches)
{
    TempDir folder;
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kChooseMetricUnits);
    const auto before = EngineSnapshot(doc);

    ASSERT_TRUE(ExportGameTextFile(doc, folder.Path().string(), "Street Engine.gme"));
    const auto lines = SplitLines(ReadWholeFile(folder.File("Street E.gme")));
    ASSERT_EQ(lines.size(), kHeaderLines + 2 * kResultPointCount);
    const std::vector<std::string> header = {
        "VER: 3.10", "NAME: Chevy 350", "BORE: 4.000000", "STROKE: 3.480000",
        "NUMCYL: 8", "NITROUS: 0",      "NUMDATA: 19",    "DATA:"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + std::ptrdiff_t(kHeaderLines)), header);
    EXPECT_EQ(Block(lines, 0), DataLines(doc));
    EXPECT_EQ(Block(lines, 1), DataLines(doc));
    EXPECT_EQ(EngineSnapshot(doc), before) << "shown in metric units again, results untouched";
    EXPECT_TRUE(presenter.Codes().empty());
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
}

TEST(GameTextExport, ANitrousEngineExportsItsGasolineRunFirstAndKeepsItsNitrous)
{
    TempDir folder;
    CTorqDoc gasoline;
    BuildChevy350(gasoline);
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kNitrous4);
    doc.Recalculate();
    const auto before = EngineSnapshot(doc);

    ASSERT_TRUE(ExportGameTextFile(doc, folder.Path().string(), "nitrous.gme"));
    const auto lines = SplitLines(ReadWholeFile(folder.File("nitrous.gme")));
    ASSERT_EQ(lines.size(), kHeaderLines + 2 * kResultPointCount);
    EXPECT_EQ(lines[5], "NITROUS: 1");
    EXPECT_EQ(Block(lines, 0), DataLines(gasoline));
    EXPECT_EQ(Block(lines, 1), DataLines(doc));
    EXPECT_NE(Block(lines, 0), Block(lines, 1));
    EXPECT_EQ(EngineSnapshot(doc), before);
    EXPECT_EQ(doc.FuelType().GetIndex(), 5);
}

TEST(GameTextExport, ANameTheShortFormChangesGives78WhenThatFileExistsWhileTheChosenNameOverwrites)
{
    TempDir folder;
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    WriteWholeFile(folder.File("LongEngi.gme"), "another engine\n");
    WriteWholeFile(folder.File("short.gme"), "old export\n");

    EXPECT_FALSE(ExportGameTextFile(doc, folder.Path().string(), "LongEngineName.gme"));
    EXPECT_EQ(ReadWholeFile(folder.File("LongEngi.gme")), "another engine\n");
    EXPECT_EQ(FilesIn(folder.Path()), 2u);

    EXPECT_TRUE(ExportGameTextFile(doc, folder.Path().string(), "short.gme"));
    EXPECT_EQ(ReadWholeFile(folder.File("short.gme")).substr(0, 10), "VER: 3.10\n");
    EXPECT_TRUE(ExportGameTextFile(doc, folder.Path().string(), "OtherLongName.txt"));
    EXPECT_TRUE(fs::exists(folder.File("OtherLon.gme")));
    // Short names too: "short.v2.gme" and "short" become short.gme.
    EXPECT_FALSE(ExportGameTextFile(doc, folder.Path().string(), "short.v2.gme"));
    EXPECT_FALSE(ExportGameTextFile(doc, folder.Path().string(), "short"));
    EXPECT_EQ(presenter.Codes(),
              (std::vector<int>{Msg::ExportDosNameTaken, Msg::ExportDosNameTaken, Msg::ExportDosNameTaken}));
}

TEST(GameTextExport, AFailedRunLeavesNoFileAndTheEngineAsItWas)
{
    TempDir folder;
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kNitrous4);
    doc.Recalculate();
    doc.Apply(kChooseMetricUnits);
    // 100 cfm cannot feed the engine; the results of the last run stay until the next.
    doc.InductionFlow().SetValue(100.0f);
    const auto before = EngineSnapshot(doc);
    ASSERT_TRUE(CheckGameTextExport(doc));

    EXPECT_FALSE(ExportGameTextFile(doc, folder.Path().string(), "engine.gme"));
    EXPECT_EQ(FilesIn(folder.Path()), 0u) << "no partly written file";
    WriteWholeFile(folder.File("engine.gme"), "the last good export\n");
    EXPECT_FALSE(ExportGameTextFile(doc, folder.Path().string(), "engine.gme"));
    EXPECT_EQ(ReadWholeFile(folder.File("engine.gme")), "the last good export\n");
    EXPECT_EQ(FilesIn(folder.Path()), 1u);
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::SimulationFailed, Msg::SimulationFailed}));
    EXPECT_EQ(EngineSnapshot(doc), before) << "fuel, nitrous, units and results put back";
}
