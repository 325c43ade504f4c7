#pragma once

#include "sim/SimRecords.h"

#include <cstring>

// Engines built by hand for the cycle tests, in English units.
namespace sim_test {

inline void SetAirflow(SimInputs& in, const float (&lift)[8], const float (&intake)[8],
                       const float (&exhaust)[8])
{
    for (int i = 0; i < 8; ++i) {
        in.intakeFlowLift[i] = in.exhaustFlowLift[i] = lift[i];
        in.intakeFlow[i] = intake[i];
        in.exhaustFlow[i] = exhaust[i];
    }
}

// 350 ci small-block V8: 750 cfm four-barrel on a dual-plane manifold,
// large-tube headers with mufflers, a 278-degree hydraulic street cam and a
// pocket-ported wedge head (2.02 / 1.60 valves, bench at 25 inH2O).
inline SimInputs SmallBlockV8()
{
    SimInputs in;
    std::memset(&in, 0, sizeof in);
    in.manifoldType = 2, in.headType = 5, in.exhaustSystem = 5, in.camType = 2, in.lifterType = 1;
    in.bore = 4.0f, in.stroke = 3.48f, in.cylinders = 8, in.compressionRatio = 10.0f;
    in.intakeValveDia = 2.02f, in.exhaustValveDia = 1.60f, in.intakeValves = 1, in.exhaustValves = 1;
    in.inductionCfm = 750, in.ratingBarrels = 4, in.fuelType = 1;
    in.intakeOpening = 31, in.intakeClosing = 67, in.exhaustOpening = 67, in.exhaustClosing = 31;
    in.intakeLift = 0.48f, in.exhaustLift = 0.48f;
    in.flowTestIntakeDia = 2.02f, in.flowTestExhaustDia = 1.6f;
    in.flowTestIntakeDrop = in.flowTestExhaustDrop = 25.0f;
    SetAirflow(in, {0.2f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.65f, 0.71f},
               {130, 177, 217, 239, 242, 242, 242, 242}, {101, 133, 153, 164, 164, 164, 171, 171});
    return in;
}

// 2.2 litre four with a ported 4-valve head, sequential injection, roller cam.
inline SimInputs FourValveFour()
{
    SimInputs in = SmallBlockV8();
    in.manifoldType = 6, in.headType = 15, in.camType = 3, in.lifterType = 3;
    in.bore = 3.43f, in.stroke = 3.57f, in.cylinders = 4, in.compressionRatio = 10.5f;
    in.intakeValveDia = 1.30f, in.exhaustValveDia = 1.10f, in.intakeValves = 2, in.exhaustValves = 2;
    in.inductionCfm = 500;
    in.intakeOpening = 32, in.intakeClosing = 70, in.exhaustOpening = 70, in.exhaustClosing = 32;
    in.intakeLift = 0.40f, in.exhaustLift = 0.38f;
    in.flowTestIntakeDia = 1.26f, in.flowTestExhaustDia = 1.08f;
    in.flowTestIntakeDrop = in.flowTestExhaustDrop = 50.0f;
    SetAirflow(in, {0.06f, 0.12f, 0.18f, 0.24f, 0.31f, 0.37f, 0.43f, 0.46f},
               {28, 55, 83, 100, 114, 126, 132, 136}, {25, 53, 79, 92, 100, 104, 107, 112});
    return in;
}

// The small block at 8.5:1 with a turbocharger (470 cfm, pressure ratio 1.9,
// 78 %, surge at 325 cfm) limited to 10 psi, and a 60 % intercooler.
inline SimInputs TurboV8()
{
    SimInputs in = SmallBlockV8();
    in.manifoldType = 7, in.exhaustSystem = 1, in.compressionRatio = 8.5f, in.boostKind = 1;
    in.blowerFlow = 470.0f, in.blowerPressureRatio = 1.9f, in.blowerEfficiency = 78.0f,
    in.blowerRpm = 100000.0f;
    in.surgeFlow = 325.0f, in.boostLimit = 10.0f, in.intercoolerEfficiency = 60.0f;
    return in;
}

}  // namespace sim_test
