#include "FuzzSupport.h"

#include "base/ErrCode.h"

#include <cstdlib>

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

MemoryStream::MemoryStream() : m_file(open_memstream(&m_buffer, &m_size)) {}

MemoryStream::~MemoryStream()
{
    std::fclose(m_file);
    std::free(m_buffer);
}

std::string MemoryStream::Text()
{
    std::fflush(m_file);
    return std::string(m_buffer, m_size);
}

void PropertyFailed(const char* what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    __builtin_trap();
}
