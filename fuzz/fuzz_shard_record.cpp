// The shard record reader on any input. What it accepts must be exactly what
// the writer writes for the values read (so a record is never taken in
// another form, nor with other values than it shows), and must read again
// as the same record.
//
// A digest of its own content guards every record, so random bytes almost
// never reach the parser behind it. The first byte of an input chooses: odd,
// the rest is read as it is; even, the rest is taken as a record's content
// and given its digest first, so that the parser and the range checks meet
// every shape of content.

#include "FuzzSupport.h"

#include "base/Sha256.h"
#include "iterator/ShardRecord.h"

#include <string>
#include <string_view>

namespace {

std::string WithDigest(std::string_view content)
{
    return std::string(content) + ",\n  \"sha256\": \"" + Sha256Hex(content) + "\"\n}\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InstallFuzzPresenter();
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = (data[0] & 1) != 0 ? std::string(rest) : WithDigest(rest);

    ShardRecord record;
    std::string problem;
    if (!ReadShardRecord(text, record, problem)) {
        if (problem.empty()) PropertyFailed("a record was refused without a word");
        return 0;
    }
    if (WriteShardRecord(record) != text)
        PropertyFailed("a record was taken in a form the writer does not write");
    ShardRecord again;
    if (!ReadShardRecord(WriteShardRecord(record), again, problem) || WriteShardRecord(again) != text)
        PropertyFailed("a record read did not read again as itself");
    if (record.series.sweeps.size() > 8 || record.entries.size() > std::size_t(record.series.totalTests))
        PropertyFailed("a record out of range was taken");
    return 0;
}
