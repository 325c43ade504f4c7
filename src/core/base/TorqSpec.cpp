#include "TorqSpec.h"

#include "ErrCode.h"
#include "LineFile.h"
#include "Util.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kRangeSlack = 0.00001;

const UnitInfo& UnitInfoOf(UnitCode code)
{
    const UnitInfo* info = FindUnitInfo(code);
    TORQ_ASSERT(info != nullptr);
    return *info;
}

// Every formatted write reports the number of characters written; a count
// below 1 means the line did not reach the file.
template <typename... Args>
void WriteLine(std::FILE* file, const char* format, Args... args)
{
    CLocaleScope cLocale;
    if (std::fprintf(file, format, args...) <= 0) RaiseError(Msg::FileWrite);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Skips the digits at position i; answers how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& i)
{
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - start;
}

void SkipSign(std::string_view text, std::size_t& i)
{
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
}

// One decimal number and nothing else: an optional sign, digits with at
// most one decimal point (a digit on at least one side of it), and an
// optional exponent. Hexadecimal, "inf", "nan", a decimal comma or trailing
// letters are not numbers a person types into an engine.
bool IsDecimalNumberText(std::string_view text)
{
    std::size_t i = 0;
    SkipSign(text, i);
    std::size_t digits = SkipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += SkipDigits(text, i);
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        SkipSign(text, i);
        if (SkipDigits(text, i) == 0) return false;
    }
    return i == text.size();
}

bool IsIntegerText(std::string_view text)
{
    std::size_t i = 0;
    SkipSign(text, i);
    return SkipDigits(text, i) > 0 && i == text.size();
}

// A double narrowed to float, with overflow made explicit (a plain cast of
// an out-of-range double is undefined behaviour).
float NarrowToFloat(double value)
{
    if (std::isnan(value)) return float(value);
    if (value > double(FLT_MAX)) return INFINITY;
    if (value < -double(FLT_MAX)) return -INFINITY;
    return float(value);
}

}  // namespace

// ---------------------------------------------------------------- CTorqSpec

CTorqSpec::CTorqSpec(const char* name) : m_name(name)
{
    TORQ_ASSERT(name != nullptr);
}

void CTorqSpec::CheckInvariants() const
{
    TORQ_ASSERT(m_name != nullptr);
    TORQ_ASSERT(m_set == 0 || m_set == 1);
}

// ---------------------------------------------------------------- CFloatPtSpec

CFloatPtSpec::CFloatPtSpec(const char* name, UnitCode englishUnit, float englishMin, float englishMax,
                           UnitCode metricUnit, float factor)
    : CTorqSpec(name),
      m_value(englishMin),
      m_englishMin(englishMin),
      m_englishMax(englishMax),
      m_metricMin(englishMin * factor),
      m_metricMax(englishMax * factor),
      m_unitCode(englishUnit),
      m_englishUnit(englishUnit),
      m_metricUnit(metricUnit),
      m_factor(factor),
      m_englishFormat(UnitInfoOf(englishUnit).format),
      m_metricFormat(UnitInfoOf(metricUnit).format)
{
    CheckInvariants();
}

CFloatPtSpec::CFloatPtSpec(const CFloatPtSpec& other) : CTorqSpec(other)
{
    *this = other;
    if (!other.IsValid()) MarkUnset();
}

bool CFloatPtSpec::ParseNumber(std::string_view text, double& out)
{
    const std::string trimmed = TrimBlanks(text);
    if (!IsDecimalNumberText(trimmed)) return false;
    CLocaleScope cLocale;
    out = std::strtod(trimmed.c_str(), nullptr);
    return true;
}

bool CFloatPtSpec::SetFromText(std::string_view text, bool checkOnly)
{
    double parsed;
    if (!ParseNumber(text, parsed)) return false;
    const float value = NarrowToFloat(parsed);
    if (!IsInRange(value)) return false;
    if (!checkOnly) SetValue(value);
    return true;
}

bool CFloatPtSpec::SetFromTextRounded(std::string_view text, int decimals)
{
    double parsed;
    if (!ParseNumber(text, parsed)) return false;
    const float value = NarrowToFloat(parsed);
    // Values this large cannot be rounded (or stored) anyway.
    if (!std::isfinite(value) || std::fabs(double(value)) * std::pow(10.0, decimals) >= 4294967296.0) {
        return false;
    }
    const float rounded = RoundToDecimals(value, decimals);
    if (!IsInRange(rounded)) return false;
    SetValue(rounded);
    return true;
}

std::string CFloatPtSpec::FormatValue(float value) const
{
    return FormatC(IsEnglish() ? m_englishFormat : m_metricFormat, double(value));
}

std::string CFloatPtSpec::GetText() const
{
    return IsSet() ? FormatValue(m_value) : std::string(kUnsetText);
}

std::string CFloatPtSpec::GetTextWithUnits() const
{
    return GetText() + " " + GetUnitsLabel();
}

const char* CFloatPtSpec::GetUnitsLabel() const
{
    return UnitInfoOf(m_unitCode).label;
}

bool CFloatPtSpec::IsValid() const
{
    return IsSet() && IsInRange(m_value);
}

std::string CFloatPtSpec::GetPrompt() const
{
    return std::string("Enter ") + GetName() + " Value Within Range: " + FormatValue(GetMinimum()) + " to " +
           FormatValue(GetMaximum()) + " " + GetUnitsLabel();
}

bool CFloatPtSpec::IsInRange(float value) const
{
    const double lower = double(GetMinimum()) - kRangeSlack;
    const float upper = NarrowToFloat(double(GetMaximum()) + kRangeSlack);
    return double(value) >= lower && value <= upper;
}

void CFloatPtSpec::SetValue(float value)
{
    TORQ_ASSERT(IsInRange(value));
    m_value = value;
    MarkSet();
}

void CFloatPtSpec::SetRoundedValue(float value, int decimals)
{
    SetValue(RoundToDecimals(value, decimals));
}

void CFloatPtSpec::SetValueIn(float value, bool english)
{
    SetUnits(english);
    SetValue(value);
}

void CFloatPtSpec::SetUnits(bool english)
{
    if (english) {
        ToEnglish();
    } else {
        ToMetric();
    }
}

float CFloatPtSpec::GetEnglishValue() const
{
    if (IsEnglish()) return m_value;
    const float english = m_value / m_factor;
    if (english < m_englishMin) return m_englishMin;
    if (english > m_englishMax) return m_englishMax;
    return english;
}

void CFloatPtSpec::ToEnglish()
{
    if (IsEnglish()) return;
    m_value = GetEnglishValue();
    m_unitCode = m_englishUnit;
}

void CFloatPtSpec::ToMetric()
{
    if (IsMetric()) return;
    m_unitCode = m_metricUnit;
    // A value inside the English range's slack can scale past the metric
    // range's slack (7.000005 in is 177.80013 mm against 177.8): it stays on
    // the metric bound, as ToEnglish keeps a metric value on the English one.
    m_value = std::clamp(m_value * m_factor, m_metricMin, m_metricMax);
}

void CFloatPtSpec::SetRange(float englishMin, float englishMax)
{
    m_englishMin = englishMin;
    m_englishMax = englishMax;
    m_metricMin = englishMin * m_factor;
    m_metricMax = englishMax * m_factor;
    if (!IsInRange(m_value)) Reset();
}

void CFloatPtSpec::Reset()
{
    m_value = GetMinimum();
    MarkUnset();
}

void CFloatPtSpec::Write(std::FILE* file) const
{
    WriteLine(file, "%d %f\n", IsSet() ? 1 : 0, double(m_value));
}

void CFloatPtSpec::Read(std::FILE* file)
{
    int flag = 0;
    float value = 0.0f;
    int fields;
    {
        CLocaleScope cLocale;
        fields = std::fscanf(file, "%d %f", &flag, &value);
    }
    // Both fields are needed: a line that ends after the flag has no value to take.
    if (fields < 2) RaiseError(Msg::FileRead);
    SkipNumberLineEnd(file);
    if (!IsInRange(value)) RaiseError(Msg::FileInvalidValue);
    SetValue(value);
    if (flag == 0) MarkUnset();
}

void CFloatPtSpec::CheckInvariants() const
{
    CTorqSpec::CheckInvariants();
    TORQ_ASSERT(m_englishMin <= m_englishMax);
    TORQ_ASSERT(m_metricMin <= m_metricMax);
    TORQ_ASSERT(m_unitCode == m_englishUnit || m_unitCode == m_metricUnit);
    TORQ_ASSERT(IsInRange(m_value));
    TORQ_ASSERT(m_englishFormat != nullptr && m_metricFormat != nullptr);
}

// ---------------------------------------------------------------- CIntegerSpec

CIntegerSpec::CIntegerSpec(const char* name, std::int32_t minimum, std::int32_t maximum)
    : CTorqSpec(name), m_value(minimum), m_minimum(minimum), m_maximum(maximum)
{
    CheckInvariants();
}

bool CIntegerSpec::SetFromText(std::string_view text, bool checkOnly)
{
    // A whole number and nothing else; beyond the int range it is refused
    // instead of wrapping around.
    const std::string trimmed = TrimBlanks(text);
    if (!IsIntegerText(trimmed)) return false;
    errno = 0;
    const long long parsed = std::strtoll(trimmed.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    const auto value = static_cast<std::int32_t>(parsed);
    if (!IsInRange(value)) return false;
    if (!checkOnly) SetValue(value);
    return true;
}

std::string CIntegerSpec::GetText() const
{
    return IsSet() ? FormatC("%d", m_value) : std::string(kUnsetText);
}

bool CIntegerSpec::IsValid() const
{
    return IsSet() && IsInRange(m_value);
}

std::string CIntegerSpec::GetPrompt() const
{
    return FormatC("Enter %s Value Within Range: %d to %d", GetName(), m_minimum, m_maximum);
}

void CIntegerSpec::SetValue(std::int32_t value)
{
    TORQ_ASSERT(IsInRange(value));
    m_value = value;
    MarkSet();
}

void CIntegerSpec::Write(std::FILE* file) const
{
    WriteLine(file, "%d\n", m_value);
}

void CIntegerSpec::Read(std::FILE* file)
{
    int value = 0;
    if (std::fscanf(file, "%d", &value) < 1) RaiseError(Msg::FileRead);
    SkipNumberLineEnd(file);
    if (!IsInRange(value)) RaiseError(Msg::FileInvalidValue);
    SetValue(value);
}

void CIntegerSpec::CheckInvariants() const
{
    CTorqSpec::CheckInvariants();
    TORQ_ASSERT(m_minimum <= m_maximum);
    TORQ_ASSERT(IsInRange(m_value));
}

// ---------------------------------------------------------------- CPartTypeSpec

CPartTypeSpec::CPartTypeSpec(const char* name, std::int32_t minIndex, std::int32_t maxIndex)
    : CTorqSpec(name), m_index(minIndex), m_minIndex(minIndex), m_maxIndex(maxIndex)
{
    CheckInvariants();
}

bool CPartTypeSpec::SetChoice(std::int32_t index, std::string_view name, bool checkOnly)
{
    if (name.empty() || index < m_minIndex || index > m_maxIndex) return false;
    if (!checkOnly) {
        m_index = index;
        m_choiceName = std::string(name);
        MarkSet();
    }
    return true;
}

bool CPartTypeSpec::SetFromText(std::string_view text, bool checkOnly)
{
    return SetChoice(m_maxIndex, text, checkOnly);
}

std::string CPartTypeSpec::GetText() const
{
    return IsSet() ? m_choiceName : std::string(kUnsetText);
}

bool CPartTypeSpec::IsValid() const
{
    return IsSet() && m_index >= m_minIndex && m_index <= m_maxIndex;
}

std::string CPartTypeSpec::GetPrompt() const
{
    return std::string("Select or Enter ") + GetName();
}

void CPartTypeSpec::Write(std::FILE* file) const
{
    // An unset choice has no name to save; callers validate first.
    TORQ_ASSERT(!m_choiceName.empty());
    WriteNameLine(file, m_choiceName);
    WriteLine(file, "%d\n", m_index);
}

void CPartTypeSpec::Read(std::FILE* file)
{
    std::string line;
    if (!ReadNameLine(file, line)) RaiseError(Msg::FileRead);
    int index = 0;
    if (std::fscanf(file, "%d", &index) < 1) RaiseError(Msg::FileRead);
    SkipNumberLineEnd(file);
    if (index < m_minIndex || index > m_maxIndex) RaiseError(Msg::FileInvalidValue);
    // A blank name line would make a chosen part without a name, which no
    // later save could write: it counts as an invalid value.
    const std::string choiceName = TrimBlanks(line);
    if (choiceName.empty()) RaiseError(Msg::FileInvalidValue);
    SetChoice(index, choiceName);
}

void CPartTypeSpec::CheckInvariants() const
{
    CTorqSpec::CheckInvariants();
    TORQ_ASSERT(m_minIndex > 0);
    TORQ_ASSERT(m_maxIndex >= m_minIndex);
    TORQ_ASSERT(m_index >= m_minIndex && m_index <= m_maxIndex);
}

// ---------------------------------------------------------------- CFileSpec

CFileSpec::CFileSpec(const char* name) : CTorqSpec(name)
{
    CheckInvariants();
}

bool CFileSpec::SetFromText(std::string_view text, bool checkOnly)
{
    if (text.empty()) return false;
    if (!checkOnly) {
        m_fileName = std::string(text);
        MarkSet();
    }
    return true;
}

std::string CFileSpec::GetText() const
{
    return IsSet() ? m_fileName : std::string(kUnsetText);
}

bool CFileSpec::IsValid() const
{
    return IsSet() && !m_fileName.empty();
}

std::string CFileSpec::GetPrompt() const
{
    return std::string("Open or Save ") + GetName();
}

void CFileSpec::Write(std::FILE* file) const
{
    WriteLine(file, "%d\n", IsSet() ? 1 : 0);
    WriteNameLine(file, GetText());
}

void CFileSpec::Read(std::FILE* file)
{
    int flag = 0;
    if (std::fscanf(file, "%d", &flag) < 1) RaiseError(Msg::FileRead);
    SkipNumberLineEnd(file);
    std::string line;
    if (!ReadNameLine(file, line)) RaiseError(Msg::FileRead);
    if (flag == 0) return;
    // A blank name names no file. Kept as a set but empty name it would be
    // saved as an empty line, which the number read before it skips, and
    // the saved file could not be read again.
    m_fileName = TrimBlanks(line);
    if (m_fileName.empty()) {
        MarkUnset();
    } else {
        MarkSet();
    }
}
