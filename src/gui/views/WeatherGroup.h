#pragma once

#include "model/WeatherCorrection.h"

#include <QGroupBox>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

// The graph properties' "Weather" group: the standard the results are
// corrected by (none: the model's standard day) and the day they are
// corrected to: the barometer as read at the site or brought to sea level
// with the site's altitude, the air temperature and the humidity as a
// relative humidity or a dew point, in the engine's units (inHg, ft, F or
// mbar, m, C). A line under the fields gives the factor as the user types.
class CWeatherGroup : public QGroupBox {
    Q_OBJECT
public:
    CWeatherGroup(bool metric, QWidget* parent = nullptr);

    // Shows a choice; on the model's day the fields offer the day last typed.
    void SetCorrection(const ResultCorrection& correction);
    // The choice shown (the day as typed, also when it cannot be taken).
    ResultCorrection Correction() const;
    // False with the reason and the field to fix when the day shown cannot be taken.
    bool Check(QString& problem, QWidget*& field) const;

    QComboBox* StandardBox() const { return m_standard; }
    QDoubleSpinBox* BarometerBox() const { return m_barometer; }
    QComboBox* BarometerReadingBox() const { return m_reading; }
    QDoubleSpinBox* AltitudeBox() const { return m_altitude; }
    QDoubleSpinBox* TemperatureBox() const { return m_temperature; }
    QComboBox* HumidityKindBox() const { return m_humidityKind; }
    QDoubleSpinBox* HumidityBox() const { return m_humidity; }
    QLabel* FactorLabel() const { return m_factor; }

private:
    void LayOutFields();
    void ConnectFields();
    QDoubleSpinBox* MakeNumberBox(double minimum, double maximum, int decimals, const QString& suffix);
    void ShowDay(const AirConditions& day);
    AirConditions TypedDay() const;
    void UpdateFields();

    bool m_metric;
    QComboBox* m_standard = nullptr;
    QDoubleSpinBox* m_barometer = nullptr;
    QComboBox* m_reading = nullptr;
    QDoubleSpinBox* m_altitude = nullptr;
    QDoubleSpinBox* m_temperature = nullptr;
    QComboBox* m_humidityKind = nullptr;
    QDoubleSpinBox* m_humidity = nullptr;
    QLabel* m_factor = nullptr;
};
