#include "model/ComponentTable.h"
#include "model/EnablingRules.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// "1" for each of the unit's figures the rules enable, "0" for the others:
// flow, pressure ratio, efficiency, speed, surge flow, internal gear, belt gear, boost limit.
std::string EnabledFigures(const CTorqDoc& doc)
{
    std::string shown;
    for (const CFloatPtSpec* figure :
         {&doc.BlowerFlowRate(), &doc.BlowerPressureRatio(), &doc.BlowerEfficiency(), &doc.BlowerRpm(),
          &doc.BlowerSurgeFlowRate(), &doc.BlowerInternalGearRatio(), &doc.BlowerBeltGearRatio(),
          &doc.BlowerBoostLevelLimit()}) {
        shown += IsParameterEnabled(doc, *figure) ? '1' : '0';
    }
    return shown;
}

}  // namespace

TEST(EnablingRules, OnTheForcedInductionManifoldEachUnitKindEnablesOnlyTheFiguresItReads)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(NamedChoice::kForcedInductionManifold);
    const struct {
        Choice unit;
        const char* figures;
    } kinds[] = {
        {NamedChoice::kNoForcedInduction, "00000000"},
        {NamedChoice::kCustomTurbo, "11101001"},
        {NamedChoice::kCustomCentrifugalBlower, "11110111"},
        {NamedChoice::kCustomRootsBlower, "10100011"},
    };
    for (const auto& kind : kinds) {
        ASSERT_EQ(doc.Apply(kind.unit), CommandResult::Applied);
        EXPECT_EQ(EnabledFigures(doc), kind.figures) << ChoiceRow(kind.unit).name;
        EXPECT_TRUE(IsParameterEnabled(doc, doc.ForcedInductionType()));
        EXPECT_TRUE(IsParameterEnabled(doc, doc.IntercoolerEfficiency()));
    }
    EXPECT_EQ(ParameterEnabling(doc, doc.BlowerRpm()), Enabling::NotReadByBlowerKind) << "a Roots blower";
}

TEST(EnablingRules, OffTheForcedInductionManifoldNoBlowerValueOrChoiceIsTakenWhateverTheUnit)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    BuildTurboFour(doc);
    ASSERT_EQ(doc.GetForcedInductionClass(), kTurbocharger);
    EXPECT_EQ(EnabledFigures(doc), "11101001");
    EXPECT_EQ(ParameterEnabling(doc, doc.ExhaustSystem()), Enabling::ExhaustTakenByBlower);
    EXPECT_TRUE(ShowsForcedInductionExhaust(doc));
    EXPECT_EQ(ChoiceEnabling(doc, NamedChoice::kStockExhaust), Enabling::ExhaustTakenByBlower);

    doc.Apply(Choice{ChoiceGroup::Manifold, 0});  // the turbocharger stays chosen
    EXPECT_EQ(EnabledFigures(doc), "00000000");
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{
             &doc.ForcedInductionType(), &doc.IntercoolerEfficiency(), &doc.BlowerBoostLevelLimit()}) {
        EXPECT_EQ(ParameterEnabling(doc, *spec), Enabling::NoForcedInductionManifold) << spec->GetName();
    }
    const auto intercoolers = ChoicesOf(ChoiceGroup::Intercooler);
    for (Choice choice :
         {NamedChoice::kNoForcedInduction, NamedChoice::kCustomRootsBlower, NamedChoice::kNoIntercooler,
          Choice{ChoiceGroup::Intercooler, int(intercoolers.size()) - 1}}) {
        EXPECT_EQ(ChoiceEnabling(doc, choice), Enabling::NoForcedInductionManifold)
            << ChoiceRow(choice).menuCommand;
    }
    EXPECT_TRUE(IsParameterEnabled(doc, doc.ExhaustSystem()));
    EXPECT_FALSE(ShowsForcedInductionExhaust(doc));
    EXPECT_EQ(ChoiceEnabling(doc, NamedChoice::kStockExhaust), Enabling::Enabled);
}

TEST(EnablingRules, NitrousFlowOnlyWithAGasolineNitrousFuel)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    doc.FuelType().MarkUnset();
    EXPECT_EQ(ParameterEnabling(doc, doc.NitrousFlowRate()), Enabling::FuelWithoutNitrous) << "no fuel yet";
    const auto fuels = ChoicesOf(ChoiceGroup::Fuel);
    for (int index = 0; index < int(fuels.size()); ++index) {
        doc.Apply(Choice{ChoiceGroup::Fuel, index});
        const ComponentChoice& fuel = fuels[std::size_t(index)];
        EXPECT_EQ(IsParameterEnabled(doc, doc.NitrousFlowRate()),
                  std::string(fuel.name) == "Gasoline/Nitrous")
            << fuel.name << " " << fuel.partIndex;
    }
}

TEST(EnablingRules, AutomaticValveSizesOnlyForOneOfTheListedHeadsAndOtherValuesAlways)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    EXPECT_EQ(CommandEnabling(doc, EngineCommand::AutoValveSizes), Enabling::AutoSizesNeedListedHead)
        << "no head yet";
    BuildChevy350(doc);
    EXPECT_EQ(CommandEnabling(doc, EngineCommand::AutoValveSizes), Enabling::Enabled);
    const CylHeadFlowData ownAirflow = doc.FlowData();
    doc.ApplyUserAirflowData(ownAirflow, CFileSpec("Airflow File"));
    EXPECT_EQ(CommandEnabling(doc, EngineCommand::AutoValveSizes), Enabling::AutoSizesNeedListedHead);

    // The rules name only the values above: a copy is not the document's parameter.
    CFloatPtSpec rpm = doc.BlowerRpm();
    EXPECT_TRUE(IsParameterEnabled(doc, rpm));
    EXPECT_TRUE(IsParameterEnabled(doc, doc.Bore()));
    EXPECT_EQ(ChoiceEnabling(doc, Choice{ChoiceGroup::ShortBlock, 0}), Enabling::Enabled);
}

TEST(EnablingRulesDeathTest, AUnitKindThatDoesNotMatchTheUnitIsAnInternalConsistencyFailure)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.Apply(NamedChoice::kNoForcedInduction);
    doc.SetForcedInductionClass(kTurbocharger);
    EXPECT_DEATH(IsParameterEnabled(doc, doc.BlowerRpm()), "");
}

TEST(EnablingRules, AGroupsListSaysWhichChoicesTheFormTakesNowAndEachAppliesItsRow)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    BuildChevy350(doc);
    const std::vector<ListedChoice> units = ListChoices(doc, ChoiceGroup::ForcedInduction);
    ASSERT_EQ(units.size(), ChoicesOf(ChoiceGroup::ForcedInduction).size());
    for (const ListedChoice& unit : units) {
        EXPECT_EQ(unit.enabling, Enabling::NoForcedInductionManifold) << unit.row->name;
    }
    doc.Apply(NamedChoice::kForcedInductionManifold);
    for (const ListedChoice& unit : ListChoices(doc, ChoiceGroup::ForcedInduction)) {
        EXPECT_EQ(unit.enabling, Enabling::Enabled) << unit.row->name;
    }

    const std::vector<ListedChoice> heads = ListChoices(doc, ChoiceGroup::CylinderHead);
    ASSERT_EQ(heads.size(), 16u) << "the listed heads, not airflow data of the user's own";
    for (const ListedChoice& head : heads) {
        ASSERT_EQ(doc.Apply(head.choice), CommandResult::Applied);
        EXPECT_EQ(doc.CylinderHeadType().GetChoiceName(), head.row->name);
        EXPECT_EQ(doc.CylinderHeadType().GetIndex(), head.choice.index + 1);
    }
}
