#pragma once

#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <QLine>
#include <QPoint>
#include <QString>

#include <array>
#include <vector>

class QPainter;

// Where everything of the results table goes, in device units, for a font
// with character height h and average character width cw. The screen, the
// printer and the dyno sheet all draw from it.
struct ResultsTableLayout {
    int charHeight = 0;
    int columnWidth = 0;                                  // a = 10 * cw
    std::array<int, kResultsTableColumnCount> columnX{};  // left edge of each column's text
    int rightEnd = 0;                                     // right end of the rules
    QPoint titlePos;                                      // top-left of the title text
    QString title;
    QPoint peaksPos;  // the line of the peaks under the title
    QString peaks;    // empty before a run
    QPoint dayPos;    // the line of the day under the peaks, on a corrected day only
    QString day;      // empty on the model's day
    int header1Y = 0;
    int header2Y = 0;
    int unitsY = 0;  // third header line: the units
    std::array<QString, kResultsTableColumnCount> header1;
    std::array<QString, kResultsTableColumnCount> header2;
    std::array<QString, kResultsTableColumnCount> units;
    std::array<int, kResultPointCount> rowY{};  // top of each row's text
    std::array<std::array<QString, kResultsTableColumnCount>, kResultPointCount> cells;
    std::vector<QLine> rules;  // top rule, rule below the headers, bottom rule, speed-column rule
    // Columns after the eight, drawn as theirs are (a measured pull's), and
    // a line of text under the bottom rule; empty unless added.
    struct ExtraColumn {
        int x = 0;
        QString header1;
        QString header2;
        QString units;
        std::array<QString, kResultPointCount> cells;
    };
    std::vector<ExtraColumn> extraColumns;
    QPoint notePos;
    QString note;
};

// The table of a document's last run: the title, the peaks, the day the
// figures are corrected to (a line of its own, only on a corrected day), three
// header lines (the last one the units), one row per engine speed with the
// columns' formats, and a blank line after every four rows. Values are
// converted to the units given.
ResultsTableLayout ComputeResultsTableLayout(const CTorqDoc& document, int charHeight, int avgCharWidth,
                                             ResultUnits units = ResultUnits::English,
                                             const ResultCorrection& correction = {});

// Draws a computed layout with the painter's font. On the screen the rules
// are 2 units wide and grey; for the printer 1 unit wide and black.
void PaintResultsTable(QPainter& painter, const ResultsTableLayout& layout, bool printing);
