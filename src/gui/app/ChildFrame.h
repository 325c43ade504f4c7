#pragma once

#include "model/TorqDoc.h"

#include <QMdiSubWindow>

#include <functional>
#include <memory>

class CChart2dView;
class CEngineFormView;
class CEngineHistory;
class CMeasuredPulls;
class CResultsTableView;
class CSplitterPaneTabWnd;
class CTorqSplitterWnd;

// The window of one engine document. It owns the document and shows it in a
// splitter of two tabbed panes: "Engine", "Graph" and "Table" on the left,
// "Graph" and "Table" on the right, all five views on the same document.
// Closing the window closes the document.
class CChildFrame : public QMdiSubWindow, public DocumentObserver {
    Q_OBJECT
public:
    // Asked before a modified document's window closes; false keeps it open.
    using CloseQuery = std::function<bool(CChildFrame&)>;

    explicit CChildFrame(std::unique_ptr<CTorqDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTorqDoc& Document() { return *m_document; }
    const CTorqDoc& Document() const { return *m_document; }
    // The undo history of the document's changes.
    CEngineHistory* History() const { return m_history; }
    // The measured pulls and published peaks shown beside the engine's
    // results in its graphs, tables and dyno sheet.
    CMeasuredPulls& MeasuredPulls() const { return *m_measuredPulls; }

    void SetCloseQuery(CloseQuery query) { m_closeQuery = std::move(query); }
    // Closes after the caller has dealt with the modified document itself.
    void CloseWithoutQuery();

    CTorqSplitterWnd* Splitter() const { return m_splitter; }
    CSplitterPaneTabWnd* LeftPane() const;
    CSplitterPaneTabWnd* RightPane() const;
    CEngineFormView* EngineSheet() const { return m_engineSheet; }
    CChart2dView* LeftGraph() const { return m_leftGraph; }
    CResultsTableView* LeftTable() const { return m_leftTable; }
    CChart2dView* RightGraph() const { return m_rightGraph; }
    CResultsTableView* RightTable() const { return m_rightTable; }

    // The sheet the user sees and works in: the current sheet of the pane
    // the user last clicked in or turned to another sheet (the left pane at
    // first). Where the keyboard focus sits does not decide it.
    QWidget* ActiveSheet() const;
    // "the Graph sheet of Torq1 (right pane)", for the print command's tip.
    QString ActiveSheetDescription() const;

    // Title with the modified mark.
    void UpdateCaption();

    void OnDocumentChanged(CTorqDoc& document, DocumentChange change) override;

signals:
    void CaptionChanged();
    void ActiveSheetChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetActivePane(CSplitterPaneTabWnd* pane);
    CSplitterPaneTabWnd* PaneOf(QObject* object) const;
    // The graphs and tables mark results that belong to the engine before
    // its last change (Auto Run off, not run since).
    void ShowStaleness();

    std::unique_ptr<CTorqDoc> m_document;
    CEngineHistory* m_history;
    CMeasuredPulls* m_measuredPulls;
    CTorqSplitterWnd* m_splitter;
    CEngineFormView* m_engineSheet = nullptr;
    CChart2dView* m_leftGraph = nullptr;
    CResultsTableView* m_leftTable = nullptr;
    CChart2dView* m_rightGraph = nullptr;
    CResultsTableView* m_rightTable = nullptr;
    CSplitterPaneTabWnd* m_activePane = nullptr;
    CloseQuery m_closeQuery;
    bool m_registered = false;
    bool m_queryDone = false;
};
