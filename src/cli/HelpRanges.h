#pragma once

#include <QString>

#include <string_view>

class CFloatPtSpec;
struct EngineValues;

namespace cli {

// What the help texts quote, read from where the program keeps it, so that
// a range or version changed there is the one the help states.

// "6 to 18": the bounds with the decimals the help writes them with.
QString RangeText(float minimum, float maximum, int minDecimals, int maxDecimals);
// The same for a parameter's English bounds.
QString RangeText(const CFloatPtSpec& parameter, int minDecimals, int maxDecimals);

// A new engine's parameters with their ranges, in English units.
const EngineValues& NewEngineValues();

// The newest (written) and the oldest readable file version.
QString WrittenFileVersion();
QString OldestReadableFileVersion();

}  // namespace cli
