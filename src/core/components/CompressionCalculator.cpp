#include "CompressionCalculator.h"

#include "EngineMath.h"
#include "base/Units.h"

#include <cfloat>

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kShownDecimals = 2;

CFloatPtSpec AnyValue(const char* name, UnitCode unit)
{
    return CFloatPtSpec(name, unit, -FLT_MAX, FLT_MAX, unit, 1.0f);
}

}  // namespace

CompressionCalculator::CompressionCalculator(const CompressionEngineFigures& engine)
    : m_pistonKind(engine.pistonKind),
      m_bore(engine.bore),
      m_sweptVolume(engine.cylinderVolume),
      m_engineRatio(engine.compressionRatio),
      m_engineSpace(engine.combustionSpace),
      m_chamberVolume(engine.chamberVolume),
      m_gasketBore(engine.gasketBore),
      m_gasketThickness(engine.gasketThickness),
      m_pistonDistance(engine.pistonDistance),
      m_pistonVolume(engine.pistonDeckVolume),
      m_gasketVolume(AnyValue("Head Gasket Volume", UnitCode::CubicCentimetre)),
      m_deckVolume(AnyValue("Deck Volume", UnitCode::CubicCentimetre)),
      m_totalVolume(AnyValue("Total Combustion Volume", UnitCode::CubicCentimetre)),
      m_newRatio(AnyValue("New Compression Ratio", UnitCode::Ratio))
{
    TORQ_ASSERT(m_pistonKind == kDomedPiston || m_pistonKind == kFlattopPiston);
    TORQ_ASSERT(m_bore.IsValid());  // the short block is complete
    Recalculate();
}

void CompressionCalculator::SetPistonKind(std::int32_t pistonKind)
{
    TORQ_ASSERT(pistonKind == kDomedPiston || pistonKind == kFlattopPiston);
    m_pistonKind = pistonKind;
    m_pistonDistance.SetRange(pistonKind == kDomedPiston ? kDomedDistanceMinIn : kFlattopDistanceMinIn,
                              kDistanceMaxIn);
    Recalculate();
}

CFloatPtSpec& CompressionCalculator::Parameter(Input input)
{
    switch (input) {
        case Input::ChamberVolume:
            return m_chamberVolume;
        case Input::GasketBore:
            return m_gasketBore;
        case Input::GasketThickness:
            return m_gasketThickness;
        case Input::PistonDistance:
            return m_pistonDistance;
        case Input::PistonVolume:
            return m_pistonVolume;
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& CompressionCalculator::Parameter(Input input) const
{
    return const_cast<CompressionCalculator*>(this)->Parameter(input);
}

EntryResult CompressionCalculator::Enter(Input input, std::string_view text)
{
    // Volumes are measured and shown to the hundredth of a cc; lengths keep
    // every digit typed.
    const bool volume = input == Input::ChamberVolume || input == Input::PistonVolume;
    const EntryResult result = EnterNumber(Parameter(input), text, volume ? kShownDecimals : -1);
    if (result == EntryResult::Accepted) Recalculate();
    return result;
}

float CompressionCalculator::SliceVolumeCc(float diameterIn, float heightIn)
{
    return kPi * diameterIn * diameterIn * heightIn * 0.25f * kCubicInchesToCubicCentimetres;
}

float CompressionCalculator::EnglishBoreIn() const
{
    return m_bore.GetEnglishValue();
}

void CompressionCalculator::Recalculate()
{
    // The lengths may be shown in millimetres; the volumes come from inches.
    for (CFloatPtSpec* result : {&m_gasketVolume, &m_deckVolume, &m_totalVolume, &m_newRatio}) {
        result->MarkUnset();
    }
    if (m_gasketBore.IsValid() && m_gasketThickness.IsValid()) {
        m_gasketVolume.SetRoundedValue(
            SliceVolumeCc(m_gasketBore.GetEnglishValue(), m_gasketThickness.GetEnglishValue()),
            kShownDecimals);
    }
    if (m_pistonDistance.IsValid()) {
        // Negative when a flattop stands above the deck; a dome fills part of
        // the measured volume, a dish adds to it.
        const float bored = SliceVolumeCc(EnglishBoreIn(), m_pistonDistance.GetEnglishValue());
        if (m_pistonKind == kFlattopPiston) {
            m_deckVolume.SetRoundedValue(bored, kShownDecimals);
        } else if (m_pistonVolume.IsValid()) {
            m_deckVolume.SetRoundedValue(m_pistonVolume.GetValue() - bored, kShownDecimals);
        }
    }
    if (m_chamberVolume.IsValid() && m_gasketVolume.IsValid() && m_deckVolume.IsValid()) {
        const float total =
            m_chamberVolume.GetValue() + (m_gasketVolume.GetValue() + m_deckVolume.GetValue());
        m_totalVolume.SetRoundedValue(total, kShownDecimals);
    }
    if (m_totalVolume.IsValid() && m_totalVolume.GetValue() != 0.0f && m_sweptVolume.IsValid()) {
        m_newRatio.SetRoundedValue(CompressionRatioOf(m_sweptVolume.GetValue(), m_totalVolume.GetValue()),
                                   kShownDecimals);
    }
}

std::string CompressionCalculator::RatioText() const
{
    if (IsRatioInfinite()) return "Infinity";
    return EditText(m_newRatio);
}

ErrorCode CompressionCalculator::CheckApply() const
{
    if (!m_chamberVolume.IsValid()) return Msg::ChamberVolumeRequired;
    if (!m_gasketBore.IsValid()) return Msg::GasketBoreRequired;
    if (!m_gasketThickness.IsValid()) return Msg::GasketThicknessRequired;
    if (!m_pistonDistance.IsValid())
        return m_pistonKind == kFlattopPiston ? Msg::PistonDistanceAtTdcRequired
                                              : Msg::PistonDistanceFromTdcRequired;
    if (m_pistonKind == kDomedPiston && !m_pistonVolume.IsValid()) return Msg::DomedPistonVolumeRequired;
    if (!m_newRatio.IsValid()) return Msg::CompressionRatioNotComputed;
    if (!m_engineRatio.IsInRange(m_newRatio.GetValue())) return Msg::CompressionRatioOutOfRange;
    // A tiny swept volume can give an allowed ratio from a total below the
    // smallest combustion space an engine may have.
    if (!m_engineSpace.IsInRange(m_totalVolume.GetValue())) return Msg::CompressionRatioNotComputed;
    return Msg::None;
}

CompressionCalculatorResult CompressionCalculator::Result() const
{
    TORQ_ASSERT(CheckApply() == 0);
    return CompressionCalculatorResult{
        m_pistonKind,   m_chamberVolume, m_gasketBore, m_gasketThickness,        m_pistonDistance,
        m_pistonVolume, m_gasketVolume,  m_deckVolume, m_totalVolume.GetValue(), m_newRatio.GetValue()};
}
