#pragma once

#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QLine>
#include <QPoint>
#include <QString>

#include <array>
#include <vector>

class QPainter;
class QPrinter;

// Where everything of the results table goes, in device units, for a font
// with character height h and average character width cw. Drawing on the
// screen and on the printer both follow it.
struct ResultsTableLayout {
    int charHeight = 0;
    int columnWidth = 0;                      // a = 10 * cw
    std::array<int, kResultsTableColumnCount> columnX{};  // left edge of each column's text
    int rightEnd = 0;                         // right end of the rules
    QPoint titlePos;                          // top-left of the title text
    QString title;
    int header1Y = 0;
    int header2Y = 0;
    std::array<QString, kResultsTableColumnCount> header1;
    std::array<QString, kResultsTableColumnCount> header2;
    std::array<int, kResultPointCount> rowY{};  // top of each row's text
    std::array<std::array<QString, kResultsTableColumnCount>, kResultPointCount> cells;
    std::vector<QLine> rules;  // top rule, rule below the headers, bottom rule, speed-column rule
};

// The table of a document's last run: one row per engine speed, the eight
// columns with their fixed formats, blank lines after every four rows. Values
// are the stored results (English units), without conversion.
ResultsTableLayout ComputeResultsTableLayout(const CTorqDoc& document, int charHeight, int avgCharWidth);

// Draws a computed layout. On the screen the rules are 2 units wide and
// grey; for the printer 1 unit wide and black.
void PaintResultsTable(QPainter& painter, const ResultsTableLayout& layout, bool printing);

// The "Table" sheet: the results table drawn on light grey, scrollable over
// 90 average character widths by 50 character heights, and printable.
class CResultsTableView : public QAbstractScrollArea, public DocumentObserver {
    Q_OBJECT
public:
    explicit CResultsTableView(CTorqDoc& document, QWidget* parent = nullptr);
    ~CResultsTableView() override;

    CTorqDoc* Document() const { return m_document; }
    const QFont& ScreenFont() const { return m_font; }
    ResultsTableLayout ScreenLayout() const;
    QSize ScrollExtent() const;

    // Prints the table on one page, with the printer's own font.
    void Print(QPrinter& printer) const;
    // Draws the printed page into any painter whose logical unit is 1/96 inch.
    void PaintPrintPage(QPainter& painter) const;

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;

    // The results belong to the engine as it was before its last change:
    // the table is washed grey and a note says to run it again.
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();

    CTorqDoc* m_document;
    QFont m_font;
    bool m_stale = false;
    QWidget* m_staleNote = nullptr;
};
