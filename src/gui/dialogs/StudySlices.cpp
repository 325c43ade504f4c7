#include "StudySlices.h"

#include <QTimer>

CStudySlices::CStudySlices(QObject* parent) : QObject(parent), m_runner(0), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &CStudySlices::RunSlice);
}

void CStudySlices::Start(RunChunk runChunk)
{
    m_runChunk = std::move(runChunk);
    m_running = true;
    m_timer->start();
}

void CStudySlices::Stop()
{
    if (!m_running) return;
    m_timer->stop();
    m_running = false;
    emit Finished(true);
}

void CStudySlices::RunSlice()
{
    if (!m_running) return;
    const bool done = m_runChunk(m_runner);
    emit Progressed();
    if (done) {
        m_running = false;
        emit Finished(false);
        return;
    }
    m_timer->start();
}
