#include "TestPace.h"

#include "SearchGrid.h"
#include "base/Util.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Enough tests that every thread fills the lanes of the batch kernel a few times.
constexpr std::int64_t kFirstSampleTestsPerThread = 64;

// count combinations evenly spread over the grid's test numbers.
std::vector<CombinationValues> SpreadSample(const SearchGrid& grid, std::int64_t count)
{
    std::vector<CombinationValues> sample;
    const long double spacing = static_cast<long double>(grid.Size()) / static_cast<long double>(count);
    for (std::int64_t j = 0; j < count; ++j) {
        const auto test = 1 + static_cast<std::int64_t>(spacing * (static_cast<long double>(j) + 0.5L));
        sample.push_back(grid.Values(grid.PointOf(std::min(test, grid.Size()))));
    }
    return sample;
}

}  // namespace

TestPace MeasureTestPace(const IteratorTest& iterator, const StudyRunner& runner, double sampleSeconds,
                         std::stop_token stop)
{
    const SearchGrid grid(iterator);
    TORQ_ASSERT(grid.IsSearchable());
    std::int64_t count = std::min(grid.Size(), kFirstSampleTestsPerThread * runner.GetThreadCount());
    for (;;) {
        if (stop.stop_requested()) return {};
        const std::vector<CombinationValues> sample = SpreadSample(grid, count);
        std::vector<StudyRunner::Outcome> outcomes(sample.size());
        const auto start = std::chrono::steady_clock::now();
        runner.Run(
            iterator.GetWorkingEngine(),
            [&](std::size_t i, CTorqDoc& engine) {
                iterator.ApplyValues(engine, sample[i]);
                return true;
            },
            outcomes);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds >= sampleSeconds || count == grid.Size()) return {count, seconds};
        count = std::min(grid.Size(), count * 2);
    }
}

std::string DurationText(double seconds)
{
    struct Unit {
        const char* name;
        double seconds;
    };
    // From the largest down: the first unit of which there is at least one.
    static constexpr Unit kUnits[] = {
        {"years", 365.25 * 86400.0}, {"days", 86400.0}, {"h", 3600.0}, {"min", 60.0}};
    for (const Unit& unit : kUnits) {
        if (seconds >= unit.seconds) return FormatC("%.1f %s", seconds / unit.seconds, unit.name);
    }
    return FormatC(seconds < 10.0 ? "%.1f s" : "%.0f s", seconds);
}
