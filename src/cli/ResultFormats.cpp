#include "ResultFormats.h"

#include "CliSupport.h"
#include "base/Util.h"
#include "model/ResultsCsv.h"
#include "model/ResultsTable.h"
#include "model/TorqDoc.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <array>
#include <cstdlib>

namespace cli {

namespace {

// Each column is ten characters wide; a vertical rule one character before
// the second column separates the engine speed from the rest.
constexpr int kColumnWidth = 10;
constexpr int kTableWidth = kColumnWidth * kResultsTableColumnCount;

QString TableRow(const std::array<QString, kResultsTableColumnCount>& cells)
{
    QString row = cells[0].leftJustified(kColumnWidth - 1) + "|";
    for (std::size_t column = 1; column < cells.size(); ++column) {
        row += cells[column].leftJustified(kColumnWidth);
    }
    while (row.endsWith(' ')) row.chop(1);
    return row + "\n";
}

QString Rule()
{
    QString rule(kTableWidth, '-');
    rule[kColumnWidth - 1] = '+';
    return rule + "\n";
}

// A JSON number that prints as the float's round-trip digits.
QJsonValue JsonNumber(float value)
{
    const std::string digits = FormatC("%.9g", double(value));
    CLocaleScope cLocale;  // the digits carry a '.', whatever the user's locale
    return QJsonValue(std::strtod(digits.c_str(), nullptr));
}

QJsonValue JsonText(const CTorqSpec& spec)
{
    if (!spec.IsValid()) return QJsonValue(QJsonValue::Null);
    return QString::fromStdString(spec.GetText());
}

QJsonValue JsonEnglish(const CFloatPtSpec& spec)
{
    if (!spec.IsValid()) return QJsonValue(QJsonValue::Null);
    return JsonNumber(spec.GetEnglishValue());
}

}  // namespace

QString FormatResultsTable(const CTorqDoc& doc)
{
    using Cells = std::array<QString, kResultsTableColumnCount>;
    QString text = QString::fromLatin1(kResultsTableTitle) + "\n\n";
    Cells header1;
    Cells header2;
    Cells units;
    for (int column = 0; column < kResultsTableColumnCount; ++column) {
        header1[column] = ResultsTableColumns()[column].header1;
        header2[column] = ResultsTableColumns()[column].header2;
        units[column] = QString::fromStdString(ResultsTableUnitsHeader(column, ResultUnits::English));
    }
    text += Rule() + TableRow(header1) + TableRow(header2) + TableRow(units) + Rule();
    for (int point = 0; point < kResultPointCount; ++point) {
        if (point > 0 && point % 4 == 0) text += TableRow({});
        Cells cells;
        for (int column = 0; column < kResultsTableColumnCount; ++column) {
            cells[column] = QString::fromStdString(FormatResultsTableCell(doc, column, point));
        }
        text += TableRow(cells);
    }
    return text + Rule();
}

QString FormatResultsCsv(const CTorqDoc& doc)
{
    return QString::fromStdString(::FormatResultsCsv(doc));
}

QJsonObject EngineSummary(const CTorqDoc& doc)
{
    const CamData& cam = doc.Cam();
    QJsonObject engine{
        {"short_block", JsonText(doc.ShortBlockType())},
        {"bore_in", JsonEnglish(doc.Bore())},
        {"stroke_in", JsonEnglish(doc.Stroke())},
        {"cylinders", doc.NumberOfCylinders().IsValid() ? QJsonValue(doc.NumberOfCylinders().GetValue())
                                                        : QJsonValue(QJsonValue::Null)},
        {"displacement_ci", JsonEnglish(doc.TotalBlockVolume())},
        {"cylinder_head", JsonText(doc.CylinderHeadType())},
        {"intake_valves_per_cylinder", doc.IntakeValveCount().GetValue()},
        {"exhaust_valves_per_cylinder", doc.ExhaustValveCount().GetValue()},
        {"intake_valve_in", JsonEnglish(doc.IntakeValveDiameter())},
        {"exhaust_valve_in", JsonEnglish(doc.ExhaustValveDiameter())},
        {"compression_ratio", JsonEnglish(doc.CompressionRatio())},
        {"induction_flow_cfm", JsonEnglish(doc.InductionFlow())},
        {"pressure_drop_inhg", JsonEnglish(doc.PressureDrop())},
        {"manifold", JsonText(doc.ManifoldType())},
        {"fuel", JsonText(doc.FuelType())},
        {"nitrous_lbs_per_min", JsonEnglish(doc.NitrousFlowRate())},
        {"exhaust", JsonText(doc.ExhaustSystem())},
        {"cam", JsonText(cam.CamType())},
        {"lifter", JsonText(cam.LifterType())},
        {"timing_method", JsonText(cam.TimingMethod())},
        {"intake_lift_in", JsonEnglish(cam.IntakeLift())},
        {"exhaust_lift_in", JsonEnglish(cam.ExhaustLift())},
        {"ivo_deg", JsonEnglish(cam.NominalIvo())},
        {"ivc_deg", JsonEnglish(cam.NominalIvc())},
        {"evo_deg", JsonEnglish(cam.NominalEvo())},
        {"evc_deg", JsonEnglish(cam.NominalEvc())},
        {"advance_deg", JsonEnglish(cam.AdvanceRetard())},
        {"units", doc.GetUnitSystem() == kEnglishUnits ? "english" : "metric"},
    };
    // The blower counts only on the forced-induction manifold.
    const bool forced = doc.ManifoldType().GetIndex() == kForcedInductionManifold &&
                        doc.GetForcedInductionClass() != kNoForcedInduction;
    engine.insert("forced_induction",
                  forced ? JsonText(doc.ForcedInductionType()) : QJsonValue(QJsonValue::Null));
    if (forced) {
        engine.insert("boost_limit_psi", JsonEnglish(doc.BlowerBoostLevelLimit()));
        engine.insert("intercooler_percent", JsonEnglish(doc.IntercoolerEfficiency()));
    }
    return engine;
}

QString FormatResultsJson(const CTorqDoc& doc, const QString& file)
{
    QJsonObject results;
    for (const ResultSeriesKey& series : ResultSeriesKeys()) {
        QJsonArray values;
        for (float value : doc.GetResultSeries(series.series)) values.append(JsonNumber(value));
        results.insert(series.key, values);
    }
    const QJsonObject root{{"file", file}, {"engine", EngineSummary(doc)}, {"results", results}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

}  // namespace cli
