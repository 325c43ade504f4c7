#pragma once

#include "model/ValveEventDiagram.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStringList>

class QPainter;

// Draws the valve-event diagram into a rectangle of any painter: both
// valves' lift against crank angle (exhaust dark red, intake blue) on a
// white plot over the dead centres, the overlap shaded between intake
// opening and exhaust closing, and the four events marked on the crank
// axis with their figures in the cam card's terms ("IVO 31\u00B0 BTDC").
// Lengths are the painter's logical units, the font's pixel size in the
// same units; lifts in inches, or millimetres for a metric engine. A cam
// that is not complete draws the reason in place of the curves.
void PaintValveEventDiagram(QPainter& painter, const QRectF& area, const ValveEventDiagram& diagram,
                            const QFont& font, bool metric);

// The crank-angle span the diagram shows, degrees on the model's 0..720
// scale: whole quarter turns round both valves' events.
struct CrankSpan {
    double first = 90;
    double last = 630;
};
CrankSpan ValveDiagramSpan(const ValveEventDiagram& diagram);

// The event labels as drawn, in the order EVO, IVO, EVC, IVC.
QStringList ValveEventLabels(const ValveEventDiagram& diagram);

inline const QColor kExhaustLiftColour(170, 30, 30);
inline const QColor kIntakeLiftColour(0, 80, 170);
