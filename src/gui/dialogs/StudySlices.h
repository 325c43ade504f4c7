#pragma once

#include "study/StudyRunner.h"

#include <QObject>

#include <functional>

class QTimer;

// Runs a study a chunk at a time from the event loop, as the iterator's run
// dialog runs its series: between chunks the window paints and takes
// clicks, so it stays responsive, shows progress and can be stopped.
class CStudySlices : public QObject {
    Q_OBJECT
public:
    // Runs the next chunk on the runner; returns true when the study is done.
    using RunChunk = std::function<bool(const StudyRunner& runner)>;

    explicit CStudySlices(QObject* parent = nullptr);

    void Start(RunChunk runChunk);
    void Stop();
    bool IsRunning() const { return m_running; }

signals:
    // After each chunk.
    void Progressed();
    // The study is done, or was stopped (stopped true).
    void Finished(bool stopped);

private:
    void RunSlice();

    StudyRunner m_runner;
    RunChunk m_runChunk;
    QTimer* m_timer;
    bool m_running = false;
};
