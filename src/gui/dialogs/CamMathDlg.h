#pragma once

#include "components/CamCalculator.h"
#include "widgets/CalculatorDialog.h"

#include <array>
#include <cstdint>

class CEditFloatPt;
class CTorqDoc;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Cam Math Calculator": the figures of a cam card (lobe center angle,
// intake centerline, both durations and the lifts) give the four valve
// events, recomputed as they are typed. "Apply" makes the calculator's copy
// of the cam the engine's cam; Cancel leaves the engine's cam as it was.
class CCamMathDlg : public CCalculatorDialog {
    Q_OBJECT
public:
    using Input = CamCalculator::Input;

    explicit CCamMathDlg(CTorqDoc& doc, QWidget* parent = nullptr);

    const CamCalculator& Calculator() const { return m_calculator; }
    CEditFloatPt* Edit(Input input) const { return m_edits[Index(input)]; }
    QLabel* LiftUnits(Input input) const { return m_liftUnits[input == Input::IntakeLift ? 0 : 1]; }
    // IVO, IVC, EVO, EVC as shown.
    QLabel* EventText(int event) const { return m_events[std::size_t(event)]; }
    // How the card measures its durations, and what Apply does to the
    // engine's timing method.
    QRadioButton* BasisButton(std::int32_t method) const;
    QLabel* BasisNote() const { return m_basisNote; }
    QGroupBox* SpecsGroup() const { return m_specs; }
    QGroupBox* EventsGroup() const { return m_eventsGroup; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

    void Apply();

protected:
    void OnEntryTaken(QLineEdit* edit) override;

private:
    static std::size_t Index(Input input) { return static_cast<std::size_t>(input); }

    QWidget* MakeBasisRow();
    QGroupBox* MakeSpecsGroup();
    QGroupBox* MakeEventsGroup();
    void ChooseBasis(std::int32_t method);
    void ShowBasis();
    void ShowEvents();

    CTorqDoc& m_doc;
    CamCalculator m_calculator;
    std::array<CEditFloatPt*, 6> m_edits{};
    std::array<QLabel*, 2> m_liftUnits{};
    std::array<QLabel*, 4> m_events{};
    QRadioButton* m_seatToSeat = nullptr;
    QRadioButton* m_fiftyLift = nullptr;
    QLabel* m_basisNote = nullptr;
    QGroupBox* m_specs = nullptr;
    QGroupBox* m_eventsGroup = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};
