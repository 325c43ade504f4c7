#pragma once

#include "iterator/IteratorPacer.h"
#include "iterator/RegistryDirectory.h"
#include "study/SearchPacer.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <vector>

class CItrBestScoreChart;
class CItrBestSurface;
class CItrCurrentChart;
class CItrKeptTable;
class CItrScoreHeatMap;
class CItrSetupDlg;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;

// "Iterator Testing": runs the series of the program's iterator, shows its
// state, the curve of the test just run and the kept best results (as a
// 3-D surface, as a sortable table of their scores and swept values, and as
// a heat map of the best scores over two swept parameters), lets the user
// tick the results to keep, halt and go on, restart and set the series up.
// OK hands the ticked results over to the
// application, which makes a document of each; Close makes none.
//
// The series runs on every core in slices of about 50 ms, driven by a timer
// of the dialog's event loop, so the window answers between slices: Halt
// stops the series after the slice under way, the surface turns, the window
// moves. The charts and the status are drawn at most 20 times a second, and
// less often where drawing is slow (a surface drawn without a graphics
// card), so that the time between slices stays a few per cent of the run.
// Results reach the iterator in test order, exactly as one test after
// another would give them.
//
// A search (the setup's "Search for the best") runs the same way, in slices
// of its batches: the dialog then shows the tests run and a small chart of
// the best score against them instead of a share of the grid. Halt keeps
// the results of the tests run so far, ready to tick and turn into engines,
// and Run goes on with the search where it stopped, to the same end as a
// search never halted: what a user expects of Halt and Run from a series.
class CItrRunDlg : public QDialog {
    Q_OBJECT
public:
    enum RunState { kNeedsSetup = 0, kReady = 1, kRunning = 2, kDone = 3 };

    struct Options {
        bool showSurface = true;  // false: a note instead of the 3-D surface (no OpenGL needed)
        int threads = 0;          // threads that simulate; 0 every core
        // The search of the iterator's combinations, kept as long as the
        // iterator is, so that a halted search goes on when the dialog opens
        // again; null: the dialog searches with one of its own.
        IteratorSearch* search = nullptr;
    };
    // Runs the setup dialog; returns its result. Tests answer it themselves.
    using SetupRunner = std::function<int(CItrSetupDlg&)>;

    static constexpr int kDrawIntervalMs = 50;  // the shortest: 20 drawings a second
    static constexpr int kLongestDrawIntervalMs = 1000;
    // The share of the run the threads may wait while the window draws.
    static constexpr double kMostShareBetweenSlices = 0.04;

    CItrRunDlg(IteratorTest& iterator, const CDocumentRegistry& documents, Options options,
               QWidget* parent = nullptr);
    CItrRunDlg(IteratorTest& iterator, const CDocumentRegistry& documents, QWidget* parent = nullptr);
    ~CItrRunDlg() override;

    void SetSetupRunner(SetupRunner runner) { m_runSetup = std::move(runner); }

    RunState GetRunState() const { return m_state; }
    static const char* RunStateText(RunState state);
    // The iterator's combinations are searched rather than run one and all.
    bool IsSearch() const;
    const IteratorSearch& Search() const { return m_search; }

    // ---- the buttons' actions
    void OnRun();
    void OnHalt();
    void OnRestart();
    void OnSetup();
    void OnKeepAll();

    // ---- controls
    QLabel* StateLabel() const { return m_stateLabel; }
    QLabel* TotalTestsLabel() const { return m_totalLabel; }
    QLabel* CurrentTestLabel() const { return m_currentLabel; }
    // "Current Test:" for a series, "Tests Run:" for a search.
    QLabel* CurrentTestCaption() const { return m_currentCaption; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* PercentLabel() const { return m_percentLabel; }
    QLabel* PaceLabel() const { return m_paceLabel; }
    QListWidget* ResultList() const { return m_resultList; }
    QPushButton* RunButton() const { return m_runButton; }
    QPushButton* HaltButton() const { return m_haltButton; }
    QPushButton* RestartButton() const { return m_restartButton; }
    QPushButton* SetupButton() const { return m_setupButton; }
    QPushButton* KeepAllButton() const { return m_keepAllButton; }
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CloseButton() const { return m_closeButton; }
    QPushButton* RotateButton(int index) const;  // X+, X-, Y+, Y-, Z+, Z-, Home
    CItrCurrentChart* CurrentChart() const { return m_currentChart; }
    CItrBestSurface* BestSurface() const { return m_bestSurface; }
    // A search's best score against its tests run; hidden for a series.
    CItrBestScoreChart* BestScoreChart() const { return m_bestScoreChart; }
    QTabWidget* BestTabs() const { return m_bestTabs; }
    CItrKeptTable* KeptTable() const { return m_keptTable; }
    CItrScoreHeatMap* HeatMap() const { return m_heatMap; }
    // The caption as loaded, before the baseline and the progress are added.
    static QString BaseCaption();

    // Closing is refused while the series runs, unless the program quits.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateStatusRow();
    QWidget* CreateChartRow();
    QLayout* CreateButtonColumn();
    void RunSlice();
    void FinishRun();
    void OnQuitRequested();
    void OnResultTicked(QListWidgetItem* item);
    void RefreshAll();
    void RefreshCaption();
    void RefreshStatus();
    void RefreshPace();
    void RefreshList();
    void RefreshCharts();
    void ShowCurrentTest();
    void RefreshAxes();
    void RefreshButtons();
    void DrawWhileRunning();
    void AdaptDrawInterval();
    RunState StateOfSetUpSeries() const;
    void ShowMethod();

    // ---- a search (ItrRunDlgSearch.cpp)
    void StartSearch();
    void RunSearchSlice();
    void DrawSearchWhileRunning();
    void KeepSearchResults();
    void RefreshSearchStatus();
    void RefreshSearchCharts();
    void ShowLatestSearchTest();
    QString SearchGridSizeText() const;
    QString SearchSummary() const;

    IteratorTest& m_iterator;
    const CDocumentRegistry& m_documents;
    RegistryDirectory m_directory;
    IteratorPacer m_pacer;
    std::unique_ptr<IteratorSearch> m_ownSearch;  // when the caller keeps none
    IteratorSearch& m_search;
    SearchPacer m_searchPacer;
    std::vector<std::int64_t> m_shownKept;  // the test numbers of the kept results drawn last
    SetupRunner m_runSetup;
    RunState m_state = kNeedsSetup;
    bool m_haltRequested = false;
    bool m_quitting = false;
    bool m_inSlice = false;
    bool m_bestChanged = false;  // since the surface was drawn last
    QTimer* m_sliceTimer;
    QElapsedTimer m_sinceDraw;
    int m_drawIntervalMs = kDrawIntervalMs;

    QLabel* m_stateLabel = nullptr;
    QLabel* m_totalLabel = nullptr;
    QLabel* m_currentCaption = nullptr;
    QLabel* m_currentLabel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_percentLabel = nullptr;
    QLabel* m_paceLabel = nullptr;
    CItrCurrentChart* m_currentChart = nullptr;
    CItrBestSurface* m_bestSurface = nullptr;
    CItrBestScoreChart* m_bestScoreChart = nullptr;
    QTabWidget* m_bestTabs = nullptr;
    CItrKeptTable* m_keptTable = nullptr;
    CItrScoreHeatMap* m_heatMap = nullptr;
    QList<QPushButton*> m_rotateButtons;
    QListWidget* m_resultList = nullptr;
    QPushButton* m_keepAllButton = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_haltButton = nullptr;
    QPushButton* m_restartButton = nullptr;
    QPushButton* m_setupButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    bool m_showSurface;
};
