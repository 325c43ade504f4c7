// The example engines against their blessed dyno results. A change to the
// engine model shows up here first; rebless (torqwell-cli run --format csv)
// only with the reason in the commit message.

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "ExampleFiles.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = TORQWELL_SOURCE_DIR;

// Columns of a blessed file: rpm, then the seven curves in result-series order.
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

}  // namespace

TEST(GoldenResults, EveryExampleEngineStillMakesItsBlessedPowerAndPressures)
{
    const std::vector<fs::path> engines = ExampleEngines();
    ASSERT_GE(engines.size(), 6u);
    for (const fs::path& engine : engines) {
        SCOPED_TRACE(engine.filename().string());
        const fs::path blessed = kSourceDir / "tests/data/golden" / (engine.stem().string() + ".csv");
        ASSERT_TRUE(fs::exists(blessed)) << "no blessed results for this example";
        RecordingPresenter presenter;
        CTorqDoc doc;
        ASSERT_TRUE(OpenEngineDocument(doc, engine.string()));
        ASSERT_TRUE(doc.HasResults());

        const auto rows = ReadBlessedRows(blessed);
        ASSERT_EQ(rows.size(), std::size_t(kResultPointCount));
        for (int point = 0; point < kResultPointCount; ++point) {
            ASSERT_EQ(rows[point].size(), std::size_t(kResultSeriesCount));
            for (int series = 1; series <= kResultSeriesCount; ++series) {
                const double expected = rows[point][series - 1];
                const double actual = doc.GetResult(series, point);
                EXPECT_NEAR(actual, expected, 1e-3 + 1e-4 * std::fabs(expected))
                    << "series " << series << " at " << rows[point][0] << " rpm";
            }
        }
    }
}
