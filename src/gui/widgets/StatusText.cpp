#include "widgets/StatusText.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

namespace {

// The status bar of the nearest main window up the parent chain. A window's
// own status bar is a direct child; QMainWindow::statusBar() is not used
// because it would create one where the program has none.
QStatusBar* FindStatusBar(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (const auto* mainWindow = qobject_cast<const QMainWindow*>(w)) {
            return mainWindow->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        }
    }
    return nullptr;
}

}  // namespace

void ShowStatusText(const QWidget* widget, const QString& text)
{
    if (QStatusBar* bar = FindStatusBar(widget)) bar->showMessage(text);
}

QString CurrentStatusText(const QWidget* widget)
{
    const QStatusBar* bar = FindStatusBar(widget);
    return bar != nullptr ? bar->currentMessage() : QString();
}
