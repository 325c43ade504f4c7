// Engine files dropped on the main window open, each in a window of its own.

#include "MainFrame.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// An engine file among dropped URLs: local, and named *.trq.
bool IsEngineFileUrl(const QUrl& url)
{
    return url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".trq"), Qt::CaseInsensitive);
}

QList<QUrl> EngineFileUrls(const QMimeData* data)
{
    QList<QUrl> engines;
    if (data == nullptr || !data->hasUrls()) return engines;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (IsEngineFileUrl(url)) engines.append(url);
    }
    return engines;
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!EngineFileUrls(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event)
{
    if (!EngineFileUrls(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> engines = EngineFileUrls(event->mimeData());
    if (engines.isEmpty()) return;
    event->acceptProposedAction();
    // Each file that cannot be read shows its message; the others still open.
    for (const QUrl& url : engines) OpenDocumentFile(url.toLocalFile());
}
