#pragma once

#include "base/TorqSpec.h"

#include <string_view>

// What a calculator made of one typed value.
enum class EntryResult {
    Empty,     // nothing typed: the parameter keeps what it had
    Accepted,  // the parameter holds the typed value
    Refused,   // the parameter does not take the text and is unchanged
};

// The calculators' field protocol: the text is trimmed of blanks; an empty
// text changes nothing; otherwise the parameter takes it with SetFromText,
// or rounded to `decimals` places when decimals >= 0 (measured volumes are
// kept to the hundredth of a cc the results are shown in).
EntryResult EnterNumber(CFloatPtSpec& parameter, std::string_view text, int decimals = -1);

// The value text of a parameter for an edit box: empty while it is unset.
std::string EditText(const CFloatPtSpec& parameter);
