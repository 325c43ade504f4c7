#include "sim/EngineSim.h"

#include "SimTestEngines.h"

#include <gtest/gtest.h>

#include "hwy/targets.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace sim_test;

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
    return engines;
}

bool SameBits(const SimResults& a, const SimResults& b)
{
    return std::memcmp(&a, &b, sizeof(SimResults)) == 0;
}

// Each engine alone, and all of them as one batch, on the instruction set
// the dispatcher now picks; the batch must give each engine's bits.
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
    std::map<std::int64_t, std::vector<SimResults>> byTarget;
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        EXPECT_EQ(std::string(EngineSimInstructionSet()), hwy::TargetName(target));
        byTarget[target] = RunAloneAndInBatch(engines);
    }
    hwy::SetSupportedTargetsForTest(0);
    ASSERT_FALSE(byTarget.empty());

    // The set exercises what it is meant to: runs, and failures of both kinds.
    const std::vector<SimResults>& any = byTarget.begin()->second;
    EXPECT_GT(any[0].power[10], 100.0f);
    EXPECT_EQ(any[3].power[0], 0.0f);
    EXPECT_EQ(any[4].power[0], 0.0f);

#if HWY_ARCH_X86
    // AVX2 and AVX-512 fuse the multiply-adds inside Exp and Log, SSE4 and
    // below do not; within each family every instruction set agrees to the
    // bit, whatever its number of lanes.
    const std::vector<std::vector<std::int64_t>> families = {{HWY_AVX2, HWY_AVX3, HWY_AVX3_DL},
                                                             {HWY_SSSE3, HWY_SSE4, HWY_EMU128, HWY_SCALAR}};
    for (const std::vector<std::int64_t>& family : families) {
        const std::vector<SimResults>* first = nullptr;
        for (std::int64_t target : family) {
            if (byTarget.count(target) == 0) continue;
            if (first == nullptr) first = &byTarget[target];
            for (std::size_t e = 0; e < engines.size(); ++e)
                EXPECT_TRUE(SameBits((*first)[e], byTarget[target][e])) << hwy::TargetName(target) << " engine " << e;
        }
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
