// Matching an engine to a dyno pull: the three-figure match of the quality
// bar. The pull is the example Chevy 350 run with known changes (the intake
// closing 12 degrees later, 15 % less induction flow, 0.030 in less intake
// lift) over 2000 to 8000 rpm, clean and with +-1 % noise; the match starts
// from the unchanged engine with those three figures free over their default
// ranges. Reported per match: wall time, engines run, the rms error after
// (% of the pull's peaks) beside the noise, and how far each figure lands
// from the truth in natural steps (2 degrees, 25 cfm, 0.010 in).
//
//   ./bench_match                               every case
//   ./bench_match --benchmark_filter=Noisy/2    the noisy pull on 2 threads

#include "PullFromEngine.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"
#include "study/DynoMatch.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kEngineFile = TORQWELL_SOURCE_DIR "/examples/chevy-350-street.trq";

struct KnownChanges {
    CTorqDoc base;
    CTorqDoc truth;
    StudyRunner::Outcome truthRun;
};

bool Prepare(KnownChanges& known)
{
    if (!OpenEngineDocument(known.base, kEngineFile)) return false;
    known.base.SetAutoRun(false);
    known.base.CopyTo(known.truth);
    CamData& cam = known.truth.Cam();
    cam.NominalIvc().SetValue(cam.NominalIvc().GetValue() + 12.0f);
    known.truth.InductionFlow().SetValue(known.truth.InductionFlow().GetValue() * 0.85f);
    cam.IntakeLift().SetValue(cam.IntakeLift().GetValue() - 0.030f);
    known.truthRun = StudyRunner::RunAlone(known.truth);
    return known.truthRun.kind == StudyRunner::Outcome::Kind::Simulated;
}

// range(0): threads; range(1): noise in tenths of a percent.
void Match(benchmark::State& state)
{
    KnownChanges known;
    if (!Prepare(known)) {
        state.SkipWithError("the example engine does not run");
        return;
    }
    const DynoPull pull =
        PullFromRun(known.truthRun.results, 2000.0, 8000.0, double(state.range(1)) / 1000.0, 7);
    MatchSetup setup;
    for (MatchFigure figure : {MatchFigure::Ivc, MatchFigure::Induction, MatchFigure::IntakeLift})
        setup.ranges.push_back(DefaultRange(known.base, figure));
    const StudyRunner runner(static_cast<int>(state.range(0)));
    MatchResult result;
    for (auto _ : state) result = MatchToPull(known.base, pull, setup, runner);

    state.counters["threads"] = double(state.range(0));
    state.counters["tests"] = result.testsRun;
    state.counters["rms_before_pct"] = result.before.rmsPercent;
    state.counters["rms_after_pct"] = result.after.rmsPercent;
    state.counters["noise_pct"] = ComparePull(known.truthRun.results, pull).rmsPercent;
    const char* keys[] = {"ivc_off_steps", "induction_off_steps", "int_lift_off_steps"};
    for (std::size_t i = 0; i < result.figures.size(); ++i) {
        const MatchedFigure& figure = result.figures[i];
        const double truth = EnglishValue(known.truth, figure.range.figure);
        state.counters[keys[i]] =
            std::abs(figure.after - truth) / FigureInfo(figure.range.figure).naturalStep;
    }
}

BENCHMARK(Match)
    ->Name("Clean")
    ->Args({1, 0})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(Match)
    ->Name("Noisy")
    ->Args({1, 10})
    ->Args({2, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
