#include "model/EngineFile.h"
#include "model/EngineValues.h"
#include "model/GameTextExport.h"
#include "model/MenuCommands.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "EngineSnapshot.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr Choice kChevy454{ChoiceGroup::ShortBlock, 41};
constexpr Choice kCompression105{ChoiceGroup::CompressionRatio, 5};  // 10.5:1
constexpr Choice kMethanol{ChoiceGroup::Fuel, 7};

struct Listener : DocumentObserver {
    int heard = 0;
    void OnDocumentChanged(CTorqDoc&, DocumentChange) override { ++heard; }
};

// The Chevy 350 with its results, then Auto Run off: later changes leave
// the results of this engine on show.
void BuildChevy350WithAutoRunOff(CTorqDoc& doc)
{
    ASSERT_TRUE(BuildChevy350(doc));
    ASSERT_TRUE(doc.HasResults());
    ASSERT_EQ(doc.Apply(EngineCommand::AutoRun), CommandResult::Applied);
    ASSERT_FALSE(doc.IsAutoRun());
}

}  // namespace

TEST(RestoreValues, PutsTheEngineBackToTheSameSavedFileAfterAnyChanges)
{
    RecordingPresenter presenter;
    presenter.SetDefaultAnswer(WarningAnswer::Ok);
    TempDir folder;
    CTorqDoc doc;
    ASSERT_TRUE(BuildTurboFour(doc));
    UseCalculator(doc);
    doc.SetUnitSystem(kMetricUnits);
    doc.SetTitle("Turbo.trq");
    ASSERT_TRUE(WriteEngineFile(doc, folder.File("before.trq").string()));
    const EngineValues taken = doc.Values();
    Listener views;
    doc.AddObserver(&views);

    ASSERT_TRUE(ApplyChoices(doc, {kChevy454, kCompression105, kMethanol, EngineCommand::EnglishUnits}));
    doc.ClearComponents();
    ASSERT_NE(EngineSnapshot(doc), EngineSnapshot(taken));
    views.heard = 0;

    doc.RestoreValues(taken);
    EXPECT_TRUE(doc.Values() == taken);
    EXPECT_EQ(EngineSnapshot(doc), EngineSnapshot(taken));
    EXPECT_EQ(doc.PistonDistance().GetEnglishMinimum(), 0.1f) << "the calculator's piston range came back";
    EXPECT_EQ(views.heard, 0) << "the caller updates the views";
    EXPECT_EQ(doc.GetTitle(), "Turbo.trq");
    ASSERT_TRUE(WriteEngineFile(doc, folder.File("after.trq").string()));
    EXPECT_EQ(ReadWholeFile(folder.File("after.trq")), ReadWholeFile(folder.File("before.trq")));
    doc.RemoveObserver(&views);
}

TEST(RestoreValues, EqualValuesAreTheSameInEverySetFlagRangeAndResultBit)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    ASSERT_TRUE(BuildTurboFour(doc));
    const EngineValues taken = doc.Values();
    EXPECT_TRUE(taken == doc.Values());

    EngineValues unset = taken;
    unset.bore.MarkUnset();  // the value stays behind the "***"
    EXPECT_FALSE(unset == taken);

    EngineValues otherRange = taken;
    otherRange.pistonDistance.SetRange(0.1f, 2.0f);
    EXPECT_FALSE(otherRange == taken);

    EngineValues oneResultBit = taken;
    float& power = oneResultBit.results[kSeriesPower - 1][7];
    power = std::nextafter(power, 1e9f);
    EXPECT_FALSE(oneResultBit == taken);

    EngineValues camLift = taken;
    camLift.cam.IntakeLift().SetValue(camLift.cam.IntakeLift().GetValue() + 0.001f);
    EXPECT_FALSE(camLift == taken);

    EngineValues airflowPoint = taken;
    airflowPoint.flowData.SetPointCount(airflowPoint.flowData.GetPointCount() - 1);
    EXPECT_FALSE(airflowPoint == taken);

    EngineValues stale = taken;
    stale.resultsStale = true;
    EXPECT_FALSE(stale == taken);
}

TEST(StaleResults, WithAutoRunOffAChangeKeepsTheResultsButMarksThemOutOfDateUntilTheNextRun)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350WithAutoRunOff(doc);
    EXPECT_FALSE(doc.AreResultsStale());
    const ResultSeriesValues power = doc.GetResultSeries(kSeriesPower);

    ASSERT_TRUE(ApplyChoices(doc, {kCompression105}));
    EXPECT_TRUE(doc.AreResultsStale());
    EXPECT_EQ(doc.GetResultSeries(kSeriesPower), power) << "the old engine's results stay on show";

    // A unit switch changes nothing the results depend on.
    ASSERT_EQ(doc.Apply(EngineCommand::MetricUnits), CommandResult::Applied);
    EXPECT_TRUE(doc.AreResultsStale());

    ASSERT_EQ(doc.Apply(EngineCommand::Run), CommandResult::Applied);
    EXPECT_FALSE(doc.AreResultsStale());
    EXPECT_NE(doc.GetResultSeries(kSeriesPower), power) << "10.5:1 gives more than 10:1";

    // Without results there is nothing out of date.
    ASSERT_TRUE(ApplyChoices(doc, {kChevy454}));
    EXPECT_TRUE(doc.AreResultsStale());
    doc.ClearResults();
    EXPECT_FALSE(doc.AreResultsStale());
    doc.Recalculate();
    EXPECT_FALSE(doc.AreResultsStale());

    // With Auto Run on every change runs the engine again.
    CTorqDoc autoRun;
    ASSERT_TRUE(BuildChevy350(autoRun));
    ASSERT_TRUE(ApplyChoices(autoRun, {kCompression105}));
    EXPECT_FALSE(autoRun.AreResultsStale());
}

TEST(StaleResults, AnExportThatRunsTheEngineLeavesOutOfDateResultsAsTheyWere)
{
    RecordingPresenter presenter;
    TempDir folder;
    CTorqDoc doc;
    BuildChevy350WithAutoRunOff(doc);
    ASSERT_TRUE(ApplyChoices(doc, {kCompression105}));
    ASSERT_TRUE(doc.AreResultsStale());
    const EngineValues before = doc.Values();

    ASSERT_TRUE(ExportGameTextFile(doc, folder.Path().string(), "chevy.gme"));
    EXPECT_TRUE(doc.Values() == before);
}

TEST(ClearComponents, MarksTheEngineModifiedSoThatClosingAsksToSave)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    ASSERT_TRUE(BuildChevy350(doc));
    doc.SetModified(false);  // as saved
    doc.ClearComponents();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.ShortBlockType().IsSet());
    EXPECT_FALSE(doc.HasResults());
    EXPECT_FALSE(doc.AreResultsStale());
}
