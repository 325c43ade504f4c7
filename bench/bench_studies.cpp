// The parts comparison and what to change next, as a builder runs them:
//   Shootout     16 heads x 4 manifolds x 6 exhausts (384 combinations) on
//                the example Chevy 350, best 20 by peak power;
//   Sensitivity  what to change next on each example engine (every number a
//                step each way, every choice a place each way).
// Reported per study: wall time, engines run and engines per second. The
// aim is under a second for each on two cores.
//
//   ./bench_studies                                   every case
//   ./bench_studies --benchmark_filter=Shootout/2     the comparison on 2 threads

#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/PartsShootout.h"
#include "study/Sensitivity.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kEngineFile = TORQWELL_SOURCE_DIR "/examples/chevy-350-street.trq";

// The example engine files, sorted by name.
std::vector<std::filesystem::path> ExampleEngines()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TORQWELL_SOURCE_DIR "/examples")) {
        if (entry.path().extension() == ".trq") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

PartGroupChoices Menu(PartGroup group, ChoiceGroup menu, std::initializer_list<int> indices)
{
    PartGroupChoices choices{group, {}};
    for (int index : indices)
        choices.options.push_back({ChoiceName({menu, index}), EngineEdit::Pick({menu, index})});
    return choices;
}

ShootoutSetup ThreeHundredEightyFour(const CTorqDoc& base)
{
    ShootoutSetup setup;
    setup.groups = {{PartGroup::Head, AllowedPartOptions(base, PartGroup::Head)},
                    Menu(PartGroup::Manifold, ChoiceGroup::Manifold, {0, 1, 2, 4}),
                    Menu(PartGroup::Exhaust, ChoiceGroup::ExhaustSystem, {0, 1, 2, 3, 4, 6})};
    return setup;
}

void Report(benchmark::State& state, std::size_t engines)
{
    state.counters["engines"] = static_cast<double>(engines);
    state.counters["engines/s"] =
        benchmark::Counter(static_cast<double>(engines), benchmark::Counter::kIsIterationInvariantRate);
}

// range(0): threads.
void Shootout(benchmark::State& state)
{
    QuietMessages quiet;
    CTorqDoc base;
    if (!OpenEngineDocument(base, kEngineFile)) {
        state.SkipWithError("the example engine does not open");
        return;
    }
    const ShootoutSetup setup = ThreeHundredEightyFour(base);
    const StudyRunner runner(static_cast<int>(state.range(0)));
    std::size_t engines = 0;
    for (auto _ : state) {
        PartsShootout shootout(base, setup);
        std::string failure;
        if (!shootout.RunBaseline(failure)) state.SkipWithError(failure.c_str());
        shootout.RunAll(runner);
        const ShootoutResult result = shootout.Result();
        engines = result.combinations;
        benchmark::DoNotOptimize(result.rows.front().figures.score);
    }
    Report(state, engines);
}

// range(0): threads; range(1): the example engine, in ExampleEngines() order.
void SensitivityOfExample(benchmark::State& state)
{
    QuietMessages quiet;
    const std::vector<std::filesystem::path> files = ExampleEngines();
    const std::filesystem::path& file = files.at(static_cast<std::size_t>(state.range(1)));
    state.SetLabel(file.filename().string());
    CTorqDoc base;
    if (!OpenEngineDocument(base, file.string())) {
        state.SkipWithError("the example engine does not open");
        return;
    }
    const StudyRunner runner(static_cast<int>(state.range(0)));
    std::size_t engines = 0;
    for (auto _ : state) {
        Sensitivity study(base, StudyCriterion::PeakPower, {});
        std::string failure;
        if (!study.RunBaseline(failure)) state.SkipWithError(failure.c_str());
        study.RunAll(runner);
        engines = study.Changes().size();
        benchmark::DoNotOptimize(study.Result().rows.size());
    }
    Report(state, engines);
}

BENCHMARK(Shootout)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SensitivityOfExample)
    ->ArgsProduct({{1, 2}, {0, 1, 2, 3, 4, 5, 6}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
