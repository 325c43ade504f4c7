#pragma once

#include <string>

// Internal consistency checks: a failure is a fault of the program, which
// valid input can never cause. The report names the source file and line.

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
