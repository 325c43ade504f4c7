#include "SplitterTabWnd.h"

#include <QResizeEvent>

CSplitterPaneTabWnd::CSplitterPaneTabWnd(QWidget* parent) : QTabWidget(parent)
{
    // Sheet tabs below the sheets, as in a workbook.
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
}

CTorqSplitterWnd::CTorqSplitterWnd(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_left(new CSplitterPaneTabWnd(this)), m_right(new CSplitterPaneTabWnd(this))
{
    addWidget(m_left);
    addWidget(m_right);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setChildrenCollapsible(false);
}

void CTorqSplitterWnd::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    // The first real size gives the left pane its initial width.
    if (!m_sized && event->size().width() > kLeftPaneWidth + handleWidth()) {
        m_sized = true;
        setSizes({kLeftPaneWidth, event->size().width() - kLeftPaneWidth - handleWidth()});
    }
}
