#pragma once

#include <initializer_list>

class CTorqDoc;

// Applies menu commands in order, then Recalculate and update all views;
// false (and a test failure) at the first command that is not applied.
bool ApplyChoices(CTorqDoc& doc, std::initializer_list<int> commands);

// Complete engines assembled through the engine form's commands only, the
// way a user picks them from the popup menus. Each ends with Recalculate, so
// with Auto Run on the engine has results.

// Chevy 350, wedge heads with 2.02/1.60 valves, 10:1, 750 cfm four-barrel,
// dual-plane manifold, small-tube headers, high-performance street cam.
bool BuildChevy350(CTorqDoc& doc);

// Chevy 121 2.0L four with stock 4-valve heads and automatic valve sizes,
// 8.5:1, a T51 50-4 turbocharger with a 70 % intercooler, dual-purpose cam
// with automatic lifts.
bool BuildTurboFour(CTorqDoc& doc);
