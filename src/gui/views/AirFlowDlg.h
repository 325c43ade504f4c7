#pragma once

#include "components/CylHeadFlowEditor.h"
#include "widgets/CalculatorDialog.h"

#include <QString>

#include <array>
#include <functional>

class CAirflowPlot;
class CEditFloatPt;
class CTorqDoc;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Cylinder Head Airflow Data": the flow-bench figures of a cylinder head,
// typed or opened from an airflow file (.flw), edited on a working copy.
// "OK" checks the copy and makes it the engine's airflow data and cylinder
// head; Cancel forgets every change, a file opened here included.
//
// 4 to 10 points of lift and airflow per side; the spin control adds a
// point that continues the lift series or drops the last one. "Calc Others",
// enabled while a lift has the focus, continues that lift's step through
// the following points. Beside the points their picture, flow against
// lift for both sides, follows the fields as the user types.
class CAirFlowDlg : public CCalculatorDialog {
    Q_OBJECT
public:
    using Side = CylHeadFlowEditor::Side;
    // The path of the file to open or to save to, or empty when the user
    // cancels. The default shows a QFileDialog; the engine form passes its
    // own, and tests theirs.
    using FileAsker = std::function<QString(bool save, const QString& proposedName)>;

    explicit CAirFlowDlg(CTorqDoc& doc, QWidget* parent = nullptr);

    void SetFileAsker(FileAsker asker) { m_fileAsker = std::move(asker); }

    const CylHeadFlowEditor& Editor() const { return m_editor; }
    QLineEdit* DescriptionEdit() const { return m_description; }
    QSpinBox* PointCountBox() const { return m_points; }
    CEditFloatPt* LiftEdit(Side side, int point) const;
    CEditFloatPt* AirflowEdit(Side side, int point) const;
    CEditFloatPt* TestDiameterEdit(Side side) const { return m_diameters[SideIndex(side)]; }
    CEditFloatPt* TestPressureEdit(Side side) const { return m_pressures[SideIndex(side)]; }
    QLabel* LiftUnits(Side side) const { return m_liftUnits[SideIndex(side)]; }
    QLabel* DiameterUnits(Side side) const { return m_diameterUnits[SideIndex(side)]; }
    QLabel* PressureUnits(Side side) const { return m_pressureUnits[SideIndex(side)]; }
    QPushButton* CalcOthersButton() const { return m_calcOthers; }
    QPushButton* ResetAllButton() const { return m_resetAll; }
    QPushButton* SaveAsButton() const { return m_saveAs; }
    QPushButton* OpenButton() const { return m_open; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }
    // Flow against lift of both sides, drawn as the fields read while the user types.
    CAirflowPlot* Plot() const { return m_plot; }

    void CalcOthers();
    void ResetAll();
    void SaveAs();
    void Open();
    void Ok();

protected:
    void OnEntryTaken(QLineEdit* edit) override;
    void OnFocusMoved(QWidget* from, QWidget* to) override;

private:
    static constexpr int kMaxPoints = CylHeadFlowData::kMaxPoints;
    static std::size_t SideIndex(Side side) { return side == Side::Intake ? 0 : 1; }

    QWidget* MakeHeader();
    QWidget* MakeTestGroup(Side side);
    QWidget* MakePointTable();
    QWidget* MakeButtons();
    using ParameterOf = std::function<CFloatPtSpec&(CylHeadFlowData&)>;
    CEditFloatPt* MakeNumberField(const ParameterOf& parameter, QWidget* parent);
    void SetTabOrder();
    void StepPointCount(int value);
    void ShowRefusedField(ErrorCode code);
    void ShowData();
    void EnableRows();
    void UpdatePlot();
    void UpdateCaption();
    QString AskFileName(bool save, const QString& proposedName);

    CTorqDoc& m_doc;
    CylHeadFlowEditor m_editor;
    QString m_baseCaption;
    FileAsker m_fileAsker;
    QLineEdit* m_description = nullptr;
    QSpinBox* m_points = nullptr;
    std::array<CEditFloatPt*, 2> m_diameters{};
    std::array<CEditFloatPt*, 2> m_pressures{};
    std::array<QLabel*, 2> m_diameterUnits{};
    std::array<QLabel*, 2> m_pressureUnits{};
    std::array<QLabel*, 2> m_liftUnits{};
    std::array<QLabel*, 2> m_airflowUnits{};
    // [side][point]
    std::array<std::array<CEditFloatPt*, kMaxPoints>, 2> m_lifts{};
    std::array<std::array<CEditFloatPt*, kMaxPoints>, 2> m_airflows{};
    std::array<QLabel*, kMaxPoints> m_pointLabels{};
    QPushButton* m_calcOthers = nullptr;
    QPushButton* m_resetAll = nullptr;
    QPushButton* m_saveAs = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    // The lift edit last edited, for "Calc Others".
    Side m_lastLiftSide = Side::Intake;
    int m_lastLiftPoint = -1;
    CAirflowPlot* m_plot = nullptr;
};
