// The cycle model alone against the blessed dyno results of the example
// engines: the inputs the engine document gives the model are recorded in
// tests/data/sim-inputs (the model library's tests check that they still
// are), so a slip in the model's units shows here without the document.
// Same tolerance as the document's golden test.

#include "sim/EngineSim.h"

#include "ExampleFiles.h"
#include "SimInputsText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A blessed file's rows: rpm, then the seven curves in SimResults order.
std::vector<std::vector<double>> ReadBlessedRows(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    std::vector<std::vector<double>> rows;
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ',')) row.push_back(std::stod(field));
        rows.push_back(row);
    }
    return rows;
}

const SpeedCurve& Curve(const SimResults& r, int index)
{
    const SpeedCurve* curves[] = {&r.power, &r.torque, &r.manifoldPressure, &r.volumetricEfficiency, &r.imep,
                                  &r.bmep,  &r.fmep};
    return *curves[index];
}

}  // namespace

TEST(GoldenCycle, TheExampleEnginesRecordedInputsMakeTheirBlessedPowerAndPressures)
{
    const std::vector<fs::path> engines = ExampleEngines();
    ASSERT_GE(engines.size(), 6u);
    for (const fs::path& engine : engines) {
        const std::string name = engine.stem().string();
        SCOPED_TRACE(name);
        std::ifstream recorded(RecordedSimInputsPath(name));
        SimInputs in;
        ASSERT_TRUE(recorded && ReadSimInputs(recorded, in)) << "no recorded inputs for this example";
        SimResults results{};
        ASSERT_TRUE(RunEngineSim(in, results));

        const auto rows =
            ReadBlessedRows(fs::path(TORQWELL_SOURCE_DIR) / "tests/data/golden" / (name + ".csv"));
        ASSERT_EQ(rows.size(), std::size_t(kSpeedPointCount));
        for (int point = 0; point < kSpeedPointCount; ++point) {
            ASSERT_EQ(rows[point].size(), 8u);
            EXPECT_EQ(rows[point][0], SpeedPointRpm(point));
            for (int curve = 0; curve < 7; ++curve) {
                const double expected = rows[point][curve + 1];
                EXPECT_NEAR(Curve(results, curve)[point], expected, 1e-3 + 1e-4 * std::fabs(expected))
                    << "curve " << curve << " at " << SpeedPointRpm(point) << " rpm";
            }
        }
    }
}
