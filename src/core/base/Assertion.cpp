#include "Assertion.h"

#include "MessagePresenter.h"
#include "Util.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char* BaseName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

}  // namespace

std::string FormatAssertionReport(const char* sourceFile, int line)
{
    return FormatC("File: %s \nLine#: %d \n\n%s\n%s\n%s\n%s", BaseName(sourceFile), line,
                   "Write down all of this error information and a short",
                   "description of the events that lead up to this error and",
                   "send it to Parvane Software. Sorry for the inconvenience.",
                   "Press OK to terminate the Torqwell.");
}

void ReportAssertion(const char* sourceFile, int line)
{
    const ErrorMessage report{"ASSERTION FAILURE", FormatAssertionReport(sourceFile, line)};
    // The report must reach the user even if the presenter is the one at fault.
    std::fprintf(stderr, "%s\n%s\n", report.title.c_str(), report.text.c_str());
    std::fflush(stderr);
    ShowAssertionReport(report);
    std::_Exit(9999);
}
