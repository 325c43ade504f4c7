#pragma once

#include "components/CamCalculator.h"
#include "widgets/CalculatorDialog.h"

#include <array>

class CEditFloatPt;
class CTorqDoc;
class QGroupBox;
class QLabel;
class QPushButton;

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
    QGroupBox* SpecsGroup() const { return m_specs; }
    QGroupBox* EventsGroup() const { return m_eventsGroup; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

    void Apply();

protected:
    void OnEntryTaken(QLineEdit* edit) override;

private:
    static std::size_t Index(Input input) { return static_cast<std::size_t>(input); }

    QGroupBox* MakeSpecsGroup();
    QGroupBox* MakeEventsGroup();
    void ShowEvents();

    CTorqDoc& m_doc;
    CamCalculator m_calculator;
    std::array<CEditFloatPt*, 6> m_edits{};
    std::array<QLabel*, 2> m_liftUnits{};
    std::array<QLabel*, 4> m_events{};
    QGroupBox* m_specs = nullptr;
    QGroupBox* m_eventsGroup = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};
