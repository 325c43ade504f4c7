#include "model/ResultDifference.h"
#include "model/ResultsCsv.h"
#include "model/ResultsTable.h"
#include "model/WeatherCorrection.h"

#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    return fields;
}

// A hot day at altitude: 26.00 inHg at the site, 95 F, 30 % humidity.
ResultCorrection HotDay(CorrectionStandard standard)
{
    AirConditions day;
    day.barometerKpa = 26.0 * kKilopascalsPerInchMercury;
    day.temperatureC = CelsiusFromFahrenheit(95.0);
    day.relativeHumidityPercent = 30.0;
    return {standard, day};
}

class CorrectedResults : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BuildChevy350(engine));
        ASSERT_TRUE(engine.RunSimulation(true, false));
    }
    RecordingPresenter presenter;
    CTorqDoc engine;
};

}  // namespace

TEST_F(CorrectedResults, TheCsvOfTheModelsDayIsThePlainCsv)
{
    const std::string plain = FormatResultsCsv(engine);
    EXPECT_EQ(FormatResultsCsv(engine, ResultCorrection{}), plain);
    EXPECT_EQ(Lines(plain)[0], "rpm,power,torque,manifold_pressure,volumetric_efficiency,imep,bmep,fmep");
    EXPECT_EQ(FormatResultsTableTsv(engine, ResultUnits::English, ResultCorrection{}),
              FormatResultsTableTsv(engine, ResultUnits::English));
}

TEST_F(CorrectedResults, ACorrectedCsvSaysItsDayAndScalesOnlyTheBrakeFigures)
{
    const ResultCorrection sae = HotDay(CorrectionStandard::SaeJ1349);
    const double factor = sae.BrakeFactor();
    ASSERT_LT(factor, 0.9);  // thin hot air: well below the model's day
    const std::vector<std::string> plain = Lines(FormatResultsCsv(engine));
    const std::vector<std::string> corrected = Lines(FormatResultsCsv(engine, sae));
    ASSERT_EQ(corrected.size(), plain.size() + 1);
    EXPECT_EQ(corrected[0], "# " + DescribeCorrection(sae, false));
    EXPECT_EQ(corrected[0].rfind("# SAE J1349 on 26.00 inHg at the site, 95 \u00B0F, 30 % humidity", 0), 0u);
    EXPECT_EQ(corrected[1],
              "rpm,power_sae_j1349,torque_sae_j1349,manifold_pressure,volumetric_efficiency,imep,bmep_sae_"
              "j1349,fmep");
    for (std::size_t row = 1; row < plain.size(); ++row) {
        const std::vector<std::string> was = Fields(plain[row]);
        const std::vector<std::string> now = Fields(corrected[row + 1]);
        ASSERT_EQ(now.size(), 8u);
        for (std::size_t column : {1u, 2u, 6u}) {  // power, torque, BMEP
            EXPECT_NEAR(std::atof(now[column].c_str()), std::atof(was[column].c_str()) * factor, 1e-4);
        }
        for (std::size_t column : {0u, 3u, 4u, 5u, 7u}) EXPECT_EQ(now[column], was[column]);
    }
}

TEST_F(CorrectedResults, TheTableAndItsPeaksShowTheCorrectedDay)
{
    const ResultCorrection din = HotDay(CorrectionStandard::Din70020);
    const ResultPeak peak = FindResultPeak(engine, kSeriesPower);
    const std::string label = FormatResultPeak(engine, kSeriesPower, ResultUnits::English, din);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.0f hp @ %.0f rpm", peak.value * din.BrakeFactor(),
                  double(peak.rpm));
    EXPECT_EQ(label, expected);
    const std::vector<std::string> tsv = Lines(FormatResultsTableTsv(engine, ResultUnits::English, din));
    EXPECT_EQ(tsv[0],
              "RPM\tPower (hp, DIN 70020)\tTorque (ft-lbs, DIN 70020)\tInt Man Pressure (psi)\tVol Eff (%)\t"
              "IMEP (psi)\tFMEP (psi)\tBMEP (psi, DIN 70020)");
    // The manifold pressure column is the model's.
    EXPECT_EQ(FormatResultsTableCell(engine, 3, 5, ResultUnits::English, din),
              FormatResultsTableCell(engine, 3, 5));
}

TEST(ResultDifference, APercentNeedsABaselineThatMadeSomething)
{
    EXPECT_DOUBLE_EQ(DifferenceInUnits(412.0, 400.0), 12.0);
    EXPECT_DOUBLE_EQ(*DifferenceInPercent(412.0, 400.0), 3.0);
    EXPECT_DOUBLE_EQ(*DifferenceInPercent(380.0, 400.0), -5.0);
    // Above 7000 rpm the stock 350 makes no power: no share of nothing.
    EXPECT_FALSE(DifferenceInPercent(35.0, 0.0).has_value());
    EXPECT_DOUBLE_EQ(*Difference(DifferenceKind::Units, 35.0, 0.0), 35.0);
    EXPECT_DOUBLE_EQ(*Difference(DifferenceKind::None, 35.0, 0.0), 35.0);
}
