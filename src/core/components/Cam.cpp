#include "Cam.h"

#include "base/LineFile.h"
#include "base/Units.h"
#include "base/Util.h"

#include <initializer_list>

namespace {

// Every angle is in crank degrees (cam degrees for the lobe center angle) in
// both unit systems; the derived figures may lie anywhere within one cycle
// either side.
constexpr float kAngleLimit = 720.0f;

CFloatPtSpec MakeAngle(const char* name, float minimum = -kAngleLimit, float maximum = kAngleLimit)
{
    return CFloatPtSpec(name, UnitCode::Degree, minimum, maximum, UnitCode::Degree, 1.0f);
}

CFloatPtSpec MakeLift(const char* name)
{
    return CFloatPtSpec(name, UnitCode::Inch, 0.2f, 1.5f, UnitCode::Millimetre, kInchesToMillimetres);
}

// Nominal event ranges in degrees, by timing method.
struct EventRanges {
    float ivoMin, ivoMax;
    float ivcMin, ivcMax;
    float evoMin, evoMax;
    float evcMin, evcMax;
};
constexpr EventRanges kSeatToSeatRanges = {0, 80, 0, 120, 0, 115, 0, 80};
constexpr EventRanges kFiftyLiftRanges = {-25, 50, -10, 95, -10, 95, -25, 50};

// Stores v when it lies within the parameter's current range; otherwise the
// parameter is marked unset and keeps its old value.
void StoreIfInRange(CFloatPtSpec& parameter, float value)
{
    if (parameter.IsInRange(value)) {
        parameter.SetValue(value);
    } else {
        parameter.MarkUnset();
    }
}

bool Require(bool valid, ErrorCode failureCode, ErrorCode& code)
{
    if (!valid) code = failureCode;
    return valid;
}

}  // namespace

CamData::CamData()
    : m_camType("Camshaft Type", 1, 6),
      m_lifterType("Camshaft Lifter Type", 1, 3),
      m_timingMethod("Camshaft Timing Method", 1, 2),
      m_lobeCenter(MakeAngle("Lobe Center Angle")),
      m_overlap(MakeAngle("Valve Overlap")),
      m_advanceRetard(MakeAngle("Camshaft Advance/Retard", -15.0f, 15.0f)),
      m_intakeLift(MakeLift("Intake Valve Lift")),
      m_exhaustLift(MakeLift("Exhaust Valve Lift")),
      m_intakeDuration(MakeAngle("Intake Valve Duration")),
      m_exhaustDuration(MakeAngle("Exhaust Valve Duration")),
      m_nominalIvo(
          MakeAngle("Nominal Intake Valve Opening", kSeatToSeatRanges.ivoMin, kSeatToSeatRanges.ivoMax)),
      m_nominalIvc(
          MakeAngle("Nominal Intake Valve Closing", kSeatToSeatRanges.ivcMin, kSeatToSeatRanges.ivcMax)),
      m_nominalEvo(
          MakeAngle("Nominal Exhaust Valve Opening", kSeatToSeatRanges.evoMin, kSeatToSeatRanges.evoMax)),
      m_nominalEvc(
          MakeAngle("Nominal Exhaust Valve Closing", kSeatToSeatRanges.evcMin, kSeatToSeatRanges.evcMax)),
      m_nominalIntakeCenterline(MakeAngle("Nominal Intake Centerline Angle")),
      m_nominalExhaustCenterline(MakeAngle("Nominal Exhaust Centerline Angle")),
      m_actualIvo(MakeAngle("Actual Intake Valve Opening")),
      m_actualIvc(MakeAngle("Actual Intake Valve Closing")),
      m_actualEvo(MakeAngle("Actual Exhaust Valve Opening")),
      m_actualEvc(MakeAngle("Actual Exhaust Valve Closing")),
      m_actualIntakeCenterline(MakeAngle("Actual Intake Centerline Angle")),
      m_actualExhaustCenterline(MakeAngle("Actual Exhaust Centerline Angle"))
{
    ClearAll();
}

CamData::CamData(const CamData& other) : CamData()
{
    Assign(other);
}

void CamData::Assign(const CamData& other)
{
    *this = other;
}

void CamData::ClearAll()
{
    for (CTorqSpec* parameter : std::initializer_list<CTorqSpec*>{&m_camType,
                                                                  &m_lifterType,
                                                                  &m_timingMethod,
                                                                  &m_lobeCenter,
                                                                  &m_overlap,
                                                                  &m_advanceRetard,
                                                                  &m_intakeLift,
                                                                  &m_exhaustLift,
                                                                  &m_intakeDuration,
                                                                  &m_exhaustDuration,
                                                                  &m_nominalIvo,
                                                                  &m_nominalIvc,
                                                                  &m_nominalEvo,
                                                                  &m_nominalEvc,
                                                                  &m_nominalIntakeCenterline,
                                                                  &m_nominalExhaustCenterline,
                                                                  &m_actualIvo,
                                                                  &m_actualIvc,
                                                                  &m_actualEvo,
                                                                  &m_actualEvc,
                                                                  &m_actualIntakeCenterline,
                                                                  &m_actualExhaustCenterline}) {
        parameter->MarkUnset();
    }
    m_advanceRetard.SetValue(0.0f);
    m_autoValveLift = false;
}

void CamData::SetUnitSystem(std::int32_t system)
{
    TORQ_ASSERT(system == kEnglishUnits || system == kMetricUnits);
    const bool english = system == kEnglishUnits;
    m_intakeLift.SetUnits(english);
    m_exhaustLift.SetUnits(english);
    m_unitSystem = system;
    CheckAngleUnits();
}

void CamData::CheckAngleUnits() const
{
    for (const CFloatPtSpec* angle : std::initializer_list<const CFloatPtSpec*>{
             &m_lobeCenter, &m_overlap, &m_advanceRetard, &m_intakeDuration, &m_exhaustDuration,
             &m_nominalIvo, &m_nominalIvc, &m_nominalEvo, &m_nominalEvc, &m_nominalIntakeCenterline,
             &m_nominalExhaustCenterline, &m_actualIvo, &m_actualIvc, &m_actualEvo, &m_actualEvc,
             &m_actualIntakeCenterline, &m_actualExhaustCenterline}) {
        TORQ_ASSERT(angle->GetUnitCode() == UnitCode::Degree);
    }
}

void CamData::ApplySeatToSeatRanges()
{
    m_nominalIvo.SetRange(kSeatToSeatRanges.ivoMin, kSeatToSeatRanges.ivoMax);
    m_nominalIvc.SetRange(kSeatToSeatRanges.ivcMin, kSeatToSeatRanges.ivcMax);
    m_nominalEvo.SetRange(kSeatToSeatRanges.evoMin, kSeatToSeatRanges.evoMax);
    m_nominalEvc.SetRange(kSeatToSeatRanges.evcMin, kSeatToSeatRanges.evcMax);
}

void CamData::ApplyFiftyLiftRanges()
{
    m_nominalIvo.SetRange(kFiftyLiftRanges.ivoMin, kFiftyLiftRanges.ivoMax);
    m_nominalIvc.SetRange(kFiftyLiftRanges.ivcMin, kFiftyLiftRanges.ivcMax);
    m_nominalEvo.SetRange(kFiftyLiftRanges.evoMin, kFiftyLiftRanges.evoMax);
    m_nominalEvc.SetRange(kFiftyLiftRanges.evcMin, kFiftyLiftRanges.evcMax);
}

void CamData::ApplyRangesFor(std::int32_t timingMethod)
{
    if (timingMethod == kSeatToSeat) {
        ApplySeatToSeatRanges();
    } else {
        ApplyFiftyLiftRanges();
    }
}

int CamData::SetTimingMethod(std::int32_t index, std::string_view name)
{
    const bool wasChosen = m_timingMethod.IsValid();
    const std::int32_t previous = m_timingMethod.GetIndex();
    const bool stored = m_timingMethod.SetChoice(index, name);
    TORQ_ASSERT(stored);
    ApplyRangesFor(index);
    if (!wasChosen || previous == index) return Msg::None;
    return index == kSeatToSeat ? Msg::TimingNowSeatToSeat : Msg::TimingNowFiftyLift;
}

int CamData::ChooseProfile(std::int32_t index, std::string_view name, float ivo, float ivc, float evo,
                           float evc)
{
    TORQ_ASSERT(index >= 1 && index < kCustomCamType);
    const bool stored = m_camType.SetChoice(index, name);
    TORQ_ASSERT(stored);
    const int note = SetTimingMethod(kSeatToSeat, kSeatToSeatName);
    m_nominalIvo.SetValue(ivo);
    m_nominalIvc.SetValue(ivc);
    m_nominalEvo.SetValue(evo);
    m_nominalEvc.SetValue(evc);
    m_advanceRetard.SetValue(0.0f);
    return note;
}

void CamData::ComputeEvents()
{
    // 32-bit float arithmetic throughout, as the simulation's figures are.
    const float ivo = m_nominalIvo.GetValue();
    const float ivc = m_nominalIvc.GetValue();
    const float evo = m_nominalEvo.GetValue();
    const float evc = m_nominalEvc.GetValue();
    const float advance = m_advanceRetard.GetValue();

    // A valve is open from its opening event through the half turn between
    // the dead centres to its closing event.
    const float intakeDuration = ivc + ivo + 180.0f;
    const float exhaustDuration = evc + evo + 180.0f;
    // Centerline: the middle of the open period, intake after TDC, exhaust before.
    const float intakeCenterline = intakeDuration * 0.5f - ivo;
    const float exhaustCenterline = exhaustDuration * 0.5f - evc;

    m_intakeDuration.SetValue(intakeDuration);
    m_exhaustDuration.SetValue(exhaustDuration);
    m_nominalIntakeCenterline.SetValue(intakeCenterline);
    m_nominalExhaustCenterline.SetValue(exhaustCenterline);
    m_lobeCenter.SetValue((intakeCenterline + exhaustCenterline) * 0.5f);
    m_overlap.SetValue(ivo + evc);

    // Advancing the cam opens and closes every valve earlier.
    m_actualIvo.SetValue(ivo + advance);
    m_actualIvc.SetValue(ivc - advance);
    m_actualEvo.SetValue(evo + advance);
    m_actualEvc.SetValue(evc - advance);
    m_actualIntakeCenterline.SetValue(intakeCenterline - advance);
    m_actualExhaustCenterline.SetValue(exhaustCenterline + advance);
}

void CamData::EventsFromTimingSpecs()
{
    const float lobeCenter = m_lobeCenter.GetValue();
    const float intakeCenterline = m_nominalIntakeCenterline.GetValue();
    const float intakeDuration = m_intakeDuration.GetValue();
    const float exhaustDuration = m_exhaustDuration.GetValue();

    const float ivo = intakeDuration * 0.5f - intakeCenterline;
    const float ivc = intakeDuration - ivo - 180.0f;
    // The lobe center angle lies midway between the two centerlines.
    const float exhaustCenterline = 2.0f * lobeCenter - intakeCenterline;
    const float evc = exhaustDuration * 0.5f - exhaustCenterline;
    const float evo = exhaustDuration - evc - 180.0f;

    StoreIfInRange(m_nominalIvo, ivo);
    StoreIfInRange(m_nominalIvc, ivc);
    StoreIfInRange(m_nominalEvo, evo);
    StoreIfInRange(m_nominalEvc, evc);
}

bool CamData::CheckComplete(ErrorCode& code) const
{
    return Require(m_camType.IsValid(), Msg::CamshaftRequired, code) &&
           Require(m_lifterType.IsValid(), Msg::LifterTypeRequired, code) &&
           Require(m_timingMethod.IsValid(), Msg::CamTimingMethodRequired, code) &&
           Require(m_intakeLift.IsValid(), Msg::CamIntakeLiftRequired, code) &&
           Require(m_exhaustLift.IsValid(), Msg::CamExhaustLiftRequired, code) && CheckEvents(code);
}

bool CamData::CheckEvents(ErrorCode& code) const
{
    return Require(m_nominalIvo.IsValid(), Msg::CamIvoRequired, code) &&
           Require(m_nominalIvc.IsValid(), Msg::CamIvcRequired, code) &&
           Require(m_nominalEvo.IsValid(), Msg::CamEvoRequired, code) &&
           Require(m_nominalEvc.IsValid(), Msg::CamEvcRequired, code) &&
           Require(m_advanceRetard.IsValid(), Msg::CamAdvanceRetardRequired, code);
}

void CamData::WriteBlock(std::FILE* file)
{
    CLocaleScope cLocale;
    const std::int32_t shownSystem = m_unitSystem;
    SetUnitSystem(kEnglishUnits);
    try {
        WriteBlockVersion(file);
        WriteIntegerLine(file, m_unitSystem);
        m_camType.Write(file);
        m_lifterType.Write(file);
        m_timingMethod.Write(file);
        m_advanceRetard.Write(file);
        m_intakeLift.Write(file);
        m_exhaustLift.Write(file);
        WriteIntegerLine(file, m_autoValveLift ? 1 : 0);
        m_nominalIvo.Write(file);
        m_nominalIvc.Write(file);
        m_nominalEvo.Write(file);
        m_nominalEvc.Write(file);
    } catch (const RaisedError&) {
        SetUnitSystem(shownSystem);
        throw;
    }
    SetUnitSystem(shownSystem);
}

void CamData::ReadBlock(std::FILE* file)
{
    CLocaleScope cLocale;
    SetUnitSystem(kEnglishUnits);
    ReadBlockVersion(file, Msg::CamFileVersion);
    const std::int32_t storedSystem = ReadIntegerLine(file);
    if (storedSystem != kEnglishUnits && storedSystem != kMetricUnits) RaiseError(Msg::FileInvalidValue);
    m_camType.Read(file);
    m_lifterType.Read(file);
    m_timingMethod.Read(file);
    // The stored events are range-tested against their own timing method.
    ApplyRangesFor(m_timingMethod.GetIndex());
    m_advanceRetard.Read(file);
    m_intakeLift.Read(file);
    m_exhaustLift.Read(file);
    m_autoValveLift = ReadIntegerLine(file) != 0;
    m_nominalIvo.Read(file);
    m_nominalIvc.Read(file);
    m_nominalEvo.Read(file);
    m_nominalEvc.Read(file);
    SetUnitSystem(storedSystem);
}

bool CamData::SaveToFile(const std::string& path)
{
    return WriteTextFile(path, [this](std::FILE* file) { WriteBlock(file); });
}

bool CamData::LoadFromFile(const std::string& path)
{
    return ReadTextFile(path, [this](std::FILE* file) { ReadBlock(file); });
}
