#pragma once

#include "base/ErrCode.h"

class QWidget;

// Shows the core's messages as message boxes: errors with an error icon and
// OK, notes with an information icon and OK, warnings with a warning icon and
// OK / Cancel (closing the box answers Cancel), and the assertion report in a
// box without an owner. Installs itself for its lifetime.
class QtMessagePresenter final : public MessagePresenter {
public:
    QtMessagePresenter();
    ~QtMessagePresenter() override;
    QtMessagePresenter(const QtMessagePresenter&) = delete;
    QtMessagePresenter& operator=(const QtMessagePresenter&) = delete;

    void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) override;
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override;

    // The window that owns a message: the one with the keyboard focus.
    static QWidget* MessageOwner();

private:
    MessagePresenter* m_previous;
};
