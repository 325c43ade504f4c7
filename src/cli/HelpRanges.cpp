#include "HelpRanges.h"

#include "base/LineFile.h"
#include "base/TorqSpec.h"
#include "model/EngineValues.h"

namespace cli {

namespace {

QString VersionText(std::string_view version)
{
    return QString::fromLatin1(version.data(), qsizetype(version.size()));
}

}  // namespace

QString RangeText(float minimum, float maximum, int minDecimals, int maxDecimals)
{
    return QString("%1 to %2")
        .arg(double(minimum), 0, 'f', minDecimals)
        .arg(double(maximum), 0, 'f', maxDecimals);
}

QString RangeText(const CFloatPtSpec& parameter, int minDecimals, int maxDecimals)
{
    return RangeText(parameter.GetEnglishMinimum(), parameter.GetEnglishMaximum(), minDecimals, maxDecimals);
}

const EngineValues& NewEngineValues()
{
    static const EngineValues values;
    return values;
}

QString WrittenFileVersion()
{
    return VersionText(kReadableFileVersions.front());
}

QString OldestReadableFileVersion()
{
    return VersionText(kReadableFileVersions.back());
}

}  // namespace cli
