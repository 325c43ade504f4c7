#pragma once

#include "report/ChartPicture.h"

#include <QWidget>

// The match dialog's graph: a graph picture (today's curves, the matched
// ones, the pull) drawn as the dyno sheet draws its graph.
class CMatchChart : public QWidget {
    Q_OBJECT
public:
    explicit CMatchChart(QWidget* parent = nullptr);

    void SetPicture(ChartPicture picture);
    const ChartPicture& Picture() const { return m_picture; }

    QSize sizeHint() const override { return {460, 380}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartPicture m_picture;
};

// The picture between two engine speeds only (shown units), its axes fitted
// to what is left and without peak labels: the model runs to 11000 rpm while
// a pull covers a few thousand, which the whole range would squeeze.
ChartPicture AroundSpeeds(ChartPicture picture, double fromRpm, double toRpm);
