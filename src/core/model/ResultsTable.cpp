#include "ResultsTable.h"

#include "TorqDoc.h"
#include "base/ErrCode.h"
#include "base/Util.h"

const std::array<ResultsTableColumn, kResultsTableColumnCount>& ResultsTableColumns()
{
    static constexpr std::array<ResultsTableColumn, kResultsTableColumnCount> kColumns{{
        {"Engine", "RPM", "RPM", kSeriesEngineSpeed},
        {"Power", "(Fly)", "Power", kSeriesPower},
        {"Torque", "(Fly)", "Torque", kSeriesTorque},
        {"Int Man", "Pressure", "Int Man Pressure", kSeriesManifoldPressure},
        {"Vol", "Eff %", "Vol Eff", kSeriesVolumetricEfficiency},
        {"IMEP", "Pressure", "IMEP", kSeriesImep},
        {"FMEP", "Pressure", "FMEP", kSeriesFmep},
        {"BMEP", "Pressure", "BMEP", kSeriesBmep},
    }};
    return kColumns;
}

namespace {

const ResultsTableColumn& ColumnAt(int column)
{
    TORQ_ASSERT(column >= 0 && column < kResultsTableColumnCount);
    return ResultsTableColumns()[static_cast<std::size_t>(column)];
}

}  // namespace

std::string ResultsTableUnitsHeader(int column, ResultUnits units)
{
    const int series = ColumnAt(column).series;
    if (series == kSeriesEngineSpeed || series == kSeriesVolumetricEfficiency) return {};
    return std::string("(") + ResultUnitLabel(series, units) + ")";
}

std::string FormatResultsTableCell(const CTorqDoc& document, int column, int point, ResultUnits units,
                                   const ResultCorrection& correction)
{
    const int series = ColumnAt(column).series;
    const double value = CorrectResult(series, document.GetResult(series, point), correction);
    return FormatC(ResultTableFormat(series, units), ConvertResult(series, value, units));
}

std::string FormatResultsTableTsv(const CTorqDoc& document, ResultUnits units,
                                  const ResultCorrection& correction)
{
    std::string text;
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        const ResultsTableColumn& shown = ColumnAt(column);
        if (column > 0) text += '\t';
        text += shown.name;
        if (shown.series == kSeriesEngineSpeed) continue;
        text += std::string(" (") + ResultUnitLabel(shown.series, units);
        if (!correction.IsModelDay() && IsCorrectedSeries(shown.series))
            text += std::string(", ") + CorrectionStandardName(correction.standard);
        text += ")";
    }
    text += '\n';
    for (int point = 0; point < kResultPointCount; ++point) {
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            if (column > 0) text += '\t';
            text += FormatResultsTableCell(document, column, point, units, correction);
        }
        text += '\n';
    }
    return text;
}

ResultPeak FindResultPeak(const CTorqDoc& document, int series)
{
    const ResultSeriesValues& values = document.GetResultSeries(series);
    ResultPeak peak;
    peak.value = values[0];
    for (int point = 1; point < kResultPointCount; ++point) {
        if (values[static_cast<std::size_t>(point)] > peak.value) {
            peak.point = point;
            peak.value = values[static_cast<std::size_t>(point)];
        }
    }
    peak.rpm = document.GetResult(kSeriesEngineSpeed, peak.point);
    return peak;
}

std::string FormatResultPeak(const CTorqDoc& document, int series, ResultUnits units,
                             const ResultCorrection& correction)
{
    const ResultPeak peak = FindResultPeak(document, series);
    return FormatC("%.0f %s @ %.0f rpm",
                   ConvertResult(series, CorrectResult(series, peak.value, correction), units),
                   ResultUnitLabel(series, units), double(peak.rpm));
}

std::string FormatResultPeaks(const CTorqDoc& document, ResultUnits units, const ResultCorrection& correction)
{
    if (!document.HasResults()) return {};
    return "Peak power " + FormatResultPeak(document, kSeriesPower, units, correction) + "   Peak torque " +
           FormatResultPeak(document, kSeriesTorque, units, correction);
}
