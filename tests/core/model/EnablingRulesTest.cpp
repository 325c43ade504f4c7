#include "model/Commands.h"
#include "model/ComponentTable.h"
#include "model/EnablingRules.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

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
    doc.OnCommand(Cmd::kForcedInductionManifold);
    const struct {
        int command;
        const char* figures;
    } kinds[] = {
        {Cmd::kForcedInductionNone, "00000000"},
        {Cmd::kCustomTurbo, "11101001"},
        {Cmd::kCustomCentrifugalBlower, "11110111"},
        {Cmd::kCustomRootsBlower, "10100011"},
    };
    for (const auto& kind : kinds) {
        ASSERT_EQ(doc.OnCommand(kind.command), CommandResult::Applied);
        EXPECT_EQ(EnabledFigures(doc), kind.figures) << FindComponentChoice(kind.command).name;
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
    EXPECT_EQ(CommandEnabling(doc, Cmd::kExhaustStock), Enabling::ExhaustTakenByBlower);

    doc.OnCommand(Cmd::kManifolds.first);  // the turbocharger stays chosen
    EXPECT_EQ(EnabledFigures(doc), "00000000");
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{
             &doc.ForcedInductionType(), &doc.IntercoolerEfficiency(), &doc.BlowerBoostLevelLimit()}) {
        EXPECT_EQ(ParameterEnabling(doc, *spec), Enabling::NoForcedInductionManifold) << spec->GetName();
    }
    for (int command : {Cmd::kForcedInductionNone, Cmd::kCustomRootsBlower, Cmd::kIntercoolerNone,
                        Cmd::kIntercoolers.last}) {
        EXPECT_EQ(CommandEnabling(doc, command), Enabling::NoForcedInductionManifold) << command;
    }
    EXPECT_TRUE(IsParameterEnabled(doc, doc.ExhaustSystem()));
    EXPECT_FALSE(ShowsForcedInductionExhaust(doc));
    EXPECT_EQ(CommandEnabling(doc, Cmd::kExhaustStock), Enabling::Enabled);
}

TEST(EnablingRules, NitrousFlowOnlyWithAGasolineNitrousFuel)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    doc.FuelType().MarkUnset();
    EXPECT_EQ(ParameterEnabling(doc, doc.NitrousFlowRate()), Enabling::FuelWithoutNitrous) << "no fuel yet";
    for (int command = Cmd::kFuels.first; command <= Cmd::kFuels.last; ++command) {
        doc.OnCommand(command);
        const ComponentChoice& fuel = FindComponentChoice(command);
        EXPECT_EQ(IsParameterEnabled(doc, doc.NitrousFlowRate()),
                  std::string(fuel.name) == "Gasoline/Nitrous")
            << fuel.name << " " << fuel.partIndex;
    }
}

TEST(EnablingRules, AutomaticValveSizesOnlyForOneOfTheListedHeadsAndOtherValuesAlways)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    EXPECT_EQ(CommandEnabling(doc, Cmd::kAutoValveSizes), Enabling::AutoSizesNeedListedHead) << "no head yet";
    BuildChevy350(doc);
    EXPECT_EQ(CommandEnabling(doc, Cmd::kAutoValveSizes), Enabling::Enabled);
    const CylHeadFlowData ownAirflow = doc.FlowData();
    doc.ApplyUserAirflowData(ownAirflow, CFileSpec("Airflow File"));
    EXPECT_EQ(CommandEnabling(doc, Cmd::kAutoValveSizes), Enabling::AutoSizesNeedListedHead);

    // The rules name only the values above: a copy is not the document's parameter.
    CFloatPtSpec rpm = doc.BlowerRpm();
    EXPECT_TRUE(IsParameterEnabled(doc, rpm));
    EXPECT_TRUE(IsParameterEnabled(doc, doc.Bore()));
    EXPECT_EQ(CommandEnabling(doc, Cmd::kShortBlocks.first), Enabling::Enabled);
}

TEST(EnablingRulesDeathTest, AUnitKindThatDoesNotMatchTheUnitIsAnInternalConsistencyFailure)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.OnCommand(Cmd::kForcedInductionNone);
    doc.SetForcedInductionClass(kTurbocharger);
    EXPECT_DEATH(IsParameterEnabled(doc, doc.BlowerRpm()), "");
}
