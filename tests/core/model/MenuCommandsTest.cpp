#include "model/MenuCommands.h"

#include "model/ComponentTable.h"
#include "model/TorqDoc.h"

#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace {

struct GroupRange {
    ChoiceGroup group;
    Cmd::Range menu;
};

// The menu ranges the window's menus walk, group by group.
constexpr GroupRange kGroupRanges[] = {
    {ChoiceGroup::ShortBlock, Cmd::kShortBlocks},
    {ChoiceGroup::CylinderHead, Cmd::kStandardHeads},
    {ChoiceGroup::IntakeValveDiameter, Cmd::kIntakeValveDiameters},
    {ChoiceGroup::ExhaustValveDiameter, Cmd::kExhaustValveDiameters},
    {ChoiceGroup::IntakeValveLift, Cmd::kIntakeValveLifts},
    {ChoiceGroup::ExhaustValveLift, Cmd::kExhaustValveLifts},
    {ChoiceGroup::CompressionRatio, Cmd::kCompressionRatios},
    {ChoiceGroup::Induction, Cmd::kInduction},
    {ChoiceGroup::Manifold, Cmd::kManifolds},
    {ChoiceGroup::ForcedInduction, Cmd::kForcedInduction},
    {ChoiceGroup::Intercooler, Cmd::kIntercoolers},
    {ChoiceGroup::Fuel, Cmd::kFuels},
    {ChoiceGroup::ExhaustSystem, Cmd::kExhaustSystems},
    {ChoiceGroup::CamType, Cmd::kCamTypes},
    {ChoiceGroup::TimingMethod, Cmd::kTimingMethods},
    {ChoiceGroup::LifterType, Cmd::kLifterTypes},
};

}  // namespace

TEST(MenuCommands, EachGroupsMenuEntriesRiseByOneFromTheFirstRowToTheLast)
{
    ASSERT_EQ(std::size(kGroupRanges), std::size(kChoiceGroups));
    for (const GroupRange& range : kGroupRanges) {
        const auto rows = ChoicesOf(range.group);
        ASSERT_EQ(int(rows.size()), range.menu.Count()) << range.menu.first;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].menuCommand, range.menu.first + int(i)) << range.menu.first;
        }
    }
}

TEST(MenuCommands, EveryEntryOfTheDocumentMapsToItsTypedCommandAndBack)
{
    for (ChoiceGroup group : kChoiceGroups) {
        for (int index = 0; index < int(ChoicesOf(group).size()); ++index) {
            const Choice choice{group, index};
            const int menu = MenuCommandOf(choice);
            EXPECT_EQ(DocumentCommandOf(menu), DocumentCommand(choice)) << menu;
            EXPECT_EQ(&FindComponentChoice(menu), &ChoiceRow(choice)) << menu;
        }
    }
    EXPECT_EQ(DocumentCommandOf(Cmd::kAutoRun), DocumentCommand(EngineCommand::AutoRun));
    EXPECT_EQ(MenuCommandOf(EngineCommand::TwoExhaustValves), Cmd::kTwoExhaustValves);
    EXPECT_EQ(MenuCommandOf(EngineCommand::ClearComponents), Cmd::kClearComponents);
    // Entries the window answers itself, and the head that airflow data makes.
    for (int menu : {Cmd::kPrint, Cmd::kOpenCam, Cmd::kCamMath, Cmd::kCustomPortFlow}) {
        EXPECT_FALSE(DocumentCommandOf(menu).has_value()) << menu;
    }
    EXPECT_EQ(FindComponentChoice(Cmd::kCustomPortFlow).partIndex, kCustomHeadIndex);
}

TEST(MenuCommands, AnEntryThatIsNoDocumentCommandLeavesTheEngineAlone)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    const EngineValues before = doc.Values();
    EXPECT_EQ(ApplyMenuCommand(doc, Cmd::kSaveCam), CommandResult::NotHandled);
    EXPECT_EQ(ApplyMenuCommand(doc, Cmd::kCustomPortFlow), CommandResult::NotHandled);
    EXPECT_TRUE(doc.Values() == before);
    EXPECT_EQ(ApplyMenuCommand(doc, Cmd::kMetricUnits), CommandResult::Applied);
    EXPECT_TRUE(MenuCommandState(doc, Cmd::kMetricUnits).checked);
    EXPECT_FALSE(MenuCommandState(doc, Cmd::kEnglishUnits).checked);
    EXPECT_FALSE(MenuCommandState(doc, Cmd::kSaveCam).checked);
}

TEST(Choices, TheNamedChoicesAreTheRowsTheirNamesSay)
{
    const auto name = [](Choice choice) { return std::string(ChoiceRow(choice).name); };
    EXPECT_EQ(name(NamedChoice::kForcedInductionManifold), "Forced Induction");
    EXPECT_EQ(ChoiceRow(NamedChoice::kForcedInductionManifold).partIndex, kForcedInductionManifold);
    EXPECT_EQ(name(NamedChoice::kNoForcedInduction), "None");
    EXPECT_EQ(name(NamedChoice::kCustomTurbo), "Custom Turbo");
    EXPECT_EQ(name(NamedChoice::kCustomCentrifugalBlower), "Custom Centrigual Blower");
    EXPECT_EQ(name(NamedChoice::kCustomRootsBlower), "Custom Roots Blower");
    EXPECT_EQ(name(NamedChoice::kNoIntercooler), "None");
    EXPECT_EQ(name(NamedChoice::kGasoline), "Gasoline");
    EXPECT_EQ(name(NamedChoice::kStockExhaust), "Stock Manifolds And Mufflers");
    EXPECT_EQ(name(NamedChoice::kCustomCamType), "Custom Cam Type");
    EXPECT_EQ(name(NamedChoice::kSeatToSeatTiming), "Seat-To-Seat");
    EXPECT_EQ(name(NamedChoice::kFiftyLiftTiming), "0.050-Lift");
    EXPECT_EQ(std::string(UserAirflowHeadRow().name), "User Entered Airflow Data");
    EXPECT_FALSE(IsChoice(Choice{ChoiceGroup::CylinderHead, 16})) << "airflow data is no choice of the list";
    EXPECT_FALSE(IsChoice(Choice{ChoiceGroup::LifterType, -1}));
}
