#pragma once

#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The flow-bench airflow of one engine's cylinder head: for the intake and
// the exhaust valve the bench's test valve diameter and test pressure drop,
// and 4 to 10 points of valve lift against measured airflow, with a text
// description. Point k of a side is the pair (lift k, airflow k); only points
// 0 to pointCount - 1 are in use and within them the lifts rise strictly.
//
// The airflow block (WriteBlock / ReadBlock) is both a whole airflow file
// (*.flw) and the airflow section of an engine file; it always holds inches,
// inches of water and cfm.
class CylHeadFlowData {
public:
    static constexpr std::int32_t kMinPoints = 4;
    static constexpr std::int32_t kMaxPoints = 10;
    // Preset heads are the cylinder head choices 1 to 16.
    static constexpr std::int32_t kPresetCount = 16;

    // Test diameters 0.75 / 0.5 in, test pressure drops 1 inH2O, every
    // airflow 1 cfm and every lift 0.01 in, all set; empty description;
    // English units; 4 points in use.
    CylHeadFlowData();
    // Copies are exact: every parameter keeps its set flag, units and ranges
    // (a float parameter's own copy constructor would unset an invalid one),
    // and every member is copied, so a new member cannot be left out.
    CylHeadFlowData(const CylHeadFlowData& other);
    CylHeadFlowData& operator=(const CylHeadFlowData& other) = default;
    // Exact, parameter by parameter (units and ranges included).
    bool operator==(const CylHeadFlowData& other) const = default;

    // The same as the assignment.
    void Assign(const CylHeadFlowData& other);

    // Placeholder data for a new engine: empty description, the constructor's
    // test figures, and for the points in use ascending lifts 0.05, 0.1, ...
    // in with 100 cfm on both sides.
    void ResetDefaults();
    // Fills the record from the preset airflow table (head index 1..16) with
    // 8 points; the description becomes the caller's head name.
    void LoadPreset(std::int32_t headIndex, std::string_view name);

    // 4 to 10 points in use; the points from n on are marked unset.
    void SetPointCount(std::int32_t count);
    std::int32_t GetPointCount() const { return m_pointCount; }

    // Stores the text trimmed of blanks at both ends.
    bool SetDescription(std::string_view text);
    const std::string& GetDescription() const { return m_description; }

    // 0 English, 1 metric: the lengths and the pressures change, the airflows do not.
    void SetUnitSystem(std::int32_t system);
    std::int32_t GetUnitSystem() const { return m_unitSystem; }

    // Continues a lift series after the user edits lift s: every later point
    // in use steps on by the last step (by lift 0 itself when s is 0), held
    // within 0.01 to 1.5 in. The step must be positive: the dialog runs the
    // step check first.
    void ExtendIntakeLifts(std::int32_t start);
    void ExtendExhaustLifts(std::int32_t start);

    // Point k's lift must exceed point k-1's (point 0 always passes); a
    // failure gives 51 (intake) or 52 (exhaust).
    bool CheckIntakeLiftStep(std::int32_t point, ErrorCode& code) const;
    bool CheckExhaustLiftStep(std::int32_t point, ErrorCode& code) const;
    bool CheckIntakeLiftsAscending(ErrorCode& code) const;
    bool CheckExhaustLiftsAscending(ErrorCode& code) const;

    // The last point in use takes the airflows of the point before it (used
    // when a point is added).
    void RepeatLastFlows();

    // Completeness in fixed order: 61, 53 to 56, then per point 57 to 60,
    // then 51 and 52.
    bool CheckComplete(ErrorCode& code) const;

    // The airflow block in English units. WriteBlock raises 44; ReadBlock
    // raises 45 (nothing to read), 47 (invalid value) or 49 (version not
    // accepted). The record ends in its unit system: the one it had (write)
    // or English (read, unless the block says metric).
    void WriteBlock(std::FILE* file);
    void ReadBlock(std::FILE* file);

    // A whole airflow file. Errors (43 to 47, 49) are shown through the
    // message presenter and give false. A failed save leaves an existing file
    // as it was; a failed load keeps what was read before the failure.
    bool SaveToFile(const std::string& path);
    bool LoadFromFile(const std::string& path);

    CFloatPtSpec& IntakeTestDiameter() { return m_intakeTestDiameter; }
    CFloatPtSpec& IntakeTestPressureDrop() { return m_intakeTestPressureDrop; }
    CFloatPtSpec& ExhaustTestDiameter() { return m_exhaustTestDiameter; }
    CFloatPtSpec& ExhaustTestPressureDrop() { return m_exhaustTestPressureDrop; }
    CFloatPtSpec& IntakeLift(std::int32_t point);
    CFloatPtSpec& IntakeAirflow(std::int32_t point);
    CFloatPtSpec& ExhaustLift(std::int32_t point);
    CFloatPtSpec& ExhaustAirflow(std::int32_t point);

    const CFloatPtSpec& IntakeTestDiameter() const { return m_intakeTestDiameter; }
    const CFloatPtSpec& IntakeTestPressureDrop() const { return m_intakeTestPressureDrop; }
    const CFloatPtSpec& ExhaustTestDiameter() const { return m_exhaustTestDiameter; }
    const CFloatPtSpec& ExhaustTestPressureDrop() const { return m_exhaustTestPressureDrop; }
    const CFloatPtSpec& IntakeLift(std::int32_t point) const;
    const CFloatPtSpec& IntakeAirflow(std::int32_t point) const;
    const CFloatPtSpec& ExhaustLift(std::int32_t point) const;
    const CFloatPtSpec& ExhaustAirflow(std::int32_t point) const;

private:
    using Points = std::array<CFloatPtSpec, kMaxPoints>;

    // The 4 test parameters and the 40 point parameters.
    std::array<CFloatPtSpec*, 4 + 4 * kMaxPoints> AllParameters();

    static void ExtendLifts(Points& lifts, std::int32_t start, std::int32_t pointCount);
    static bool CheckLiftStep(const Points& lifts, std::int32_t point, std::int32_t pointCount,
                              ErrorCode failureCode, ErrorCode& code);
    static const CFloatPtSpec& PointOf(const Points& points, std::int32_t point);
    void WriteSide(std::FILE* file, const CFloatPtSpec& diameter, const CFloatPtSpec& pressure,
                   const Points& lifts, const Points& airflows) const;
    void ReadSide(std::FILE* file, CFloatPtSpec& diameter, CFloatPtSpec& pressure, Points& lifts,
                  Points& airflows);

    std::string m_description;
    std::int32_t m_unitSystem = 0;  // the unit system lengths and pressures are shown in
    std::int32_t m_pointCount = kMinPoints;
    CFloatPtSpec m_intakeTestDiameter;      // in or mm
    CFloatPtSpec m_intakeTestPressureDrop;  // inH2O or cmH2O
    Points m_intakeAirflows;                // cfm
    Points m_intakeLifts;                   // in or mm
    CFloatPtSpec m_exhaustTestDiameter;
    CFloatPtSpec m_exhaustTestPressureDrop;
    Points m_exhaustAirflows;
    Points m_exhaustLifts;
};
