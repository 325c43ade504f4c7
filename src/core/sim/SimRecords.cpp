#include "SimRecords.h"

#include "base/ErrCode.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<SimInputs>, "SimInputs is a plain record");
static_assert(std::is_trivially_copyable_v<SimResults>, "SimResults is a plain record");

Fuel FuelOf(const SimInputs& in)
{
    if (in.fuelType <= 9) return Fuel::Gasoline;  // with or without nitrous
    if (in.fuelType <= 18) return Fuel::Methanol;
    if (in.fuelType == 19) return Fuel::Ethanol;
    if (in.fuelType == 20) return Fuel::Propane;
    return Fuel::LiquefiedNaturalGas;
}

void ResetInputs(SimInputs& inputs, SimResults& results)
{
    std::memset(&inputs, 0, sizeof inputs);
    results = SimResults{};
}

void GetSpeedPoints(float* dest, int count)
{
    TORQ_ASSERT(count == kSpeedPointCount);
    for (int i = 0; i < kSpeedPointCount; ++i) dest[i] = static_cast<float>(SpeedPointRpm(i));
}

namespace {
void CopyCurve(const SpeedCurve& curve, float* dest, int count)
{
    TORQ_ASSERT(count == kSpeedPointCount);
    std::copy(curve.begin(), curve.end(), dest);
}
}  // namespace

void GetPower(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.power, dest, count);
}
void GetTorque(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.torque, dest, count);
}
void GetManifoldPressure(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.manifoldPressure, dest, count);
}
void GetVolumetricEfficiency(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.volumetricEfficiency, dest, count);
}
void GetImep(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.imep, dest, count);
}
void GetBmep(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.bmep, dest, count);
}
void GetFmep(const SimResults& results, float* dest, int count)
{
    CopyCurve(results.fmep, dest, count);
}
