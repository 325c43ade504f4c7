#pragma once

#include "model/DocumentCommands.h"

#include <initializer_list>
#include <span>

class CTorqDoc;

// Applies the document commands in order; false (and a test failure) at the
// first command that is not applied.
bool ApplyCommands(CTorqDoc& doc, std::span<const DocumentCommand> commands);

// Applies the document commands in order, then Recalculate and update all
// views; false (and a test failure) at the first command that is not applied.
bool ApplyChoices(CTorqDoc& doc, std::initializer_list<DocumentCommand> commands);
// The same by the desktop program's menu identifiers (model/MenuCommands.h),
// as the window's tests name the entries.
bool ApplyMenuChoices(CTorqDoc& doc, std::initializer_list<int> menuCommands);

// Complete engines assembled through the engine form's commands only, the
// way a user picks them from the popup menus. Each ends with Recalculate, so
// with Auto Run on the engine has results.

// Chevy 350, wedge heads with 2.02/1.60 valves, 10:1, 750 cfm four-barrel,
// dual-plane manifold, small-tube headers, high-performance street cam.
bool BuildChevy350(CTorqDoc& doc);

// The Chevy 350's commands alone, without the Recalculate: for tests that
// decide themselves when the engine runs.
bool ApplyChevy350Commands(CTorqDoc& doc);

// Chevy 121 2.0L four with stock 4-valve heads and automatic valve sizes,
// 8.5:1, a T51 50-4 turbocharger with a 70 % intercooler, dual-purpose cam
// with automatic lifts.
bool BuildTurboFour(CTorqDoc& doc);

// The compression calculator's figures on the engine: a 64 cc chamber; a
// gasket of 4.1 in bore, 0.041 in thick, 8.9 cc; a domed or dished piston
// (kind 1) 0.125 in down with 5.5 cc; a 4.2 cc deck; and a combustion space
// of 82.6 cc, which differs from the one the ratio gives.
void UseCalculator(CTorqDoc& doc);
