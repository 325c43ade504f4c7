#include "QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(IconOf(kind), QString::fromStdString(message.title), QString::fromStdString(message.text),
                    QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

WarningAnswer QtMessagePresenter::AskWarning(int, const ErrorMessage& message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(message.title),
                    QString::fromStdString(message.text), QMessageBox::Ok | QMessageBox::Cancel,
                    MessageOwner());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok) ? WarningAnswer::Ok : WarningAnswer::Cancel;
}
