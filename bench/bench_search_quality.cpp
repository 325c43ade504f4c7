// How close a search comes to the whole series: for each setup below (the
// example engines; 2 to 8 swept parameters; narrow and wide ranges; regions
// that fail to run) the whole series is run, then the search, and the table
// gives the grid's size, the tests the search ran (and their share of the
// grid), the best score of each, whether they are equal to the bit, and the
// mean of the ten kept scores of each. Not a Google Benchmark: it takes
// minutes, most of them in the whole series.
//
//   ./bench_search_quality                 every setup
//   ./bench_search_quality 350 lifts       the setups whose names contain one of the words

#include "IteratorSeries.h"
#include "iterator/IteratorRunner.h"
#include "iterator/IteratorSetup.h"
#include "model/EngineFile.h"
#include "study/IteratorSearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SetupSpec {
    const char* name;
    const char* engineFile;  // in examples/
    const char* sweeps;      // NAME=MIN:MAX:STEP ..., as iterate --sweep takes them
    const char* criterion;   // power or torque
    float minRpm;
    float maxRpm;
};

// Narrow and wide, smooth and failing: lifts past what a lobe can carry and
// the widest cam events do not run.
constexpr SetupSpec kSetups[] = {
    {"350 ivc x evo wide", "chevy-350-street.trq", "ivc=0:120:1 evo=0:115:1", "power", 2000, 11000},
    {"350 ivo x ivc x evo", "chevy-350-street.trq", "ivo=0:40:1 ivc=30:120:1 evo=30:115:1", "power", 2000,
     11000},
    {"350 block, torque 2500-5000", "chevy-350-street.trq",
     "bore=3.9:4.2:0.01 stroke=3.2:3.8:0.01 compression=8:12:0.1", "torque", 2500, 5000},
    {"350 lifts x ivc, failing lifts", "chevy-350-street.trq",
     "int-lift=0.3:1.2:0.01 exh-lift=0.3:1.2:0.01 ivc=40:90:1", "power", 2000, 11000},
    {"383 ivc x evo, 0.050 timing", "chevy-383-built.trq", "ivc=-10:95:1 evo=-10:95:1", "power", 2000, 11000},
    {"454 cam 4 events, 3000-6000", "chevy-454-big-block.trq",
     "ivo=10:50:2 ivc=50:100:2 evo=50:100:2 evc=10:50:2", "power", 3000, 6000},
    {"302 bore ivo evc compression", "ford-302-nitrous.trq",
     "bore=3.9:4.1:0.01 ivo=0:30:1 evc=0:30:1 compression=8:12:0.2", "power", 2000, 11000},
    {"buick turbo 6 parameters", "buick-231-turbo.trq",
     "bore=3.7:3.9:0.05 stroke=3.2:3.6:0.1 compression=7:10:0.5 ivc=40:80:5 evo=40:80:5 "
     "int-lift=0.3:0.6:0.05",
     "power", 2000, 11000},
    {"454 blown 8 parameters", "chevy-454-roots-blown.trq",
     "bore=4.2:4.3:0.05 stroke=3.8:4.2:0.1 compression=7:9:0.5 ivo=30:54:6 ivc=60:90:10 evo=60:90:10 "
     "evc=30:54:6 "
     "int-lift=0.5:0.8:0.1",
     "power", 2000, 11000},
    {"350 7 parameters, torque", "chevy-350-street.trq",
     "bore=3.9:4.1:0.05 stroke=3.3:3.7:0.1 ivo=0:30:5 ivc=40:90:5 evo=40:90:5 evc=0:30:5 "
     "int-lift=0.3:0.55:0.05",
     "torque", 2000, 11000},
    {"302 evo x evc x exh-lift, 5000-8000", "ford-302-nitrous.trq",
     "evo=30:110:1 evc=0:60:1 exh-lift=0.3:0.7:0.02", "power", 5000, 8000},
    {"454 bore x stroke, 2 narrow", "chevy-454-big-block.trq", "bore=3.9:4.7:0.01 stroke=3.2:4.8:0.01",
     "power", 2000, 11000},
    {"383 5 parameters 0.050", "chevy-383-built.trq",
     "ivo=-10:30:4 ivc=20:70:2 evo=20:70:2 evc=-10:30:4 compression=9:12:0.5", "power", 2000, 11000},
    {"buick lifts x ivc x evo, failing", "buick-231-turbo.trq",
     "int-lift=0.3:1.0:0.02 ivc=30:100:2 evo=30:100:2", "power", 2000, 11000},
    {"350 cam 4 events, 6000-7000", "chevy-350-street.trq", "ivo=0:40:1 ivc=40:90:2 evo=40:90:2 evc=0:40:2",
     "power", 6000, 7000},
    {"454 blown compression bore lifts, torque", "chevy-454-roots-blown.trq",
     "compression=6:10:0.1 bore=4.1:4.4:0.01 int-lift=0.4:0.9:0.02 exh-lift=0.4:0.9:0.05", "torque", 3000,
     4500},
    {"buick cam and compression, torque", "buick-231-turbo.trq",
     "ivo=0:30:2 ivc=40:80:2 evo=40:80:4 evc=0:30:3 compression=7:10:0.5", "torque", 2500, 3500},
    {"302 nitrous 8 parameters", "ford-302-nitrous.trq",
     "bore=3.95:4.05:0.05 stroke=2.9:3.1:0.1 compression=9:11:1 ivo=20:40:5 ivc=55:75:5 evo=55:75:5 "
     "evc=20:40:5 "
     "exh-lift=0.4:0.6:0.05",
     "power", 2000, 11000},
    {"350 stroke x lifts, torque, failing", "chevy-350-street.trq",
     "stroke=3.0:4.0:0.02 int-lift=0.3:1.1:0.02 exh-lift=0.3:1.0:0.02", "torque", 2000, 4000},
    {"383 bore stroke compression, torque", "chevy-383-built.trq",
     "bore=3.9:4.2:0.01 stroke=3.5:4.0:0.01 compression=9:12:0.1", "torque", 3000, 5000},
};

// The setup of a row on its engine; false (with a message) for a row that does not parse.
bool BuildSetup(const SetupSpec& spec, const CTorqDoc& engine, IteratorSetup& setup, int& parameters)
{
    setup.Reset();
    setup.baseline = &engine;
    setup.criterion = std::strcmp(spec.criterion, "torque") == 0 ? kMaxTorque : kMaxPower;
    setup.minRpm = spec.minRpm;
    setup.maxRpm = spec.maxRpm;
    std::istringstream words(spec.sweeps);
    parameters = 0;
    for (std::string word; words >> word; ++parameters) {
        char name[16] = {};
        float min = 0.0f;
        float max = 0.0f;
        float step = 0.0f;
        if (std::sscanf(word.c_str(), "%15[^=]=%f:%f:%f", name, &min, &max, &step) != 4) return false;
        const IterationDataType type = IterationDataTypeOfSweepName(name);
        if (type == kItrNone) return false;
        setup.params[static_cast<std::size_t>(parameters)] = Sweep(type, engine, min, max, step);
    }
    return true;
}

struct Outcome {
    std::int64_t grid = 0;
    std::int64_t testsRun = 0;
    float best = 0.0f;
    double meanOfTen = 0.0;
    double seconds = 0.0;
    std::vector<std::int64_t> keptTests;
};

Outcome Kept(const IteratorTest& iterator)
{
    Outcome outcome;
    std::vector<float> scores;
    for (int i = 0; i < iterator.GetKeptCount(); ++i) {
        scores.push_back(iterator.GetBestScore(i));
        outcome.keptTests.push_back(iterator.GetBestTestNumber(i));
    }
    std::sort(outcome.keptTests.begin(), outcome.keptTests.end());
    if (!scores.empty()) {
        outcome.best = *std::max_element(scores.begin(), scores.end());
        outcome.meanOfTen = std::accumulate(scores.begin(), scores.end(), 0.0) / double(scores.size());
    }
    return outcome;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Outcome RunWholeSeries(const IteratorSetup& setup)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    ApplySetup(iterator, setup);
    IteratorRunner runner(iterator);
    const auto start = std::chrono::steady_clock::now();
    while (!iterator.IsDone()) runner.RunTests(1 << 20);
    Outcome outcome = Kept(iterator);
    outcome.seconds = SecondsSince(start);
    outcome.grid = iterator.GetTotalTests();
    outcome.testsRun = iterator.GetTestsRun();
    return outcome;
}

Outcome RunSearch(const IteratorSetup& setup)
{
    IteratorTest iterator{IteratorTest::Detached{}};
    ApplySearchSetup(iterator, setup);
    IteratorSearch search(iterator);
    const auto start = std::chrono::steady_clock::now();
    search.Start();
    while (search.RunBatch()) {
    }
    Outcome outcome = Kept(iterator);
    outcome.seconds = SecondsSince(start);
    outcome.grid = search.GetGridSize();
    outcome.testsRun = search.GetTestsRun();
    return outcome;
}

bool Wanted(const SetupSpec& spec, int argc, char** argv)
{
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strstr(spec.name, argv[i]) != nullptr) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    std::printf("%-42s %3s %10s %8s %7s %12s %12s %5s %11s %11s %7s %6s %9s\n", "setup", "par", "grid",
                "tests", "share%", "best series", "best search", "same", "mean10 ser", "mean10 sea", "diff%",
                "kept=", "time s/s");
    int same = 0;
    int count = 0;
    for (const SetupSpec& spec : kSetups) {
        if (!Wanted(spec, argc, argv)) continue;
        CTorqDoc engine;
        if (!OpenEngineDocument(engine, std::string(TORQWELL_SOURCE_DIR) + "/examples/" + spec.engineFile)) {
            std::fprintf(stderr, "%s: cannot open %s\n", spec.name, spec.engineFile);
            return 1;
        }
        IteratorSetup setup;
        int parameters = 0;
        if (!BuildSetup(spec, engine, setup, parameters)) {
            std::fprintf(stderr, "%s: sweeps do not parse\n", spec.name);
            return 1;
        }
        if (const ErrorCode code = CheckSetup(setup); code != 0) {
            std::fprintf(stderr, "%s: setup refused with %d\n", spec.name, int(code));
            return 1;
        }
        const Outcome series = RunWholeSeries(setup);
        const Outcome search = RunSearch(setup);
        const bool equal = series.best == search.best;
        same += equal;
        ++count;
        std::printf("%-42s %3d %10lld %8lld %7.3f %12.6g %12.6g %5s %11.6g %11.6g %7.3f %6s %4.0f/%4.1f\n",
                    spec.name, parameters, static_cast<long long>(series.grid),
                    static_cast<long long>(search.testsRun),
                    100.0 * double(search.testsRun) / double(series.grid), double(series.best),
                    double(search.best), equal ? "yes" : "NO", series.meanOfTen, search.meanOfTen,
                    100.0 * (series.meanOfTen - search.meanOfTen) / series.meanOfTen,
                    series.keptTests == search.keptTests ? "yes" : "no", series.seconds, search.seconds);
        std::fflush(stdout);
    }
    std::printf("best score equal to the bit in %d of %d setups\n", same, count);
    return 0;
}
