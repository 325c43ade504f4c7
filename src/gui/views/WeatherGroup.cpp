#include "WeatherGroup.h"

#include "WeatherChoice.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace {

constexpr double kMillibarPerKilopascal = 10.0;
const QString kDegreeF = QStringLiteral(" \u00B0F");
const QString kDegreeC = QStringLiteral(" \u00B0C");

struct StandardChoice {
    CorrectionStandard standard;
    const char* text;
};
constexpr StandardChoice kStandards[] = {
    {CorrectionStandard::ModelDay, "Model's standard day (no correction)"},
    {CorrectionStandard::SaeJ1349, "SAE J1349 (99 kPa dry air, 25 \u00B0C)"},
    {CorrectionStandard::Din70020, "DIN 70020 (1013 mbar, 20 \u00B0C)"},
};

}  // namespace

CWeatherGroup::CWeatherGroup(bool metric, QWidget* parent)
    : QGroupBox(tr("Weather"), parent), m_metric(metric)
{
    m_standard = new QComboBox(this);
    for (const StandardChoice& choice : kStandards)
        m_standard->addItem(QString::fromUtf8(choice.text), static_cast<int>(choice.standard));
    m_standard->setToolTip(
        tr("Correct power, torque and BMEP from the model's standard day (%1) to the day below")
            .arg(QString::fromStdString(DescribeModelStandardDay())));

    m_barometer = metric ? MakeNumberBox(300, 1150, 1, QStringLiteral(" mbar"))
                         : MakeNumberBox(10, 35, 2, QStringLiteral(" inHg"));
    m_reading = new QComboBox(this);
    m_reading->addItem(tr("at the site"), static_cast<int>(BarometerReading::Station));
    m_reading->addItem(tr("at sea level (weather report)"), static_cast<int>(BarometerReading::SeaLevel));
    m_altitude = metric ? MakeNumberBox(-600, 6000, 0, QStringLiteral(" m"))
                        : MakeNumberBox(-2000, 20000, 0, QStringLiteral(" ft"));
    m_temperature = metric ? MakeNumberBox(-50, 70, 1, kDegreeC) : MakeNumberBox(-60, 160, 1, kDegreeF);
    m_humidityKind = new QComboBox(this);
    m_humidityKind->addItem(tr("Relative humidity"), static_cast<int>(HumidityMeasure::Relative));
    m_humidityKind->addItem(tr("Dew point"), static_cast<int>(HumidityMeasure::DewPoint));
    m_humidity = MakeNumberBox(0, 100, 1, QStringLiteral(" %"));
    m_factor = new QLabel(this);
    m_factor->setWordWrap(true);

    LayOutFields();
    ConnectFields();
    ShowDay(LastTypedDay());
}

// Each field in a row under a label with its Alt key; the barometer and the
// humidity share their rows with how they are read.
void CWeatherGroup::LayOutFields()
{
    auto* barometerRow = new QHBoxLayout;
    barometerRow->addWidget(m_barometer);
    barometerRow->addWidget(m_reading, 1);
    auto* humidityRow = new QHBoxLayout;
    humidityRow->addWidget(m_humidityKind);
    humidityRow->addWidget(m_humidity, 1);
    auto* layout = new QFormLayout(this);
    const auto addRow = [this, layout](const QString& text, QWidget* buddy, QLayout* row) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        if (row != nullptr) {
            layout->addRow(label, row);
        } else {
            layout->addRow(label, buddy);
        }
    };
    addRow(tr("Co&rrect by:"), m_standard, nullptr);
    addRow(tr("&Barometer:"), m_barometer, barometerRow);
    addRow(tr("A&ltitude:"), m_altitude, nullptr);
    addRow(tr("Air &temperature:"), m_temperature, nullptr);
    addRow(tr("Hu&midity:"), m_humidityKind, humidityRow);
    layout->addRow(m_factor);
}

// Every change of a field shows the day's factor again.
void CWeatherGroup::ConnectFields()
{
    connect(m_standard, &QComboBox::currentIndexChanged, this, &CWeatherGroup::UpdateFields);
    connect(m_reading, &QComboBox::currentIndexChanged, this, &CWeatherGroup::UpdateFields);
    connect(m_humidityKind, &QComboBox::currentIndexChanged, this, [this] {
        // A relative humidity and a dew point are different figures: each kind starts from the day's.
        AirConditions day = TypedDay();
        const bool dewPoint =
            m_humidityKind->currentData().toInt() == static_cast<int>(HumidityMeasure::DewPoint);
        day.humidity = dewPoint ? HumidityMeasure::DewPoint : HumidityMeasure::Relative;
        ShowDay(day);
    });
    for (QDoubleSpinBox* box : {m_barometer, m_altitude, m_temperature, m_humidity})
        connect(box, &QDoubleSpinBox::valueChanged, this, &CWeatherGroup::UpdateFields);
}

QDoubleSpinBox* CWeatherGroup::MakeNumberBox(double minimum, double maximum, int decimals,
                                             const QString& suffix)
{
    auto* box = new QDoubleSpinBox(this);
    // Numbers with '.' in any locale, as everywhere in the program.
    box->setLocale(QLocale::c());
    box->setRange(minimum, maximum);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    box->setKeyboardTracking(true);
    box->setAccelerated(true);
    return box;
}

void CWeatherGroup::ShowDay(const AirConditions& day)
{
    const QSignalBlocker blockers[] = {QSignalBlocker(m_barometer),    QSignalBlocker(m_reading),
                                       QSignalBlocker(m_altitude),     QSignalBlocker(m_temperature),
                                       QSignalBlocker(m_humidityKind), QSignalBlocker(m_humidity)};
    m_barometer->setValue(m_metric ? day.barometerKpa * kMillibarPerKilopascal
                                   : day.barometerKpa / kKilopascalsPerInchMercury);
    m_reading->setCurrentIndex(m_reading->findData(static_cast<int>(day.barometer)));
    m_altitude->setValue(m_metric ? day.altitudeM : day.altitudeM / kMetresPerFoot);
    const auto temperature = [this](double celsius) {
        return m_metric ? celsius : FahrenheitFromCelsius(celsius);
    };
    m_temperature->setValue(temperature(day.temperatureC));
    m_humidityKind->setCurrentIndex(m_humidityKind->findData(static_cast<int>(day.humidity)));
    if (day.humidity == HumidityMeasure::DewPoint) {
        m_humidity->setRange(m_temperature->minimum(), m_temperature->maximum());
        m_humidity->setSuffix(m_metric ? kDegreeC : kDegreeF);
        m_humidity->setValue(temperature(day.dewPointC));
    } else {
        m_humidity->setRange(0, 100);
        m_humidity->setSuffix(QStringLiteral(" %"));
        m_humidity->setValue(day.relativeHumidityPercent);
    }
    UpdateFields();
}

AirConditions CWeatherGroup::TypedDay() const
{
    AirConditions day;
    day.barometerKpa = m_metric ? m_barometer->value() / kMillibarPerKilopascal
                                : m_barometer->value() * kKilopascalsPerInchMercury;
    day.barometer = static_cast<BarometerReading>(m_reading->currentData().toInt());
    day.altitudeM = m_metric ? m_altitude->value() : m_altitude->value() * kMetresPerFoot;
    const auto celsius = [this](double shown) { return m_metric ? shown : CelsiusFromFahrenheit(shown); };
    day.temperatureC = celsius(m_temperature->value());
    day.humidity =
        m_humidity->suffix() == QStringLiteral(" %") ? HumidityMeasure::Relative : HumidityMeasure::DewPoint;
    if (day.humidity == HumidityMeasure::DewPoint) {
        day.dewPointC = celsius(m_humidity->value());
        day.relativeHumidityPercent = 100.0 * SaturationVapourPressureKpa(day.dewPointC) /
                                      SaturationVapourPressureKpa(day.temperatureC);
    } else {
        day.relativeHumidityPercent = m_humidity->value();
        day.dewPointC = DewPointC(day.temperatureC, day.relativeHumidityPercent);
    }
    return day;
}

void CWeatherGroup::SetCorrection(const ResultCorrection& correction)
{
    m_standard->setCurrentIndex(m_standard->findData(static_cast<int>(correction.standard)));
    ShowDay(correction.IsModelDay() ? LastTypedDay() : correction.day);
}

ResultCorrection CWeatherGroup::Correction() const
{
    ResultCorrection correction;
    correction.standard = static_cast<CorrectionStandard>(m_standard->currentData().toInt());
    if (!correction.IsModelDay()) correction.day = TypedDay();
    return correction;
}

bool CWeatherGroup::Check(QString& problem, QWidget*& field) const
{
    const ResultCorrection correction = Correction();
    if (correction.IsModelDay()) return true;
    std::string reason;
    if (CheckAirConditions(correction.day, reason)) return true;
    problem = QString::fromStdString(reason);
    // The reason names the figure to fix first ("The dew point lies between
    // -40 C and the air temperature." is the humidity field's).
    const QString lower = problem.toLower();
    const auto about = [&lower](const char* subject) { return lower.startsWith(QLatin1String(subject)); };
    field = about("the dew point") || about("the relative humidity") ? static_cast<QWidget*>(m_humidity)
            : about("the altitude")                                  ? m_altitude
            : about("the air temperature")                           ? m_temperature
                                                                     : m_barometer;
    return false;
}

void CWeatherGroup::UpdateFields()
{
    const ResultCorrection correction = Correction();
    const bool corrected = !correction.IsModelDay();
    for (QWidget* field :
         std::initializer_list<QWidget*>{m_barometer, m_reading, m_temperature, m_humidityKind, m_humidity})
        field->setEnabled(corrected);
    m_altitude->setEnabled(corrected && correction.day.barometer == BarometerReading::SeaLevel);
    if (!corrected) {
        m_factor->setText(tr("Results as the model gives them: %1.")
                              .arg(QString::fromStdString(DescribeModelStandardDay())));
        return;
    }
    QString problem;
    QWidget* field = nullptr;
    if (!Check(problem, field)) {
        m_factor->setText(problem);
        return;
    }
    m_factor->setText(tr("Power, torque and BMEP \u00D7 %1 of the model's standard day.")
                          .arg(correction.BrakeFactor(), 0, 'f', 4));
}
