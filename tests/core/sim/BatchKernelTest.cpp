#include "sim/EngineSim.h"

#include "ExampleFiles.h"
#include "SimInputsText.h"
#include "SimTestEngines.h"

#include <gtest/gtest.h>

#include "hwy/targets.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace sim_test;

// The example engines as the document gives them to the model, and
// variants of them drawn within the parameters' ranges.
std::vector<SimInputs> ExamplesAndVariants(int variants)
{
    std::vector<SimInputs> engines;
    for (const auto& path : ExampleEngines()) {
        std::ifstream recorded(RecordedSimInputsPath(path.stem().string()));
        SimInputs in;
        EXPECT_TRUE(ReadSimInputs(recorded, in)) << path;
        engines.push_back(in);
    }
    std::mt19937 rng(20241208);
    const auto between = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    const auto oneOf = [&](int lo, int hi) {
        return static_cast<std::int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    const std::size_t examples = engines.size();
    for (int k = 0; k < variants; ++k) {
        SimInputs in = engines[k % examples];
        in.bore = between(2.5f, 4.6f), in.stroke = between(2.2f, 4.5f);
        in.compressionRatio = between(6.0f, 18.0f);
        in.exhaustOpening = between(20.0f, 100.0f), in.intakeClosing = between(20.0f, 110.0f);
        in.intakeLift = between(0.2f, 1.2f), in.exhaustLift = between(0.2f, 1.2f);
        in.lifterType = oneOf(1, 3), in.timingAt050 = oneOf(0, 1), in.camAdvance = oneOf(-8, 8);
        if (in.boostKind == 0) in.manifoldType = oneOf(1, 6);
        in.exhaustSystem = oneOf(1, 7), in.fuelType = oneOf(1, 21), in.inductionCfm = oneOf(100, 4000);
        engines.push_back(in);
    }
    return engines;
}

// Running engines, an unsolvable lobe, a run that leaves the finite numbers
// at a later point, and enough of them to fill more than one group of lanes.
std::vector<SimInputs> MixedEngines()
{
    std::vector<SimInputs> engines = {SmallBlockV8(), FourValveFour(), TurboV8()};
    SimInputs noLobe = SmallBlockV8();
    noLobe.exhaustOpening = 280.0f, noLobe.exhaustClosing = 280.0f, noLobe.exhaustLift = 0.5f;
    engines.push_back(noLobe);
    SimInputs vacuum = TurboV8();
    vacuum.blowerPressureRatio = 0.5f, vacuum.blowerFlow = 60.0f;
    engines.push_back(vacuum);
    for (int k = 0; k < 6; ++k) {
        SimInputs in = k % 2 ? FourValveFour() : SmallBlockV8();
        in.exhaustOpening += 3.0f * k;  // a different EVO: a different number of crank steps
        in.intakeClosing += 2.0f * k;
        in.compressionRatio += 0.25f * k;
        engines.push_back(in);
    }
    const std::vector<SimInputs> more = ExamplesAndVariants(33);
    engines.insert(engines.end(), more.begin(), more.end());
    return engines;
}

bool SameBits(const SimResults& a, const SimResults& b)
{
    return std::memcmp(&a, &b, sizeof(SimResults)) == 0;
}

// Each engine alone (plain scalar arithmetic), and all of them as one
// batch (SIMD lanes), on the instruction set the dispatcher now picks; the
// batch must give each engine's bits.
std::vector<SimResults> RunAloneAndInBatch(const std::vector<SimInputs>& engines)
{
    std::vector<SimResults> alone(engines.size());
    for (std::size_t e = 0; e < engines.size(); ++e) RunEngineSim(engines[e], alone[e]);
    std::vector<SimResults> batch(engines.size());
    RunEngineSimBatch(engines, batch);
    for (std::size_t e = 0; e < engines.size(); ++e)
        EXPECT_TRUE(SameBits(alone[e], batch[e])) << "engine " << e << " on " << EngineSimInstructionSet();
    return alone;
}

}  // namespace

TEST(BatchKernel, EveryInstructionSetGivesEachEngineTheSameBitsInABatchAsAlone)
{
    const std::vector<SimInputs> engines = MixedEngines();
    // Each instruction set's results, by whether it fuses multiply-adds.
    std::map<bool, std::vector<std::vector<SimResults>>> byKind;
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        EXPECT_EQ(std::string(EngineSimInstructionSet()), hwy::TargetName(target));
        byKind[EngineSimFusesMultiplyAdd()].push_back(RunAloneAndInBatch(engines));
    }
    hwy::SetSupportedTargetsForTest(0);
    ASSERT_FALSE(byKind.empty());

    // The set exercises what it is meant to: runs, and failures of both kinds.
    const std::vector<SimResults>& any = byKind.begin()->second.front();
    EXPECT_GT(any[0].power[10], 100.0f);
    EXPECT_EQ(any[3].power[0], 0.0f);
    EXPECT_EQ(any[4].power[0], 0.0f);

    // Within each kind every instruction set agrees to the bit, whatever its
    // number of lanes (on x86: AVX-512 and AVX2; SSE4, SSSE3 and none).
    for (const auto& [fused, results] : byKind) {
        for (const std::vector<SimResults>& other : results) {
            for (std::size_t e = 0; e < engines.size(); ++e)
                EXPECT_TRUE(SameBits(results.front()[e], other[e]))
                    << (fused ? "fused" : "separate") << " " << e;
        }
    }
#if HWY_ARCH_X86
    // The comparison is not empty: on an AVX-512 processor both kinds have
    // two instruction sets or more.
    if ((hwy::SupportedTargets() & HWY_AVX3) != 0) {
        EXPECT_GE(byKind[true].size(), 2u);
        EXPECT_GE(byKind[false].size(), 2u);
    }
#endif
}

TEST(BatchKernel, AnEmptyBatchDoesNothingAndABatchFillsTwoRegistersOfDoubles)
{
    RunEngineSimBatch({}, {});
    // Two vectors of engines step together: 16 on AVX-512, 8 on AVX2.
    const std::string instructionSet = EngineSimInstructionSet();
    if (instructionSet == "AVX3") {
        EXPECT_EQ(EngineSimBatchWidth(), 16);
    } else if (instructionSet == "AVX2") {
        EXPECT_EQ(EngineSimBatchWidth(), 8);
    } else {
        EXPECT_GE(EngineSimBatchWidth(), 1);
    }
}
