#include "EngineFile.h"

#include "ComponentTable.h"
#include "ExportSupport.h"
#include "TorqDoc.h"
#include "base/AtomicFile.h"
#include "base/ErrCode.h"
#include "base/LineFile.h"
#include "base/Util.h"

#include <array>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string_view>

namespace {

constexpr std::int32_t kResultLineCount = kResultPointCount;
// The first version that holds the compression calculator's inputs: the
// older ones end with the airflow block as far as the reader is concerned.
constexpr std::string_view kFirstVersionWithCalculator = "3.08";

bool HasCalculatorSection(std::string_view readableVersion)
{
    return FileVersionAge(readableVersion) <= FileVersionAge(kFirstVersionWithCalculator);
}

// Items 22 to 30, in file order.
std::array<CFloatPtSpec*, 9> BlowerParameters(CTorqDoc& doc)
{
    return {&doc.BlowerFlowRate(),      &doc.BlowerPressureRatio(),   &doc.BlowerEfficiency(),
            &doc.BlowerRpm(),           &doc.BlowerSurgeFlowRate(),   &doc.BlowerInternalGearRatio(),
            &doc.BlowerBeltGearRatio(), &doc.BlowerBoostLevelLimit(), &doc.IntercoolerEfficiency()};
}

// The class of the forced-induction unit with the given part-type index, as
// the component choice table gives it (0 for "None"; the custom Roots
// blower, where a typed name is stored, is a Roots blower).
int ForcedInductionClassOf(int partIndex)
{
    for (const ComponentChoice& row : ChoicesOf(ChoiceGroup::ForcedInduction)) {
        if (row.partIndex == partIndex) return static_cast<int>(row.values[0]);
    }
    return -1;
}

// ---------------------------------------------------------------- writing

void WriteResultBlock(const CTorqDoc& doc, std::FILE* file)
{
    for (int point = 0; point < kResultLineCount; ++point) {
        const int written = std::fprintf(
            file, "%.0f %f %f\n", double(doc.GetResult(kSeriesEngineSpeed, point)),
            double(doc.GetResult(kSeriesPower, point)), double(doc.GetResult(kSeriesTorque, point)));
        if (written <= 0) RaiseError(Msg::FileWrite);
    }
}

// Items 1 to 47: everything up to the result blocks, in English units.
void WriteEngineItems(CTorqDoc& doc, std::FILE* file, int shownUnitSystem, bool withNitrous)
{
    WriteNameLine(file, kFileVersion);
    WriteIntegerLine(file, shownUnitSystem);
    WriteIntegerLine(file, doc.IsAutoValveSizes() ? 1 : 0);
    WriteIntegerLine(file, doc.IsAutoRun() ? 1 : 0);
    for (const CTorqSpec* spec : std::initializer_list<const CTorqSpec*>{
             &doc.ShortBlockType(), &doc.Bore(), &doc.Stroke(), &doc.NumberOfCylinders(),
             &doc.CylinderHeadType(), &doc.IntakeValveCount(), &doc.ExhaustValveCount(),
             &doc.IntakeValveDiameter(), &doc.ExhaustValveDiameter(), &doc.CompressionRatio(),
             &doc.InductionFlow(), &doc.PressureDrop(), &doc.ManifoldType(), &doc.FuelType(),
             &doc.NitrousFlowRate(), &doc.ForcedInductionType()}) {
        spec->Write(file);
    }
    WriteIntegerLine(file, doc.GetForcedInductionClass());
    for (const CFloatPtSpec* spec : BlowerParameters(doc)) spec->Write(file);
    doc.ExhaustSystem().Write(file);
    doc.CamDataFile().Write(file);
    doc.Cam().WriteBlock(file);
    doc.AirflowFile().Write(file);
    doc.FlowData().WriteBlock(file);

    WriteIntegerLine(file, doc.IsCompressionFromCalculator() ? 1 : 0);
    WriteIntegerLine(file, doc.GetPistonKind());
    for (const CFloatPtSpec* spec :
         {&doc.ChamberVolume(), &doc.GasketBore(), &doc.GasketThickness(), &doc.PistonDistance(),
          &doc.PistonDeckVolume(), &doc.GasketVolume(), &doc.DeckVolume(), &doc.CombustionSpace()}) {
        spec->Write(file);
    }
    WriteIntegerLine(file, withNitrous ? 1 : 0);
    WriteIntegerLine(file, kResultLineCount);
}

// ---------------------------------------------------------------- reading

void ReadCalculatorSection(CTorqDoc& doc, std::FILE* file)
{
    const bool used = ReadIntegerLine(file) != 0;
    if (!used) {
        // Items 37 to 45 are there but mean nothing without the flag.
        doc.ClearCalculatorInputs();
        return;
    }
    const std::int32_t pistonKind = ReadIntegerLine(file);
    if (pistonKind != 1 && pistonKind != 2) RaiseError(Msg::FileInvalidValue);
    doc.ChamberVolume().Read(file);
    doc.GasketBore().Read(file);
    doc.GasketThickness().Read(file);
    // The piston distance is range-checked against its piston kind.
    doc.SetPistonKind(pistonKind);
    for (CFloatPtSpec* spec : {&doc.PistonDistance(), &doc.PistonDeckVolume(), &doc.GasketVolume(),
                               &doc.DeckVolume(), &doc.CombustionSpace()}) {
        spec->Read(file);
    }
    doc.SetCompressionFromCalculator(true);
}

}  // namespace

// ---------------------------------------------------------------- the file operations

namespace {

// Items, then the two result blocks: with nitrous the first is a run on
// plain gasoline without nitrous, the second the engine's own.
std::function<void(std::FILE*, CRunStateKeeper&)> EngineFileWriter(CTorqDoc& doc)
{
    const int shownUnitSystem = doc.GetUnitSystem();
    return [&doc, shownUnitSystem](std::FILE* file, CRunStateKeeper& keeper) {
        const bool withNitrous = doc.NitrousFlowRate().GetValue() > 0.0f;
        WriteEngineItems(doc, file, shownUnitSystem, withNitrous);
        if (withNitrous) {
            keeper.UseGasolineOnly();
            doc.RunSimulation(false, false);
        }
        WriteResultBlock(doc, file);
        if (withNitrous) {
            keeper.RestoreFuel();
            doc.RunSimulation(false, false);
        }
        WriteResultBlock(doc, file);
    };
}

}  // namespace

bool WriteEngineFile(CTorqDoc& doc, const std::string& path)
{
    return WriteFileWithRuns(doc, path, EngineFileWriter(doc));
}

bool FinishEngineFile(CTorqDoc& doc, CAtomicFile& file)
{
    return FinishFileWithRuns(doc, file, EngineFileWriter(doc));
}

void ReadEngineItems(CTorqDoc& doc, std::FILE* file)
{
    CLocaleScope cLocale;
    doc.SetUnitSystem(kEnglishUnits);

    std::string line;
    if (!ReadNameLine(file, line)) RaiseError(Msg::FileRead);
    const std::string version = TrimBlanks(line);
    if (!IsReadableFileVersion(version)) RaiseError(Msg::EngineFileVersion);

    const std::int32_t unitSystem = ReadIntegerLine(file);
    if (unitSystem != kEnglishUnits && unitSystem != kMetricUnits) RaiseError(Msg::FileInvalidValue);
    doc.SetAutoValveSizes(ReadIntegerLine(file) != 0);
    doc.SetAutoRun(ReadIntegerLine(file) != 0);

    for (CTorqSpec* spec : std::initializer_list<CTorqSpec*>{
             &doc.ShortBlockType(), &doc.Bore(), &doc.Stroke(), &doc.NumberOfCylinders(),
             &doc.CylinderHeadType(), &doc.IntakeValveCount(), &doc.ExhaustValveCount(),
             &doc.IntakeValveDiameter(), &doc.ExhaustValveDiameter(), &doc.CompressionRatio(),
             &doc.InductionFlow(), &doc.PressureDrop(), &doc.ManifoldType(), &doc.FuelType(),
             &doc.NitrousFlowRate(), &doc.ForcedInductionType()}) {
        spec->Read(file);
    }
    // The class must be the one of the chosen unit: the validation and the
    // simulation take the unit's values by it.
    const std::int32_t forcedInductionClass = ReadIntegerLine(file);
    if (forcedInductionClass != ForcedInductionClassOf(doc.ForcedInductionType().GetIndex()))
        RaiseError(Msg::FileInvalidValue);
    doc.SetForcedInductionClass(forcedInductionClass);
    for (CFloatPtSpec* spec : BlowerParameters(doc)) spec->Read(file);
    if (doc.ForcedInductionType().GetIndex() == kForcedInductionNoneIndex) {
        for (CFloatPtSpec* spec : BlowerParameters(doc)) spec->Reset();
    }

    doc.ExhaustSystem().Read(file);
    doc.CamDataFile().Read(file);
    doc.Cam().ReadBlock(file);
    doc.AirflowFile().Read(file);
    doc.FlowData().ReadBlock(file);

    if (HasCalculatorSection(version)) {
        ReadCalculatorSection(doc, file);
    } else {
        doc.ClearCalculatorInputs();
    }
    doc.SetUnitSystem(unitSystem);
}

bool ReadEngineFile(CTorqDoc& doc, const std::string& path)
{
    return ReadTextFile(path, [&doc](std::FILE* file) { ReadEngineItems(doc, file); });
}

// ---------------------------------------------------------------- document commands

std::string DocumentTitleFromPath(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

bool ConfirmEngineSave(CTorqDoc& doc)
{
    ErrorCode code = 0;
    if (!doc.Validate(code)) {
        ShowErrorMessage(code);
        return false;
    }
    return doc.HasResults() || AskWarningMessage(Msg::SaveWithoutResults) == WarningAnswer::Ok;
}

bool SaveEngineDocument(CTorqDoc& doc, const std::string& path)
{
    if (!ConfirmEngineSave(doc)) return false;
    if (!WriteEngineFile(doc, path)) return false;
    doc.SetModified(false);
    doc.SetPathName(path);
    doc.SetTitle(DocumentTitleFromPath(path));
    return true;
}

bool OpenEngineDocument(CTorqDoc& doc, const std::string& path)
{
    // Read into a fresh engine, so that a file that fails half way changes nothing.
    CTorqDoc loaded;
    if (!ReadEngineFile(loaded, path)) return false;
    loaded.CopyTo(doc);
    doc.Recalculate();
    doc.SetModified(false);
    doc.SetPathName(path);
    doc.SetTitle(DocumentTitleFromPath(path));
    doc.UpdateAllViews();
    return true;
}
