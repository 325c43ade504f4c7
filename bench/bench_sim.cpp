// Time of one full engine run (all 19 speed points) for three typical engines,
// one at a time and as batches of engines side by side in SIMD lanes
// (time per engine in both).
// Run: ./bench_sim --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "sim/EngineSim.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

void SetAirflow(SimInputs& in, const float* lifts, const float* intake, const float* exhaust,
                float intakeTestDia, float exhaustTestDia, float dropInH2O)
{
    in.flowTestIntakeDia = intakeTestDia;
    in.flowTestExhaustDia = exhaustTestDia;
    in.flowTestIntakeDrop = dropInH2O;
    in.flowTestExhaustDrop = dropInH2O;
    for (int i = 0; i < 8; ++i) {
        in.intakeFlowLift[i] = lifts[i];
        in.exhaustFlowLift[i] = lifts[i];
        in.intakeFlow[i] = intake[i];
        in.exhaustFlow[i] = exhaust[i];
    }
}

// Carbureted 350 ci small-block: dual plane, 750 cfm, headers, hydraulic street cam.
SimInputs SmallBlockV8()
{
    SimInputs in;
    std::memset(&in, 0, sizeof in);
    in.manifoldType = 2;
    in.exhaustSystem = 5;
    in.lifterType = 1;
    in.bore = 4.0f;
    in.stroke = 3.48f;
    in.cylinders = 8;
    in.intakeValveDia = 2.02f;
    in.exhaustValveDia = 1.60f;
    in.compressionRatio = 10.0f;
    in.inductionCfm = 750;
    in.ratingBarrels = 4;
    in.intakeOpening = 31;
    in.intakeClosing = 67;
    in.exhaustOpening = 67;
    in.exhaustClosing = 31;
    in.intakeLift = 0.48f;
    in.exhaustLift = 0.48f;
    in.fuelType = 1;
    in.intakeValves = 1;
    in.exhaustValves = 1;
    const float lifts[8] = {0.2f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.65f, 0.71f};
    const float intake[8] = {130, 177, 217, 239, 242, 242, 242, 242};
    const float exhaust[8] = {101, 133, 153, 164, 164, 164, 171, 171};
    SetAirflow(in, lifts, intake, exhaust, 2.02f, 1.6f, 25.0f);
    return in;
}

// 2.2 litre four with a ported 4-valve head, sequential injection, roller cam.
SimInputs FourValveFour()
{
    SimInputs in = SmallBlockV8();
    in.manifoldType = 6;
    in.lifterType = 3;
    in.bore = 3.43f;
    in.stroke = 3.57f;
    in.cylinders = 4;
    in.intakeValveDia = 1.30f;
    in.exhaustValveDia = 1.10f;
    in.intakeValves = 2;
    in.exhaustValves = 2;
    in.compressionRatio = 10.5f;
    in.inductionCfm = 500;
    in.intakeOpening = 32;
    in.intakeClosing = 70;
    in.exhaustOpening = 70;
    in.exhaustClosing = 32;
    in.intakeLift = 0.40f;
    in.exhaustLift = 0.38f;
    const float lifts[8] = {0.06f, 0.12f, 0.18f, 0.24f, 0.31f, 0.37f, 0.43f, 0.46f};
    const float intake[8] = {28, 55, 83, 100, 114, 126, 132, 136};
    const float exhaust[8] = {25, 53, 79, 92, 100, 104, 107, 112};
    SetAirflow(in, lifts, intake, exhaust, 1.26f, 1.08f, 50.0f);
    return in;
}

// The small block with a 10 psi turbocharger and a 60 % intercooler.
SimInputs TurboV8()
{
    SimInputs in = SmallBlockV8();
    in.manifoldType = 7;
    in.exhaustSystem = 1;
    in.compressionRatio = 8.5f;
    in.boostKind = 1;
    in.blowerFlow = 470.0f;
    in.blowerPressureRatio = 1.9f;
    in.blowerEfficiency = 78.0f;
    in.blowerRpm = 100000.0f;
    in.surgeFlow = 325.0f;
    in.boostLimit = 10.0f;
    in.intercoolerEfficiency = 60.0f;
    return in;
}

void RunEngine(benchmark::State& state, SimInputs (*engine)())
{
    const SimInputs in = engine();
    SimResults results{};
    if (!RunEngineSim(in, results)) state.SkipWithError("the engine did not run");
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunEngineSim(in, results));
        benchmark::ClobberMemory();
    }
}

// A batch of the three engines, repeated to fill several groups of lanes;
// reported per engine.
void RunBatch(benchmark::State& state)
{
    const SimInputs kinds[] = {SmallBlockV8(), FourValveFour(), TurboV8()};
    std::vector<SimInputs> inputs;
    for (int i = 0; i < 4 * EngineSimBatchWidth(); ++i) inputs.push_back(kinds[i % 3]);
    std::vector<SimResults> results(inputs.size());
    for (auto _ : state) {
        RunEngineSimBatch(inputs, results);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(inputs.size()));
    state.counters["us_per_engine"] =
        benchmark::Counter(static_cast<double>(state.iterations() * inputs.size()) * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(std::string(EngineSimInstructionSet()) + ", " + std::to_string(EngineSimBatchWidth()) +
                   " lanes");
}

}  // namespace

BENCHMARK(RunBatch)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunEngine, CarburetedSmallBlockV8, SmallBlockV8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunEngine, FourValveFourCylinder, FourValveFour)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunEngine, TurbochargedV8, TurboV8)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
