#pragma once

#include "ChartPicture.h"

#include <QFont>
#include <QRectF>

class QPainter;

// Draws a graph picture into a rectangle of any painter: the grey chart
// background, the white plot with the x and first y axis grid, the axes with
// their titles and tick labels (fewer ticks where the plot is small), the
// curves with their markers, the marks where a curve leaves a fixed range,
// the peak labels, and below the plot the legend, one row per engine, each
// entry the curve's own line and marker beside its full text, which wraps
// instead of being cut, the clipping note and the day the figures are
// corrected to. Lengths are the painter's
// logical units; the font's pixel size is taken in the same units.
void PaintChart(QPainter& painter, const QRectF& area, const ChartPicture& picture, const QFont& font);

// Where a peak label of this size goes beside its peak: above and right of
// it if there is room inside the plot and no other label is there, else
// above-left, below-right, below-left, or further up; an empty rectangle
// when the label is larger than the plot.
QRectF PlacePeakLabel(QPointF peak, QSizeF size, const QRectF& plot, const std::vector<QRectF>& taken);

// The rows of the legend as they are laid out for a width: each entry's
// swatch and text rectangles, relative to the legend's top left.
struct ChartLegendEntry {
    QRectF swatch;
    QRectF text;
    const ChartCurve* curve = nullptr;
};
struct ChartLegendLayout {
    std::vector<ChartLegendEntry> entries;
    QRectF note;     // the clipping note, empty when there is none
    QRectF dayNote;  // the day the figures are corrected to, empty on the model's day
    double height = 0;
};
ChartLegendLayout LayOutChartLegend(const ChartPicture& picture, const QFont& font, double width);
