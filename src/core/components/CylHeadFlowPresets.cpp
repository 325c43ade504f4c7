#include "CylHeadFlowPresets.h"

namespace {

// Lift sets shared by the presets, inches, points 0 to 7.
constexpr PresetSeries kL1 = {0.2f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.65f, 0.71f};
constexpr PresetSeries kL2 = {0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.71f};
constexpr PresetSeries kL3 = {0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
constexpr PresetSeries kL4 = {0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f};
constexpr PresetSeries kL5 = {0.06f, 0.12f, 0.18f, 0.24f, 0.31f, 0.37f, 0.43f, 0.46f};

// Per row: index; intake and exhaust test diameter (in); intake and exhaust
// test pressure drop (inH2O); exhaust airflows (cfm) with their lift set;
// intake airflows (cfm) with their lift set.
// clang-format off
constexpr CylHeadFlowPreset kPresets[] = {
    // 1 Low Performance/Stock Ports And Valves
    {1, 2.02f, 1.6f, 25.0f, 25.0f,
     {87.0f, 104.0f, 111.0f, 116.0f, 117.0f, 117.0f, 118.0f, 118.0f}, &kL1,
     {119.0f, 157.0f, 190.0f, 196.0f, 199.0f, 199.0f, 202.0f, 202.0f}, &kL1},
    // 2 Low Performance/Pocket Porting
    {2, 2.02f, 1.6f, 25.0f, 25.0f,
     {101.0f, 133.0f, 153.0f, 164.0f, 164.0f, 164.0f, 171.0f, 171.0f}, &kL1,
     {130.0f, 177.0f, 217.0f, 239.0f, 242.0f, 242.0f, 242.0f, 242.0f}, &kL1},
    // 3 Low Performance/Ported, Large Valves
    {3, 2.02f, 1.6f, 25.0f, 25.0f,
     {101.0f, 133.0f, 153.0f, 164.0f, 164.0f, 164.0f, 171.0f, 171.0f}, &kL1,
     {130.0f, 177.0f, 217.0f, 239.0f, 242.0f, 242.0f, 242.0f, 242.0f}, &kL1},
    // 4 Wedge/Stock Ports And Valves
    {4, 2.02f, 1.6f, 25.0f, 25.0f,
     {92.0f, 110.0f, 118.0f, 123.0f, 124.0f, 124.0f, 125.0f, 125.0f}, &kL1,
     {126.0f, 166.0f, 201.0f, 207.0f, 211.0f, 211.0f, 214.0f, 214.0f}, &kL1},
    // 5 Wedge/Pocket Porting, Stock Valve Size
    {5, 2.02f, 1.6f, 25.0f, 25.0f,
     {101.0f, 133.0f, 153.0f, 164.0f, 164.0f, 164.0f, 171.0f, 171.0f}, &kL1,
     {130.0f, 177.0f, 217.0f, 239.0f, 242.0f, 242.0f, 242.0f, 242.0f}, &kL1},
    // 6 Wedge/Pocket Porting, Large Valves
    {6, 2.02f, 1.6f, 25.0f, 25.0f,
     {101.0f, 133.0f, 153.0f, 164.0f, 164.0f, 164.0f, 171.0f, 171.0f}, &kL1,
     {130.0f, 177.0f, 217.0f, 239.0f, 242.0f, 242.0f, 242.0f, 242.0f}, &kL1},
    // 7 Wedge/Fully Ported, Large Valves
    {7, 2.04f, 1.625f, 25.0f, 25.0f,
     {104.0f, 144.0f, 174.0f, 177.0f, 180.0f, 183.0f, 186.0f, 186.0f}, &kL1,
     {131.0f, 183.0f, 227.0f, 255.0f, 263.0f, 268.0f, 268.0f, 269.0f}, &kL1},
    // 8 Wedge/Pro-Stock Porting And Mods
    {8, 2.02f, 1.6f, 25.0f, 25.0f,
     {27.0f, 55.0f, 104.0f, 142.0f, 178.0f, 198.0f, 208.0f, 220.0f}, &kL3,
     {31.0f, 62.0f, 128.0f, 187.0f, 236.0f, 263.0f, 281.0f, 296.0f}, &kL2},
    // 9 Canted/Oval Stock Ports, Stock Valves
    {9, 2.02f, 1.6f, 25.0f, 25.0f,
     {96.0f, 126.0f, 145.0f, 155.0f, 155.0f, 155.0f, 162.0f, 162.0f}, &kL1,
     {123.0f, 168.0f, 205.0f, 226.0f, 229.0f, 229.0f, 229.0f, 229.0f}, &kL1},
    // 10 Canted/Oval Pocket Ported, Stock Valves
    {10, 2.02f, 1.6f, 25.0f, 25.0f,
     {110.0f, 145.0f, 167.0f, 179.0f, 179.0f, 179.0f, 187.0f, 187.0f}, &kL1,
     {142.0f, 193.0f, 237.0f, 261.0f, 264.0f, 264.0f, 264.0f, 264.0f}, &kL1},
    // 11 Canted/Oval Pocket Ported, Large Valves
    {11, 2.02f, 1.6f, 25.0f, 25.0f,
     {110.0f, 145.0f, 167.0f, 179.0f, 179.0f, 179.0f, 187.0f, 187.0f}, &kL1,
     {142.0f, 183.0f, 237.0f, 261.0f, 264.0f, 264.0f, 264.0f, 264.0f}, &kL1},
    // 12 Canted/Rectangular Ports, Fully Ported
    {12, 2.02f, 1.6f, 25.0f, 25.0f,
     {30.0f, 60.0f, 114.0f, 155.0f, 194.0f, 216.0f, 227.0f, 240.0f}, &kL3,
     {34.0f, 68.0f, 140.0f, 204.0f, 258.0f, 287.0f, 307.0f, 323.0f}, &kL2},
    // 13 Canted/Rectangular Pro-Stock Ports/Mods
    {13, 2.42f, 1.88f, 25.0f, 25.0f,
     {159.0f, 213.0f, 262.0f, 321.0f, 357.0f, 386.0f, 392.0f, 397.0f}, &kL4,
     {180.0f, 269.0f, 336.0f, 401.0f, 435.0f, 472.0f, 497.0f, 509.0f}, &kL4},
    // 14 4-Valve Head/Stock Ports And Valves
    {14, 1.26f, 1.08f, 50.0f, 50.0f,
     {21.0f, 45.0f, 68.0f, 78.0f, 85.0f, 89.0f, 92.0f, 95.0f}, &kL5,
     {24.0f, 47.0f, 71.0f, 85.0f, 97.0f, 108.0f, 113.0f, 115.0f}, &kL5},
    // 15 4-Valve Head/Ported With Large Valves
    {15, 1.26f, 1.08f, 50.0f, 50.0f,
     {25.0f, 53.0f, 79.0f, 92.0f, 100.0f, 104.0f, 107.0f, 112.0f}, &kL5,
     {28.0f, 55.0f, 83.0f, 100.0f, 114.0f, 126.0f, 132.0f, 136.0f}, &kL5},
    // 16 4-Valve Head/Race Porting And Mods
    {16, 1.26f, 1.08f, 50.0f, 50.0f,
     {31.0f, 67.0f, 101.0f, 116.0f, 126.0f, 132.0f, 136.0f, 142.0f}, &kL5,
     {35.0f, 69.0f, 105.0f, 126.0f, 144.0f, 160.0f, 167.0f, 171.0f}, &kL5},
};
// clang-format on

}  // namespace

const CylHeadFlowPreset* FindCylHeadFlowPreset(std::int32_t index)
{
    for (const CylHeadFlowPreset& preset : kPresets) {
        if (preset.index == index) return &preset;
    }
    return nullptr;
}
