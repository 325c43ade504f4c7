#include "model/WeatherCorrection.h"

#include "model/TorqDoc.h"
#include "sim/SimConstants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

AirConditions Day(double stationKpa, double celsius, double humidityPercent)
{
    AirConditions day;
    day.barometerKpa = stationKpa;
    day.temperatureC = celsius;
    day.relativeHumidityPercent = humidityPercent;
    return day;
}

}  // namespace

TEST(WeatherCorrection, EachStandardGivesOneOnItsOwnReferenceDay)
{
    // SAE J1349: 99 kPa of dry air at 25 C: 1.18 x (99 / 99) x sqrt(298 / 298) - 0.18 = 1.
    EXPECT_NEAR(SaeJ1349Factor(99.0, 25.0), 1.0, 1e-12);
    // DIN 70020: 1013 mbar at 20 C: (1013 / 1013) x (293 / 293)^0.5 = 1.
    EXPECT_NEAR(Din70020Factor(1013.0, 20.0), 1.0, 1e-12);
    // Through the whole chain: a dry day at the site.
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::SaeJ1349, Day(99.0, 25.0, 0.0)), 1.0, 1e-12);
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::Din70020, Day(101.3, 20.0, 0.0)), 1.0, 1e-12);
}

TEST(WeatherCorrection, AHotThinDayCorrectsUpByTheStandardsWorkedFigures)
{
    // SAE J1349 at 95 kPa of dry air and 35 C:
    //   99 / 95 = 1.0421053; (35 + 273) / 298 = 1.0335570, whose root is 1.0166401;
    //   1.18 x 1.0421053 x 1.0166401 = 1.2501463; less 0.18: 1.0701463.
    EXPECT_NEAR(SaeJ1349Factor(95.0, 35.0), 1.0701463, 1e-7);
    // DIN 70020 at 980 mbar and 30 C:
    //   1013 / 980 = 1.0336735; (30 + 273) / 293 = 1.0341297, whose root is 1.0169217;
    //   1.0336735 x 1.0169217 = 1.0511650.
    EXPECT_NEAR(Din70020Factor(980.0, 30.0), 1.0511650, 1e-7);
}

TEST(WeatherCorrection, HumidityTakesItsShareOfTheBarometerForSaeButNotForDin)
{
    // 100 kPa at the site, 30 C, 50 % relative humidity. Water's saturation
    // pressure at 30 C is 4.2451 kPa (steam tables: 4.2470), so the vapour
    // holds 0.5 x 4.2451 = 2.1226 kPa and the dry air 97.8774 kPa:
    //   SAE: 1.18 x (99 / 97.8774) x sqrt(303 / 298) - 0.18
    //      = 1.18 x 1.0114691 x 1.0083544 - 0.18 = 1.0235047.
    const AirConditions day = Day(100.0, 30.0, 50.0);
    EXPECT_NEAR(VapourPressureKpa(day), 2.1226, 1e-4);
    EXPECT_NEAR(DryAirPressureKpa(day), 97.8774, 1e-4);
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::SaeJ1349, day), 1.0235047, 1e-7);
    // DIN takes the whole barometer, 1000 mbar: (1013 / 1000) x sqrt(303 / 293) = 1.0301417.
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::Din70020, day), 1.013 * std::sqrt(303.0 / 293.0), 1e-12);
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::Din70020, day),
                CorrectionFactor(CorrectionStandard::Din70020, Day(100.0, 30.0, 0.0)), 1e-12);
}

TEST(WeatherCorrection, SaturationPressureFollowsTheSteamTables)
{
    // Saturation pressure of water, kPa, as the steam tables give it.
    EXPECT_NEAR(SaturationVapourPressureKpa(0.0), 0.6112, 0.0005);
    EXPECT_NEAR(SaturationVapourPressureKpa(20.0), 2.339, 0.003);
    EXPECT_NEAR(SaturationVapourPressureKpa(30.0), 4.247, 0.005);
    EXPECT_NEAR(SaturationVapourPressureKpa(40.0), 7.384, 0.008);
    // A dew point of 10 C holds the vapour at the saturation pressure of 10 C (1.2279 kPa, tables 1.2282).
    AirConditions day = Day(100.0, 25.0, 0.0);
    day.humidity = HumidityMeasure::DewPoint;
    day.dewPointC = 10.0;
    EXPECT_NEAR(VapourPressureKpa(day), 1.2279, 1e-4);
}

TEST(WeatherCorrection, ASeaLevelBarometerIsTakenUpToTheSiteByTheStandardAtmosphere)
{
    // The standard atmosphere's tables: 89.87 kPa at 1000 m, 84.56 kPa at 1500 m.
    EXPECT_NEAR(StandardAtmospherePressureKpa(0.0), 101.325, 1e-9);
    EXPECT_NEAR(StandardAtmospherePressureKpa(1000.0), 89.87, 0.01);
    EXPECT_NEAR(StandardAtmospherePressureKpa(1500.0), 84.56, 0.01);
    // A weather report's 30.00 inHg (101.592 kPa) at a track 1500 m up,
    // 20 C, dew point 10 C: at the site 101.592 x 84.556 / 101.325 = 84.779 kPa,
    // of which 83.551 kPa dry air.
    //   SAE: 1.18 x (99 / 83.551) x sqrt(293 / 298) - 0.18 = 1.2064141
    //   DIN: (1013 / 847.79) x sqrt(293 / 293) = 1.1948780
    AirConditions day;
    day.barometer = BarometerReading::SeaLevel;
    day.barometerKpa = 30.0 * kKilopascalsPerInchMercury;
    day.altitudeM = 1500.0;
    day.temperatureC = 20.0;
    day.humidity = HumidityMeasure::DewPoint;
    day.dewPointC = 10.0;
    EXPECT_NEAR(StationPressureKpa(day), 84.779, 0.001);
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::SaeJ1349, day), 1.2064141, 1e-6);
    EXPECT_NEAR(CorrectionFactor(CorrectionStandard::Din70020, day), 1.1948780, 1e-6);
}

TEST(WeatherCorrection, TheModelsDayIsTheAtmosphereAndTheInletAirOfTheCycleModel)
{
    // 14.7 psi = 101.353 kPa; 540 R = 300 K = 26.85 C; dry.
    const AirConditions day = ModelStandardDay();
    EXPECT_NEAR(day.barometerKpa, kAtmospherePsi * 6.894757293168, 1e-9);
    EXPECT_NEAR(day.barometerKpa, 101.353, 0.001);
    EXPECT_NEAR(day.temperatureC, 26.85, 1e-9);
    EXPECT_EQ(VapourPressureKpa(day), 0.0);
    EXPECT_EQ(DescribeModelStandardDay(),
              "14.7 psi (29.93 inHg, 101.35 kPa), 300 K (80.3 \u00B0F, 26.9 \u00B0C), dry air");
}

TEST(WeatherCorrection, OnTheModelsDayNothingChangesToTheBit)
{
    ResultCorrection standardDay;
    EXPECT_TRUE(standardDay.IsModelDay());
    EXPECT_EQ(standardDay.BrakeFactor(), 1.0);
    EXPECT_EQ(DescribeCorrection(standardDay, false), "");
    // Either standard on the model's own day is also exactly 1.
    for (CorrectionStandard standard : {CorrectionStandard::SaeJ1349, CorrectionStandard::Din70020}) {
        const ResultCorrection sameDay{standard, ModelStandardDay()};
        EXPECT_EQ(sameDay.BrakeFactor(), 1.0);
    }
    const double power = 346.123456789;
    EXPECT_EQ(CorrectResult(kSeriesPower, power, standardDay), power);
}

TEST(WeatherCorrection, ResultsOnTheStandardsReferenceDayAreTheSaeCorrectedFigures)
{
    // On SAE's own day the factor there is 1, so the brake figures are the
    // model's times cf(model's day) = 1.18 x (99 / 101.353) x sqrt(299.85 / 298) - 0.18
    // = 0.9761782: a 400 hp model engine is "390.5 hp SAE".
    AirConditions saeDay = Day(99.0, 25.0, 0.0);
    const ResultCorrection sae{CorrectionStandard::SaeJ1349, saeDay};
    EXPECT_NEAR(sae.BrakeFactor(), 0.9761782, 1e-7);
    EXPECT_NEAR(CorrectResult(kSeriesPower, 400.0, sae), 390.471, 0.001);
    // DIN's day is denser still than the model's: cf(model's day) = (1013 / 1013.53) x sqrt(299.85 / 293)
    // = 1.0110936.
    const ResultCorrection din{CorrectionStandard::Din70020, Day(101.3, 20.0, 0.0)};
    EXPECT_NEAR(din.BrakeFactor(), 1.0110936, 1e-7);
}

TEST(WeatherCorrection, OnlyTheBrakeFiguresFollowTheDay)
{
    // The hot thin day above: the model's figures times 0.9761782 / 1.0701463 = 0.912192.
    const ResultCorrection hot{CorrectionStandard::SaeJ1349, Day(95.0, 35.0, 0.0)};
    const double factor = 0.9761782 / 1.0701463;
    EXPECT_NEAR(hot.BrakeFactor(), factor, 1e-6);
    for (int series : {kSeriesPower, kSeriesTorque, kSeriesBmep}) {
        EXPECT_TRUE(IsCorrectedSeries(series));
        EXPECT_NEAR(CorrectResult(series, 100.0, hot), 100.0 * factor, 1e-4);
    }
    for (int series : {kSeriesEngineSpeed, kSeriesManifoldPressure, kSeriesVolumetricEfficiency, kSeriesImep,
                       kSeriesFmep}) {
        EXPECT_FALSE(IsCorrectedSeries(series));
        EXPECT_EQ(CorrectResult(series, 100.0, hot), 100.0);
    }
    EXPECT_EQ(
        DescribeCorrection(hot, false),
        "SAE J1349 on 28.05 inHg at the site, 95 \u00B0F, 0 % humidity: power, torque and BMEP x 0.9122 "
        "of the model's day");
}

TEST(WeatherCorrection, ADayOutsideWhatTheAirCanBeIsRefusedWithItsReason)
{
    std::string problem;
    EXPECT_TRUE(CheckAirConditions(ModelStandardDay(), problem));
    EXPECT_TRUE(CheckAirConditions(Day(84.0, -5.0, 100.0), problem));

    const auto refused = [&problem](const AirConditions& day, const std::string& says) {
        problem.clear();
        EXPECT_FALSE(CheckAirConditions(day, problem));
        EXPECT_NE(problem.find(says), std::string::npos) << problem;
    };
    refused(Day(30.0, 20.0, 0.0), "barometer");     // 30 kPa: a barometer in inHg typed as kPa
    refused(Day(101.0, 20.0, 120.0), "humidity");   // above 100 %
    refused(Day(101.0, 95.0, 0.0), "temperature");  // 95 C: a Fahrenheit figure in Celsius
    refused(Day(NAN, 20.0, 0.0), "barometer");
    AirConditions fog = Day(101.0, 15.0, 0.0);
    fog.humidity = HumidityMeasure::DewPoint;
    fog.dewPointC = 18.0;
    refused(fog, "dew point");
    AirConditions mountain = Day(101.0, 15.0, 0.0);
    mountain.barometer = BarometerReading::SeaLevel;
    mountain.altitudeM = 9000.0;
    refused(mountain, "altitude");
    mountain.altitudeM = 1500.0;
    mountain.barometerKpa = 70.0;  // a station reading marked as a sea-level one
    refused(mountain, "sea level");
}

TEST(WeatherCorrection, TheDewPointOfHumidAirHoldsItsVapour)
{
    // 30 C at 50 %: 2.1226 kPa of vapour, saturated at 18.44 C.
    const double dewPoint = DewPointC(30.0, 50.0);
    EXPECT_NEAR(SaturationVapourPressureKpa(dewPoint), 0.5 * SaturationVapourPressureKpa(30.0), 1e-9);
    EXPECT_NEAR(dewPoint, 18.44, 0.01);
    EXPECT_NEAR(DewPointC(25.0, 100.0), 25.0, 1e-9);  // saturated air
    EXPECT_EQ(DewPointC(25.0, 0.0), -40.0);           // dry air: the lowest dew point taken
}
