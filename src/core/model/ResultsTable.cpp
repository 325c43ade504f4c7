#include "ResultsTable.h"

#include "TorqDoc.h"
#include "base/ErrCode.h"
#include "base/Util.h"

const std::array<ResultsTableColumn, kResultsTableColumnCount>& ResultsTableColumns()
{
    static constexpr std::array<ResultsTableColumn, kResultsTableColumnCount> kColumns{{
        {"Engine", "RPM", kSeriesEngineSpeed, "%.0f"},
        {"Power", "(Fly)", kSeriesPower, "%.0f"},
        {"Torque", "(Fly)", kSeriesTorque, "%.0f"},
        {"Int Man", "Pressure", kSeriesManifoldPressure, "%.2f"},
        {"Vol", "Eff %", kSeriesVolumetricEfficiency, "%.1f"},
        {"IMEP", "Pressure", kSeriesImep, "%.1f"},
        {"FMEP", "Pressure", kSeriesFmep, "%.1f"},
        {"BMEP", "Pressure", kSeriesBmep, "%.1f"},
    }};
    return kColumns;
}

std::string FormatResultsTableCell(const CTorqDoc& document, int column, int point)
{
    TORQ_ASSERT(column >= 0 && column < kResultsTableColumnCount);
    const ResultsTableColumn& shown = ResultsTableColumns()[column];
    return FormatC(shown.format, double(document.GetResult(shown.series, point)));
}
