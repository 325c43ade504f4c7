#pragma once

#include <string>

// Results on the user's day. The cycle model runs every engine on one day of
// its own: air at 14.7 psi absolute entering the engine at 540 R (300 K,
// 80.3 F), dry. A builder's engine meets another day, and a dyno sheet gives
// its figures corrected to a standard's day; the two standards dyno rooms use
// most correct by these factors, each taking a figure observed on a day to
// the standard's reference day:
//
//   SAE J1349 (99 kPa of dry air, 25 C):
//       cf = 1.18 (99 / pd) sqrt((T + 273) / 298) - 0.18
//   DIN 70020 (1013 mbar, 20 C):
//       cf = (1013 / p) ((T + 273) / 293)^0.5
//
// with pd the dry-air pressure in kPa (the barometer less the water vapour's
// share), p the barometer in mbar and T the air temperature in C. SAE's
// -0.18 takes friction as a fixed share of the power; DIN corrects in
// proportion to the air's density alone and leaves humidity out.
//
// The model's figure then becomes the day's by the same standard: the
// engine's corrected figure is one, P_day cf(day) = P_model cf(model day), so
//   P_day = P_model cf(model day) / cf(day).
// The factor applies to the brake figures a dyno corrects (power, torque,
// BMEP); manifold pressure, volumetric efficiency, IMEP and FMEP stay the
// model's. On the model's own day ("standard day") nothing changes, to the bit.

enum class CorrectionStandard { ModelDay, SaeJ1349, Din70020 };
inline constexpr int kCorrectionStandardCount = 3;

// How the barometer was read: at the site (what a dyno room's gauge shows)
// or brought to sea level (what a weather report gives), which the site's
// altitude takes back to the site through the standard atmosphere.
enum class BarometerReading { Station, SeaLevel };
enum class HumidityMeasure { Relative, DewPoint };

struct AirConditions {
    double barometerKpa = 0;
    BarometerReading barometer = BarometerReading::Station;
    double altitudeM = 0;     // above sea level; for a sea-level reading
    double temperatureC = 0;  // of the air the engine draws
    HumidityMeasure humidity = HumidityMeasure::Relative;
    double relativeHumidityPercent = 0;
    double dewPointC = 0;

    bool operator==(const AirConditions&) const = default;
};

// The model's day: 14.7 psi (101.35 kPa) at the site, 300 K, dry air.
AirConditions ModelStandardDay();

// ---- the air

// The standard atmosphere's pressure at an altitude, kPa:
//   p = 101.325 (1 - 2.25577e-5 h)^5.25588, h in metres.
double StandardAtmospherePressureKpa(double altitudeM);
// Water's saturation vapour pressure over liquid water, kPa (Buck):
//   es = 0.61121 exp((18.678 - T / 234.5) (T / (257.14 + T))), T in C.
double SaturationVapourPressureKpa(double temperatureC);
// The dew point of air at this temperature and relative humidity, C: where
// the saturation pressure equals the vapour's, found by halving the interval
// from -40 C to the air temperature (-40 C for air drier than that).
double DewPointC(double temperatureC, double relativeHumidityPercent);
// The barometer at the site, kPa: a sea-level reading times the standard
// atmosphere's fall from sea level to the site's altitude.
double StationPressureKpa(const AirConditions& day);
// The water vapour's partial pressure, kPa: the relative humidity's share of
// the saturation pressure at the air's temperature, or the saturation
// pressure at the dew point.
double VapourPressureKpa(const AirConditions& day);
double DryAirPressureKpa(const AirConditions& day);

// ---- the factors

double SaeJ1349Factor(double dryAirKpa, double temperatureC);
double Din70020Factor(double pressureMillibar, double temperatureC);
// The standard's factor for a figure observed on this day (1 for the model's day).
double CorrectionFactor(CorrectionStandard standard, const AirConditions& day);

// What the results are shown for: the model's day, or a day corrected by one
// of the standards.
struct ResultCorrection {
    CorrectionStandard standard = CorrectionStandard::ModelDay;
    AirConditions day = ModelStandardDay();

    bool IsModelDay() const { return standard == CorrectionStandard::ModelDay; }
    // The factor on the brake figures: cf(model day) / cf(day); exactly 1 on
    // the model's day.
    double BrakeFactor() const;

    bool operator==(const ResultCorrection&) const = default;
};

// Power, torque and BMEP: the figures the factor applies to.
bool IsCorrectedSeries(int series);
// A result of series 1..8 in the model's units on the corrected day.
double CorrectResult(int series, double modelValue, const ResultCorrection& correction);

// Whether a day can be taken: a barometer of 50 to 110 kPa at the site, an
// air temperature of -40 to 60 C, humidity 0 to 100 %, a dew point no
// higher than the air temperature, an altitude of -500 to 5000 m. False
// with the reason in plain words.
bool CheckAirConditions(const AirConditions& day, std::string& problem);

// ---- units of the English engine

inline constexpr double kKilopascalsPerInchMercury = 3.386389;  // at 0 C
inline constexpr double kMetresPerFoot = 0.3048;
double FahrenheitFromCelsius(double celsius);
double CelsiusFromFahrenheit(double fahrenheit);

// ---- texts

// "Model's standard day", "SAE J1349", "DIN 70020".
const char* CorrectionStandardName(CorrectionStandard standard);
// "sae_j1349", "din_70020": the suffix of a corrected column's CSV name
// (empty for the model's day).
const char* CorrectionStandardKey(CorrectionStandard standard);
// The day in the engine's units: "29.12 inHg at the site, 85 F, 40 % humidity"
// or "1002 mbar at sea level, 1500 m up, 29 C, dew point 12 C" (metric).
std::string DescribeDay(const AirConditions& day, bool metric);
// One line for tables, sheets and files: "SAE J1349 on 29.12 inHg at the
// site, 85 F, 40 % humidity: power, torque and BMEP x 0.9512 of the model's
// day"; empty on the model's day.
std::string DescribeCorrection(const ResultCorrection& correction, bool metric);
// The model's day in words: "14.7 psi (29.93 inHg, 101.35 kPa), 300 K (80.3 F,
// 26.9 C), dry air".
std::string DescribeModelStandardDay();
