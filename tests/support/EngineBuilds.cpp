#include "EngineBuilds.h"

#include "model/TorqDoc.h"

#include <gtest/gtest.h>

namespace {

constexpr int kChevy350Commands[] = {
    33135,  // Chevy 350
    32798,  // Wedge/Stock Ports And Valves
    33052,  // 2.02 in intake valves
    33065,  // 1.60 in exhaust valves
    32878,  // 10.0:1
    32854,  // 750 cfm at 1.5 inHg
    32838,  // Dual-Plane Manifold
    32863,  // Small-Tube Headers With Mufflers
    32892,  // High Performance Street cam
    32897,  // hydraulic lifters
    33075,  // 0.500 in intake lift
    33086,  // 0.500 in exhaust lift
};

void RecalculateAndShow(CTorqDoc& doc)
{
    doc.Recalculate();
    doc.UpdateAllViews();
}

}  // namespace

bool ApplyCommands(CTorqDoc& doc, std::span<const int> commands)
{
    for (int command : commands) {
        if (doc.OnCommand(command) != CommandResult::Applied) {
            ADD_FAILURE() << "command " << command << " was not applied";
            return false;
        }
    }
    return true;
}

bool ApplyChoices(CTorqDoc& doc, std::initializer_list<int> commands)
{
    if (!ApplyCommands(doc, std::span(commands.begin(), commands.size()))) return false;
    RecalculateAndShow(doc);
    return true;
}

bool ApplyChevy350Commands(CTorqDoc& doc)
{
    return ApplyCommands(doc, kChevy350Commands);
}

bool BuildChevy350(CTorqDoc& doc)
{
    if (!ApplyChevy350Commands(doc)) return false;
    RecalculateAndShow(doc);
    return true;
}

bool BuildTurboFour(CTorqDoc& doc)
{
    return ApplyChoices(doc, {
                                 33116,  // Chevy 121 2.0L
                                 32808,  // 4-Valve Head/Stock Ports And Valves
                                 32904,  // Auto Calculate Valve Sizes
                                 32875,  // 8.5:1
                                 32851,  // 600 cfm at 1.5 inHg
                                 32843,  // Forced Induction manifold (stock exhaust follows)
                                 32973,  // Turbo-Garrett T51 50-4
                                 33317,  // 70 % intercooler
                                 32893,  // Dual Purpose Street cam
                                 32898,  // solid lifters
                                 32905,  // Auto Calculate Valve Lift
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
