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
// starts 400 pixels wide, or as wide as the user last dragged it in any
// engine window (remembered in the settings); in a narrow window (a small
// screen, tiled windows) it gives way, so that the right pane keeps at least
// half. Once dragged in a window, the left pane keeps its width there while
// the window is resized.
class CTorqSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kLeftPaneWidth = 400;
    static constexpr int kLeastPaneWidth = 120;
    static constexpr int kLeastGraphWidth = 300;

    // The left pane's width the user chose last (400 before any choice).
    static int RememberedLeftPaneWidth();

    explicit CTorqSplitterWnd(QWidget* parent = nullptr);

    CSplitterPaneTabWnd* LeftPane() const { return m_left; }
    CSplitterPaneTabWnd* RightPane() const { return m_right; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitLeftPane(int width);

    CSplitterPaneTabWnd* m_left;
    CSplitterPaneTabWnd* m_right;
    bool m_movedByUser = false;
};
