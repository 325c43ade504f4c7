#pragma once

#include <string>
#include <string_view>

// Rounds half away from zero to the given number of decimal places:
// m = trunc(|v| * 10^decimals + 0.5), then m / 10^decimals with v's sign.
// Callers keep |v| * 10^decimals below 2^32.
float RoundToDecimals(float value, int decimals);

// The DOS 8.3 form of a file name: the text before the first '.' (the whole
// name when it has none), cut to 8 characters, followed by the extension,
// which includes its dot (".gme", ".trq"). A character is one UTF-8 encoded
// character, so the cut never splits one; a byte that is not part of valid
// UTF-8 (a name in another 8-bit encoding) counts as a character of its own.
// An empty name is an internal consistency failure.
std::string DosFileName(std::string_view name, std::string_view extension);

// The length in bytes of the character at text[at]: 2 to 4 for a valid
// UTF-8 sequence, 1 for ASCII and for any byte that does not start one.
std::size_t CharacterLength(std::string_view text, std::size_t at);

// printf-style formatting that always uses '.' as the decimal point,
// whatever locale the program runs in.
[[gnu::format(printf, 1, 2)]] std::string FormatC(const char* format, ...);

// Removes blanks (spaces, tabs) and line ends (CR, LF) from both ends / the end.
std::string TrimBlanks(std::string_view text);
std::string TrimTrailingBlanks(std::string_view text);

// While alive, the C library's formatted input and output on this thread
// (printf, scanf, strtod, atof) use the "C" locale. File readers and writers
// hold one so that files always use '.' as the decimal point.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* m_previous;
};
