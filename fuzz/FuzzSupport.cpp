#include "FuzzSupport.h"

#include "base/ErrCode.h"

namespace {

class FuzzPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind kind, int, const ErrorMessage&) override
    {
        if (kind == MessageKind::Assertion) __builtin_trap();
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
    __builtin_trap();
}
