// The batch kernel against the one-engine run, engine by engine and bit for
// bit: the example engines and a few hundred random engines within the
// parameters' ranges, run in batches of every width from one engine to one
// more than the processor's lanes.

#include "model/EngineFile.h"
#include "model/SimInterface.h"
#include "model/TorqDoc.h"
#include "sim/EngineSim.h"
#include "sim/ValveGeometry.h"

#include "CycleSteps.h"
#include "ExampleFiles.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <span>
#include <vector>

namespace {

std::vector<SimInputs> ExampleInputs()
{
    std::vector<SimInputs> inputs;
    for (const auto& path : ExampleEngines()) {
        RecordingPresenter presenter;
        CTorqDoc doc;
        EXPECT_TRUE(OpenEngineDocument(doc, path.string())) << path;
        SimInputs in{};
        SimInterface::FillInputs(doc, in);
        inputs.push_back(in);
    }
    return inputs;
}

// An example engine with its dimensions, cam, induction, exhaust and fuel
// drawn anew within their ranges. Now and then a cam that cannot be ground
// or a flow bench figure that cannot be, fail the run before its cycle; a
// turbocharger with a pressure ratio below 1 pulls the manifold below a
// vacuum and fails it in the cycle.
SimInputs RandomEngine(std::mt19937& rng, const std::vector<SimInputs>& examples)
{
    const auto between = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    const auto oneOf = [&](int lo, int hi) {
        return static_cast<std::int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    SimInputs in = examples[static_cast<std::size_t>(oneOf(0, static_cast<int>(examples.size()) - 1))];
    in.bore = between(2.5f, 4.6f);
    in.stroke = between(2.2f, 4.5f);
    in.compressionRatio = between(6.0f, 18.0f);
    in.exhaustOpening = between(20.0f, 100.0f);
    in.exhaustClosing = between(0.0f, 80.0f);
    in.intakeOpening = between(0.0f, 80.0f);
    in.intakeClosing = between(20.0f, 110.0f);
    in.intakeLift = between(0.2f, 1.2f);
    in.exhaustLift = between(0.2f, 1.2f);
    in.camAdvance = oneOf(-8, 8);
    in.timingAt050 = oneOf(0, 1);
    in.lifterType = oneOf(1, 3);
    if (in.boostKind == 0) in.manifoldType = oneOf(1, 6);
    if (in.boostKind == 1) in.blowerPressureRatio = between(0.5f, 3.0f);
    in.exhaustSystem = oneOf(1, 7);
    in.fuelType = oneOf(1, 21);
    in.inductionCfm = oneOf(100, 4000);
    in.nitrousFlow = oneOf(0, 3) == 0 ? between(0.0f, 4.0f) : 0.0f;
    const int setupFault = oneOf(0, 19);
    if (setupFault == 0) {  // an exhaust lobe of a whole turn: its flanks leave no nose
        in.exhaustOpening = in.exhaustClosing = 280.0f;
        in.timingAt050 = 0, in.camAdvance = 0, in.lifterType = 1;
    }
    if (setupFault == 1) in.flowTestIntakeDrop = -between(1.0f, 30.0f);  // no bench drop below zero
    return in;
}

bool SameBits(const SimResults& a, const SimResults& b)
{
    return std::memcmp(&a, &b, sizeof(SimResults)) == 0;
}

}  // namespace

TEST(EngineSimBatch, ExampleAndRandomEnginesGiveTheirOneEngineBitsInBatchesOfEveryWidth)
{
    std::vector<SimInputs> engines = ExampleInputs();
    ASSERT_EQ(engines.size(), 7u);
    const std::vector<SimInputs> examples = engines;
    std::mt19937 rng(20240611);
    for (int k = 0; k < 200; ++k) engines.push_back(RandomEngine(rng, examples));

    std::vector<SimResults> alone(engines.size());
    int setupFailures = 0;
    int cycleFailures = 0;
    std::set<std::vector<int>> stepCounts;
    for (std::size_t e = 0; e < engines.size(); ++e) {
        stepCounts.insert(CycleStepCounts(engines[e]));
        if (RunEngineSim(engines[e], alone[e])) continue;
        ValveSetup setup{};
        ++(PrepareValveData(engines[e], setup) ? cycleFailures : setupFailures);
    }
    EXPECT_GT(setupFailures, 0);
    EXPECT_GT(cycleFailures, 0);
    EXPECT_GT(static_cast<int>(engines.size()) - setupFailures - cycleFailures, 100);
    EXPECT_GT(stepCounts.size(), 1u);

    // Every width from one engine to one more than the lanes: all engines in
    // batches as wide as the lanes and one wider, the first ones (examples,
    // running and failing engines among them) in the narrower batches.
    const int lanes = EngineSimBatchWidth();
    const std::size_t narrowSet =
        std::min<std::size_t>(engines.size(), 2 * static_cast<std::size_t>(lanes) + 2);
    EXPECT_TRUE(std::any_of(alone.begin(), alone.begin() + std::ptrdiff_t(narrowSet),
                            [](const SimResults& r) { return r.power[0] == 0.0f; }));
    for (int width = 1; width <= lanes + 1; ++width) {
        const std::size_t used = width >= lanes ? engines.size() : narrowSet;
        std::vector<SimResults> batched(used);
        for (std::size_t first = 0; first < used; first += static_cast<std::size_t>(width)) {
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(width), used - first);
            RunEngineSimBatch(std::span(engines).subspan(first, count),
                              std::span(batched).subspan(first, count));
        }
        for (std::size_t e = 0; e < used; ++e)
            ASSERT_TRUE(SameBits(alone[e], batched[e])) << "engine " << e << " in batches of " << width;
    }
}
