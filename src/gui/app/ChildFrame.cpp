#include "ChildFrame.h"

#include "AppIcons.h"
#include "SplitterTabWnd.h"
#include "commands/EngineHistory.h"
#include "model/DocumentRegistry.h"
#include "report/MeasuredPulls.h"
#include "views/Chart2dView.h"
#include "views/EngineFormView.h"
#include "views/ResultsTableView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGraphicsView>

CChildFrame::CChildFrame(std::unique_ptr<CTorqDoc> document, QWidget* parent)
    : QMdiSubWindow(parent),
      m_document(std::move(document)),
      m_history(new CEngineHistory(*m_document, this)),
      m_measuredPulls(new CMeasuredPulls(this)),
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
    for (CChart2dView* graph : {m_leftGraph, m_rightGraph}) graph->SetMeasuredPulls(m_measuredPulls);
    for (CResultsTableView* table : {m_leftTable, m_rightTable}) table->SetMeasuredPulls(m_measuredPulls);
    m_activePane = left;
    setWidget(m_splitter);
    setWindowIcon(MakeAppIcon());
    // A file dropped anywhere on the window goes on to the main window, which
    // opens engine files; a graph's view would take it for its scene.
    for (QGraphicsView* view : findChildren<QGraphicsView*>()) {
        view->setAcceptDrops(false);
        view->viewport()->setAcceptDrops(false);
    }

    // The pane the user looks at: the one last clicked in or turned to another sheet.
    qApp->installEventFilter(this);
    for (CSplitterPaneTabWnd* pane : {left, right}) {
        connect(pane, &QTabWidget::tabBarClicked, this, [this, pane] { SetActivePane(pane); });
        connect(pane, &QTabWidget::currentChanged, this, [this, pane] {
            if (pane == m_activePane) {
                emit ActiveSheetChanged();
            } else if (pane->isVisible()) {
                SetActivePane(pane);
            }
        });
    }
    doc.AddObserver(this);
    connect(m_history, &CEngineHistory::ModifiedChanged, this, &CChildFrame::UpdateCaption);
    UpdateCaption();
    ShowStaleness();
}

CChildFrame::~CChildFrame()
{
    qApp->removeEventFilter(this);
    // The history and the views go before the document they show.
    m_document->RemoveObserver(this);
    delete m_history;
    delete m_splitter;
    if (m_registered) CDocumentRegistry::Instance().Remove(*m_document);
}

CSplitterPaneTabWnd* CChildFrame::LeftPane() const
{
    return m_splitter->LeftPane();
}

CSplitterPaneTabWnd* CChildFrame::RightPane() const
{
    return m_splitter->RightPane();
}

QWidget* CChildFrame::ActiveSheet() const
{
    return m_activePane->currentWidget();
}

QString CChildFrame::ActiveSheetDescription() const
{
    const QString sheet = m_activePane->tabText(m_activePane->currentIndex());
    return tr("the %1 sheet of %2 (%3 pane)")
        .arg(sheet, QString::fromStdString(m_document->GetTitle()),
             m_activePane == LeftPane() ? tr("left") : tr("right"));
}

void CChildFrame::SetActivePane(CSplitterPaneTabWnd* pane)
{
    if (pane == nullptr || pane == m_activePane) return;
    m_activePane = pane;
    emit ActiveSheetChanged();
}

CSplitterPaneTabWnd* CChildFrame::PaneOf(QObject* object) const
{
    for (QObject* o = object; o != nullptr && o != this; o = o->parent()) {
        if (o == LeftPane() || o == RightPane()) return static_cast<CSplitterPaneTabWnd*>(o);
    }
    return nullptr;
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A click anywhere in a pane (a value, the graph, the table) makes it the user's.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::ContextMenu) {
        SetActivePane(PaneOf(watched));
    }
    return QMdiSubWindow::eventFilter(watched, event);
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
