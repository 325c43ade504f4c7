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

std::string FormatResultsCsv(const CTorqDoc& document, const ResultCorrection& correction)
{
    std::string text;
    const bool corrected = !correction.IsModelDay();
    if (corrected)
        text += "# " + DescribeCorrection(correction, document.GetUnitSystem() == kMetricUnits) + "\n";
    for (const ResultSeriesKey& column : ResultSeriesKeys()) {
        if (column.series != kSeriesEngineSpeed) text += ',';
        text += column.key;
        if (corrected && IsCorrectedSeries(column.series))
            text += std::string("_") + CorrectionStandardKey(correction.standard);
    }
    text += '\n';
    for (int point = 0; point < kResultPointCount; ++point) {
        for (const ResultSeriesKey& column : ResultSeriesKeys()) {
            if (column.series != kSeriesEngineSpeed) text += ',';
            const double value = double(document.GetResult(column.series, point));
            text += FormatC("%.9g", CorrectResult(column.series, value, correction));
        }
        text += '\n';
    }
    return text;
}
