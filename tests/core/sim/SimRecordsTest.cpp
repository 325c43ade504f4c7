#include "sim/SimRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

TEST(SimRecords, ResetZeroesEveryInputAndEveryResult)
{
    SimInputs in;
    std::memset(&in, 0x5a, sizeof in);
    SimResults results;
    std::memset(&results, 0x5a, sizeof results);
    ResetInputs(in, results);
    const auto zero = [](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        return std::all_of(b, b + n, [](unsigned char c) { return c == 0; });
    };
    EXPECT_TRUE(zero(&in, sizeof in));
    EXPECT_TRUE(zero(&results, sizeof results));
}

TEST(SimRecords, SpeedsRunFrom2000To11000AndEachCopyHandsOutItsOwnCurve)
{
    float speeds[kSpeedPointCount];
    GetSpeedPoints(speeds, kSpeedPointCount);
    for (int i = 0; i < kSpeedPointCount; ++i) EXPECT_EQ(speeds[i], 2000.0f + 500.0f * i);
    EXPECT_EQ(speeds[18], 11000.0f);

    SimResults results;
    SpeedCurve* curves[] = {&results.power,
                            &results.torque,
                            &results.manifoldPressure,
                            &results.volumetricEfficiency,
                            &results.imep,
                            &results.bmep,
                            &results.fmep};
    using CopyFn = void (*)(const SimResults&, float*, int);
    const CopyFn copies[] = {GetPower, GetTorque, GetManifoldPressure, GetVolumetricEfficiency, GetImep,
                             GetBmep,  GetFmep};
    for (int c = 0; c < 7; ++c)
        for (int i = 0; i < kSpeedPointCount; ++i) (*curves[c])[i] = static_cast<float>(100 * c + i);
    for (int c = 0; c < 7; ++c) {
        float out[kSpeedPointCount] = {};
        copies[c](results, out, kSpeedPointCount);
        for (int i = 0; i < kSpeedPointCount; ++i) EXPECT_EQ(out[i], 100.0f * c + i) << "curve " << c;
    }
}

TEST(SimRecordsDeathTest, CopyingOtherThanNineteenPointsIsAnInternalFailure)
{
    SimResults results{};
    float out[kSpeedPointCount + 1];
    EXPECT_EXIT(GetBmep(results, out, kSpeedPointCount + 1), testing::ExitedWithCode(9999 & 0xff),
                "ASSERTION");
    EXPECT_EXIT(GetSpeedPoints(out, kSpeedPointCount - 1), testing::ExitedWithCode(9999 & 0xff), "ASSERTION");
}

}  // namespace
