#include "components/CamCalculator.h"

#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

namespace {

using Input = CamCalculator::Input;

// A cam whose timing method is chosen (seat-to-seat or 0.050-lift) and
// whose lifts are 0.5 in; no timing figures.
CamData CamTimedAt(std::int32_t method)
{
    CamData cam;
    cam.SetTimingMethod(method,
                        method == CamData::kSeatToSeat ? CamData::kSeatToSeatName : CamData::kFiftyLiftName);
    cam.IntakeLift().SetValue(0.5f);
    cam.ExhaustLift().SetValue(0.5f);
    return cam;
}

void TypeCard(CamCalculator& calculator, const char* intakeDuration)
{
    for (const auto& [input, text] :
         {std::pair{Input::LobeCenter, "110"}, std::pair{Input::IntakeCenterline, "106"},
          std::pair{Input::IntakeDuration, intakeDuration}, std::pair{Input::ExhaustDuration, "280"}}) {
        ASSERT_EQ(calculator.Enter(input, text), EntryResult::Accepted) << text;
    }
}

std::string Event(const CFloatPtSpec& event)
{
    return EditText(event);
}

}  // namespace

TEST(CamCalculator, ACardOf110CenterAnd106IntakeCenterlineWith280DurationsOpensAt34)
{
    CamCalculator calculator(CamTimedAt(CamData::kSeatToSeat));
    TypeCard(calculator, "280");
    const CamData& cam = calculator.Cam();
    EXPECT_EQ(Event(cam.NominalIvo()), "34.0");
    EXPECT_EQ(Event(cam.NominalIvc()), "66.0");
    EXPECT_EQ(Event(cam.NominalEvo()), "74.0");
    EXPECT_EQ(Event(cam.NominalEvc()), "26.0");
    EXPECT_EQ(calculator.TimingMethodText(), "Seat-To-Seat");
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
}

TEST(CamCalculator, AnEventOutsideTheFiftyLiftRangeStaysEmptyAndApplyReports34)
{
    CamCalculator calculator(CamTimedAt(CamData::kFiftyLift));
    TypeCard(calculator, "360");
    const CamData& cam = calculator.Cam();
    EXPECT_EQ(Event(cam.NominalIvo()), "");  // 74 BTDC, above 50
    EXPECT_EQ(Event(cam.NominalIvc()), "");  // 106 ABDC, above 95
    EXPECT_EQ(Event(cam.NominalEvo()), "74.0");
    EXPECT_EQ(Event(cam.NominalEvc()), "26.0");
    EXPECT_EQ(calculator.CheckApply(), Msg::CamIvoRequired);
}

TEST(CamCalculator, ApplyChecksTheCardThenTheLiftsThenTheEvents)
{
    CamData cam;  // nothing chosen, no lifts
    CamCalculator calculator(cam);
    const std::pair<Input, ErrorCode> steps[] = {
        {Input::LobeCenter, 39},      {Input::IntakeCenterline, 38}, {Input::IntakeDuration, 40},
        {Input::ExhaustDuration, 41}, {Input::IntakeLift, 32},       {Input::ExhaustLift, 33},
    };
    const char* texts[] = {"110", "106", "280", "280", "0.5", "0.5"};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(calculator.CheckApply(), steps[i].second);
        ASSERT_EQ(calculator.Enter(steps[i].first, texts[i]), EntryResult::Accepted);
    }
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
}

TEST(CamCalculator, AMissingFigureLeavesNoEvents)
{
    CamData profiled = CamTimedAt(CamData::kSeatToSeat);
    profiled.ChooseProfile(2, "High Performance Street", 31, 67, 67, 31);
    CamCalculator calculator(profiled);  // the profile's derived figures were never computed
    EXPECT_FALSE(calculator.Cam().NominalIvo().IsSet());
    EXPECT_EQ(calculator.CheckApply(), Msg::CamLobeCenterRequired);

    profiled.ComputeEvents();
    CamCalculator computed(profiled);  // its own figures give its events back
    EXPECT_EQ(Event(computed.Cam().NominalIvo()), "31.0");
    EXPECT_EQ(Event(computed.Cam().NominalEvc()), "31.0");
    EXPECT_EQ(computed.Enter(Input::IntakeDuration, "721"), EntryResult::Refused);
    EXPECT_EQ(computed.Enter(Input::IntakeDuration, ""), EntryResult::Empty);
    EXPECT_EQ(Event(computed.Cam().IntakeDuration()), "278.0");
}

TEST(CamCalculator, AppliedEventsGiveTheEngineAnOverlapOf60)
{
    RecordingPresenter quiet;
    CTorqDoc doc;
    ASSERT_TRUE(BuildChevy350(doc));
    doc.SetAutoRun(false);
    CamCalculator calculator(doc.Cam());
    TypeCard(calculator, "280");
    ASSERT_EQ(calculator.CheckApply(), Msg::None);
    doc.ApplyCamMath(calculator.Cam());
    EXPECT_EQ(doc.Cam().Overlap().GetText(), "60.0");
    EXPECT_EQ(doc.Cam().NominalIvo().GetText(), "34.0");
    EXPECT_EQ(doc.Cam().LobeCenter().GetText(), "110.0");
}
