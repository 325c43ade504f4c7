#include "EngineMath.h"

#include "base/ErrCode.h"

#include <cmath>

namespace {
constexpr long double kPi = 3.1415927L;
constexpr long double kCubicInchToCc = 16.38706L;
}  // namespace

float CylinderVolume(float boreIn, float strokeIn)
{
    const long double bore = boreIn;
    return float(bore * (bore * kPi) * strokeIn * 0.25L * kCubicInchToCc);
}

float CombustionVolume(float cylinderVolumeCc, float compressionRatio)
{
    TORQ_ASSERT(compressionRatio > 1.0f);
    return float((long double)cylinderVolumeCc / ((long double)compressionRatio - 1.0L));
}

float CompressionRatioOf(float cylinderVolumeCc, float combustionVolumeCc)
{
    TORQ_ASSERT(combustionVolumeCc != 0.0f);
    return float(((long double)combustionVolumeCc + cylinderVolumeCc) / combustionVolumeCc);
}

float FlowAtPressure(float flow, float knownPressure, float newPressure)
{
    TORQ_ASSERT(flow >= 0.0f);
    TORQ_ASSERT(knownPressure > 0.0f);
    return float(flow * std::sqrt((long double)newPressure / knownPressure));
}
