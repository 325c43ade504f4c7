#pragma once

#include <QSplitter>
#include <QTabWidget>

// One pane of a document window: a tab window whose sheets are the views.
class CSplitterPaneTabWnd : public QTabWidget {
    Q_OBJECT
public:
    explicit CSplitterPaneTabWnd(QWidget* parent = nullptr);
};

// The document window's splitter: one row, two tabbed panes. The left pane
// starts at a fixed width and keeps it while the window is resized; the
// right pane takes the rest.
class CTorqSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kLeftPaneWidth = 400;

    explicit CTorqSplitterWnd(QWidget* parent = nullptr);

    CSplitterPaneTabWnd* LeftPane() const { return m_left; }
    CSplitterPaneTabWnd* RightPane() const { return m_right; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CSplitterPaneTabWnd* m_left;
    CSplitterPaneTabWnd* m_right;
    bool m_sized = false;
};
