#pragma once

#include "study/Sensitivity.h"

#include <QDialog>

#include <functional>
#include <memory>

class CSensitivityChart;
class CStudyScoreControls;
class CStudySlices;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Engine > "What To Change Next...": the engine with one change at a time
// (each number a builder's step up and down, each choice a place along its
// menu), run a slice at a time with progress and Stop, shown as bars sorted
// by their gain in the score, in its unit or in %, each with the new value.
// A click on a bar opens that engine as a new document or applies the
// change to the engine itself, as a change the user can undo.
class CSensitivityDlg : public QDialog {
    Q_OBJECT
public:
    using DocumentMaker = std::function<CTorqDoc*()>;
    // Applies the change to the engine the dialog was opened on and records
    // it in its history under the name given.
    using ApplyChange = std::function<void(const EngineEdit& edit, const QString& name)>;

    CSensitivityDlg(const CTorqDoc& engine, DocumentMaker makeDocument, ApplyChange apply,
                    QWidget* parent = nullptr);
    ~CSensitivityDlg() override;

    CStudyScoreControls* Score() const { return m_score; }
    CSensitivityChart* Chart() const { return m_chart; }
    const Sensitivity* Study() const { return m_study.get(); }
    // The rows behind the bars, in their order.
    const SensitivityResult& Result() const { return m_result; }
    bool IsRunning() const;
    void Run();
    void Stop();
    void ShowPercent(bool percent);
    // What a click on a bar offers.
    bool OpenAsNewEngine(int bar);
    void ApplyToEngine(int bar);

    static QString Caption() { return tr("What To Change Next"); }

protected:
    void reject() override;

private:
    void CreateControls();
    void UpdateButtons();
    void ShowProgress();
    void ShowResult(bool stopped);
    void FillChart();
    void OfferBar(int bar, QPoint globalPosition);
    QString ChangeName(const SensitivityChange& change) const;

    CTorqDoc m_engine;
    DocumentMaker m_makeDocument;
    ApplyChange m_apply;
    std::unique_ptr<Sensitivity> m_study;
    SensitivityResult m_result;
    CStudySlices* m_slices;

    CStudyScoreControls* m_score = nullptr;
    QComboBox* m_shown = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    CSensitivityChart* m_chart = nullptr;
};
