#pragma once

#include <cstdint>
#include <string>

// Every message the program shows about a failure, a missing engine part or
// the consequence of a change comes from one numbered table, written once in
// MessageTable.def: a name, the number, the title and the text on one row.
// The code speaks in the names (Msg::FileRead); the numbers stay what the
// user, the tests and the command line's exit statuses see.

using ErrorCode = std::int16_t;

namespace Msg {
enum Code : ErrorCode {
    None = 0,  // no message: the check passed
#define TORQ_MESSAGE(name, code, title, text) name = code,
#include "MessageTable.def"
#undef TORQ_MESSAGE
};
}  // namespace Msg

struct ErrorMessage {
    std::string title;
    std::string text;
};

// The title and text of a table entry; codes 89 and 99 carry the parameter
// ranges formatted into the text. A code that is not in the table is an
// internal consistency failure.
ErrorMessage GetErrorMessage(int code);
bool IsKnownErrorCode(int code);

// A 16-bit error code raised inside a file operation and caught at its top,
// which shows the code's message and cleans up.
struct RaisedError {
    ErrorCode code;
};

[[noreturn]] inline void RaiseError(ErrorCode code)
{
    throw RaisedError{code};
}
