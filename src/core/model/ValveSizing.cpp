#include "ValveSizing.h"

#include "base/Assertion.h"

#include <algorithm>

ValvePair DefaultValveDiameters(int headType, float boreIn)
{
    TORQ_ASSERT(boreIn > 0.0f);
    TORQ_ASSERT(headType >= 1 && headType <= 16);
    struct Ratios {
        float intake;
        float exhaust;
    };
    // Valve diameter over bore, by cylinder head type 1..16.
    static constexpr Ratios kRatios[16] = {
        {0.44f, 0.35f},   {0.44f, 0.35f},   {0.475f, 0.375f}, {0.485f, 0.375f},
        {0.485f, 0.375f}, {0.505f, 0.4f},   {0.529f, 0.456f}, {0.529f, 0.456f},
        {0.485f, 0.375f}, {0.505f, 0.4f},   {0.529f, 0.456f}, {0.529f, 0.456f},
        {0.561f, 0.456f}, {0.376f, 0.314f}, {0.395f, 0.345f}, {0.395f, 0.345f},
    };
    const Ratios& ratios = kRatios[headType - 1];
    return {std::clamp(boreIn * ratios.intake, 0.75f, 4.0f),
            std::clamp(boreIn * ratios.exhaust, 0.5f, 3.25f)};
}

ValvePair DefaultValveLifts(int camType, float intakeValveDiameterIn)
{
    TORQ_ASSERT(camType >= 1 && camType <= 6);
    // Valve lift over intake valve diameter, by cam type 1..6.
    static constexpr float kLiftRatio[6] = {0.201f, 0.23f, 0.26f, 0.297f, 0.346f, 0.297f};
    const float intake = intakeValveDiameterIn * kLiftRatio[camType - 1];
    const float exhaust = intake * 0.95f;
    return {std::clamp(intake, 0.2f, 1.5f), std::clamp(exhaust, 0.2f, 1.5f)};
}
