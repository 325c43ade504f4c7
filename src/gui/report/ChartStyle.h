#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>

class QPainter;

// How the graph tells its curves apart, on the screen, on paper and in
// images. By default every power-type (Y1) curve is red and every Y2 curve
// dark green, with the engines told apart by their point markers: the own
// engine's dots in the curve's colour, the seven compared engines' stars,
// triangles, diamonds, squares, downward triangles, crosses and hexagons in
// navy. With "Colour each engine" every engine has a colour of its own from
// a palette that colour-blind eyes still tell apart; Y1 curves are solid and
// Y2 curves dashed.

inline const QColor kChartY1Colour(255, 0, 0);
inline const QColor kChartY2Colour(0, 128, 0);
inline const QColor kChartOverlayMarkerColour(0, 0, 128);
inline const QColor kChartGrey(192, 192, 192);
inline const QColor kChartDayNoteColour(0, 0, 110);  // the note of the day the figures are corrected to
inline constexpr int kChartCurveWidth = 2;
inline constexpr int kChartMarkerPixels = 7;
inline constexpr int kChartEngineCount = 8;

// Dot to Hexagon mark the engines' curves; Square, Cross and Ring the
// measured pulls and published peaks beside them.
enum class MarkerShape { Dot, Star, Triangle, Diamond, Square, TriangleDown, Cross, Hexagon, Ring };

struct CurveStyle {
    QColor colour;
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor markerColour;
    MarkerShape marker = MarkerShape::Dot;

    bool operator==(const CurveStyle&) const = default;
};

// The style of engine set 0..7 on the first or the second y axis.
CurveStyle CurveStyleOf(int set, bool y2, bool colourEachEngine);

// The colour of engine set 0..7 with "Colour each engine": blue, vermilion,
// bluish green, reddish purple, orange, sky blue, black, olive.
QColor EngineColour(int set);

// A marker of the given size (pixels across) centred on a point.
void DrawMarker(QPainter& painter, QPointF centre, double size, MarkerShape shape, const QColor& colour);
// The same marker as an image, drawn large for the chart to scale down.
QImage MarkerImage(MarkerShape shape, const QColor& colour);

// A legend swatch: a short piece of the curve's line with its marker in the
// middle, as the curve is drawn.
void DrawLegendSwatch(QPainter& painter, const QRectF& box, const CurveStyle& style);
QImage LegendSwatchImage(const CurveStyle& style, QSize size, double devicePixelRatio = 1.0);

// The mark that stands at the edge of the plot where a curve leaves a fixed
// range: a small triangle pointing out of the plot (up, down, left, right).
enum class ClipDirection { Up, Down, Left, Right };
void DrawClipMark(QPainter& painter, QPointF tip, double size, ClipDirection direction, const QColor& colour);
QImage ClipMarkImage(ClipDirection direction, const QColor& colour);
