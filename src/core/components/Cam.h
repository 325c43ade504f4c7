#pragma once

#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The camshaft of one engine: cam type, lifter type and timing method, the
// valve lifts, the four nominal valve events, the advance/retard, and the
// timing figures derived from them.
//
// Crank-angle conventions: IVO in degrees before TDC, IVC after BDC, EVO
// before BDC, EVC after TDC. The intake centerline is counted after TDC, the
// exhaust centerline before TDC. A positive advance/retard advances the cam
// (every event earlier).
//
// The cam block (WriteBlock / ReadBlock) is both a whole cam file (*.cam) and
// the cam section of an engine file; it always holds inches and degrees.
class CamData {
public:
    // Timing method choices.
    static constexpr std::int32_t kSeatToSeat = 1;
    static constexpr std::int32_t kFiftyLift = 2;
    static constexpr const char* kSeatToSeatName = "Seat-To-Seat";
    static constexpr const char* kFiftyLiftName = "0.050-Lift";
    // The last cam type is the user's own description.
    static constexpr std::int32_t kCustomCamType = 6;

    CamData();
    // Copies are exact: every parameter keeps its set flag, units and ranges
    // (a float parameter's own copy constructor would unset an invalid one),
    // and every member is copied, so a new member cannot be left out.
    CamData(const CamData& other);
    CamData& operator=(const CamData& other) = default;
    // Exact, parameter by parameter (units and ranges included).
    bool operator==(const CamData& other) const = default;

    // The same as the assignment.
    void Assign(const CamData& other);

    // Every parameter unset, then advance/retard set to 0 and automatic lift
    // off; ranges and unit system stay.
    void ClearAll();

    // 0 English, 1 metric: only the lifts change, every angle is in degrees.
    void SetUnitSystem(std::int32_t system);
    std::int32_t GetUnitSystem() const { return m_unitSystem; }

    // Nominal event ranges for the timing method, in degrees. An event outside
    // its new range is reset (unset, value = new minimum).
    void ApplySeatToSeatRanges();
    void ApplyFiftyLiftRanges();

    // What choosing a timing method does: stores the choice and applies its
    // ranges (the event values are not converted). Returns the note the user
    // must see, 101 (to Seat-To-Seat) or 102 (to 0.050-Lift), when a method
    // was chosen before and this one differs; 0 otherwise.
    int SetTimingMethod(std::int32_t index, std::string_view name);

    // What choosing one of the cam type profiles 1..5 does: cam type, timing
    // method Seat-To-Seat (as SetTimingMethod), the four nominal events in
    // degrees, advance/retard 0. Returns the timing method's note (0 or 101).
    int ChooseProfile(std::int32_t index, std::string_view name, float ivo, float ivc, float evo, float evc);

    // Durations, centerlines, lobe center angle, overlap and the actual events
    // from the nominal events and the advance/retard.
    void ComputeEvents();
    // The four nominal events from a cam card: lobe center angle, nominal
    // intake centerline and the two durations. An event that falls outside
    // its current range is left unset.
    void EventsFromTimingSpecs();

    // Completeness in fixed order; the first gap gives its error code
    // (27, 29, 30, 32, 33, then CheckEvents: 34 to 37, 31).
    bool CheckComplete(ErrorCode& code) const;
    bool CheckEvents(ErrorCode& code) const;

    // The cam block in English units. WriteBlock raises 44; ReadBlock raises
    // 45 (nothing to read), 47 (invalid value) or 50 (version not accepted).
    // Either way the record ends in its unit system: the one it had (write)
    // or English (read, unless the block says metric).
    void WriteBlock(std::FILE* file);
    void ReadBlock(std::FILE* file);

    // A whole cam file. Errors (43 to 47, 50) are shown through the message
    // presenter and give false. A failed save leaves an existing file as it
    // was; a failed load keeps what was read before the failure.
    bool SaveToFile(const std::string& path);
    bool LoadFromFile(const std::string& path);

    bool IsAutoValveLift() const { return m_autoValveLift; }
    void SetAutoValveLift(bool on) { m_autoValveLift = on; }

    CPartTypeSpec& CamType() { return m_camType; }
    CPartTypeSpec& LifterType() { return m_lifterType; }
    CPartTypeSpec& TimingMethod() { return m_timingMethod; }
    CFloatPtSpec& LobeCenter() { return m_lobeCenter; }
    CFloatPtSpec& Overlap() { return m_overlap; }
    CFloatPtSpec& AdvanceRetard() { return m_advanceRetard; }
    CFloatPtSpec& IntakeLift() { return m_intakeLift; }
    CFloatPtSpec& ExhaustLift() { return m_exhaustLift; }
    CFloatPtSpec& IntakeDuration() { return m_intakeDuration; }
    CFloatPtSpec& ExhaustDuration() { return m_exhaustDuration; }
    CFloatPtSpec& NominalIvo() { return m_nominalIvo; }
    CFloatPtSpec& NominalIvc() { return m_nominalIvc; }
    CFloatPtSpec& NominalEvo() { return m_nominalEvo; }
    CFloatPtSpec& NominalEvc() { return m_nominalEvc; }
    CFloatPtSpec& NominalIntakeCenterline() { return m_nominalIntakeCenterline; }
    CFloatPtSpec& NominalExhaustCenterline() { return m_nominalExhaustCenterline; }
    CFloatPtSpec& ActualIvo() { return m_actualIvo; }
    CFloatPtSpec& ActualIvc() { return m_actualIvc; }
    CFloatPtSpec& ActualEvo() { return m_actualEvo; }
    CFloatPtSpec& ActualEvc() { return m_actualEvc; }
    CFloatPtSpec& ActualIntakeCenterline() { return m_actualIntakeCenterline; }
    CFloatPtSpec& ActualExhaustCenterline() { return m_actualExhaustCenterline; }

    const CPartTypeSpec& CamType() const { return m_camType; }
    const CPartTypeSpec& LifterType() const { return m_lifterType; }
    const CPartTypeSpec& TimingMethod() const { return m_timingMethod; }
    const CFloatPtSpec& LobeCenter() const { return m_lobeCenter; }
    const CFloatPtSpec& Overlap() const { return m_overlap; }
    const CFloatPtSpec& AdvanceRetard() const { return m_advanceRetard; }
    const CFloatPtSpec& IntakeLift() const { return m_intakeLift; }
    const CFloatPtSpec& ExhaustLift() const { return m_exhaustLift; }
    const CFloatPtSpec& IntakeDuration() const { return m_intakeDuration; }
    const CFloatPtSpec& ExhaustDuration() const { return m_exhaustDuration; }
    const CFloatPtSpec& NominalIvo() const { return m_nominalIvo; }
    const CFloatPtSpec& NominalIvc() const { return m_nominalIvc; }
    const CFloatPtSpec& NominalEvo() const { return m_nominalEvo; }
    const CFloatPtSpec& NominalEvc() const { return m_nominalEvc; }
    const CFloatPtSpec& NominalIntakeCenterline() const { return m_nominalIntakeCenterline; }
    const CFloatPtSpec& NominalExhaustCenterline() const { return m_nominalExhaustCenterline; }
    const CFloatPtSpec& ActualIvo() const { return m_actualIvo; }
    const CFloatPtSpec& ActualIvc() const { return m_actualIvc; }
    const CFloatPtSpec& ActualEvo() const { return m_actualEvo; }
    const CFloatPtSpec& ActualEvc() const { return m_actualEvc; }
    const CFloatPtSpec& ActualIntakeCenterline() const { return m_actualIntakeCenterline; }
    const CFloatPtSpec& ActualExhaustCenterline() const { return m_actualExhaustCenterline; }

private:
    void ApplyRangesFor(std::int32_t timingMethod);
    void CheckAngleUnits() const;

    std::int32_t m_unitSystem = kEnglishUnits;  // the unit system the lifts are shown in
    CPartTypeSpec m_camType;
    CPartTypeSpec m_lifterType;
    CPartTypeSpec m_timingMethod;
    CFloatPtSpec m_lobeCenter;     // cam degrees
    CFloatPtSpec m_overlap;        // crank degrees, IVO + EVC
    CFloatPtSpec m_advanceRetard;  // crank degrees, positive advances
    CFloatPtSpec m_intakeLift;     // valve lift, in or mm
    CFloatPtSpec m_exhaustLift;
    bool m_autoValveLift = false;
    CFloatPtSpec m_intakeDuration;  // crank degrees
    CFloatPtSpec m_exhaustDuration;
    CFloatPtSpec m_nominalIvo;
    CFloatPtSpec m_nominalIvc;
    CFloatPtSpec m_nominalEvo;
    CFloatPtSpec m_nominalEvc;
    CFloatPtSpec m_nominalIntakeCenterline;   // after TDC
    CFloatPtSpec m_nominalExhaustCenterline;  // before TDC
    CFloatPtSpec m_actualIvo;
    CFloatPtSpec m_actualIvc;
    CFloatPtSpec m_actualEvo;
    CFloatPtSpec m_actualEvc;
    CFloatPtSpec m_actualIntakeCenterline;
    CFloatPtSpec m_actualExhaustCenterline;
};
