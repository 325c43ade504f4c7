#pragma once

#include "ChartPicture.h"
#include "PageHeader.h"
#include "model/ResultUnits.h"

#include <QRectF>

class CTorqDoc;
class QPainter;
struct MeasuredPull;

// The printed pages of the results, drawn in logical units of 1/96 inch
// whatever the device: the graph and the table each on a page of their own
// under the page header, saying which engine they show and in which units.

inline constexpr double kReportUnitsPerInch = 96.0;

// Call right after QPainter::begin on a printer. A printer's paint engine
// keeps the transform of the last job that drew on it, and a painter that
// never sets one of its own would draw the next job through it (the engine
// form at twelve times its size after the scaled table or graph). Stating
// the identity makes the engine take it with the first drawing.
void ForgetEarlierPrintTransform(QPainter& painter);

// Makes one logical unit of the painter 1/96 inch on a device of the given
// resolution (dots per inch) and gives the paper rectangle, given in device
// pixels, in those units.
QRectF UseReportUnits(QPainter& painter, const QRectF& paperPixels, double deviceDpi);

// The results table page: header, the engine's name and the units over the
// table (peaks, three header lines with the units, the 19 rows), with a
// measured pull's columns beside it when one is given.
void PaintTablePrintout(QPainter& painter, const QRectF& paper, const CTorqDoc& document, ResultUnits units,
                        const PageHeaderText& header, const ResultCorrection& correction = {},
                        const MeasuredPull* measured = nullptr);

// The graph page: header, the graph over the page width at 4:3 with its
// legend naming each engine and its axis titles naming the units.
void PaintGraphPrintout(QPainter& painter, const QRectF& paper, const ChartPicture& picture,
                        const PageHeaderText& header);
