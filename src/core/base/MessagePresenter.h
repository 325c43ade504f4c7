#pragma once

#include "MessageTable.h"

// How the table's messages reach the user. The core never opens a window:
// the messages go to the installed MessagePresenter (a message box in the
// GUI, stderr in the CLI, a recorder in the tests).

enum class MessageKind { Error, Note, Warning, Assertion };
enum class WarningAnswer { Ok, Cancel };

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void ShowMessage(MessageKind kind, int code, const ErrorMessage& message) = 0;
    // Returns Cancel when the user presses Cancel or closes the box.
    virtual WarningAnswer AskWarning(int code, const ErrorMessage& message) = 0;
};

// Installs the presenter that all messages go to and returns the previous one.
// Passing nullptr restores the default presenter, which writes to stderr and
// answers every warning with Cancel.
MessagePresenter* InstallMessagePresenter(MessagePresenter* presenter);

void ShowErrorMessage(int code);            // codes 1..99
void ShowNoteMessage(int code);             // codes 101..105
WarningAnswer AskWarningMessage(int code);  // codes 200..204

// Shows the internal consistency report through an installed presenter; the
// default presenter adds nothing to what ReportAssertion wrote to stderr.
void ShowAssertionReport(const ErrorMessage& report);
