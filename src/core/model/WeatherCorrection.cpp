#include "WeatherCorrection.h"

#include "TorqDoc.h"
#include "base/Util.h"
#include "sim/SimConstants.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kKilopascalsPerPsi = 6.894757293168;
constexpr double kKelvinPerRankine = 5.0 / 9.0;
constexpr double kZeroCelsiusKelvin = 273.15;
constexpr double kMillibarPerKilopascal = 10.0;

// SAE J1349's reference day and its share of friction.
constexpr double kSaeDryAirKpa = 99.0;
constexpr double kSaeKelvin = 298.0;
constexpr double kSaeMechanicalScale = 1.18;
constexpr double kSaeFrictionShare = 0.18;
// DIN 70020's reference day.
constexpr double kDinMillibar = 1013.0;
constexpr double kDinKelvin = 293.0;
// Both standards' forms write the absolute temperature as C + 273.
constexpr double kStandardsCelsiusOffset = 273.0;

// The standard atmosphere below 11 km: p = p0 (1 - L h / T0)^(g M / (R L)).
constexpr double kSeaLevelKpa = 101.325;
constexpr double kLapsePerMetre = 2.25577e-5;  // L / T0 = 0.0065 K/m / 288.15 K
constexpr double kPressureExponent = 5.25588;  // g M / (R L)

// Arden Buck's fit of the saturation vapour pressure over liquid water, kPa.
constexpr double kBuckKpa = 0.61121;
constexpr double kBuckA = 18.678;
constexpr double kBuckB = 234.5;   // C
constexpr double kBuckC = 257.14;  // C

struct Range {
    double low;
    double high;
    bool Holds(double value) const { return std::isfinite(value) && value >= low && value <= high; }
};
constexpr Range kStationKpa{50.0, 110.0};
constexpr Range kSeaLevelReadingKpa{85.0, 110.0};
constexpr Range kTemperatureC{-40.0, 60.0};
constexpr Range kHumidityPercent{0.0, 100.0};
constexpr Range kAltitudeM{-500.0, 5000.0};

}  // namespace

AirConditions ModelStandardDay()
{
    AirConditions day;
    day.barometerKpa = kAtmospherePsi * kKilopascalsPerPsi;
    day.barometer = BarometerReading::Station;
    day.temperatureC = kInletTemperature * kKelvinPerRankine - kZeroCelsiusKelvin;
    day.humidity = HumidityMeasure::Relative;
    day.relativeHumidityPercent = 0.0;
    day.dewPointC = day.temperatureC;
    return day;
}

double StandardAtmospherePressureKpa(double altitudeM)
{
    return kSeaLevelKpa * std::pow(1.0 - kLapsePerMetre * altitudeM, kPressureExponent);
}

double SaturationVapourPressureKpa(double temperatureC)
{
    const double t = temperatureC;
    return kBuckKpa * std::exp((kBuckA - t / kBuckB) * (t / (kBuckC + t)));
}

double DewPointC(double temperatureC, double relativeHumidityPercent)
{
    const double vapour = relativeHumidityPercent * 0.01 * SaturationVapourPressureKpa(temperatureC);
    double low = kTemperatureC.low;
    double high = std::max(low, temperatureC);
    if (!(vapour > SaturationVapourPressureKpa(low))) return low;
    for (int i = 0; i < 60; ++i) {
        const double middle = 0.5 * (low + high);
        (SaturationVapourPressureKpa(middle) < vapour ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

double StationPressureKpa(const AirConditions& day)
{
    if (day.barometer == BarometerReading::Station) return day.barometerKpa;
    return day.barometerKpa * StandardAtmospherePressureKpa(day.altitudeM) / kSeaLevelKpa;
}

double VapourPressureKpa(const AirConditions& day)
{
    if (day.humidity == HumidityMeasure::DewPoint) return SaturationVapourPressureKpa(day.dewPointC);
    return day.relativeHumidityPercent * 0.01 * SaturationVapourPressureKpa(day.temperatureC);
}

double DryAirPressureKpa(const AirConditions& day)
{
    return StationPressureKpa(day) - VapourPressureKpa(day);
}

double SaeJ1349Factor(double dryAirKpa, double temperatureC)
{
    return kSaeMechanicalScale * (kSaeDryAirKpa / dryAirKpa) *
               std::sqrt((temperatureC + kStandardsCelsiusOffset) / kSaeKelvin) -
           kSaeFrictionShare;
}

double Din70020Factor(double pressureMillibar, double temperatureC)
{
    return (kDinMillibar / pressureMillibar) *
           std::pow((temperatureC + kStandardsCelsiusOffset) / kDinKelvin, 0.5);
}

double CorrectionFactor(CorrectionStandard standard, const AirConditions& day)
{
    switch (standard) {
        case CorrectionStandard::ModelDay:
            break;
        case CorrectionStandard::SaeJ1349:
            return SaeJ1349Factor(DryAirPressureKpa(day), day.temperatureC);
        case CorrectionStandard::Din70020:
            return Din70020Factor(StationPressureKpa(day) * kMillibarPerKilopascal, day.temperatureC);
    }
    return 1.0;
}

double ResultCorrection::BrakeFactor() const
{
    if (IsModelDay()) return 1.0;
    return CorrectionFactor(standard, ModelStandardDay()) / CorrectionFactor(standard, day);
}

bool IsCorrectedSeries(int series)
{
    return series == kSeriesPower || series == kSeriesTorque || series == kSeriesBmep;
}

double CorrectResult(int series, double modelValue, const ResultCorrection& correction)
{
    if (correction.IsModelDay() || !IsCorrectedSeries(series)) return modelValue;
    return modelValue * correction.BrakeFactor();
}

bool CheckAirConditions(const AirConditions& day, std::string& problem)
{
    const bool seaLevel = day.barometer == BarometerReading::SeaLevel;
    if (seaLevel ? !kSeaLevelReadingKpa.Holds(day.barometerKpa) : !kStationKpa.Holds(day.barometerKpa)) {
        problem = seaLevel ? "A barometer brought to sea level reads 85 to 110 kPa (25.1 to 32.5 inHg)."
                           : "A barometer at the site reads 50 to 110 kPa (14.8 to 32.5 inHg).";
        return false;
    }
    if (seaLevel && !kAltitudeM.Holds(day.altitudeM)) {
        problem = "The altitude lies between -500 and 5000 m (-1640 to 16400 ft).";
        return false;
    }
    if (!kTemperatureC.Holds(day.temperatureC)) {
        problem = "The air temperature lies between -40 and 60 \u00B0C (-40 to 140 \u00B0F).";
        return false;
    }
    if (day.humidity == HumidityMeasure::Relative && !kHumidityPercent.Holds(day.relativeHumidityPercent)) {
        problem = "The relative humidity lies between 0 and 100 %.";
        return false;
    }
    if (day.humidity == HumidityMeasure::DewPoint &&
        !(std::isfinite(day.dewPointC) && day.dewPointC >= kTemperatureC.low &&
          day.dewPointC <= day.temperatureC)) {
        problem = "The dew point lies between -40 \u00B0C and the air temperature.";
        return false;
    }
    if (!(DryAirPressureKpa(day) > 0.0)) {
        problem = "The water vapour would take the whole barometer.";
        return false;
    }
    return true;
}

double FahrenheitFromCelsius(double celsius)
{
    return celsius * 9.0 / 5.0 + 32.0;
}

double CelsiusFromFahrenheit(double fahrenheit)
{
    return (fahrenheit - 32.0) * 5.0 / 9.0;
}

const char* CorrectionStandardName(CorrectionStandard standard)
{
    switch (standard) {
        case CorrectionStandard::ModelDay:
            return "Model's standard day";
        case CorrectionStandard::SaeJ1349:
            return "SAE J1349";
        case CorrectionStandard::Din70020:
            return "DIN 70020";
    }
    return "";
}

const char* CorrectionStandardKey(CorrectionStandard standard)
{
    switch (standard) {
        case CorrectionStandard::ModelDay:
            return "";
        case CorrectionStandard::SaeJ1349:
            return "sae_j1349";
        case CorrectionStandard::Din70020:
            return "din_70020";
    }
    return "";
}

namespace {

std::string Temperature(double celsius, bool metric)
{
    return metric ? FormatC("%.0f \u00B0C", celsius)
                  : FormatC("%.0f \u00B0F", FahrenheitFromCelsius(celsius));
}

}  // namespace

std::string DescribeDay(const AirConditions& day, bool metric)
{
    const bool seaLevel = day.barometer == BarometerReading::SeaLevel;
    std::string text = metric ? FormatC("%.0f mbar", day.barometerKpa * kMillibarPerKilopascal)
                              : FormatC("%.2f inHg", day.barometerKpa / kKilopascalsPerInchMercury);
    if (seaLevel) {
        text += " at sea level, ";
        text += metric ? FormatC("%.0f m up", day.altitudeM)
                       : FormatC("%.0f ft up", day.altitudeM / kMetresPerFoot);
    } else {
        text += " at the site";
    }
    text += ", " + Temperature(day.temperatureC, metric) + ", ";
    if (day.humidity == HumidityMeasure::DewPoint) {
        text += "dew point " + Temperature(day.dewPointC, metric);
    } else {
        text += FormatC("%.0f %% humidity", day.relativeHumidityPercent);
    }
    return text;
}

std::string DescribeCorrection(const ResultCorrection& correction, bool metric)
{
    if (correction.IsModelDay()) return {};
    return std::string(CorrectionStandardName(correction.standard)) + " on " +
           DescribeDay(correction.day, metric) +
           FormatC(": power, torque and BMEP x %.4f of the model's day", correction.BrakeFactor());
}

std::string DescribeModelStandardDay()
{
    const AirConditions day = ModelStandardDay();
    return FormatC("%.1f psi (%.2f inHg, %.2f kPa), %.0f K (%.1f \u00B0F, %.1f \u00B0C), dry air",
                   kAtmospherePsi, day.barometerKpa / kKilopascalsPerInchMercury, day.barometerKpa,
                   day.temperatureC + kZeroCelsiusKelvin, FahrenheitFromCelsius(day.temperatureC),
                   day.temperatureC);
}
