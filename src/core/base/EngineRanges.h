#pragma once

// English-unit bounds of the engine parameters that other modules quote
// (the out-of-range messages, the calculators). The engine document builds
// its parameters from the same numbers.
namespace EngineRanges {
inline constexpr float kCompressionRatioMin = 6.0f;
inline constexpr float kCompressionRatioMax = 18.0f;
inline constexpr float kInductionFlowMinCfm = 100.0f;
inline constexpr float kInductionFlowMaxCfm = 4000.0f;
}  // namespace EngineRanges
