#include "LineFile.h"

#include "AtomicFile.h"
#include "Util.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kNameBufferSize = 80;  // what readers give one name line

// A control character has no place in a one-line name; it shows as a blank.
bool IsControlCharacter(int c)
{
    return (c >= 0 && c < 0x20) || c == 0x7F;
}

// What scanf skips as white space in the "C" locale.
bool IsBlankOrLineEnd(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

// ---------------------------------------------------------------- name lines

void WriteNameLine(std::FILE* file, std::string_view text)
{
    std::string line(text.substr(0, std::min(text.size(), kMaxNameLineLength)));
    for (char& c : line) {
        if (IsControlCharacter(static_cast<unsigned char>(c))) c = ' ';
    }
    // Readers trim blanks from both ends (those in front go with the number
    // read before the line): writing them would not read back the same.
    CLocaleScope cLocale;
    if (std::fprintf(file, "%s\n", TrimBlanks(line).c_str()) <= 0) RaiseError(Msg::FileWrite);
}

bool ReadNameLine(std::FILE* file, std::string& line)
{
    // As fgets into an 80-byte buffer: at most 79 characters, the line end
    // included. NUL bytes are dropped and other control characters read as
    // blanks (no name holds one), and the rest of a longer line is skipped so
    // that the next read starts on the next line.
    constexpr std::size_t kLongestLine = kNameBufferSize - 1;
    line.clear();
    std::size_t taken = 0;
    int c = EOF;
    while (taken < kLongestLine && (c = std::fgetc(file)) != EOF) {
        ++taken;
        if (c == '\n') {
            line.push_back('\n');
            return true;
        }
        if (c != '\0') line.push_back(IsControlCharacter(c) ? ' ' : static_cast<char>(c));
    }
    if (taken == 0) return false;
    if (c != EOF) {
        while ((c = std::fgetc(file)) != EOF && c != '\n') {
        }
    }
    return true;
}

// ---------------------------------------------------------------- integer and version lines

void SkipNumberLineEnd(std::FILE* file)
{
    int next = std::fgetc(file);
    if (next == EOF) RaiseError(Msg::FileRead);
    while (IsBlankOrLineEnd(next)) next = std::fgetc(file);
    if (next != EOF) std::ungetc(next, file);
}

std::int32_t ReadIntegerLine(std::FILE* file)
{
    CLocaleScope cLocale;
    int value = 0;
    if (std::fscanf(file, "%d", &value) < 1) RaiseError(Msg::FileRead);
    SkipNumberLineEnd(file);
    return value;
}

void WriteIntegerLine(std::FILE* file, std::int32_t value)
{
    CLocaleScope cLocale;
    if (std::fprintf(file, "%d\n", value) <= 0) RaiseError(Msg::FileWrite);
}

bool IsReadableFileVersion(std::string_view trimmedLine)
{
    return std::find(kReadableFileVersions.begin(), kReadableFileVersions.end(), trimmedLine) !=
           kReadableFileVersions.end();
}

std::size_t FileVersionAge(std::string_view readableVersion)
{
    const auto found = std::find(kReadableFileVersions.begin(), kReadableFileVersions.end(), readableVersion);
    TORQ_ASSERT(found != kReadableFileVersions.end());
    return std::size_t(found - kReadableFileVersions.begin());
}

void WriteBlockVersion(std::FILE* file)
{
    WriteNameLine(file, kFileVersion);
}

void ReadBlockVersion(std::FILE* file, ErrorCode badVersionCode)
{
    std::string line;
    if (!ReadNameLine(file, line)) RaiseError(Msg::FileRead);
    if (!IsReadableFileVersion(TrimBlanks(line))) RaiseError(badVersionCode);
}

// ---------------------------------------------------------------- whole files

bool ReadTextFile(const std::string& path, const std::function<void(std::FILE*)>& read)
{
    CLocaleScope cLocale;
    std::FILE* file = nullptr;
    try {
        file = OpenRegularFileForReading(path);
        if (file == nullptr) RaiseError(Msg::FileOpen);
        read(file);
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) RaiseError(Msg::FileClose);
        return true;
    } catch (const RaisedError& error) {
        if (file != nullptr) std::fclose(file);
        ShowErrorMessage(error.code);
        return false;
    }
}

bool WriteTextFile(const std::string& path, const std::function<void(std::FILE*)>& write)
{
    CAtomicFile file(path);
    if (!FinishTextFile(file, write)) return false;
    try {
        CommitOrRaise(file);
        return true;
    } catch (const RaisedError& error) {
        ShowErrorMessage(error.code);
        return false;
    }
}

bool FinishTextFile(CAtomicFile& file, const std::function<void(std::FILE*)>& write)
{
    CLocaleScope cLocale;
    try {
        if (file.File() == nullptr && !file.Open()) RaiseError(Msg::FileOpen);
        write(file.File());
        FinishOrRaise(file);
        return true;
    } catch (const RaisedError& error) {
        file.Abandon();
        ShowErrorMessage(error.code);
        return false;
    }
}
