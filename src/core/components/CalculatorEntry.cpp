#include "CalculatorEntry.h"

#include "base/Util.h"

#include <string>

EntryResult EnterNumber(CFloatPtSpec& parameter, std::string_view text, int decimals)
{
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty()) return EntryResult::Empty;
    const bool taken = decimals >= 0 ? parameter.SetFromTextRounded(trimmed, decimals)
                                     : parameter.SetFromText(trimmed, false);
    return taken ? EntryResult::Accepted : EntryResult::Refused;
}

std::string EditText(const CFloatPtSpec& parameter)
{
    return parameter.IsSet() ? parameter.GetText() : std::string();
}
