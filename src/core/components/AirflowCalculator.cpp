#include "AirflowCalculator.h"

#include "EngineMath.h"
#include "base/EngineRanges.h"
#include "base/Units.h"

#include <cfloat>

namespace {

// Inches of water per inch of mercury, and its inverse as the pressure
// parameters convert: mercury = water * 0.0738.
constexpr float kInchesWaterPerInchMercury = 13.55f;
constexpr float kMercuryPerWater = 0.0738f;
constexpr float kCentimetresPerInch = 2.54f;
// Carburettor ratings, inches of mercury.
constexpr float kTwoBarrelRatingInHg = 3.0f;
constexpr float kFourBarrelRatingInHg = 1.5f;
// Known and target pressure drops, inches of water.
constexpr float kLowestPressureInH2O = 0.1f;
constexpr float kHighestPressureInH2O = 100.0f;

// A pressure drop of the engine's unit system: its water unit is the
// parameter's "English" unit and its mercury unit the "metric" one.
CFloatPtSpec MakePressure(const char* name, std::int32_t unitSystem)
{
    if (unitSystem == kEnglishUnits) {
        return CFloatPtSpec(name, UnitCode::InchWater, kLowestPressureInH2O, kHighestPressureInH2O,
                            UnitCode::InchMercury, kMercuryPerWater);
    }
    return CFloatPtSpec(name, UnitCode::CentimetreWater, kCentimetresPerInch * kLowestPressureInH2O,
                        kCentimetresPerInch * kHighestPressureInH2O, UnitCode::CentimetreMercury,
                        kMercuryPerWater);
}

CFloatPtSpec MakeAirflow(const char* name, float minimum, float maximum)
{
    return CFloatPtSpec(name, UnitCode::Cfm, minimum, maximum, UnitCode::Cfm, 1.0f);
}

}  // namespace

AirflowCalculator::AirflowCalculator(std::int32_t unitSystem)
    : m_unitSystem(unitSystem),
      m_knownAirflow(MakeAirflow("Known Airflow Rate", EngineRanges::kInductionFlowMinCfm,
                                 EngineRanges::kInductionFlowMaxCfm)),
      m_knownPressure(MakePressure("Known Pressure Drop", unitSystem)),
      m_targetPressure(MakePressure("Pressure Drop", unitSystem)),
      m_airflow(MakeAirflow("Airflow Rate", -FLT_MAX, FLT_MAX)),
      m_inductionFlow(MakeAirflow("Induction Flow", EngineRanges::kInductionFlowMinCfm,
                                  EngineRanges::kInductionFlowMaxCfm))
{
    TORQ_ASSERT(unitSystem == kEnglishUnits || unitSystem == kMetricUnits);
    m_targetPressure.ToMetric();  // the ratings are quoted in mercury
    SetMode(kFourBarrel);
}

float AirflowCalculator::RatingPressureInHg() const
{
    TORQ_ASSERT(m_mode == kTwoBarrel || m_mode == kFourBarrel);
    return m_mode == kTwoBarrel ? kTwoBarrelRatingInHg : kFourBarrelRatingInHg;
}

void AirflowCalculator::SetMode(std::int32_t mode)
{
    TORQ_ASSERT(mode >= kNoStandard && mode <= kFourBarrel);
    m_mode = mode;
    if (mode != kNoStandard) {
        // The rating in the target's unit: 3.0 inHg is 40.65 inH2O, 7.62 cmHg
        // or 103.251 cmH2O.
        const float inHg = RatingPressureInHg();
        const float mercury = m_unitSystem == kEnglishUnits ? inHg : kCentimetresPerInch * inHg;
        const float water = m_unitSystem == kEnglishUnits
                                ? kInchesWaterPerInchMercury * inHg
                                : kCentimetresPerInch * (kInchesWaterPerInchMercury * inHg);
        m_targetPressure.SetValue(IsTargetPressureInMercury() ? mercury : water);
    }
    Recalculate();
}

CFloatPtSpec& AirflowCalculator::Parameter(Input input)
{
    switch (input) {
        case Input::KnownAirflow:
            return m_knownAirflow;
        case Input::KnownPressure:
            return m_knownPressure;
        case Input::TargetPressure:
            return m_targetPressure;
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& AirflowCalculator::Parameter(Input input) const
{
    return const_cast<AirflowCalculator*>(this)->Parameter(input);
}

EntryResult AirflowCalculator::Enter(Input input, std::string_view text)
{
    const EntryResult result = EnterNumber(Parameter(input), text);
    if (result == EntryResult::Accepted) Recalculate();
    return result;
}

void AirflowCalculator::ShowKnownPressureInMercury(bool mercury)
{
    m_knownPressure.SetUnits(!mercury);
}

void AirflowCalculator::ShowTargetPressureInMercury(bool mercury)
{
    m_targetPressure.SetUnits(!mercury);
    Recalculate();
}

float AirflowCalculator::InWater(const CFloatPtSpec& pressure) const
{
    return pressure.GetEnglishValue();
}

void AirflowCalculator::Recalculate()
{
    if (!m_knownAirflow.IsValid() || !m_knownPressure.IsValid() || !m_targetPressure.IsValid()) return;
    // Both pressures in the same water unit: the law needs only their ratio.
    const float known = InWater(m_knownPressure);
    const float target = InWater(m_targetPressure);
    m_airflow.SetRoundedValue(FlowAtPressure(m_knownAirflow.GetValue(), known, target), 1);
}

float AirflowCalculator::TargetPressureInHg() const
{
    const float mercury = IsTargetPressureInMercury() ? m_targetPressure.GetValue()
                                                      : m_targetPressure.GetValue() * kMercuryPerWater;
    return m_unitSystem == kEnglishUnits ? mercury : mercury / kCentimetresPerInch;
}

ErrorCode AirflowCalculator::CheckApply() const
{
    TORQ_ASSERT(m_mode != kNoStandard);  // a free calculation is never applied
    if (!m_knownPressure.IsValid()) return Msg::AirflowPressureDropRequired;
    if (!m_knownAirflow.IsValid()) return Msg::AirflowRequired;
    TORQ_ASSERT(m_targetPressure.IsValid() && m_airflow.IsValid());
    if (!m_inductionFlow.IsInRange(m_airflow.GetValue())) return Msg::AirflowRatingOutOfRange;
    return Msg::None;
}
