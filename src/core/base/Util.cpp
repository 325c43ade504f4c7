#include "Util.h"

#include "ErrCode.h"

#include <locale.h>
#include <cmath>
#include <cstdarg>
#include <cstdio>

float RoundToDecimals(float value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double magnitude = std::trunc(std::fabs(double(value)) * scale + 0.5) / scale;
    return float(value < 0.0f ? -magnitude : magnitude);
}

std::size_t CharacterLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    // The sequence length and the smallest code point it may carry (no overlong forms).
    std::size_t length = 1;
    unsigned lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 1;  // ASCII, or a byte that starts no character
    }
    if (at + length > text.size()) return 1;
    unsigned codePoint = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) return 1;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < lowest || codePoint > 0x10FFFF || surrogate) return 1;
    return length;
}

std::string DosFileName(std::string_view name, std::string_view extension)
{
    TORQ_ASSERT(!name.empty());
    // '.' is never part of a multi-byte character, so the stem ends at the first one.
    const std::string_view stem = name.substr(0, name.find('.'));
    constexpr int kStemCharacters = 8;
    std::size_t end = 0;
    for (int kept = 0; kept < kStemCharacters && end < stem.size(); ++kept) end += CharacterLength(stem, end);
    std::string result(stem.substr(0, end));
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
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

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

CLocaleScope::~CLocaleScope()
{
    uselocale(static_cast<locale_t>(m_previous));
}
