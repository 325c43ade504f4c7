#include "Util.h"

#include "ErrCode.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

float RoundToDecimals(float value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double magnitude = std::trunc(std::fabs(double(value)) * scale + 0.5) / scale;
    return float(value < 0.0f ? -magnitude : magnitude);
}

std::string DosFileName(std::string_view name, std::string_view extension)
{
    TORQ_ASSERT(!name.empty());
    std::string_view stem = name.substr(0, name.find('.'));
    if (stem.size() > 8) stem = stem.substr(0, 8);
    std::string result(stem);
    result += extension;
    return result;
}

std::string FormatC(const char* format, ...)
{
    CLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string text;
    if (length > 0) {
        text.resize(std::size_t(length));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}
}  // namespace

std::string TrimBlanks(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    return TrimTrailingBlanks(text.substr(first));
}

std::string TrimTrailingBlanks(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return std::string(text.substr(0, end));
}

CLocaleScope::CLocaleScope() : m_previous(uselocale(CLocale())) {}

CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(m_previous)); }
