// Iterator series throughput: the same 2,000-test series (bore x stroke x
// IVC) run by the one-engine runner (one engine run per test) and by the
// batch runner (several engines at once in SIMD lanes), each with one thread
// and with every hardware thread, reported as tests per second of wall time
// and of processor time, with the ratios between them. A second benchmark
// checks that memory stays flat: the peak resident size after a 20,000-test
// series must not exceed the one after a 2,000-test series by more than noise.
//
//   ./bench_iterator                       all of it
//   ./bench_iterator --benchmark_filter=Memory

#include "EngineChoices.h"
#include "IteratorSeries.h"
#include "iterator/IteratorRunner.h"
#include "model/TorqDoc.h"
#include "sim/EngineSim.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

// Chevy 350, wedge heads with 2.02/1.60 valves, 10:1, 750 cfm four-barrel,
// dual-plane manifold, small-tube headers, high-performance street cam,
// hydraulic lifters, 0.500 in lifts.
void BuildBaseline(CTorqDoc& engine)
{
    for (const DocumentCommand& choice : kChevy350Choices) {
        if (engine.Apply(choice) != CommandResult::Applied) std::fprintf(stderr, "a choice was refused\n");
    }
    engine.Recalculate();
}

// 10 bores x 10 strokes x 20 IVC = 2,000 tests; with 10 EVO values 20,000.
void ConfigureSeries(IteratorTest& iterator, const CTorqDoc& baseline, bool twentyThousand)
{
    Configure(iterator, baseline, BenchmarkSeries(baseline, twentyThousand));
}

void RunSeries(IteratorRunner& runner, IteratorTest& iterator)
{
    while (!iterator.IsDone()) runner.RunTests(std::numeric_limits<std::int32_t>::max());
}

// Tests per second by (threads, batch kernel): of wall time and of processor time.
std::map<std::pair<int, bool>, double> g_testsPerSecond;
std::map<std::pair<int, bool>, double> g_testsPerCpuSecond;

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// range(0): threads, 0 = every hardware thread; range(1): 1 batch kernel, 0 one engine per test.
void BM_IteratorSeries2000(benchmark::State& state)
{
    const int threads =
        state.range(0) == 0 ? IteratorRunner::HardwareThreadCount() : static_cast<int>(state.range(0));
    const bool batch = state.range(1) != 0;
    CTorqDoc baseline;
    BuildBaseline(baseline);
    IteratorTest iterator{IteratorTest::Detached{}};
    IteratorRunner runner(iterator, threads);
    runner.SetBatchKernel(batch);
    std::int64_t tests = 0;
    double seconds = 0.0;     // wall time in the series themselves
    double cpuSeconds = 0.0;  // processor time of every thread in them
    for (auto _ : state) {
        state.PauseTiming();
        ConfigureSeries(iterator, baseline, false);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        RunSeries(runner, iterator);
        cpuSeconds += ProcessCpuSeconds() - cpuStart;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        tests += iterator.GetTestsRun();
    }
    if (iterator.GetTotalTests() != 2000 || iterator.GetKeptCount() != 10)
        state.SkipWithError("series not as planned");
    state.counters["threads"] = threads;
    state.counters["batch"] = batch ? 1 : 0;
    state.counters["tests_per_s"] = seconds > 0.0 ? static_cast<double>(tests) / seconds : 0.0;
    state.counters["tests_per_cpu_s"] = cpuSeconds > 0.0 ? static_cast<double>(tests) / cpuSeconds : 0.0;
}

// Threads (0 = every hardware thread) x one engine per test / batch kernel.
BENCHMARK(BM_IteratorSeries2000)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// Resident set in KiB: now (from /proc) and the peak so far (getrusage).
long CurrentRssKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_IteratorMemory(benchmark::State& state)
{
    CTorqDoc baseline;
    BuildBaseline(baseline);
    IteratorTest iterator{IteratorTest::Detached{}};
    IteratorRunner runner(iterator);
    for (auto _ : state) {
        ConfigureSeries(iterator, baseline, false);
        RunSeries(runner, iterator);
        state.counters["peak_kib_2000"] = static_cast<double>(PeakRssKiB());
        state.counters["rss_kib_2000"] = static_cast<double>(CurrentRssKiB());
        ConfigureSeries(iterator, baseline, true);
        RunSeries(runner, iterator);
        state.counters["peak_kib_20000"] = static_cast<double>(PeakRssKiB());
        state.counters["rss_kib_20000"] = static_cast<double>(CurrentRssKiB());
        if (iterator.GetTestsRun() != 20000) state.SkipWithError("series not as planned");
    }
}

BENCHMARK(BM_IteratorMemory)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Collects the tests-per-second figures as they are reported, to print the ratios at the end.
class SpeedUpReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_name.function_name != "BM_IteratorSeries2000" || run.error_occurred) continue;
            const auto threads = run.counters.find("threads");
            const auto batch = run.counters.find("batch");
            const auto rate = run.counters.find("tests_per_s");
            const auto cpuRate = run.counters.find("tests_per_cpu_s");
            if (threads == run.counters.end() || batch == run.counters.end() || rate == run.counters.end() ||
                cpuRate == run.counters.end())
                continue;
            const std::pair<int, bool> key{static_cast<int>(threads->second.value),
                                           batch->second.value != 0.0};
            g_testsPerSecond[key] = rate->second.value;
            g_testsPerCpuSecond[key] = cpuRate->second.value;
        }
    }
};

void PrintComparison(int threads)
{
    const std::pair<int, bool> single{threads, false};
    const std::pair<int, bool> batch{threads, true};
    if (g_testsPerSecond.count(single) == 0 || g_testsPerSecond.count(batch) == 0 ||
        g_testsPerSecond[single] <= 0.0)
        return;
    std::printf(
        "%d thread%s: one-engine runner %.0f tests/s (%.0f per cpu-s), batch runner %.0f tests/s "
        "(%.0f per cpu-s), ratio %.2f (%.2f in processor time)\n",
        threads, threads == 1 ? "" : "s", g_testsPerSecond[single], g_testsPerCpuSecond[single],
        g_testsPerSecond[batch], g_testsPerCpuSecond[batch],
        g_testsPerSecond[batch] / g_testsPerSecond[single],
        g_testsPerCpuSecond[batch] / g_testsPerCpuSecond[single]);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SpeedUpReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("Cycle model: %s, %d engines side by side\n", EngineSimInstructionSet(),
                EngineSimBatchWidth());
    std::printf("2,000-test series:\n");
    PrintComparison(1);
    const int all = IteratorRunner::HardwareThreadCount();
    if (all > 1) PrintComparison(all);
    benchmark::Shutdown();
    return 0;
}
