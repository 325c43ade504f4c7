#include "EngineMath.h"

#include "base/ErrCode.h"
#include "sim/SimConstants.h"

#include <cmath>

float CylinderVolume(float boreIn, float strokeIn)
{
    const long double bore = boreIn;
    return float(bore * (bore * kPiEightFigures) * strokeIn * 0.25L * kCubicCentimetresPerCubicInch);
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
