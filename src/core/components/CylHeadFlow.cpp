#include "CylHeadFlow.h"

#include "CylHeadFlowPresets.h"
#include "base/LineFile.h"
#include "base/Units.h"
#include "base/Util.h"

#include <utility>

namespace {

constexpr float kLowestLift = 0.01f;  // in
constexpr float kHighestLift = 1.5f;  // in
constexpr float kDefaultLiftStep = 0.05f;
constexpr float kDefaultAirflow = 100.0f;  // cfm

CFloatPtSpec MakeLength(const char* name, float minimum, float maximum)
{
    return CFloatPtSpec(name, UnitCode::Inch, minimum, maximum, UnitCode::Millimetre, kInchesToMillimetres);
}

CFloatPtSpec MakePressure(const char* name)
{
    return CFloatPtSpec(name, UnitCode::InchWater, 1.0f, 75.0f, UnitCode::CentimetreWater,
                        kInchesWaterToCentimetresWater);
}

CFloatPtSpec MakeAirflow(const char* name)
{
    return CFloatPtSpec(name, UnitCode::Cfm, 1.0f, 750.0f, UnitCode::Cfm, 1.0f);
}

template <typename Make, std::size_t... I>
std::array<CFloatPtSpec, sizeof...(I)> MakePoints(Make make, std::index_sequence<I...>)
{
    return {{((void)I, make())...}};
}

template <typename Make>
std::array<CFloatPtSpec, CylHeadFlowData::kMaxPoints> MakePoints(Make make)
{
    return MakePoints(make, std::make_index_sequence<CylHeadFlowData::kMaxPoints>());
}

void SetAll(std::array<CFloatPtSpec, CylHeadFlowData::kMaxPoints>& points, float value)
{
    for (CFloatPtSpec& point : points) point.SetValue(value);
}

// Holds the record in English units for its lifetime and puts it back into
// the unit system it had (preset figures and lift steps are in inches).
class EnglishScope {
public:
    explicit EnglishScope(CylHeadFlowData& data) : m_data(data), m_system(data.GetUnitSystem())
    {
        if (m_system != kEnglishUnits) m_data.SetUnitSystem(kEnglishUnits);
    }
    ~EnglishScope()
    {
        if (m_system != kEnglishUnits) m_data.SetUnitSystem(m_system);
    }
    EnglishScope(const EnglishScope&) = delete;
    EnglishScope& operator=(const EnglishScope&) = delete;

private:
    CylHeadFlowData& m_data;
    std::int32_t m_system;
};

bool Require(bool valid, ErrorCode failureCode, ErrorCode& code)
{
    if (!valid) code = failureCode;
    return valid;
}

}  // namespace

CylHeadFlowData::CylHeadFlowData()
    : m_intakeTestDiameter(MakeLength("Intake Valve Test Diameter", 0.75f, 4.0f)),
      m_intakeTestPressureDrop(MakePressure("Intake Test Pressure Drop")),
      m_intakeAirflows(MakePoints([] { return MakeAirflow("Intake Valve Airflow"); })),
      m_intakeLifts(MakePoints([] { return MakeLength("Intake Valve Lift", kLowestLift, kHighestLift); })),
      m_exhaustTestDiameter(MakeLength("Exhaust Valve Test Diameter", 0.5f, 3.25f)),
      m_exhaustTestPressureDrop(MakePressure("Exhaust Test Pressure Drop")),
      m_exhaustAirflows(MakePoints([] { return MakeAirflow("Exhaust Valve Airflow"); })),
      m_exhaustLifts(MakePoints([] { return MakeLength("Exhaust Valve Lift", kLowestLift, kHighestLift); }))
{
    m_intakeTestDiameter.SetValue(0.75f);
    m_exhaustTestDiameter.SetValue(0.5f);
    m_intakeTestPressureDrop.SetValue(1.0f);
    m_exhaustTestPressureDrop.SetValue(1.0f);
    SetAll(m_intakeAirflows, 1.0f);
    SetAll(m_exhaustAirflows, 1.0f);
    SetAll(m_intakeLifts, kLowestLift);
    SetAll(m_exhaustLifts, kLowestLift);
    SetPointCount(kMinPoints);
}

CylHeadFlowData::CylHeadFlowData(const CylHeadFlowData& other) : CylHeadFlowData()
{
    Assign(other);
}

void CylHeadFlowData::Assign(const CylHeadFlowData& other)
{
    *this = other;
}

std::array<CFloatPtSpec*, 4 + 4 * CylHeadFlowData::kMaxPoints> CylHeadFlowData::AllParameters()
{
    std::array<CFloatPtSpec*, 4 + 4 * kMaxPoints> all{};
    std::size_t n = 0;
    all[n++] = &m_intakeTestDiameter;
    all[n++] = &m_intakeTestPressureDrop;
    all[n++] = &m_exhaustTestDiameter;
    all[n++] = &m_exhaustTestPressureDrop;
    for (Points* points : {&m_intakeAirflows, &m_intakeLifts, &m_exhaustAirflows, &m_exhaustLifts}) {
        for (CFloatPtSpec& point : *points) all[n++] = &point;
    }
    return all;
}

void CylHeadFlowData::SetUnitSystem(std::int32_t system)
{
    TORQ_ASSERT(system == kEnglishUnits || system == kMetricUnits);
    for (CFloatPtSpec* parameter : AllParameters()) parameter->SetUnits(system == kEnglishUnits);
    m_unitSystem = system;
}

void CylHeadFlowData::SetPointCount(std::int32_t count)
{
    TORQ_ASSERT(count >= kMinPoints && count <= kMaxPoints);
    m_pointCount = count;
    for (std::int32_t k = count; k < kMaxPoints; ++k) {
        m_intakeAirflows[std::size_t(k)].MarkUnset();
        m_intakeLifts[std::size_t(k)].MarkUnset();
        m_exhaustAirflows[std::size_t(k)].MarkUnset();
        m_exhaustLifts[std::size_t(k)].MarkUnset();
    }
}

bool CylHeadFlowData::SetDescription(std::string_view text)
{
    m_description = TrimBlanks(text);
    return true;
}

void CylHeadFlowData::ResetDefaults()
{
    EnglishScope english(*this);
    m_description.clear();
    m_intakeTestDiameter.SetValue(0.75f);
    m_intakeTestPressureDrop.SetValue(1.0f);
    m_exhaustTestDiameter.SetValue(0.5f);
    m_exhaustTestPressureDrop.SetValue(1.0f);
    float lift = 0.0f;
    for (std::int32_t k = 0; k < m_pointCount; ++k) {
        lift += kDefaultLiftStep;  // accumulated in float: 0.05, 0.1, 0.15 ...
        const auto i = std::size_t(k);
        m_intakeLifts[i].SetValue(lift);
        m_exhaustLifts[i].SetValue(lift);
        m_intakeAirflows[i].SetValue(kDefaultAirflow);
        m_exhaustAirflows[i].SetValue(kDefaultAirflow);
    }
}

void CylHeadFlowData::LoadPreset(std::int32_t headIndex, std::string_view name)
{
    const CylHeadFlowPreset* preset = FindCylHeadFlowPreset(headIndex);
    TORQ_ASSERT(preset != nullptr);
    EnglishScope english(*this);
    m_description = std::string(name);
    SetPointCount(kPresetPointCount);
    m_intakeTestDiameter.SetValue(preset->intakeTestDiameter);
    m_exhaustTestDiameter.SetValue(preset->exhaustTestDiameter);
    m_intakeTestPressureDrop.SetValue(preset->intakeTestPressureDrop);
    m_exhaustTestPressureDrop.SetValue(preset->exhaustTestPressureDrop);
    for (std::size_t k = 0; k < std::size_t(kPresetPointCount); ++k) {
        m_intakeLifts[k].SetValue((*preset->intakeLifts)[k]);
        m_intakeAirflows[k].SetValue(preset->intakeAirflows[k]);
        m_exhaustLifts[k].SetValue((*preset->exhaustLifts)[k]);
        m_exhaustAirflows[k].SetValue(preset->exhaustAirflows[k]);
    }
}

void CylHeadFlowData::ExtendLifts(Points& lifts, std::int32_t start, std::int32_t pointCount)
{
    TORQ_ASSERT(start >= 0 && start < kMaxPoints);
    const auto s = std::size_t(start);
    const float step = start == 0 ? lifts[0].GetValue() : lifts[s].GetValue() - lifts[s - 1].GetValue();
    TORQ_ASSERT(step > 0.0f);
    float lift = lifts[s].GetValue();
    for (std::int32_t k = start + 1; k < pointCount; ++k) {
        lift += step;
        if (lift < kLowestLift) lift = kLowestLift;
        if (lift > kHighestLift) lift = kHighestLift;
        lifts[std::size_t(k)].SetValue(lift);
    }
}

void CylHeadFlowData::ExtendIntakeLifts(std::int32_t start)
{
    EnglishScope english(*this);
    ExtendLifts(m_intakeLifts, start, m_pointCount);
}

void CylHeadFlowData::ExtendExhaustLifts(std::int32_t start)
{
    EnglishScope english(*this);
    ExtendLifts(m_exhaustLifts, start, m_pointCount);
}

bool CylHeadFlowData::CheckLiftStep(const Points& lifts, std::int32_t point, std::int32_t pointCount,
                                    ErrorCode failureCode, ErrorCode& code)
{
    TORQ_ASSERT(point >= 0 && point < pointCount);
    if (point == 0) return true;
    const auto k = std::size_t(point);
    return Require(lifts[k].GetValue() - lifts[k - 1].GetValue() > 0.0f, failureCode, code);
}

bool CylHeadFlowData::CheckIntakeLiftStep(std::int32_t point, ErrorCode& code) const
{
    return CheckLiftStep(m_intakeLifts, point, m_pointCount, Msg::IntakeLiftsNotAscending, code);
}

bool CylHeadFlowData::CheckExhaustLiftStep(std::int32_t point, ErrorCode& code) const
{
    return CheckLiftStep(m_exhaustLifts, point, m_pointCount, Msg::ExhaustLiftsNotAscending, code);
}

bool CylHeadFlowData::CheckIntakeLiftsAscending(ErrorCode& code) const
{
    for (std::int32_t k = 1; k < m_pointCount; ++k) {
        if (!CheckIntakeLiftStep(k, code)) return false;
    }
    return true;
}

bool CylHeadFlowData::CheckExhaustLiftsAscending(ErrorCode& code) const
{
    for (std::int32_t k = 1; k < m_pointCount; ++k) {
        if (!CheckExhaustLiftStep(k, code)) return false;
    }
    return true;
}

void CylHeadFlowData::RepeatLastFlows()
{
    const auto last = std::size_t(m_pointCount - 1);
    m_intakeAirflows[last] = m_intakeAirflows[last - 1];
    m_exhaustAirflows[last] = m_exhaustAirflows[last - 1];
}

bool CylHeadFlowData::CheckComplete(ErrorCode& code) const
{
    if (!Require(!m_description.empty(), Msg::AirflowDescriptionRequired, code) ||
        !Require(m_intakeTestDiameter.IsValid(), Msg::IntakeTestDiameterRequired, code) ||
        !Require(m_intakeTestPressureDrop.IsValid(), Msg::IntakeTestPressureRequired, code) ||
        !Require(m_exhaustTestDiameter.IsValid(), Msg::ExhaustTestDiameterRequired, code) ||
        !Require(m_exhaustTestPressureDrop.IsValid(), Msg::ExhaustTestPressureRequired, code)) {
        return false;
    }
    for (std::size_t k = 0; k < std::size_t(m_pointCount); ++k) {
        if (!Require(m_intakeLifts[k].IsValid(), Msg::IntakeLiftDataRequired, code) ||
            !Require(m_intakeAirflows[k].IsValid(), Msg::IntakeFlowDataRequired, code) ||
            !Require(m_exhaustLifts[k].IsValid(), Msg::ExhaustLiftDataRequired, code) ||
            !Require(m_exhaustAirflows[k].IsValid(), Msg::ExhaustFlowDataRequired, code)) {
            return false;
        }
    }
    return CheckIntakeLiftsAscending(code) && CheckExhaustLiftsAscending(code);
}

void CylHeadFlowData::WriteSide(std::FILE* file, const CFloatPtSpec& diameter, const CFloatPtSpec& pressure,
                                const Points& lifts, const Points& airflows) const
{
    diameter.Write(file);
    pressure.Write(file);
    for (std::size_t k = 0; k < std::size_t(m_pointCount); ++k) lifts[k].Write(file);
    for (std::size_t k = 0; k < std::size_t(m_pointCount); ++k) airflows[k].Write(file);
}

void CylHeadFlowData::ReadSide(std::FILE* file, CFloatPtSpec& diameter, CFloatPtSpec& pressure, Points& lifts,
                               Points& airflows)
{
    diameter.Read(file);
    pressure.Read(file);
    for (std::size_t k = 0; k < std::size_t(m_pointCount); ++k) lifts[k].Read(file);
    for (std::size_t k = 0; k < std::size_t(m_pointCount); ++k) airflows[k].Read(file);
}

void CylHeadFlowData::WriteBlock(std::FILE* file)
{
    CLocaleScope cLocale;
    EnglishScope english(*this);
    WriteBlockVersion(file);
    WriteNameLine(file, m_description);
    WriteIntegerLine(file, m_unitSystem);
    WriteIntegerLine(file, m_pointCount);
    WriteSide(file, m_intakeTestDiameter, m_intakeTestPressureDrop, m_intakeLifts, m_intakeAirflows);
    WriteSide(file, m_exhaustTestDiameter, m_exhaustTestPressureDrop, m_exhaustLifts, m_exhaustAirflows);
}

void CylHeadFlowData::ReadBlock(std::FILE* file)
{
    CLocaleScope cLocale;
    SetUnitSystem(kEnglishUnits);
    ReadBlockVersion(file, Msg::AirflowFileVersion);
    std::string description;
    if (!ReadNameLine(file, description)) RaiseError(Msg::FileRead);
    SetDescription(description);
    const std::int32_t storedSystem = ReadIntegerLine(file);
    if (storedSystem != kEnglishUnits && storedSystem != kMetricUnits) RaiseError(Msg::FileInvalidValue);
    const std::int32_t count = ReadIntegerLine(file);
    if (count < kMinPoints || count > kMaxPoints) RaiseError(Msg::FileInvalidValue);
    SetPointCount(count);
    ReadSide(file, m_intakeTestDiameter, m_intakeTestPressureDrop, m_intakeLifts, m_intakeAirflows);
    ReadSide(file, m_exhaustTestDiameter, m_exhaustTestPressureDrop, m_exhaustLifts, m_exhaustAirflows);
    SetUnitSystem(storedSystem);
}

bool CylHeadFlowData::SaveToFile(const std::string& path)
{
    return WriteTextFile(path, [this](std::FILE* file) { WriteBlock(file); });
}

bool CylHeadFlowData::LoadFromFile(const std::string& path)
{
    return ReadTextFile(path, [this](std::FILE* file) { ReadBlock(file); });
}

const CFloatPtSpec& CylHeadFlowData::PointOf(const Points& points, std::int32_t point)
{
    TORQ_ASSERT(point >= 0 && point < kMaxPoints);
    return points[std::size_t(point)];
}

CFloatPtSpec& CylHeadFlowData::IntakeLift(std::int32_t point)
{
    return const_cast<CFloatPtSpec&>(PointOf(m_intakeLifts, point));
}

CFloatPtSpec& CylHeadFlowData::IntakeAirflow(std::int32_t point)
{
    return const_cast<CFloatPtSpec&>(PointOf(m_intakeAirflows, point));
}

CFloatPtSpec& CylHeadFlowData::ExhaustLift(std::int32_t point)
{
    return const_cast<CFloatPtSpec&>(PointOf(m_exhaustLifts, point));
}

CFloatPtSpec& CylHeadFlowData::ExhaustAirflow(std::int32_t point)
{
    return const_cast<CFloatPtSpec&>(PointOf(m_exhaustAirflows, point));
}

const CFloatPtSpec& CylHeadFlowData::IntakeLift(std::int32_t point) const
{
    return PointOf(m_intakeLifts, point);
}

const CFloatPtSpec& CylHeadFlowData::IntakeAirflow(std::int32_t point) const
{
    return PointOf(m_intakeAirflows, point);
}

const CFloatPtSpec& CylHeadFlowData::ExhaustLift(std::int32_t point) const
{
    return PointOf(m_exhaustLifts, point);
}

const CFloatPtSpec& CylHeadFlowData::ExhaustAirflow(std::int32_t point) const
{
    return PointOf(m_exhaustAirflows, point);
}
