#include "SplitterTabWnd.h"

#include <QResizeEvent>
#include <QSettings>

#include <algorithm>

namespace {

const QString kLeftPaneWidthKey = QStringLiteral("DocumentWindow/LeftPaneWidth");

}  // namespace

CSplitterPaneTabWnd::CSplitterPaneTabWnd(QWidget* parent) : QTabWidget(parent)
{
    // Sheet tabs below the sheets, as in a workbook.
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
}

CTorqSplitterWnd::CTorqSplitterWnd(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      m_left(new CSplitterPaneTabWnd(this)),
      m_right(new CSplitterPaneTabWnd(this))
{
    addWidget(m_left);
    addWidget(m_right);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setChildrenCollapsible(false);
    m_left->setMinimumWidth(kLeastPaneWidth);
    m_right->setMinimumWidth(kLeastPaneWidth);
    connect(this, &QSplitter::splitterMoved, this, [this](int position) {
        m_movedByUser = true;
        QSettings().setValue(kLeftPaneWidthKey, position);
    });
}

int CTorqSplitterWnd::RememberedLeftPaneWidth()
{
    return std::max(kLeastPaneWidth, QSettings().value(kLeftPaneWidthKey, kLeftPaneWidth).toInt());
}

void CTorqSplitterWnd::FitLeftPane(int width)
{
    const int room = width - handleWidth();
    if (room < 2 * kLeastPaneWidth) return;
    // The graph pane keeps half the room, and in a very narrow window (tiled
    // windows) 300 pixels, as far as the least left pane leaves it.
    const int right = std::min(room - kLeastPaneWidth, std::max(room / 2, kLeastGraphWidth));
    const int left = std::clamp(std::min(RememberedLeftPaneWidth(), room - right), kLeastPaneWidth,
                                room - kLeastPaneWidth);
    setSizes({left, room - left});
}

void CTorqSplitterWnd::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (!m_movedByUser) FitLeftPane(event->size().width());
}
