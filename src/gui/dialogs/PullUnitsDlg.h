#pragma once

#include "study/DynoPull.h"

#include <QDialog>

class QComboBox;

// "Units of the Pull": asks for the units of a pull's power and torque
// columns where the file does not name them (a header "Power", not
// "Power (kW)"). Only the figures the file leaves open are asked for.
class CPullUnitsDlg : public QDialog {
    Q_OBJECT
public:
    CPullUnitsDlg(const QString& fileName, bool askPower, bool askTorque, QWidget* parent = nullptr);

    // The options with the units chosen.
    PullReadOptions Options() const;

    QComboBox* PowerUnitBox() const { return m_power; }    // null when not asked
    QComboBox* TorqueUnitBox() const { return m_torque; }  // null when not asked

private:
    QComboBox* m_power = nullptr;
    QComboBox* m_torque = nullptr;
};
