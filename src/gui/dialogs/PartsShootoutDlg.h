#pragma once

#include "study/PartsShootout.h"

#include <QDialog>

#include <functional>
#include <memory>

class CStudyScoreControls;
class CStudySlices;
class QChartView;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

// Engine > "Compare Parts...": the groups of parts to vary and, in each,
// the choices that take part (at first every choice the form allows for the
// engine), the score and its band; Run tries every combination against the
// engine a slice at a time, with progress and Stop. The best rows fill a
// sortable table, the failures are counted and listed beneath it; the rows
// selected are drawn beside the engine's own power curve, and "Make Engine"
// opens a selected row as a new engine named after its changes.
class CPartsShootoutDlg : public QDialog {
    Q_OBJECT
public:
    // A new engine document of the program, or null when none can be made.
    using DocumentMaker = std::function<CTorqDoc*()>;

    CPartsShootoutDlg(const CTorqDoc& engine, DocumentMaker makeDocument, QWidget* parent = nullptr);
    ~CPartsShootoutDlg() override;

    // For the tests and the pictures of the manual.
    QTreeWidget* Groups() const { return m_groups; }
    QTableWidget* Table() const { return m_table; }
    CStudyScoreControls* Score() const { return m_score; }
    const PartsShootout* Shootout() const { return m_shootout.get(); }
    bool IsRunning() const;
    // Ticks a group (all its allowed choices stay as they are ticked).
    void TickGroup(PartGroup group, bool ticked);
    void Run();
    void Stop();
    // Opens the rows selected as new engines; the number made.
    int MakeEngines();

    static QString Caption() { return tr("Compare Parts"); }

protected:
    void reject() override;

private:
    void CreateControls();
    QWidget* CreateSetupPane();
    QWidget* CreateResultPane();
    void FillGroups();
    ShootoutSetup SetupFromTicks() const;
    void UpdateCount();
    void UpdateButtons();
    void ShowProgress();
    void ShowResult(bool stopped);
    void FillTable(const ShootoutResult& result);
    void ShowFailures(const ShootoutResult& result);
    std::vector<std::size_t> SelectedCombinations() const;
    void UpdateChart();

    CTorqDoc m_engine;
    std::vector<PartGroupChoices> m_allowed;  // every group, with the choices the form allows
    DocumentMaker m_makeDocument;
    std::unique_ptr<PartsShootout> m_shootout;
    CStudySlices* m_slices;

    QTreeWidget* m_groups = nullptr;
    QLabel* m_count = nullptr;
    CStudyScoreControls* m_score = nullptr;
    QSpinBox* m_top = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_make = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_failures = nullptr;
    QChartView* m_chart = nullptr;
};
