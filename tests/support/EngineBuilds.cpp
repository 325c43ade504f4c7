#include "EngineBuilds.h"

#include "model/TorqDoc.h"

#include <gtest/gtest.h>

bool ApplyChoices(CTorqDoc& doc, std::initializer_list<int> commands)
{
    for (int command : commands) {
        if (doc.OnCommand(command) != CommandResult::Applied) {
            ADD_FAILURE() << "command " << command << " was not applied";
            return false;
        }
    }
    doc.Recalculate();
    doc.UpdateAllViews();
    return true;
}

bool BuildChevy350(CTorqDoc& doc)
{
    return ApplyChoices(doc, {
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
               });
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
