#pragma once

#include "ChartSeries.h"
#include "ChartStyle.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <vector>

class CTorqDoc;

// What the graph shows, worked out once from the engines and the graph's
// options and drawn by the screen's chart, the printer, images and the dyno
// sheet alike: the three axes with their ranges in the units shown, every
// curve with its legend text and style, the marks where a curve leaves a
// fixed range, and the labels of the own engine's peaks.

// One engine on the graph, in slot order: the own engine first.
struct ChartEngine {
    const CTorqDoc* document = nullptr;
    QString name;
    // The colour and marker the engine keeps while it is shown: those of its
    // slot on the graph, so that closing another engine moves nothing. -1
    // takes its place in the list.
    int styleSlot = -1;
};

struct ChartAxisPicture {
    QString title;
    QString shortTitle;  // the units alone ("HP", "%"), for an axis too short for the title
    double minimum = 0;  // units shown
    double maximum = 1;
    double tickInterval = 1;  // for about six intervals; TickIntervalFor gives fewer for a small plot
    bool fixed = false;       // a fixed range (curves may leave it), not Auto-Range
    bool visible = true;
};

struct ChartCurve {
    int set = 0;  // 0 the own engine, then the compared engines without gaps (the style keeps its slot's)
    bool y2 = false;
    QString legend;  // "Power (HP)-Torq1"
    QString engineName;
    CurveStyle style;
    QList<QPointF> points;   // units shown, as computed (not clipped)
    QList<int> speedPoints;  // the engine-speed point (0..18) of each point
    // A measured pull or published peaks beside the own engine (set numbers
    // after the engines'), not an engine's run.
    bool measured = false;
    int markerEvery = 1;  // a marker at every n-th point: a pull may have hundreds of rows
    QString tip{};        // more for the legend's tooltip: the differences from the run
};

// Where a curve leaves a fixed range: the point moved onto the edge it
// crossed, and which way the hidden value lies.
struct ChartClipMark {
    int set = 0;
    bool y2 = false;
    QPointF at;
    ClipDirection direction = ClipDirection::Up;
    QColor colour;
};

struct ChartPeakLabel {
    bool y2 = false;
    QPointF at;    // the peak, on the edge when it is clipped
    QString text;  // "346 hp @ 5500 rpm"
    QColor colour;
};

struct ChartPicture {
    ChartAxisPicture x;
    ChartAxisPicture y1;
    ChartAxisPicture y2;             // invisible when Y2 shows "(None)"
    std::vector<ChartCurve> curves;  // per engine the Y1 curve, then its Y2 curve when shown
    std::vector<ChartClipMark> clipMarks;
    QString clipNote;  // empty when nothing is clipped
    std::vector<ChartPeakLabel> peaks;
    ResultUnits units = ResultUnits::English;
    ResultCorrection correction;  // the day every engine's figures are shown for
    QString dayNote;              // says that day; empty on the model's day
    DifferenceKind difference = DifferenceKind::None;
    int differenceBaselineSet = -1;  // the engine the others are measured from; -1 for none

    const ChartAxisPicture& AxisOf(bool y2) const { return y2 ? this->y2 : y1; }
};
