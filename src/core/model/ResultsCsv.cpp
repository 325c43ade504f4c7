#include "ResultsCsv.h"

#include "TorqDoc.h"
#include "base/Util.h"

const std::array<ResultSeriesKey, 8>& ResultSeriesKeys()
{
    static constexpr std::array<ResultSeriesKey, 8> kKeys{{
        {"rpm", kSeriesEngineSpeed},
        {"power", kSeriesPower},
        {"torque", kSeriesTorque},
        {"manifold_pressure", kSeriesManifoldPressure},
        {"volumetric_efficiency", kSeriesVolumetricEfficiency},
        {"imep", kSeriesImep},
        {"bmep", kSeriesBmep},
        {"fmep", kSeriesFmep},
    }};
    return kKeys;
}

std::string FormatResultsCsv(const CTorqDoc& document)
{
    std::string text;
    for (const ResultSeriesKey& column : ResultSeriesKeys()) {
        if (column.series != kSeriesEngineSpeed) text += ',';
        text += column.key;
    }
    text += '\n';
    for (int point = 0; point < kResultPointCount; ++point) {
        for (const ResultSeriesKey& column : ResultSeriesKeys()) {
            if (column.series != kSeriesEngineSpeed) text += ',';
            text += FormatC("%.9g", double(document.GetResult(column.series, point)));
        }
        text += '\n';
    }
    return text;
}
