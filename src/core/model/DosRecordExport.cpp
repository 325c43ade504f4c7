#include "DosRecordExport.h"

#include "ExportSupport.h"
#include "TorqDoc.h"
#include "base/AtomicFile.h"
#include "base/ErrCode.h"
#include "base/Util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kSignature = "KVRA/02.08.07/M ";
constexpr std::size_t kCamTypeNameSize = 50;
constexpr std::size_t kShortBlockNameSize = 25;
constexpr std::size_t kCurveBytes = std::size_t{4} * kResultPointCount;
constexpr int kFourValveHeadFirst = 14;
constexpr int kFourValveHeadLast = 16;

// Little-endian stores at a byte offset, whatever the host's byte order.
class RecordWriter {
public:
    explicit RecordWriter(DosRecord& record) : m_record(record) {}

    void Int16(std::size_t offset, int value)
    {
        const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        Byte(offset, bits & 0xFFu);
        Byte(offset + 1, bits >> 8);
    }

    void Float(std::size_t offset, float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (std::size_t i = 0; i < 4; ++i) Byte(offset + i, (bits >> (8 * i)) & 0xFFu);
    }

    // At most size - 1 characters, then zeros up to size.
    void Text(std::size_t offset, std::size_t size, std::string_view text)
    {
        const std::size_t length = std::min(text.size(), size - 1);
        for (std::size_t i = 0; i < length; ++i) Byte(offset + i, static_cast<std::uint8_t>(text[i]));
    }

private:
    void Byte(std::size_t offset, unsigned value)
    {
        TORQ_ASSERT(offset < m_record.size());
        m_record[offset] = static_cast<std::uint8_t>(value);
    }

    DosRecord& m_record;
};

// A float truncated toward zero, as the record's integer fields take it.
int Truncated(float value)
{
    return static_cast<int>(std::trunc(value));
}

bool Fail(ErrorCode code)
{
    ShowErrorMessage(code);
    return false;
}

bool IsFourValveHead(int headIndex)
{
    return headIndex >= kFourValveHeadFirst && headIndex <= kFourValveHeadLast;
}

void WriteCompressionData(RecordWriter& out, const CTorqDoc& doc)
{
    namespace at = DosRecordOffset;
    const bool fromCalculator = doc.IsCompressionFromCalculator();
    const int kind = fromCalculator ? doc.GetPistonKind() : 2;
    out.Int16(at::kCompressionKind, kind);
    if (!fromCalculator) return;  // the seven values stay 0
    const float deckVolume = doc.DeckVolume().GetEnglishValue();
    out.Float(at::kChamberVolume, doc.ChamberVolume().GetEnglishValue());
    out.Float(at::kKindDeckVolume, kind == 2 ? deckVolume : doc.PistonDeckVolume().GetEnglishValue());
    out.Float(at::kGasketBore, doc.GasketBore().GetEnglishValue());
    out.Float(at::kPistonDistance, doc.PistonDistance().GetEnglishValue());
    out.Float(at::kGasketVolume, doc.GasketVolume().GetEnglishValue());
    out.Float(at::kDeckVolume, deckVolume);
    out.Float(at::kGasketThickness, doc.GasketThickness().GetEnglishValue());
}

}  // namespace

bool CheckDosRecordExport(CTorqDoc& doc)
{
    ErrorCode code = 0;
    if (!doc.Validate(code)) return Fail(code);
    if (doc.GetUnitSystem() != kEnglishUnits) return Fail(Msg::ExportNeedsEnglishUnits);
    if (!doc.HasResults()) return Fail(Msg::ExportResultsMissing);
    if (doc.IsAutoValveSizes() || doc.Cam().IsAutoValveLift()) return Fail(Msg::ExportAutoSizesOn);
    if (doc.PressureDrop().GetValue() != 1.5f) return Fail(Msg::ExportPressureDrop);
    const int head = doc.CylinderHeadType().GetIndex();
    if (head == kCustomHeadIndex) return Fail(Msg::ExportCustomAirflow);
    const int intakeValves = doc.IntakeValveCount().GetValue();
    const int exhaustValves = doc.ExhaustValveCount().GetValue();
    if (IsFourValveHead(head)) {
        if (intakeValves != 2 || exhaustValves != 2) return Fail(Msg::ExportFourValveCounts);
    } else if (intakeValves != 1 || exhaustValves != 1) {
        return Fail(Msg::ExportTwoValveCounts);
    }
    if (doc.ManifoldType().GetIndex() == kForcedInductionManifold) return Fail(Msg::ExportForcedInduction);
    return true;
}

std::string ProposedDosRecordName(const CTorqDoc& doc)
{
    const std::string& title = doc.GetTitle();
    return DosFileName(title.empty() ? kUntitled : title, ".trq");
}

DosRecord BuildDosRecord(const CTorqDoc& doc)
{
    namespace at = DosRecordOffset;
    DosRecord record{};
    RecordWriter out(record);
    const CamData& cam = doc.Cam();

    out.Text(at::kSignature, 32, kSignature);
    out.Text(at::kCamTypeName, kCamTypeNameSize, cam.CamType().GetChoiceName());
    out.Text(at::kShortBlockName, kShortBlockNameSize, doc.ShortBlockType().GetChoiceName());
    // Fixed fields the older programs expect beside each choice.
    out.Int16(107, 18);
    out.Int16(at::kManifoldType, doc.ManifoldType().GetIndex());
    out.Int16(111, 18);
    out.Int16(at::kHeadType, doc.CylinderHeadType().GetIndex());
    out.Int16(115, 121);
    out.Int16(at::kExhaustSystem, doc.ExhaustSystem().GetIndex());
    out.Int16(at::kTimingMethod, cam.TimingMethod().GetIndex() == kFiftyLiftIndex ? 7 : 6);
    out.Int16(at::kLifterType, cam.LifterType().GetIndex());
    out.Int16(123, 15);
    out.Int16(125, 0);

    out.Float(at::kBore, doc.Bore().GetEnglishValue());
    out.Float(at::kStroke, doc.Stroke().GetEnglishValue());
    out.Int16(at::kCylinders, doc.NumberOfCylinders().GetValue());
    out.Float(at::kIntakeValve, doc.IntakeValveDiameter().GetEnglishValue());
    out.Float(at::kExhaustValve, doc.ExhaustValveDiameter().GetEnglishValue());
    out.Float(at::kCompressionRatio, doc.CompressionRatio().GetEnglishValue());
    out.Int16(at::kInductionFlow, Truncated(doc.InductionFlow().GetEnglishValue()));
    // The flow rating's basis: 4 for the 1.5 inHg four-barrel rating, 2 for 3.0 inHg.
    out.Int16(at::kFlowBasis, doc.PressureDrop().GetEnglishValue() < 3.0f ? 4 : 2);
    out.Float(at::kEvo, cam.NominalEvo().GetValue());
    out.Float(at::kEvc, cam.NominalEvc().GetValue());
    out.Float(at::kIvo, cam.NominalIvo().GetValue());
    out.Float(at::kIvc, cam.NominalIvc().GetValue());
    out.Float(at::kIntakeLift, cam.IntakeLift().GetEnglishValue());
    out.Float(at::kExhaustLift, cam.ExhaustLift().GetEnglishValue());
    out.Int16(at::kAdvance, Truncated(cam.AdvanceRetard().GetValue()));

    // Power, torque, manifold pressure, volumetric efficiency, IMEP, BMEP, FMEP.
    for (int series = kSeriesPower; series <= kSeriesFmep; ++series) {
        const std::size_t base = at::kPower + std::size_t(series - kSeriesPower) * kCurveBytes;
        for (int point = 0; point < kResultPointCount; ++point) {
            out.Float(base + 4 * std::size_t(point), doc.GetResult(series, point));
        }
    }

    WriteCompressionData(out, doc);
    out.Int16(713, 2);
    out.Int16(at::kFuelType, doc.FuelType().GetIndex());
    out.Float(at::kNitrousFlow, doc.NitrousFlowRate().GetEnglishValue());
    return record;
}

bool WriteGameEngineFile(const std::string& path, const CTorqDoc& doc)
{
    const DosRecord record = BuildDosRecord(doc);
    CAtomicFile file(path);
    try {
        if (path.empty() || !file.Open()) RaiseError(Msg::FileOpen);
        if (std::fwrite(record.data(), 1, record.size(), file.File()) != record.size())
            RaiseError(Msg::FileWrite);
        CommitOrRaise(file);
    } catch (const RaisedError& error) {
        file.Abandon();
        ShowErrorMessage(error.code);
        return false;
    }
    return true;
}

bool ExportDosRecordFile(CTorqDoc& doc, const std::string& folder, const std::string& chosenFileName)
{
    if (chosenFileName.empty()) return Fail(Msg::FileOpen);
    const std::string target = ExportTargetPath(folder, chosenFileName, ".trq");
    if (ShortenedNameCollides(chosenFileName, target)) return Fail(Msg::ExportDosNameTaken);
    return WriteGameEngineFile(target, doc);
}
