#pragma once

// The menu choices of the engines that tests and benchmarks assemble, in
// one place. Header only: the benchmarks take it without the test library.

#include "model/DocumentCommands.h"

// Chevy 350, wedge heads with 2.02/1.60 valves, 10:1, 750 cfm four-barrel,
// dual-plane manifold, small-tube headers, high-performance street cam,
// hydraulic lifters, 0.500 in lifts.
inline constexpr DocumentCommand kChevy350Choices[] = {
    Choice{ChoiceGroup::ShortBlock, 35},           // Chevy 350
    Choice{ChoiceGroup::CylinderHead, 3},          // Wedge/Stock Ports And Valves
    Choice{ChoiceGroup::IntakeValveDiameter, 7},   // 2.02 in intake valves
    Choice{ChoiceGroup::ExhaustValveDiameter, 7},  // 1.60 in exhaust valves
    Choice{ChoiceGroup::CompressionRatio, 4},      // 10.0:1
    Choice{ChoiceGroup::Induction, 10},            // 750 cfm at 1.5 inHg
    Choice{ChoiceGroup::Manifold, 1},              // Dual-Plane Manifold
    Choice{ChoiceGroup::ExhaustSystem, 2},         // Small-Tube Headers With Mufflers
    Choice{ChoiceGroup::CamType, 1},               // High Performance Street cam
    Choice{ChoiceGroup::LifterType, 0},            // hydraulic lifters
    Choice{ChoiceGroup::IntakeValveLift, 4},       // 0.500 in intake lift
    Choice{ChoiceGroup::ExhaustValveLift, 4},      // 0.500 in exhaust lift
};
