#include "FuzzSupport.h"

#include "base/ErrCode.h"

#include <system_error>

namespace {

class FuzzPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind kind, int, const ErrorMessage&) override
    {
        if (kind == MessageKind::Assertion) PropertyFailed("an internal consistency report");
    }
    WarningAnswer AskWarning(int, const ErrorMessage&) override { return WarningAnswer::Cancel; }
};

}  // namespace

void InstallFuzzPresenter()
{
    static FuzzPresenter presenter;
    InstallMessagePresenter(&presenter);
}

std::FILE* OpenInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return nullptr;
    return fmemopen(const_cast<std::uint8_t*>(data), size, "r");
}

void PropertyFailed(const char* what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::error_code ignored;
    std::filesystem::remove_all(FuzzFolder(), ignored);
    __builtin_trap();
}

const std::filesystem::path& FuzzFolder()
{
    static const TempDir folder;
    return folder.Path();
}

InputFile::InputFile(const std::uint8_t* data, std::size_t size, const char* name)
    : m_path(FuzzFolder() / name)
{
    WriteWholeFile(m_path, std::string(reinterpret_cast<const char*>(data), size));
}

InputFile::~InputFile()
{
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}
