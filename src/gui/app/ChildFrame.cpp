#include "ChildFrame.h"

#include "AppIcons.h"
#include "SplitterTabWnd.h"
#include "model/DocumentRegistry.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/EngineHistory.h"
#include "views/ResultsTableView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGraphicsView>

CChildFrame::CChildFrame(std::unique_ptr<CTorqDoc> document, QWidget* parent)
    : QMdiSubWindow(parent),
      m_document(std::move(document)),
      m_history(new CEngineHistory(*m_document, this)),
      m_splitter(new CTorqSplitterWnd(this))
{
    TORQ_ASSERT(m_document != nullptr);
    setAttribute(Qt::WA_DeleteOnClose);
    CDocumentRegistry::Instance().Add(*m_document);
    m_registered = true;

    CTorqDoc& doc = *m_document;
    CSplitterPaneTabWnd* left = m_splitter->LeftPane();
    CSplitterPaneTabWnd* right = m_splitter->RightPane();
    m_engineSheet = new CEngineFormView(doc, left);
    m_leftGraph = new CChart2dView(doc, left);
    m_leftTable = new CResultsTableView(doc, left);
    left->addTab(m_engineSheet, tr("Engine"));
    left->addTab(m_leftGraph, tr("Graph"));
    left->addTab(m_leftTable, tr("Table"));
    m_rightGraph = new CChart2dView(doc, right);
    m_rightTable = new CResultsTableView(doc, right);
    right->addTab(m_rightGraph, tr("Graph"));
    right->addTab(m_rightTable, tr("Table"));
    m_activePane = left;
    setWidget(m_splitter);
    setWindowIcon(MakeAppIcon());
    // A file dropped anywhere on the window goes on to the main window, which
    // opens engine files; a graph's view would take it for its scene.
    for (QGraphicsView* view : findChildren<QGraphicsView*>()) {
        view->setAcceptDrops(false);
        view->viewport()->setAcceptDrops(false);
    }

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { TrackActivePane(now); });
    for (CSplitterPaneTabWnd* pane : {left, right}) {
        connect(pane, &QTabWidget::tabBarClicked, this, [this, pane] { m_activePane = pane; });
    }
    doc.AddObserver(this);
    connect(m_history, &CEngineHistory::ModifiedChanged, this, &CChildFrame::UpdateCaption);
    UpdateCaption();
    ShowStaleness();
}

CChildFrame::~CChildFrame()
{
    // The history and the views go before the document they show.
    m_document->RemoveObserver(this);
    delete m_history;
    delete m_splitter;
    if (m_registered) CDocumentRegistry::Instance().Remove(*m_document);
}

CSplitterPaneTabWnd* CChildFrame::LeftPane() const { return m_splitter->LeftPane(); }

CSplitterPaneTabWnd* CChildFrame::RightPane() const { return m_splitter->RightPane(); }

QWidget* CChildFrame::ActiveSheet() const { return m_activePane->currentWidget(); }

void CChildFrame::TrackActivePane(QWidget* focused)
{
    for (QWidget* w = focused; w != nullptr && w != this; w = w->parentWidget()) {
        if (w == LeftPane() || w == RightPane()) {
            m_activePane = static_cast<CSplitterPaneTabWnd*>(w);
            return;
        }
    }
}

void CChildFrame::UpdateCaption()
{
    setWindowTitle(QString::fromStdString(m_document->GetTitle()) + QStringLiteral("[*]"));
    setWindowModified(m_document->IsModified());
    emit CaptionChanged();
}

void CChildFrame::OnDocumentChanged(CTorqDoc& document, DocumentChange change)
{
    if (&document != m_document.get() || change != DocumentChange::Updated) return;
    UpdateCaption();
    ShowStaleness();
}

void CChildFrame::ShowStaleness()
{
    // The views have redrawn before the frame hears of the change.
    const bool stale = m_document->AreResultsStale();
    for (CChart2dView* graph : {m_leftGraph, m_rightGraph}) graph->SetStale(stale);
    for (CResultsTableView* table : {m_leftTable, m_rightTable}) table->SetStale(stale);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_queryDone && m_document->IsModified() && m_closeQuery && !m_closeQuery(*this)) {
        event->ignore();
        return;
    }
    // Gone for the other windows at once, although the window is deleted later.
    CDocumentRegistry::Instance().Remove(*m_document);
    m_registered = false;
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::CloseWithoutQuery()
{
    m_queryDone = true;
    close();
}
