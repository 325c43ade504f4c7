#pragma once

#include "model/TorqDoc.h"
#include "report/MeasuredPulls.h"
#include "report/PageHeader.h"
#include "report/ResultsTableLayout.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPointer>

class QMenu;
class QMimeData;
class QPainter;
class QPrinter;

// The "Table" sheet: the results table drawn on light grey, scrollable over
// 90 average character widths by 50 character heights, and printable. Its
// right-click menu copies the table and chooses the units of a metric engine.
class CResultsTableView : public QAbstractScrollArea, public DocumentObserver {
    Q_OBJECT
public:
    explicit CResultsTableView(CTorqDoc& document, QWidget* parent = nullptr);
    ~CResultsTableView() override;

    CTorqDoc* Document() const { return m_document; }
    const QFont& ScreenFont() const { return m_font; }
    ResultsTableLayout ScreenLayout() const;
    QSize ScrollExtent() const;

    // The engine's measured pulls; the table shows the chosen one beside the
    // results ("Measured" and "Diff" for power and torque), none at first.
    void SetMeasuredPulls(CMeasuredPulls* measured);
    // Shows the columns of the pull read from that path (empty: none).
    void ShowMeasuredPull(const QString& path);
    // The pull whose columns are shown, null for none.
    const MeasuredPull* ShownPull() const;

    // Edit > Copy: the table as tab-separated text with a header row, for
    // any spreadsheet, and as an HTML table.
    QMimeData* CreateCopyData() const;
    void Copy() const;

    // The right-click menu: Copy, the units of the results and the measured pull shown.
    QMenu* CreateContextMenu(QWidget* parent);

    // Prints the table on one page under the page header.
    void Print(QPrinter& printer) const;
    // Draws the printed page into any painter whose logical unit is 1/96
    // inch: the header with the engine's name, the date and the page, the
    // engine and the units, and the table.
    void PaintPrintPage(QPainter& painter, const QRectF& paper = QRectF(0, 0, 816, 1056),
                        const QString& date = TodayText()) const;

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;

    // The results belong to the engine as it was before its last change:
    // the table is washed grey and a note says to run it again.
    void SetStale(bool stale);
    bool IsStale() const { return m_stale; }
    // Where the table starts in the scrolled area: under the note while it
    // shows, so that the note covers none of the table.
    int ContentTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateScrollBars();
    void AddMeasuredPullMenu(QMenu& menu);

    CTorqDoc* m_document;
    QFont m_font;
    bool m_stale = false;
    QWidget* m_staleNote = nullptr;
    QPointer<CMeasuredPulls> m_measured;
    QString m_shownPull;  // the path of the pull whose columns are shown
};
