#include "QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon IconOf(MessageKind kind)
{
    switch (kind) {
        case MessageKind::Error:
        case MessageKind::Assertion:
            return QMessageBox::Critical;
        case MessageKind::Note:
            return QMessageBox::Information;
        case MessageKind::Warning:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

// A box made on the heap: the window it stands over may be destroyed while
// it is up (a value editor closed just before runs its deferred deletion in
// the box's own event loop), and then takes the box with it, which a box on
// the stack would not survive.
QMessageBox* MakeBox(QMessageBox::Icon icon, const ErrorMessage& message,
                     QMessageBox::StandardButtons buttons, QWidget* owner)
{
    auto* box = new QMessageBox(icon, QString::fromStdString(message.title),
                                QString::fromStdString(message.text), buttons, owner);
    box->setTextFormat(Qt::PlainText);
    return box;
}

}  // namespace

QtMessagePresenter::QtMessagePresenter() : m_previous(InstallMessagePresenter(this)) {}

QtMessagePresenter::~QtMessagePresenter()
{
    InstallMessagePresenter(m_previous);
}

QWidget* QtMessagePresenter::MessageOwner()
{
    if (QWidget* focus = QApplication::focusWidget()) return focus->window();
    return QApplication::activeWindow();
}

void QtMessagePresenter::ShowMessage(MessageKind kind, int, const ErrorMessage& message)
{
    // The assertion report must not depend on any window of the program.
    QWidget* owner = kind == MessageKind::Assertion ? nullptr : MessageOwner();
    const QPointer<QMessageBox> box = MakeBox(IconOf(kind), message, QMessageBox::Ok, owner);
    box->exec();
    delete box.data();
}

WarningAnswer QtMessagePresenter::AskWarning(int, const ErrorMessage& message)
{
    const QPointer<QMessageBox> box =
        MakeBox(QMessageBox::Warning, message, QMessageBox::Ok | QMessageBox::Cancel, MessageOwner());
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Cancel);
    box->exec();
    // A box that went with its window while it was up was answered by nobody.
    if (box.isNull()) return WarningAnswer::Cancel;
    const bool ok = box->clickedButton() == box->button(QMessageBox::Ok);
    delete box.data();
    return ok ? WarningAnswer::Ok : WarningAnswer::Cancel;
}
