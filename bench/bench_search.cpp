// Searches of large series of the Chevy 350 street engine on 2 threads with
// the batch kernel: wall time, tests run, their share of the grid and the
// best score found. About 10^9 combinations (bore, compression and six cam
// figures; at 20,000 tests a second the whole series would take about 14
// hours), and about 10^7 (bore, stroke, compression, IVC and EVO).
//
//   ./bench_search

#include "IteratorSeries.h"
#include "iterator/IteratorSetup.h"
#include "model/EngineFile.h"
#include "study/IteratorSearch.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// 16 x 17 x 12 x 11 x 11 x 11 x 11 x 21 = 1,003,552,704 combinations.
IteratorSetup BillionSetup(const CTorqDoc& engine)
{
    IteratorSetup setup;
    setup.Reset();
    setup.baseline = &engine;
    const IterationParam rows[] = {
        Sweep(kItrBore, engine, 3.9f, 4.2f, 0.02f),       Sweep(kItrCompression, engine, 8.0f, 12.0f, 0.25f),
        Sweep(kItrIvo, engine, 10.0f, 52.0f, 4.0f),       Sweep(kItrIvc, engine, 50.0f, 100.0f, 5.0f),
        Sweep(kItrEvo, engine, 50.0f, 100.0f, 5.0f),      Sweep(kItrEvc, engine, 10.0f, 50.0f, 4.0f),
        Sweep(kItrIntakeLift, engine, 0.4f, 0.8f, 0.04f), Sweep(kItrExhaustLift, engine, 0.4f, 0.8f, 0.02f),
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) setup.params[i] = rows[i];
    return setup;
}

// 31 x 31 x 21 x 51 x 11 = 11,321,541 combinations.
IteratorSetup TenMillionSetup(const CTorqDoc& engine)
{
    IteratorSetup setup;
    setup.Reset();
    setup.baseline = &engine;
    const IterationParam rows[] = {
        Sweep(kItrBore, engine, 3.9f, 4.2f, 0.01f),        Sweep(kItrStroke, engine, 3.2f, 3.8f, 0.02f),
        Sweep(kItrCompression, engine, 8.0f, 12.0f, 0.2f), Sweep(kItrIvc, engine, 40.0f, 90.0f, 1.0f),
        Sweep(kItrEvo, engine, 40.0f, 90.0f, 5.0f),
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) setup.params[i] = rows[i];
    return setup;
}

void SearchOnTwoThreads(benchmark::State& state, IteratorSetup (*makeSetup)(const CTorqDoc&))
{
    CTorqDoc engine;
    if (!OpenEngineDocument(engine, std::string(TORQWELL_SOURCE_DIR) + "/examples/chevy-350-street.trq")) {
        state.SkipWithError("cannot open the engine");
        return;
    }
    const IteratorSetup setup = makeSetup(engine);
    IteratorTest iterator{IteratorTest::Detached{}};
    IteratorSearch search(iterator, 2);
    for (auto _ : state) {
        state.PauseTiming();
        ApplySearchSetup(iterator, setup);
        state.ResumeTiming();
        search.Start();
        while (search.RunBatch()) {
        }
    }
    state.counters["grid"] = static_cast<double>(search.GetGridSize());
    state.counters["tests_run"] = static_cast<double>(search.GetTestsRun());
    state.counters["share_percent"] = 100.0 * double(search.GetTestsRun()) / double(search.GetGridSize());
    state.counters["failed"] = static_cast<double>(search.GetFailedTests());
    state.counters["best_hp"] = search.GetBestScore();
}

void BM_SearchBillionOnTwoThreads(benchmark::State& state)
{
    SearchOnTwoThreads(state, BillionSetup);
}

void BM_SearchTenMillionOnTwoThreads(benchmark::State& state)
{
    SearchOnTwoThreads(state, TenMillionSetup);
}

BENCHMARK(BM_SearchBillionOnTwoThreads)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SearchTenMillionOnTwoThreads)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
