#pragma once

#include "model/ResultUnits.h"
#include "model/TorqDoc.h"
#include "report/MeasuredPulls.h"
#include "study/DynoMatch.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class CMatchChart;
class CMatchFigureTable;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

// "Match To Dyno": the engine's figures that the user frees, each inside a
// range, are matched to one of the engine's measured pulls. The dialog
// shows the error of today's engine, runs the match with its progress and a
// Stop, then shows the values found with their firm ranges, the figures that
// trade off, the error before and after and both curves over the pull.
// "Make Engine" hands the matched engine over as a new engine,
// "Matched-<title>"; the engine the dialog was opened on is never changed
// (the dialog works on a copy of it).
//
// The match runs on a thread of its own (it touches no program-wide record
// and shows no message), so the window answers all the while; progress is
// shown ten times a second. Closing the dialog stops the match first.
class CMatchDlg : public QDialog {
    Q_OBJECT
public:
    using EngineTaker = std::function<void(std::unique_ptr<CTorqDoc> matched)>;

    static constexpr int kProgressIntervalMs = 100;

    // engine: complete and run; pulls: at least one; units: those the
    // engine's results are shown in.
    CMatchDlg(const CTorqDoc& engine, std::vector<MeasuredPull> pulls, ResultUnits units,
              QWidget* parent = nullptr);
    ~CMatchDlg() override;

    void SetEngineTaker(EngineTaker taker) { m_takeEngine = std::move(taker); }
    // Threads that simulate (0: every core).
    void SetThreadCount(int threads) { m_threads = threads; }

    // "Matched-" and the engine's title without its file's extension.
    static std::string MatchedTitle(const std::string& title);

    // ---- the buttons' actions
    void OnMatch();
    void OnStop();
    void OnMakeEngine();

    bool IsRunning() const { return m_thread != nullptr; }
    const std::optional<MatchResult>& Result() const { return m_result; }

    // ---- controls
    QComboBox* PullBox() const { return m_pullBox; }
    CMatchFigureTable* FigureTable() const { return m_figures; }
    QPushButton* MatchButton() const { return m_matchButton; }
    QPushButton* StopButton() const { return m_stopButton; }
    QPushButton* MakeEngineButton() const { return m_makeButton; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* ProgressLabel() const { return m_progressLabel; }
    QLabel* SummaryLabel() const { return m_summary; }
    CMatchChart* Chart() const { return m_chart; }

signals:
    void MatchFinished();

public slots:
    void reject() override;

private:
    QWidget* CreatePullRow();
    QWidget* CreateRunRow();
    void OnPullChanged();
    void UpdateButtons();
    void ShowProgress();
    void OnThreadFinished();
    void ShowResult();
    void ShowChart();
    const MeasuredPull& ChosenPull() const;
    // "Match To Dyno - my-350.trq"
    QString Title() const;

    CTorqDoc m_base;  // a copy of the engine, with its results
    std::string m_title;
    std::vector<MeasuredPull> m_pulls;
    ResultUnits m_units;
    int m_threads = 0;
    EngineTaker m_takeEngine;

    // The match under way: its thread, the progress it reports and the
    // request to stop, which the thread reads between chunks of runs.
    QThread* m_thread = nullptr;
    std::atomic<bool> m_stopRequested{false};
    mutable std::mutex m_progressMutex;
    MatchProgress m_latest;
    MatchResult m_threadResult;  // written by the thread, read once it has finished
    bool m_closeWhenStopped = false;
    std::optional<MatchResult> m_result;
    int m_resultPull = -1;  // the pull the result belongs to

    QComboBox* m_pullBox = nullptr;
    QLabel* m_pullCoverage = nullptr;
    CMatchFigureTable* m_figures = nullptr;
    QPushButton* m_matchButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_makeButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressLabel = nullptr;
    QLabel* m_summary = nullptr;
    CMatchChart* m_chart = nullptr;
    QTimer* m_progressTimer = nullptr;
};
