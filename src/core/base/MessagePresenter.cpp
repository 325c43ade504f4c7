#include "MessagePresenter.h"

#include "Assertion.h"

#include <iostream>

namespace {

class StderrPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind, int, const ErrorMessage& message) override
    {
        std::cerr << message.title << ": " << message.text << '\n';
    }
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override
    {
        ShowMessage(MessageKind::Warning, code, message);
        return WarningAnswer::Cancel;
    }
};

StderrPresenter g_stderrPresenter;
MessagePresenter* g_presenter = &g_stderrPresenter;

bool InRange(int code, int first, int last)
{
    return code >= first && code <= last;
}

}  // namespace

MessagePresenter* InstallMessagePresenter(MessagePresenter* presenter)
{
    MessagePresenter* previous = g_presenter == &g_stderrPresenter ? nullptr : g_presenter;
    g_presenter = presenter != nullptr ? presenter : &g_stderrPresenter;
    return previous;
}

void ShowErrorMessage(int code)
{
    TORQ_ASSERT(InRange(code, 1, 99));
    g_presenter->ShowMessage(MessageKind::Error, code, GetErrorMessage(code));
}

void ShowNoteMessage(int code)
{
    TORQ_ASSERT(InRange(code, 101, 105));
    g_presenter->ShowMessage(MessageKind::Note, code, GetErrorMessage(code));
}

WarningAnswer AskWarningMessage(int code)
{
    TORQ_ASSERT(InRange(code, 200, 204));
    return g_presenter->AskWarning(code, GetErrorMessage(code));
}

void ShowAssertionReport(const ErrorMessage& report)
{
    if (g_presenter != &g_stderrPresenter) g_presenter->ShowMessage(MessageKind::Assertion, 0, report);
}
