#include "views/StaleResultsNote.h"

#include <QEvent>

#include <algorithm>

namespace {

constexpr int kTopMargin = 8;  // pixels from the host's top edge

}  // namespace

const QString& CStaleResultsNote::Text()
{
    static const QString text = QStringLiteral("Results out of date \u2014 Engine > Run!");
    return text;
}

CStaleResultsNote::CStaleResultsNote(QWidget* host) : QLabel(Text(), host)
{
    setObjectName(QStringLiteral("staleResultsNote"));
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A pale yellow slip with a dark edge, the colours of a note pinned on the sheet.
    setStyleSheet(
        QStringLiteral("QLabel { background: #fff3b0; color: #202020; border: 1px solid #a08000;"
                       " padding: 3px 8px; }"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    hide();
    host->installEventFilter(this);
    PlaceOnHost();
}

bool CStaleResultsNote::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) PlaceOnHost();
    return QLabel::eventFilter(watched, event);
}

void CStaleResultsNote::PlaceOnHost()
{
    adjustSize();
    const QWidget* host = parentWidget();
    move(std::max(0, (host->width() - width()) / 2), kTopMargin);
    raise();
}
