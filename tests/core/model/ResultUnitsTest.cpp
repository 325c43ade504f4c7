#include "model/ResultUnits.h"
#include "model/ResultsCsv.h"
#include "model/ResultsTable.h"

#include "model/TorqDoc.h"

#include "EngineBuilds.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

// Speeds 2000..11000 and, per series, the values given for point 3 (3500
// rpm); every other point is 1.
void SetPointThree(CTorqDoc& doc, float power, float torque, float manifold, float bmep)
{
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        ResultSeriesValues values{};
        for (int i = 0; i < kResultPointCount; ++i)
            values[i] = series == kSeriesEngineSpeed ? 2000.0f + 500.0f * i : 1.0f;
        doc.SetResultSeries(series, values);
    }
    const auto setAt3 = [&doc](int series, float value) {
        ResultSeriesValues values = doc.GetResultSeries(series);
        values[3] = value;
        doc.SetResultSeries(series, values);
    };
    setAt3(kSeriesPower, power);
    setAt3(kSeriesTorque, torque);
    setAt3(kSeriesManifoldPressure, manifold);
    setAt3(kSeriesBmep, bmep);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(ResultUnits, ThreeHundredFiftyHorsepowerIs261KilowattsAnd400PoundFeetIs542NewtonMetres)
{
    EXPECT_NEAR(ConvertResult(kSeriesPower, 350.0, ResultUnits::MetricKpa), 260.99, 0.01);
    EXPECT_NEAR(ConvertResult(kSeriesTorque, 400.0, ResultUnits::MetricBar), 542.33, 0.01);
    // One standard atmosphere: 14.6959 psi = 101.325 kPa = 1.01325 bar, in every pressure series.
    for (int series : {kSeriesManifoldPressure, kSeriesImep, kSeriesBmep, kSeriesFmep}) {
        EXPECT_NEAR(ConvertResult(series, 14.6959, ResultUnits::MetricKpa), 101.325, 0.001);
        EXPECT_NEAR(ConvertResult(series, 14.6959, ResultUnits::MetricBar), 1.01325, 0.00001);
    }
    // Speed and volumetric efficiency have no other unit; English leaves everything alone.
    EXPECT_EQ(ConvertResult(kSeriesEngineSpeed, 5500.0, ResultUnits::MetricKpa), 5500.0);
    EXPECT_EQ(ConvertResult(kSeriesVolumetricEfficiency, 92.5, ResultUnits::MetricBar), 92.5);
    EXPECT_EQ(ConvertResult(kSeriesPower, 350.0, ResultUnits::English), 350.0);
}

TEST(ResultUnits, OnlyAMetricDocumentShowsMetricResultsAndEveryLabelNamesItsUnit)
{
    CTorqDoc doc;
    EXPECT_EQ(ShownResultUnits(ResultUnits::MetricBar, doc), ResultUnits::English);
    EXPECT_EQ(ShownResultUnits(ResultUnits::MetricBar, kMetricUnits), ResultUnits::MetricBar);
    EXPECT_EQ(ShownResultUnits(ResultUnits::English, kMetricUnits), ResultUnits::English);

    EXPECT_STREQ(ResultUnitLabel(kSeriesPower, ResultUnits::English), "hp");
    EXPECT_STREQ(ResultUnitLabel(kSeriesTorque, ResultUnits::English), "ft-lbs");
    EXPECT_STREQ(ResultUnitLabel(kSeriesFmep, ResultUnits::English), "psi");
    EXPECT_STREQ(ResultUnitLabel(kSeriesPower, ResultUnits::MetricKpa), "kW");
    EXPECT_STREQ(ResultUnitLabel(kSeriesTorque, ResultUnits::MetricKpa), "N\u00B7m");
    EXPECT_STREQ(ResultUnitLabel(kSeriesImep, ResultUnits::MetricKpa), "kPa");
    EXPECT_STREQ(ResultUnitLabel(kSeriesManifoldPressure, ResultUnits::MetricBar), "bar");
    EXPECT_STREQ(ResultUnitLabel(kSeriesEngineSpeed, ResultUnits::MetricBar), "rpm");
    EXPECT_STREQ(ResultUnitLabel(kSeriesVolumetricEfficiency, ResultUnits::MetricBar), "%");

    for (ResultUnits units : {ResultUnits::English, ResultUnits::MetricKpa, ResultUnits::MetricBar}) {
        ResultUnits back = ResultUnits::English;
        ASSERT_TRUE(ResultUnitsFromKey(ResultUnitsKey(units), back));
        EXPECT_EQ(back, units);
    }
    ResultUnits unknown = ResultUnits::MetricKpa;
    EXPECT_FALSE(ResultUnitsFromKey("kw", unknown));
    EXPECT_EQ(unknown, ResultUnits::MetricKpa);
}

TEST(ResultsTable, MetricCellsKeepTheirSignificantDigitsAndTheUnitsLineFollowsTheChoice)
{
    CTorqDoc doc;
    SetPointThree(doc, 345.6f, 400.0f, 14.7f, 151.25f);
    // Columns: rpm, power, torque, manifold, VE, IMEP, FMEP, BMEP.
    EXPECT_EQ(FormatResultsTableCell(doc, 1, 3), "346");
    EXPECT_EQ(FormatResultsTableCell(doc, 3, 3), "14.70");
    EXPECT_EQ(FormatResultsTableCell(doc, 1, 3, ResultUnits::MetricKpa), "258");
    EXPECT_EQ(FormatResultsTableCell(doc, 2, 3, ResultUnits::MetricKpa), "542");
    EXPECT_EQ(FormatResultsTableCell(doc, 3, 3, ResultUnits::MetricKpa), "101.4");
    EXPECT_EQ(FormatResultsTableCell(doc, 3, 3, ResultUnits::MetricBar), "1.014");
    EXPECT_EQ(FormatResultsTableCell(doc, 7, 3, ResultUnits::MetricKpa), "1043");
    EXPECT_EQ(FormatResultsTableCell(doc, 7, 3, ResultUnits::MetricBar), "10.43");
    EXPECT_EQ(FormatResultsTableCell(doc, 0, 3, ResultUnits::MetricBar), "3500");

    std::vector<std::string> units;
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        units.push_back(ResultsTableUnitsHeader(column, ResultUnits::MetricBar));
    }
    EXPECT_EQ(units,
              (std::vector<std::string>{"", "(kW)", "(N\u00B7m)", "(bar)", "", "(bar)", "(bar)", "(bar)"}));
    EXPECT_EQ(ResultsTableUnitsHeader(2, ResultUnits::English), "(ft-lbs)");
}

TEST(ResultsTable, TabSeparatedCopyHasANamedHeaderAndTheNineteenRowsAsShown)
{
    CTorqDoc doc;
    SetPointThree(doc, 345.6f, 400.0f, 14.7f, 151.25f);
    const std::vector<std::string> lines = Lines(FormatResultsTableTsv(doc, ResultUnits::English));
    ASSERT_EQ(lines.size(), 1u + kResultPointCount);
    EXPECT_EQ(lines[0],
              "RPM\tPower (hp)\tTorque (ft-lbs)\tInt Man Pressure (psi)\tVol Eff (%)\tIMEP (psi)\t"
              "FMEP (psi)\tBMEP (psi)");
    EXPECT_EQ(lines[4], "3500\t346\t400\t14.70\t1.0\t1.0\t1.0\t151.2");
    EXPECT_EQ(Lines(FormatResultsTableTsv(doc, ResultUnits::MetricKpa))[4],
              "3500\t258\t542\t101.4\t1.0\t7\t7\t1043");
}

TEST(ResultsTable, PeaksNameTheFirstHighestPointWithItsSpeedAndUnits)
{
    CTorqDoc doc;
    EXPECT_EQ(FormatResultPeaks(doc, ResultUnits::English), "") << "no run, no peaks";
    SetPointThree(doc, 345.6f, 400.0f, 14.7f, 151.25f);
    ResultSeriesValues torque = doc.GetResultSeries(kSeriesTorque);
    torque[9] = 400.0f;  // the same peak again at 6500 rpm: the first one counts
    doc.SetResultSeries(kSeriesTorque, torque);

    const ResultPeak peak = FindResultPeak(doc, kSeriesTorque);
    EXPECT_EQ(peak.point, 3);
    EXPECT_EQ(peak.rpm, 3500.0f);
    EXPECT_EQ(FormatResultPeaks(doc, ResultUnits::English),
              "Peak power 346 hp @ 3500 rpm   Peak torque 400 ft-lbs @ 3500 rpm");
    EXPECT_EQ(FormatResultPeak(doc, kSeriesPower, ResultUnits::MetricKpa), "258 kW @ 3500 rpm");
}

TEST(ResultsCsv, TheChevy350GivesAHeaderAndNineteenRoundTripLinesInAnyLocale)
{
    CTorqDoc doc;
    ASSERT_TRUE(BuildChevy350(doc));
    ASSERT_TRUE(doc.HasResults());
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where it exists: a decimal comma
    const std::string csv = FormatResultsCsv(doc);
    std::setlocale(LC_NUMERIC, saved.c_str());

    const std::vector<std::string> lines = Lines(csv);
    ASSERT_EQ(lines.size(), 1u + kResultPointCount);
    EXPECT_EQ(lines[0], "rpm,power,torque,manifold_pressure,volumetric_efficiency,imep,bmep,fmep");
    for (int point = 0; point < kResultPointCount; ++point) {
        std::istringstream row(lines[static_cast<std::size_t>(point) + 1]);
        std::vector<std::string> cells;
        for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 8u);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const int series = ResultSeriesKeys()[column].series;
            EXPECT_EQ(std::strtof(cells[column].c_str(), nullptr), doc.GetResult(series, point))
                << ResultSeriesKeys()[column].key << " at point " << point;
        }
    }
}
