#include "EngineBuilds.h"

#include "EngineChoices.h"

#include "model/MenuCommands.h"
#include "model/TorqDoc.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

void RecalculateAndShow(CTorqDoc& doc)
{
    doc.Recalculate();
    doc.UpdateAllViews();
}

}  // namespace

bool ApplyCommands(CTorqDoc& doc, std::span<const DocumentCommand> commands)
{
    for (const DocumentCommand& command : commands) {
        if (doc.Apply(command) != CommandResult::Applied) {
            ADD_FAILURE() << "command " << MenuCommandOf(command) << " was not applied";
            return false;
        }
    }
    return true;
}

bool ApplyChoices(CTorqDoc& doc, std::initializer_list<DocumentCommand> commands)
{
    if (!ApplyCommands(doc, std::span(commands.begin(), commands.size()))) return false;
    RecalculateAndShow(doc);
    return true;
}

bool ApplyMenuChoices(CTorqDoc& doc, std::initializer_list<int> menuCommands)
{
    std::vector<DocumentCommand> commands;
    for (int menuCommand : menuCommands) {
        const std::optional<DocumentCommand> command = DocumentCommandOf(menuCommand);
        if (!command) {
            ADD_FAILURE() << "menu entry " << menuCommand << " is no document command";
            return false;
        }
        commands.push_back(*command);
    }
    if (!ApplyCommands(doc, commands)) return false;
    RecalculateAndShow(doc);
    return true;
}

bool ApplyChevy350Commands(CTorqDoc& doc)
{
    return ApplyCommands(doc, kChevy350Choices);
}

bool BuildChevy350(CTorqDoc& doc)
{
    if (!ApplyChevy350Commands(doc)) return false;
    RecalculateAndShow(doc);
    return true;
}

bool BuildTurboFour(CTorqDoc& doc)
{
    return ApplyChoices(
        doc, {
                 Choice{ChoiceGroup::ShortBlock, 16},       // Chevy 121 2.0L
                 Choice{ChoiceGroup::CylinderHead, 13},     // 4-Valve Head/Stock Ports And Valves
                 EngineCommand::AutoValveSizes,             // Auto Calculate Valve Sizes
                 Choice{ChoiceGroup::CompressionRatio, 1},  // 8.5:1
                 Choice{ChoiceGroup::Induction, 7},         // 600 cfm at 1.5 inHg
                 NamedChoice::kForcedInductionManifold,  // Forced Induction manifold (stock exhaust follows)
                 Choice{ChoiceGroup::ForcedInduction, 9},  // Turbo-Garrett T51 50-4
                 Choice{ChoiceGroup::Intercooler, 7},      // 70 % intercooler
                 Choice{ChoiceGroup::CamType, 2},          // Dual Purpose Street cam
                 Choice{ChoiceGroup::LifterType, 1},       // solid lifters
                 EngineCommand::AutoValveLift,             // Auto Calculate Valve Lift
             });
}

void UseCalculator(CTorqDoc& doc)
{
    doc.ChamberVolume().SetValue(64.0f);
    doc.GasketBore().SetValue(4.1f);
    doc.GasketThickness().SetValue(0.041f);
    doc.SetPistonKind(1);
    doc.PistonDistance().SetValue(0.125f);
    doc.PistonDeckVolume().SetValue(5.5f);
    doc.GasketVolume().SetValue(8.9f);
    doc.DeckVolume().SetValue(4.2f);
    doc.CombustionSpace().SetValue(82.6f);
    doc.SetCompressionFromCalculator(true);
}
