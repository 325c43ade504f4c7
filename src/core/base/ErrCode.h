#pragma once

#include <cstdint>
#include <string>

// Every message the program shows about a failure, a missing engine part or
// the consequence of a change comes from one numbered table:
//   1..99     errors   (ShowErrorMessage, one OK button)
//   101..105  notes    (ShowNoteMessage, title "Important!")
//   200..204  warnings (AskWarningMessage, OK and Cancel, title "Warning!")
// The core never opens a window: the messages go to the installed
// MessagePresenter (a message box in the GUI, stderr in the CLI, a recorder
// in the tests).

using ErrorCode = std::int16_t;

enum class MessageKind { Error, Note, Warning, Assertion };
enum class WarningAnswer { Ok, Cancel };

struct ErrorMessage {
    std::string title;
    std::string text;
};

// The title and text of a table entry; codes 89 and 99 carry the parameter
// ranges formatted into the text. A code that is not in the table is an
// internal consistency failure.
ErrorMessage GetErrorMessage(int code);
bool IsKnownErrorCode(int code);

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

void ShowErrorMessage(int code);  // codes 1..99
// The table's text, then a paragraph of the caller's: what the message is
// about (a file's name), which the table's own words cannot know.
void ShowErrorMessage(int code, const std::string& addition);
void ShowNoteMessage(int code);             // codes 101..105
WarningAnswer AskWarningMessage(int code);  // codes 200..204

// The text of the internal consistency report for a source file and line.
std::string FormatAssertionReport(const char* sourceFile, int line);

// Shows the internal consistency report ("ASSERTION FAILURE") and ends the
// process at once with exit status 9999, saving nothing.
[[noreturn]] void ReportAssertion(const char* sourceFile, int line);

// An internal consistency check: valid input can never make it fail.
#define TORQ_ASSERT(condition)                                 \
    do {                                                       \
        if (!(condition)) ReportAssertion(__FILE__, __LINE__); \
    } while (false)

// A 16-bit error code raised inside a file operation and caught at its top,
// which shows the code's message and cleans up.
struct RaisedError {
    ErrorCode code;
};

[[noreturn]] inline void RaiseError(ErrorCode code)
{
    throw RaisedError{code};
}
