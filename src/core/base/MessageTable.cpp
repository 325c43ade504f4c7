#include "MessageTable.h"

#include "Assertion.h"
#include "EngineRanges.h"
#include "Util.h"

#include <cstddef>
#include <iterator>

namespace {

struct MessageRow {
    ErrorCode code;
    const char* title;
    const char* text;  // codes 89 and 99: a format taking the two range bounds
};

constexpr MessageRow kMessages[] = {
#define TORQ_MESSAGE(name, code, title, text) {Msg::name, title, text},
#include "MessageTable.def"
#undef TORQ_MESSAGE
};

// Each number once, in rising order: a row copied with its number unchanged
// stops the build.
constexpr bool CodesRise()
{
    for (std::size_t i = 1; i < std::size(kMessages); ++i) {
        if (kMessages[i].code <= kMessages[i - 1].code) return false;
    }
    return true;
}
static_assert(CodesRise());

const MessageRow* FindRow(int code)
{
    for (const MessageRow& row : kMessages) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

}  // namespace

bool IsKnownErrorCode(int code)
{
    return FindRow(code) != nullptr;
}

ErrorMessage GetErrorMessage(int code)
{
    const MessageRow* row = FindRow(code);
    TORQ_ASSERT(row != nullptr);
    if (code == Msg::CompressionRatioOutOfRange) {
        return {row->title, FormatC(row->text, double(EngineRanges::kCompressionRatioMin),
                                    double(EngineRanges::kCompressionRatioMax))};
    }
    if (code == Msg::AirflowRatingOutOfRange) {
        return {row->title, FormatC(row->text, double(EngineRanges::kInductionFlowMinCfm),
                                    double(EngineRanges::kInductionFlowMaxCfm))};
    }
    return {row->title, row->text};
}
