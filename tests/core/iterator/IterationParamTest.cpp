#include "iterator/IterationParam.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"

#include <gtest/gtest.h>

#include <limits>

TEST(IterationSteps, AWholeNumberOfStepsGivesOneValueMoreAndALargerRemainderAShorterLastStep)
{
    EXPECT_EQ(CountSteps(4.00f, 4.10f, 0.03f), 5);  // 4.00 4.03 4.06 4.09 4.10
    EXPECT_EQ(CountSteps(4.00f, 4.06f, 0.03f), 3);
    EXPECT_EQ(CountSteps(4.00f, 4.03f, 0.03f), 2);
    // q = 2.01 in floats: a remainder of 0.01 of a step adds nothing; 0.0101 does.
    EXPECT_EQ(CountSteps(0.0f, 2.01f, 1.0f), 3);
    EXPECT_EQ(CountSteps(0.0f, 2.0101f, 1.0f), 4);
}

TEST(IterationSteps, ARangeOfOneStepIsTwoValuesThoughItsFloatDifferenceFallsAHairShort)
{
    // 4.02f - 4.00f is 0.019999981 against a step of 0.02: still one step,
    // the two values 4.00 and 4.02; more than 0.01 of a step short is none.
    EXPECT_EQ(CountSteps(4.00f, 4.02f, 0.02f), 2);
    EXPECT_EQ(CountSteps(106.0f, 107.0f, 1.0f), 2);
    EXPECT_EQ(CountSteps(4.0f, 4.0195f, 0.02f), 0);
}

TEST(IterationSteps, AnEmptyOrTooShortRangeOrNoStepGivesNoSteps)
{
    EXPECT_EQ(CountSteps(4.0f, 4.0f, 0.01f), 0);
    EXPECT_EQ(CountSteps(4.1f, 4.0f, 0.01f), 0);
    EXPECT_EQ(CountSteps(4.0f, 4.05f, 0.06f), 0);
    EXPECT_EQ(CountSteps(4.0f, 4.1f, 0.0f), 0);
    // Far more than any series may hold: saturated, never wrapped negative.
    EXPECT_EQ(CountSteps(0.0f, 10.0f, 1e-12f), std::numeric_limits<std::int32_t>::max());
}

TEST(StepTemplates, TheSixTemplatesHoldTheirDefaultStepInEnglishUnits)
{
    EXPECT_STREQ(StepTemplate(kItrStroke).GetName(), "Stroke Step");
    EXPECT_STREQ(StepTemplate(kItrCompression).GetName(), "Compression Ratio Step");
    EXPECT_STREQ(StepTemplate(kItrExhaustLift).GetName(), "Exhaust Valve Lift Step");
    EXPECT_EQ(&StepTemplate(kItrIvo), &StepTemplate(kItrEvc));  // one "Valve Event Step"
    const CFloatPtSpec& events = StepTemplate(kItrIvc);
    EXPECT_EQ(events.GetUnitCode(), UnitCode::Degree);
    EXPECT_EQ(events.GetText(), "1.0");
    EXPECT_FLOAT_EQ(events.GetMaximum(), 30.0f);
    EXPECT_FLOAT_EQ(StepTemplate(kItrCompression).GetValue(), 0.1f);
    EXPECT_EQ(StepTemplate(kItrIntakeLift).GetMetricUnitCode(), UnitCode::Millimetre);
}

TEST(IterationSlot, ChoosingATypeCopiesTheEngineParameterAndTheStepInTheEnginesUnits)
{
    CTorqDoc engine;
    BuildChevy350(engine);
    IterationParam slot;
    slot.ChooseDataType(kItrBore, engine);
    EXPECT_EQ(slot.minValue.GetTextWithUnits(), "4.000 in");
    EXPECT_FLOAT_EQ(slot.maxValue.GetMaximum(), 7.0f);  // the range of "Bore"
    EXPECT_FLOAT_EQ(slot.stepValue.GetValue(), 0.01f);
    EXPECT_EQ(slot.numberOfSteps, 0);  // counted once a field is edited

    engine.SetUnitSystem(kMetricUnits);
    slot.ChooseDataType(kItrIntakeLift, engine);
    EXPECT_EQ(slot.minValue.GetUnitCode(), UnitCode::Millimetre);
    EXPECT_NEAR(slot.minValue.GetValue(), 12.7f, 1e-4f);
    EXPECT_FLOAT_EQ(slot.stepValue.GetValue(), 0.254f);
    EXPECT_EQ(StepTemplate(kItrIntakeLift).GetUnitCode(), UnitCode::Inch);  // the template stays

    slot.Clear();
    EXPECT_EQ(slot.dataType, kItrNone);
    EXPECT_EQ(slot.minValue.GetText(), "***");
}
