#pragma once

#include "iterator/IteratorSetup.h"

#include <QDialog>

#include <array>
#include <vector>

class CDocumentRegistry;
class CEditFloatPt;
class CItrSeriesEstimate;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Iterator Setup": the baseline engine, up to eight swept parameters with
// Min, Max and Step values, the best-result criterion and the engine-speed
// band of the score, edited on a private copy of the iterator's settings.
// Only OK, once every check has passed, writes them into the iterator and
// starts a new series; Cancel leaves the iterator as it was.
//
// Rows 1 and 2 sweep bore, stroke or compression ratio; rows 3 to 8 a valve
// event or a valve lift. A field commits its value when it loses the focus:
// a value its parameter refuses beeps and takes the focus back, and OK does
// nothing until it is corrected.
//
// "Run every combination" runs the series test after test; "Search for the
// best" searches its combinations, however many (up to what a search
// takes), in at most the budget's tests when one is given. A line under the
// rows says how long every combination would take at this computer's pace.
class CItrSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRowCount = 8;
    static constexpr int kNumericRows = 2;
    enum Field { kMin = 0, kMax = 1, kStep = 2 };

    CItrSetupDlg(IteratorTest& iterator, const CDocumentRegistry& documents, QWidget* parent = nullptr);
    ~CItrSetupDlg() override;

    // The dialog's model: what OK would apply.
    const IteratorSetup& Setup() const { return m_setup; }
    // False while a field holds a value its parameter refused.
    bool IsOkAllowed() const { return m_okAllowed; }
    // Threads the pace is measured on, as the run will use them; 0 every core.
    void SetThreadCount(int threads);

    // The engines the baseline list offers after "(None)".

    QComboBox* BaselineList() const { return m_baselineList; }
    QComboBox* DataTypeList(int row) const;
    CEditFloatPt* EntryField(int row, Field field) const;
    QLabel* UnitsLabel(int row) const;
    QLabel* StepsLabel(int row) const;
    QRadioButton* MaxPowerButton() const { return m_maxPower; }
    QRadioButton* MaxTorqueButton() const { return m_maxTorque; }
    QComboBox* MinRpmList() const { return m_minRpmList; }
    QComboBox* MaxRpmList() const { return m_maxRpmList; }
    QLabel* HelpLine() const { return m_helpLine; }
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* ResetAllButton() const { return m_resetAllButton; }
    QRadioButton* EveryCombinationButton() const { return m_everyCombination; }
    QRadioButton* SearchButton() const { return m_search; }
    // The most tests a search runs; empty for as many as it needs.
    QLineEdit* BudgetField() const { return m_budgetField; }
    CItrSeriesEstimate* Estimate() const { return m_estimate; }

    // OK: commits the field being edited, checks the settings (the first
    // failing check shows its message and the dialog stays) and applies them.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QComboBox* dataType = nullptr;
        std::array<CEditFloatPt*, 3> fields{};
        QLabel* to = nullptr;
        QLabel* units = nullptr;
        QLabel* steps = nullptr;
    };

    void CreateControls();
    QWidget* CreateRowGroup(const QString& title, int firstRow, int rowCount);
    void CreateRow(QGridLayout& grid, int row, int gridRow);
    QWidget* CreateCriterionGroup();
    QWidget* CreateMethodGroup();
    void ShowMethod();
    void SettingsChanged();
    bool RefuseLargeSearch();
    void FillBaselineList(const CDocumentRegistry& documents);
    void ShowAll();
    void ShowRow(int row);
    void OnBaselineChosen(int index);
    void OnDataTypeChosen(int row, int index);
    void OnFieldFocusIn(CEditFloatPt& field);
    bool CommitField(CEditFloatPt& field);
    void RefuseField(CEditFloatPt& field);
    void OnResetAll();
    bool FindField(const QObject* object, int& row, Field& field) const;
    CFloatPtSpec& FieldParameter(int row, Field field);

    IteratorTest& m_iterator;
    IteratorSetup m_setup;
    bool m_okAllowed = true;
    CEditFloatPt* m_refusedField = nullptr;  // the field whose last text was refused
    bool m_refusalPending = false;           // the beep and the focus back are on their way
    bool m_movingFocusToOk = false;
    std::vector<const CTorqDoc*> m_listedEngines;  // item i + 1 of the baseline list

    QComboBox* m_baselineList = nullptr;
    std::array<Row, kRowCount> m_rows;
    QRadioButton* m_maxPower = nullptr;
    QRadioButton* m_maxTorque = nullptr;
    QComboBox* m_minRpmList = nullptr;
    QComboBox* m_maxRpmList = nullptr;
    QLabel* m_helpLine = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_resetAllButton = nullptr;
    QRadioButton* m_everyCombination = nullptr;
    QRadioButton* m_search = nullptr;
    QLineEdit* m_budgetField = nullptr;
    CItrSeriesEstimate* m_estimate = nullptr;
};
