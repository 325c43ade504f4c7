#include "study/Sensitivity.h"

#include "iterator/IterationParam.h"
#include "model/TorqDoc.h"
#include "study/EngineEdit.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const SensitivityChange* FindChange(const std::vector<SensitivityChange>& changes,
                                    const std::string& parameter, const std::string& toText)
{
    const auto found = std::find_if(changes.begin(), changes.end(), [&](const SensitivityChange& change) {
        return change.parameter == parameter && change.toText == toText;
    });
    return found == changes.end() ? nullptr : &*found;
}

std::vector<std::string> ParametersOf(const std::vector<SensitivityChange>& changes)
{
    std::vector<std::string> names;
    for (const SensitivityChange& change : changes) names.push_back(change.parameter);
    return names;
}

bool Has(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(SensitivityChanges, EverySweepIterateKnowsGoesByTheSameNameInTheStudies)
{
    // A builder types "ivc" to iterate and reads "ivc" in a sensitivity
    // table: one name for the cam's closing angle wherever it shows.
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    for (std::int32_t t = kItrBore; t < kIterationDataTypeCount; ++t) {
        const auto type = static_cast<IterationDataType>(t);
        const std::string name = IterationSweepName(type);
        EXPECT_EQ(IterationDataTypeOfSweepName(name), type) << name;
        const auto studied = std::find_if(NumberParameters().begin(), NumberParameters().end(),
                                          [&](const NumberParameterInfo& info) {
                                              return &info.spec(engine) == &SweptParameter(engine, type);
                                          });
        ASSERT_NE(studied, NumberParameters().end()) << name;
        EXPECT_EQ(studied->name, name);
    }
    EXPECT_EQ(IterationDataTypeOfSweepName("blower-rpm"), kItrNone);
    EXPECT_EQ(IterationDataTypeOfSweepName(""), kItrNone);
}

TEST(SensitivityChanges, EachNumberTakesABuildersStepBothWaysAndEachChoiceItsMenuNeighbours)
{
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    const std::vector<SensitivityChange> changes = SensitivityChanges(engine);

    ASSERT_NE(FindChange(changes, "bore", "3.990"), nullptr);
    ASSERT_NE(FindChange(changes, "bore", "4.010"), nullptr);
    EXPECT_NE(FindChange(changes, "compression", "10.25"), nullptr);
    EXPECT_NE(FindChange(changes, "int-lift", "0.510"), nullptr);
    EXPECT_NE(FindChange(changes, "induction", "800.0"), nullptr);
    EXPECT_NE(FindChange(changes, "ivc", "69.0"), nullptr);
    EXPECT_NE(FindChange(changes, "manifold", "Single-Plane Manifold"), nullptr);
    EXPECT_NE(FindChange(changes, "manifold", "Tunnel-Ram Manifold"), nullptr);
    EXPECT_NE(FindChange(changes, "cam", "Stock Street/Economy"), nullptr);
    EXPECT_NE(FindChange(changes, "cam", "Dual Purpose Street"), nullptr);
    const std::vector<std::string> names = ParametersOf(changes);
    // Hydraulic lifters are the first of their menu: only one neighbour.
    EXPECT_EQ(std::count(names.begin(), names.end(), "lifter"), 1);
    // Gasoline carries no nitrous, and there is no blower.
    EXPECT_FALSE(Has(names, "nitrous"));
    EXPECT_FALSE(Has(names, "blower-flow"));
    EXPECT_FALSE(Has(names, "blower"));
}

TEST(SensitivityChanges, NumbersTheFormCalculatesOrDisablesAreLeftAlone)
{
    RecordingPresenter presenter;
    CTorqDoc turbo;
    ASSERT_TRUE(BuildTurboFour(turbo));
    const std::vector<std::string> names = ParametersOf(SensitivityChanges(turbo));
    // Automatic valve sizes and lifts.
    EXPECT_FALSE(Has(names, "intake-valve"));
    EXPECT_FALSE(Has(names, "int-lift"));
    // A turbocharger reads no blower speed; the blower takes the exhaust over.
    EXPECT_FALSE(Has(names, "blower-rpm"));
    EXPECT_FALSE(Has(names, "exhaust"));
    EXPECT_TRUE(Has(names, "blower-surge-flow"));
    EXPECT_TRUE(Has(names, "boost-limit"));
    EXPECT_TRUE(Has(names, "blower"));
}

TEST(SensitivityChanges, AValueAtTheEndOfItsRangeStepsOnlyInward)
{
    RecordingPresenter presenter;
    CTorqDoc engine;
    ASSERT_TRUE(BuildChevy350(engine));
    ASSERT_TRUE(engine.CompressionRatio().SetFromText("18", false));
    std::vector<SensitivityChange> compression;
    for (const SensitivityChange& change : SensitivityChanges(engine)) {
        if (change.parameter == "compression") compression.push_back(change);
    }
    ASSERT_EQ(compression.size(), 1u);
    EXPECT_LT(compression[0].to, compression[0].from);
}

TEST(Sensitivity, ChangesRankByGainWithTheScoresOfTheSameEngineEditedByHand)
{
    RecordingPresenter presenter;
    CTorqDoc base;
    ASSERT_TRUE(BuildChevy350(base));
    const SpeedBand band{2500.0f, 6000.0f};
    Sensitivity study(base, StudyCriterion::PeakTorque, band);
    std::string failure;
    ASSERT_TRUE(study.RunBaseline(failure)) << failure;
    study.RunAll(StudyRunner(2));
    const SensitivityResult result = study.Result();
    ASSERT_EQ(result.rows.size() + result.failures.size(), study.Changes().size());
    for (std::size_t k = 1; k < result.rows.size(); ++k) {
        EXPECT_GE(result.rows[k - 1].gain.absolute, result.rows[k].gain.absolute);
        if (result.rows[k - 1].gain.absolute == result.rows[k].gain.absolute) {
            EXPECT_LT(result.rows[k - 1].change, result.rows[k].change) << "equal gains in the form's order";
        }
    }

    // A handful of changes made by hand, as a user types or picks them.
    const auto byHand = [&](const std::string& parameter, const std::string& toText, auto edit) {
        const std::vector<SensitivityChange>& changes = study.Changes();
        const SensitivityChange* change = FindChange(changes, parameter, toText);
        ASSERT_NE(change, nullptr) << parameter << " " << toText;
        const std::size_t index = static_cast<std::size_t>(change - changes.data());
        const auto row = std::find_if(result.rows.begin(), result.rows.end(),
                                      [&](const SensitivityRow& r) { return r.change == index; });
        ASSERT_NE(row, result.rows.end());
        CTorqDoc engine;
        base.CopyTo(engine);
        engine.SetAutoRun(false);
        edit(engine);
        engine.Recalculate();
        const StudyRunner::Outcome alone = StudyRunner::RunAlone(engine);
        ASSERT_EQ(alone.kind, StudyRunner::Outcome::Kind::Simulated);
        EXPECT_EQ(row->figures.score, StudyScore(alone.results, StudyCriterion::PeakTorque, band))
            << parameter;
        EXPECT_EQ(row->gain.absolute, row->figures.score - result.baseline.score);
    };
    byHand("bore", "4.010", [](CTorqDoc& e) { ASSERT_TRUE(e.Bore().SetFromText("4.01", false)); });
    byHand("ivc", "69.0", [](CTorqDoc& e) { ASSERT_TRUE(e.Cam().NominalIvc().SetFromText("69", false)); });
    byHand("exh-lift", "0.490",
           [](CTorqDoc& e) { ASSERT_TRUE(e.Cam().ExhaustLift().SetFromText("0.49", false)); });
    byHand("manifold", "Tunnel-Ram Manifold", [](CTorqDoc& e) {
        ASSERT_EQ(e.Apply(Choice{ChoiceGroup::Manifold, 2}), CommandResult::Applied);
    });
    byHand("head", "Wedge/Pocket Porting, Stock Valve Size", [](CTorqDoc& e) {
        ASSERT_EQ(e.Apply(Choice{ChoiceGroup::CylinderHead, 4}), CommandResult::Applied);
    });
    EXPECT_TRUE(presenter.Messages().empty());
}

}  // namespace
