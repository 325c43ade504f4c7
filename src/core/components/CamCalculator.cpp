#include "CamCalculator.h"

#include <utility>

CamCalculator::CamCalculator(const CamData& cam) : m_cam(cam)
{
    Recompute();
}

CFloatPtSpec& CamCalculator::Parameter(Input input)
{
    switch (input) {
        case Input::LobeCenter:
            return m_cam.LobeCenter();
        case Input::IntakeCenterline:
            return m_cam.NominalIntakeCenterline();
        case Input::IntakeDuration:
            return m_cam.IntakeDuration();
        case Input::ExhaustDuration:
            return m_cam.ExhaustDuration();
        case Input::IntakeLift:
            return m_cam.IntakeLift();
        case Input::ExhaustLift:
            return m_cam.ExhaustLift();
    }
    ReportAssertion(__FILE__, __LINE__);
}

const CFloatPtSpec& CamCalculator::Parameter(Input input) const
{
    return const_cast<CamCalculator*>(this)->Parameter(input);
}

EntryResult CamCalculator::Enter(Input input, std::string_view text)
{
    const EntryResult result = EnterNumber(Parameter(input), text);
    if (result == EntryResult::Accepted) Recompute();
    return result;
}

void CamCalculator::Recompute()
{
    if (m_cam.LobeCenter().IsValid() && m_cam.NominalIntakeCenterline().IsValid() &&
        m_cam.IntakeDuration().IsValid() && m_cam.ExhaustDuration().IsValid()) {
        m_cam.EventsFromTimingSpecs();
        return;
    }
    for (CFloatPtSpec* event :
         {&m_cam.NominalIvo(), &m_cam.NominalIvc(), &m_cam.NominalEvo(), &m_cam.NominalEvc()}) {
        event->MarkUnset();
    }
}

namespace {

using Check = std::pair<const CFloatPtSpec*, ErrorCode>;

// The code of the first parameter that is not valid, 0 when all are.
template <std::size_t N>
ErrorCode FirstInvalid(const Check (&checks)[N])
{
    for (const auto& [parameter, code] : checks) {
        if (!parameter->IsValid()) return code;
    }
    return Msg::None;
}

}  // namespace

ErrorCode CamCalculator::CheckCard() const
{
    const Check checks[] = {{&m_cam.LobeCenter(), Msg::CamLobeCenterRequired},
                            {&m_cam.NominalIntakeCenterline(), Msg::CamIntakeCenterlineRequired},
                            {&m_cam.IntakeDuration(), Msg::CamIntakeDurationRequired},
                            {&m_cam.ExhaustDuration(), Msg::CamExhaustDurationRequired}};
    return FirstInvalid(checks);
}

ErrorCode CamCalculator::CheckEvents() const
{
    const Check checks[] = {{&m_cam.NominalIvo(), Msg::CamIvoRequired},
                            {&m_cam.NominalIvc(), Msg::CamIvcRequired},
                            {&m_cam.NominalEvo(), Msg::CamEvoRequired},
                            {&m_cam.NominalEvc(), Msg::CamEvcRequired}};
    return FirstInvalid(checks);
}

ErrorCode CamCalculator::CheckApply() const
{
    if (const ErrorCode code = CheckCard(); code != 0) return code;
    const Check lifts[] = {{&m_cam.IntakeLift(), Msg::CamIntakeLiftRequired},
                           {&m_cam.ExhaustLift(), Msg::CamExhaustLiftRequired}};
    if (const ErrorCode code = FirstInvalid(lifts); code != 0) return code;
    return CheckEvents();
}
