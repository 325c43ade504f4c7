#include "WeatherChoice.h"

#include "model/TorqDoc.h"

#include <QSettings>

#include <unordered_map>

namespace {

// Document numbers are never given twice in a run, so a closed engine's
// entry can never be taken for another engine's.
std::unordered_map<int, ResultCorrection>& Choices()
{
    static std::unordered_map<int, ResultCorrection> choices;
    return choices;
}

const QString kDayGroup = QStringLiteral("Graph/Weather");

}  // namespace

ResultCorrection ChosenCorrection(const CTorqDoc& document)
{
    const auto found = Choices().find(document.GetDocumentNumber());
    return found == Choices().end() ? ResultCorrection{} : found->second;
}

void ChooseCorrection(CTorqDoc& document, const ResultCorrection& correction)
{
    if (ChosenCorrection(document) == correction) return;
    Choices()[document.GetDocumentNumber()] = correction;
    document.UpdateAllViews();
}

AirConditions LastTypedDay()
{
    const AirConditions standard = ModelStandardDay();
    QSettings settings;
    settings.beginGroup(kDayGroup);
    AirConditions day;
    day.barometerKpa = settings.value(QStringLiteral("BarometerKpa"), standard.barometerKpa).toDouble();
    day.barometer = settings.value(QStringLiteral("SeaLevel"), false).toBool() ? BarometerReading::SeaLevel
                                                                               : BarometerReading::Station;
    day.altitudeM = settings.value(QStringLiteral("AltitudeM"), standard.altitudeM).toDouble();
    day.temperatureC = settings.value(QStringLiteral("TemperatureC"), standard.temperatureC).toDouble();
    day.humidity = settings.value(QStringLiteral("DewPoint"), false).toBool() ? HumidityMeasure::DewPoint
                                                                              : HumidityMeasure::Relative;
    day.relativeHumidityPercent =
        settings.value(QStringLiteral("HumidityPercent"), standard.relativeHumidityPercent).toDouble();
    day.dewPointC = settings.value(QStringLiteral("DewPointC"), standard.dewPointC).toDouble();
    std::string problem;
    return CheckAirConditions(day, problem) ? day : standard;
}

void RememberTypedDay(const AirConditions& day)
{
    QSettings settings;
    settings.beginGroup(kDayGroup);
    settings.setValue(QStringLiteral("BarometerKpa"), day.barometerKpa);
    settings.setValue(QStringLiteral("SeaLevel"), day.barometer == BarometerReading::SeaLevel);
    settings.setValue(QStringLiteral("AltitudeM"), day.altitudeM);
    settings.setValue(QStringLiteral("TemperatureC"), day.temperatureC);
    settings.setValue(QStringLiteral("DewPoint"), day.humidity == HumidityMeasure::DewPoint);
    settings.setValue(QStringLiteral("HumidityPercent"), day.relativeHumidityPercent);
    settings.setValue(QStringLiteral("DewPointC"), day.dewPointC);
}
