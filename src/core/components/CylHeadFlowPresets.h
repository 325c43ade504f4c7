#pragma once

#include <array>
#include <cstdint>

// The preset airflow table: flow-bench data of the 16 standard cylinder
// heads, keyed by the cylinder head choice index. English units: inches,
// inches of water, cfm. Every preset has 8 points.
inline constexpr int kPresetPointCount = 8;
using PresetSeries = std::array<float, kPresetPointCount>;

struct CylHeadFlowPreset {
    std::int32_t index;
    float intakeTestDiameter;          // in
    float exhaustTestDiameter;         // in
    float intakeTestPressureDrop;      // inH2O
    float exhaustTestPressureDrop;     // inH2O
    PresetSeries exhaustAirflows;      // cfm
    const PresetSeries* exhaustLifts;  // in, one of the shared lift sets
    PresetSeries intakeAirflows;
    const PresetSeries* intakeLifts;
};

// The row of a head index, nullptr when there is none.
const CylHeadFlowPreset* FindCylHeadFlowPreset(std::int32_t index);
