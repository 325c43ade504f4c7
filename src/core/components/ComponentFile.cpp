#include "ComponentFile.h"

#include "model/AtomicFile.h"
#include "model/ErrCode.h"
#include "model/TorqSpec.h"
#include "model/Util.h"

#include <array>

namespace {
constexpr std::array<std::string_view, 5> kAcceptedVersions = {"3.10", "3.08", "3.07", "3.06", "3.05"};
}  // namespace

bool IsAcceptedBlockVersion(std::string_view trimmedLine)
{
    for (std::string_view version : kAcceptedVersions) {
        if (trimmedLine == version) return true;
    }
    return false;
}

void WriteBlockVersion(std::FILE* file) { WriteNameLine(file, kBlockVersion); }

void ReadBlockVersion(std::FILE* file, ErrorCode badVersionCode)
{
    std::string line;
    if (!ReadNameLine(file, line)) RaiseError(45);
    if (!IsAcceptedBlockVersion(TrimBlanks(line))) RaiseError(badVersionCode);
}

std::int32_t ReadIntegerLine(std::FILE* file)
{
    CLocaleScope cLocale;
    int value = 0;
    if (std::fscanf(file, "%d\n", &value) < 1) RaiseError(45);
    return value;
}

void WriteIntegerLine(std::FILE* file, std::int32_t value)
{
    CLocaleScope cLocale;
    if (std::fprintf(file, "%d\n", value) <= 0) RaiseError(44);
}

bool SaveBlockFile(const std::string& path, const std::function<void(std::FILE*)>& writeBlock)
{
    CLocaleScope cLocale;
    CAtomicFile file(path);
    try {
        if (!file.Open()) RaiseError(43);
        writeBlock(file.File());
        CommitOrRaise(file);
        return true;
    } catch (const RaisedError& error) {
        file.Abandon();
        ShowErrorMessage(error.code);
        return false;
    }
}

bool LoadBlockFile(const std::string& path, const std::function<void(std::FILE*)>& readBlock)
{
    CLocaleScope cLocale;
    std::FILE* file = nullptr;
    try {
        file = OpenRegularFileForReading(path);
        if (file == nullptr) RaiseError(43);
        readBlock(file);
        const int closed = std::fclose(file);
        file = nullptr;
        if (closed != 0) RaiseError(46);
        return true;
    } catch (const RaisedError& error) {
        if (file != nullptr) std::fclose(file);
        ShowErrorMessage(error.code);
        return false;
    }
}
