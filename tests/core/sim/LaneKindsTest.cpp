// The stages one engine runs in its own way (OneLane: branches instead of
// blends, two values in one small vector, Highway's Exp, Log and float
// rounding on a one-lane vector) give the bits, in double precision, that a
// lane of the batch's vectors gives, on every instruction set. Whole runs
// compare only the float results; these compare the doubles inside them.
// Compiled once per instruction set like the crank loop (and, like it, with
// -ffp-contract=off).

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/sim/LaneKindsTest.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

#include "hwy/highway.h"
#include "sim/CrankStep-inl.h"
#include "sim/CycleLanes.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

HWY_BEFORE_NAMESPACE();
namespace crank_step {
namespace HWY_NAMESPACE {
namespace {

using Batch = hn::CappedTag<double, kMaxCycleLanes / 2>;

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// f(OneLane, x) against lane 0 of f(Batch, x in every lane), over the inputs.
template <class F>
int Mismatches(const std::vector<double>& inputs, F f)
{
    int mismatches = 0;
    for (double x : inputs)
        if (!SameBits(f(OneLane(), x), hn::GetLane(f(Batch(), hn::Set(Batch(), x))))) ++mismatches;
    return mismatches;
}

template <class Record>
LanesOf<Record> InEveryLane(const Record& record)
{
    LanesOf<Record> lanes{};
    for (int lane = 0; lane < kMaxCycleLanes; ++lane) lanes.Set(lane, record);
    return lanes;
}

std::vector<double> Angles()  // radians
{
    std::vector<double> x;
    for (double a = -60.0; a < 60.0; a += 0.0123) x.push_back(a);
    for (int k = -40; k <= 40; ++k) x.push_back(k * 0.7853981633974483);  // quadrant edges
    return x;
}

std::vector<double> Ratios()  // pressure ratios, the odd ones included
{
    std::vector<double> x = {0.0,
                             1.0,
                             1e-300,
                             4e-320,
                             -0.5,
                             2.0,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    std::mt19937 rng(7);
    for (int k = 0; k < 4000; ++k) x.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(rng));
    return x;
}

int TrigMismatches()
{
    const std::vector<double> x = Angles();
    int n = Mismatches(x, [](auto d, auto v) { return CrankSine(d, v); });
    n += Mismatches(x, [](auto d, auto v) { return CrankCosine(d, v); });
    n += Mismatches(x, [](auto d, auto v) {
        decltype(v) s, c;
        CrankSineCosine(d, v, s, c);
        return Sub(Mul(s, Constant(d, 3.0)), c);  // both, into one value
    });
    return n;
}

// Highway's Exp and Log: across their range, at the edges of the one-value
// forms, and beyond.
int ExpLogMismatches()
{
    std::vector<double> x = {-1000.0,
                             std::nextafter(-1000.0, 0.0),
                             std::nextafter(-1000.0, -2e3),
                             709.0,
                             std::nextafter(709.0, 1e3),
                             -0.0,
                             0.0,
                             1e-310,
                             -1e-310};
    std::mt19937_64 rng(11);
    for (int k = 0; k < 20000; ++k) x.push_back(std::uniform_real_distribution<double>(-1100.0, 800.0)(rng));
    std::vector<double> positive = {5e-324,
                                    2.2250738585072014e-308,
                                    std::nextafter(2.2250738585072014e-308, 0.0),
                                    1.7976931348623157e308,
                                    1.0,
                                    std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN(),
                                    -1.0,
                                    0.0,
                                    -0.0};
    for (int k = 0; k < 20000; ++k)
        positive.push_back(std::bit_cast<double>(rng() & 0x7FFFFFFFFFFFFFFFull));  // every exponent
    int n = Mismatches(x, [](auto d, auto v) { return Exp(d, v); });
    n += Mismatches(positive, [](auto d, auto v) { return Log(d, v); });
    return n;
}

int GasMismatches()
{
    const std::vector<double> r = Ratios();
    int n = Mismatches(r, [](auto d, auto v) { return FlowFunction(d, v); });
    n += Mismatches(r, [](auto, auto v) { return Sqrt(v); });
    n += Mismatches(r, [](auto d, auto v) { return AsStored(d, Mul(v, Constant(d, 3.4e38))); });
    // The intake coefficient by port over cylinder pressure, both sides of the critical ratio.
    std::vector<double> ratios;
    for (double f = -1.0; f < 4.0; f += 0.0007) ratios.push_back(f);
    for (double c : {0.05, 0.45, 0.8, 1.2})
        n += Mismatches(ratios, [c](auto d, auto f) {
            return IntakeCoefficient(d, Constant(d, c), Mul(f, Constant(d, 14.7)), Constant(d, 14.7));
        });
    return n;
}

int ValveAndPortMismatches()
{
    const float lifts[10] = {0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.45f};
    const float flows[10] = {30, 60, 110, 140, 150, 151};
    FlowTable table{};
    BuildFlowTable(2.0f, 28.0f, flows, lifts, table);
    const LanesOf<FlowTable> tableLanes = InEveryLane(table);
    std::vector<double> lift;
    for (double l = -0.1; l < 1.0; l += 0.0011) lift.push_back(l);
    for (float l : lifts) lift.push_back(l);
    int n = Mismatches(lift, [&](auto d, auto v) {
        if constexpr (std::is_same_v<decltype(d), OneLane>)
            return FlowCoefficient(d, table, v);
        else
            return FlowCoefficient(d, tableLanes, v);
    });

    // The exhaust wave of stepped headers at 2000 rpm, over a cycle.
    const ExhaustWave wave =
        MakeExhaustWave(GetExhaustSystem(ExhaustSystem::SteppedTubeRaceHeaders, 2000.0), 128.0, 2000.0);
    const LanesOf<ExhaustWave> waveLanes = InEveryLane(wave);
    std::vector<double> theta;
    for (double t = 128.0; t < 850.0; t += 0.6) theta.push_back(t);
    n += Mismatches(theta, [&](auto d, auto v) {
        if constexpr (std::is_same_v<decltype(d), OneLane>)
            return ExhaustPortPressure(d, wave, v, 30.0);
        else
            return ExhaustPortPressure(d, waveLanes, v, Constant(d, 30.0));
    });
    return n;
}

// One engine notes the exhaust wave's angle at each step and works the port
// pressure out only when asked; a batch works it out at every step. Asked
// at any step, both give the same pressure, also around the steps that land
// exactly on 180 and 360 degrees of wave and so keep the pressure before.
int ExhaustPortMismatches()
{
    EngineCycle one{};
    one.point.boosted = false;
    one.wave =
        MakeExhaustWave(GetExhaustSystem(ExhaustSystem::SmallTubeHeadersWithMufflers, 5000.0), 90.0, 5000.0);
    CycleLanes lanes{};
    lanes.point.Set(0, one.point);
    lanes.wave.Set(0, one.wave);
    CycleState<OneLane> s1;
    CycleState<Batch> sb;
    s1.exhaustPort = 31.0;
    sb.exhaustPort = hn::Set(Batch(), 31.0);
    const auto active = hn::Lt(hn::Zero(Batch()), hn::Set(Batch(), 1.0));
    int n = 0;
    float theta = 90.0f;
    for (int k = 0; k < 500; ++k, theta += 1.5f) {  // 180 degrees of wave at step 120, 360 at step 240
        StepExhaustPort(OneLane(), one, true, theta, s1);
        StepExhaustPort(Batch(), lanes, active, hn::Set(Batch(), theta), sb);
        if (k % 7 == 3 || k == 120 || k == 121 || k == 240 || k == 242)
            n += !SameBits(ExhaustPortNow(OneLane(), one, s1),
                           hn::GetLane(ExhaustPortNow(Batch(), lanes, sb)));
    }
    return n;
}

// Without exhaust flow one engine skips the port pressure when the cylinder's
// enthalpy does not decide; the heat carried out is the batch's.
int ExhaustHeatMismatches()
{
    EngineCycle one{};
    one.wave =
        MakeExhaustWave(GetExhaustSystem(ExhaustSystem::StockManifoldsAndMufflers, 3000.0), 120.0, 3000.0);
    CycleLanes lanes{};
    lanes.point.Set(0, one.point);
    lanes.wave.Set(0, one.wave);
    int n = 0;
    const double inf = std::numeric_limits<double>::infinity();
    for (double flow : {0.0, -0.0, 1e-6, -1e-6})
        for (double enthalpy : {500.0, 0.0, -0.0, -3.0, inf, -inf, std::numeric_limits<double>::quiet_NaN()})
            for (double pressure : {20.0, 60.0}) {
                CycleState<OneLane> s1;
                CycleState<Batch> sb;
                s1.pressure = pressure;
                sb.pressure = hn::Set(Batch(), pressure);
                s1.exhaustPort = 30.0;
                sb.exhaustPort = hn::Set(Batch(), 30.0);
                StepExhaustPort(OneLane(), one, true, 200.0, s1);
                const double a = ExhaustHeat(OneLane(), one, s1, flow, enthalpy);
                sb.exhaustPort =
                    ExhaustPortPressure(Batch(), lanes.wave, hn::Set(Batch(), 200.0), sb.exhaustPort);
                const double b = hn::GetLane(
                    ExhaustHeat(Batch(), lanes, sb, hn::Set(Batch(), flow), hn::Set(Batch(), enthalpy)));
                n += !SameBits(a, b);
            }
    return n;
}

}  // namespace

int OneLaneMismatches()
{
    return TrigMismatches() + ExpLogMismatches() + GasMismatches() + ValveAndPortMismatches() +
           ExhaustPortMismatches() + ExhaustHeatMismatches();
}

}  // namespace HWY_NAMESPACE
}  // namespace crank_step
HWY_AFTER_NAMESPACE();

#if HWY_ONCE

#include "hwy/targets.h"

#include <gtest/gtest.h>

namespace crank_step {
HWY_EXPORT(OneLaneMismatches);
}  // namespace crank_step

TEST(LaneKinds, OneEngineStagesGiveTheBatchLanesDoublesToTheBitOnEveryInstructionSet)
{
    int targets = 0;
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        EXPECT_EQ(HWY_DYNAMIC_DISPATCH(crank_step::OneLaneMismatches)(), 0) << hwy::TargetName(target);
        ++targets;
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_GE(targets, 2);
}

#endif  // HWY_ONCE
