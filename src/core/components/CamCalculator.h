#pragma once

#include "CalculatorEntry.h"
#include "Cam.h"
#include "base/ErrCode.h"

#include <cstdint>
#include <string>

// The four valve events from the figures of a cam card: lobe center angle,
// intake centerline, intake and exhaust duration (and the lifts, which the
// events do not need but the engine does). Works on a copy of the engine's
// cam; the engine's cam changes only when the copy is handed to
// CTorqDoc::ApplyCamMath.
class CamCalculator {
public:
    enum class Input {
        LobeCenter,
        IntakeCenterline,
        IntakeDuration,
        ExhaustDuration,
        IntakeLift,
        ExhaustLift
    };

    explicit CamCalculator(const CamData& cam);

    const CamData& Cam() const { return m_cam; }
    // The timing method's name: "Seat-To-Seat", "0.050-Lift", or "***" when none is chosen.
    std::string TimingMethodText() const { return m_cam.TimingMethod().GetText(); }

    // How the card measures its durations: CamData::kSeatToSeat or
    // kFiftyLift, 0 while the engine's cam has no timing method. The copy
    // starts with the engine's method; choosing the card's instead gives the
    // copy that method with its event ranges, and Apply gives it to the
    // engine, so that the same card makes the same cam in any engine.
    std::int32_t GetCardTimingMethod() const;
    void SetCardTimingMethod(std::int32_t method);
    // The engine's timing method when the calculator opened (0 for none).
    std::int32_t GetEngineTimingMethod() const { return m_engineTimingMethod; }
    // Under automatic lift the lifts come from the engine, not from the card.
    bool AreLiftsTyped() const { return !m_cam.IsAutoValveLift(); }

    CFloatPtSpec& Parameter(Input input);
    const CFloatPtSpec& Parameter(Input input) const;
    // The field protocol; an accepted value recomputes the events.
    EntryResult Enter(Input input, std::string_view text);

    // With all four timing figures valid, the nominal events from them (an
    // event outside the timing method's range is left unset); otherwise the
    // four events are unset.
    void Recompute();

    // The checks of Apply in order: 39 lobe center angle, 38 intake
    // centerline, 40 intake duration, 41 exhaust duration (CheckCard), 32
    // intake lift, 33 exhaust lift, 34 to 37 the four events (CheckEvents).
    // 0 when the cam may be applied.
    ErrorCode CheckApply() const;
    ErrorCode CheckCard() const;
    ErrorCode CheckEvents() const;

private:
    CamData m_cam;
    std::int32_t m_engineTimingMethod;
};
