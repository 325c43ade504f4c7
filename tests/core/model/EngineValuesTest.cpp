#include "model/EngineValues.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "EngineSnapshot.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Listener : DocumentObserver {
    int heard = 0;
    void OnDocumentChanged(CTorqDoc&, DocumentChange) override { ++heard; }
};

// The compression calculator's inputs as its OK hands them over: a domed
// piston, so "Piston Distance" takes the domed piston's range.
void ApplyDomedPistonCalculator(CTorqDoc& doc)
{
    CompressionCalculatorResult result{1,
                                       doc.ChamberVolume(),
                                       doc.GasketBore(),
                                       doc.GasketThickness(),
                                       doc.PistonDistance(),
                                       doc.PistonDeckVolume(),
                                       doc.GasketVolume(),
                                       doc.DeckVolume(),
                                       48.5f,
                                       9.2f};
    result.chamberVolume.SetValue(44.0f);
    result.gasketBore.SetValue(3.6f);
    result.gasketThickness.SetValue(0.04f);
    result.pistonDistance.SetValue(0.2f);
    result.pistonDeckVolume.SetValue(4.1f);
    result.gasketVolume.SetValue(6.7f);
    result.deckVolume.SetValue(10.8f);
    doc.ApplyCompressionCalculator(result);
}

// A turbocharged four in metric units with calculator inputs, results, and
// two parameters that were cleared but keep their values behind the "***".
void BuildMetricTurboFourWithCalculator(CTorqDoc& doc)
{
    ASSERT_TRUE(BuildTurboFour(doc));
    ApplyDomedPistonCalculator(doc);
    doc.SetUnitSystem(kMetricUnits);
    doc.BlowerSurgeFlowRate().MarkUnset();
    doc.Cam().NominalIvo().MarkUnset();
    ASSERT_TRUE(doc.HasResults());
}

}  // namespace

TEST(EngineValues, ACopiedEngineIsExactInEveryParameterAndKeepsItsOwnDocument)
{
    RecordingPresenter presenter;
    CTorqDoc source;
    BuildMetricTurboFourWithCalculator(source);
    Listener listener;  // outlives the engine it listens to, which tells it of its end
    CTorqDoc target;
    ASSERT_TRUE(BuildChevy350(target));
    target.SetTitle("Target.trq");
    target.SetPathName("/engines/Target.trq");
    target.SetModified();
    target.AddObserver(&listener);
    ASSERT_NE(EngineSnapshot(target), EngineSnapshot(source));

    source.CopyTo(target);
    EXPECT_EQ(EngineSnapshot(target), EngineSnapshot(source));
    EXPECT_EQ(target.PistonDistance().GetEnglishMinimum(), 0.1f) << "the domed piston's range came along";
    EXPECT_FALSE(target.BlowerSurgeFlowRate().IsSet());
    EXPECT_EQ(target.BlowerSurgeFlowRate().GetValue(), source.BlowerSurgeFlowRate().GetValue());

    EXPECT_EQ(target.GetTitle(), "Target.trq");
    EXPECT_EQ(target.GetPathName(), "/engines/Target.trq");
    EXPECT_TRUE(target.IsModified());
    EXPECT_NE(target.GetDocumentNumber(), source.GetDocumentNumber());
    EXPECT_EQ(listener.heard, 0) << "a copy is not an edit";
    target.UpdateAllViews();
    EXPECT_EQ(listener.heard, 1) << "the target's views stay its own";

    const EngineValues copied = source.Values();
    EXPECT_EQ(EngineSnapshot(copied), EngineSnapshot(source));
}

TEST(EngineValues, EveryParameterWithTwoUnitsFollowsTheUnitSystem)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    ASSERT_TRUE(BuildTurboFour(doc));
    doc.SetUnitSystem(kMetricUnits);
    const std::vector<CFloatPtSpec*> switched = doc.UnitSwitchedParameters();

    std::vector<std::string> converted;
    doc.Values().ForEachParameter([&](const CTorqSpec& spec, ParameterRole role) {
        const auto* number = dynamic_cast<const CFloatPtSpec*>(&spec);
        if (number == nullptr || number->GetEnglishUnitCode() == number->GetMetricUnitCode()) return;
        converted.push_back(spec.GetName());
        EXPECT_TRUE(role.switchesUnits) << spec.GetName();
        EXPECT_TRUE(number->IsMetric()) << spec.GetName();
        EXPECT_NE(std::find(switched.begin(), switched.end(), number), switched.end()) << spec.GetName();
    });
    // Bore, stroke, block volume, both valves and the calculator's three lengths.
    EXPECT_EQ(converted.size(), 8u);
    EXPECT_EQ(doc.Bore().GetTextWithUnits(), "88.90 mm");  // 3.50 in
    EXPECT_TRUE(doc.Cam().IntakeLift().IsMetric());
    EXPECT_EQ(doc.FlowData().GetUnitSystem(), kMetricUnits);

    doc.SetUnitSystem(kEnglishUnits);
    for (const CFloatPtSpec* spec : switched) EXPECT_TRUE(spec->IsEnglish()) << spec->GetName();
}

TEST(EngineValues, ClearingLeavesOnlyTheNewEnginesFuelAndNoBlowerSet)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildMetricTurboFourWithCalculator(doc);
    int setBefore = 0;
    doc.Values().ForEachParameter([&](const CTorqSpec& spec, ParameterRole) { setBefore += spec.IsSet(); });
    ASSERT_GE(setBefore, 30);

    doc.ClearComponents();
    const std::vector<std::string> stillSet = {"Fuel Type", "Nitrous Flow Rate", "Forced Induction Type"};
    doc.Values().ForEachParameter([&](const CTorqSpec& spec, ParameterRole role) {
        const bool keeps = std::find(stillSet.begin(), stillSet.end(), spec.GetName()) != stillSet.end();
        EXPECT_EQ(spec.IsSet(), keeps) << spec.GetName();
        const auto* number = dynamic_cast<const CFloatPtSpec*>(&spec);
        if (role.onClear == OnClear::Reset) {
            ASSERT_NE(number, nullptr) << spec.GetName();
            EXPECT_EQ(number->GetValue(), number->GetMinimum()) << spec.GetName();
        }
    });
    EXPECT_FALSE(doc.IsCompressionFromCalculator());
    EXPECT_EQ(doc.GetPistonKind(), 2);
    EXPECT_EQ(doc.PistonDistance().GetEnglishMinimum(), -0.5f) << "the flattop's range again";
}

TEST(EngineValues, AcceptingWarning203UnsetsExactlyTheCalculatorsSevenInputs)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildMetricTurboFourWithCalculator(doc);
    std::vector<std::string> setBefore;
    doc.Values().ForEachParameter([&](const CTorqSpec& spec, ParameterRole) {
        if (spec.IsSet()) setBefore.push_back(spec.GetName());
    });

    presenter.Clear();
    presenter.AnswerNextWarning(WarningAnswer::Ok);
    ASSERT_TRUE(doc.ConfirmChangeAgainstCalculator(doc.Bore()));
    std::vector<std::string> unset;
    doc.Values().ForEachParameter([&](const CTorqSpec& spec, ParameterRole) {
        const bool wasSet = std::find(setBefore.begin(), setBefore.end(), spec.GetName()) != setBefore.end();
        if (wasSet && !spec.IsSet()) unset.push_back(spec.GetName());
    });
    EXPECT_EQ(unset,
              (std::vector<std::string>{"Cylinder Head Chamber Volume", "Head Gasket Bore Diameter",
                                        "Head Gasket Compressed Thickness", "Piston Distance",
                                        "Piston to Block Deck Volume", "Head Gasket Volume", "Deck Volume"}));
    EXPECT_FALSE(doc.IsCompressionFromCalculator());
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::BoreStrokeAgainstCalculator});
}
