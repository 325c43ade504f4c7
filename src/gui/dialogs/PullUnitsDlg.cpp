#include "PullUnitsDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

CPullUnitsDlg::CPullUnitsDlg(const QString& fileName, bool askPower, bool askTorque, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Units of the Pull"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(tr("%1 does not say the units of these columns. Choose the units the dyno "
                                "recorded them in:")
                                 .arg(fileName),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    if (askPower) {
        m_power = new QComboBox(this);
        m_power->addItem(QStringLiteral("hp"), int(PullPowerUnit::Horsepower));
        m_power->addItem(QStringLiteral("kW"), int(PullPowerUnit::Kilowatt));
        m_power->addItem(QStringLiteral("PS"), int(PullPowerUnit::MetricHorsepower));
        form->addRow(tr("&Power:"), m_power);
    }
    if (askTorque) {
        m_torque = new QComboBox(this);
        m_torque->addItem(QStringLiteral("lb-ft"), int(PullTorqueUnit::PoundFeet));
        m_torque->addItem(QStringLiteral("N\u00B7m"), int(PullTorqueUnit::NewtonMetre));
        form->addRow(tr("&Torque:"), m_torque);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PullReadOptions CPullUnitsDlg::Options() const
{
    PullReadOptions options;
    if (m_power != nullptr) options.powerUnit = static_cast<PullPowerUnit>(m_power->currentData().toInt());
    if (m_torque != nullptr)
        options.torqueUnit = static_cast<PullTorqueUnit>(m_torque->currentData().toInt());
    return options;
}
