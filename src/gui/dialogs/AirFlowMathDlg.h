#pragma once

#include "components/AirflowCalculator.h"
#include "widgets/CalculatorDialog.h"

#include <array>

class CEditFloatPt;
class CTorqDoc;
class QLabel;
class QPushButton;
class QRadioButton;

// "Airflow Math Calculator": converts a measured airflow to the airflow at
// another pressure drop, and in particular to the 2-barrel (3.0 inHg) and
// 4-barrel (1.5 inHg) carburettor ratings. With a rating chosen, "Apply"
// makes the result the engine's "Induction Flow" at the rating's "Pressure
// Drop"; with "No Ratings Standard" it is a free calculator whose only
// button, "OK", closes it without touching the engine.
class CAirFlowMathDlg : public CCalculatorDialog {
    Q_OBJECT
public:
    using Input = AirflowCalculator::Input;

    explicit CAirFlowMathDlg(CTorqDoc& doc, QWidget* parent = nullptr);

    const AirflowCalculator& Calculator() const { return m_calculator; }
    CEditFloatPt* Edit(Input input) const { return m_edits[Index(input)]; }
    QLabel* UnitsLabel(Input input) const { return m_units[Index(input)]; }
    QRadioButton* ModeButton(int mode) const { return m_modes[std::size_t(mode)]; }
    QRadioButton* KnownUnitButton(bool mercury) const { return m_knownUnits[mercury ? 1 : 0]; }
    QRadioButton* TargetUnitButton(bool mercury) const { return m_targetUnits[mercury ? 1 : 0]; }
    QLabel* AirflowText() const { return m_airflow; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Button 1: "Apply" with a rating chosen, "OK" without.
    void Apply();

protected:
    void OnEntryTaken(QLineEdit* edit) override;

private:
    static std::size_t Index(Input input) { return static_cast<std::size_t>(input); }

    QWidget* MakeModeGroup();
    QWidget* MakeKnownGroup();
    QWidget* MakeTargetGroup();
    CEditFloatPt* MakeField(Input input, QWidget* parent);
    void ChooseMode(int mode);
    void ShowValues();

    CTorqDoc& m_doc;
    AirflowCalculator m_calculator;
    std::array<CEditFloatPt*, 3> m_edits{};
    std::array<QLabel*, 3> m_units{};
    std::array<QRadioButton*, 3> m_modes{};
    std::array<QRadioButton*, 2> m_knownUnits{};
    std::array<QRadioButton*, 2> m_targetUnits{};
    QLabel* m_airflow = nullptr;
    QLabel* m_airflowUnits = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};
