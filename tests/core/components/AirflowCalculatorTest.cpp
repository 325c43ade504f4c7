#include "components/AirflowCalculator.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using Input = AirflowCalculator::Input;

// Known airflow and pressure drop typed as a user would; true when both are taken.
bool TypeKnown(AirflowCalculator& calculator, const char* cfm, const char* pressure)
{
    return calculator.Enter(Input::KnownAirflow, cfm) == EntryResult::Accepted &&
           calculator.Enter(Input::KnownPressure, pressure) == EntryResult::Accepted;
}

std::string Result(const AirflowCalculator& calculator)
{
    return calculator.Airflow().GetText();
}

}  // namespace

TEST(AirflowCalculator, SixHundredCfmAtTwentyInchesOfWaterRatesAt604Point9OnTheFourBarrelStandard)
{
    AirflowCalculator calculator(kEnglishUnits);
    EXPECT_EQ(calculator.GetMode(), AirflowCalculator::kFourBarrel);
    EXPECT_EQ(calculator.Parameter(Input::TargetPressure).GetTextWithUnits(), "1.50 inHg");
    ASSERT_TRUE(TypeKnown(calculator, "600", "20"));
    EXPECT_EQ(Result(calculator), "604.9");
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
    EXPECT_FLOAT_EQ(calculator.RatingPressureInHg(), 1.5f);
}

TEST(AirflowCalculator, SixHundredCfmAtTwentyEightInchesOfWaterRatesAt722Point9OnTheTwoBarrelStandard)
{
    AirflowCalculator calculator(kEnglishUnits);
    calculator.SetMode(AirflowCalculator::kTwoBarrel);
    ASSERT_TRUE(TypeKnown(calculator, "600", "28"));
    EXPECT_EQ(Result(calculator), "722.9");
    EXPECT_FLOAT_EQ(calculator.RatingPressureInHg(), 3.0f);
    // The same standard with its pressure shown in water: 40.65 inH2O.
    calculator.ShowTargetPressureInMercury(false);
    EXPECT_EQ(Result(calculator), "722.9");
}

TEST(AirflowCalculator, TheKnownPressureMayBeTypedInMercury)
{
    for (auto [mode, inHg, expected] : {std::tuple{AirflowCalculator::kFourBarrel, "1.476", "604.9"},
                                        std::tuple{AirflowCalculator::kTwoBarrel, "2.0664", "722.9"}}) {
        AirflowCalculator calculator(kEnglishUnits);
        calculator.SetMode(mode);
        calculator.ShowKnownPressureInMercury(true);
        EXPECT_EQ(calculator.Parameter(Input::KnownPressure).GetUnitCode(), UnitCode::InchMercury);
        ASSERT_TRUE(TypeKnown(calculator, "600", inHg));
        EXPECT_EQ(Result(calculator), expected);
    }
}

TEST(AirflowCalculator, ARatingBelow100CfmIsRefusedWith99)
{
    AirflowCalculator calculator(kEnglishUnits);
    ASSERT_TRUE(TypeKnown(calculator, "100", "20.37"));
    EXPECT_EQ(Result(calculator), "99.9");
    EXPECT_EQ(calculator.CheckApply(), Msg::AirflowRatingOutOfRange);
    ASSERT_EQ(calculator.Enter(Input::KnownPressure, "20.33"), EntryResult::Accepted);
    EXPECT_EQ(Result(calculator), "100.0");
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
    // And above 4000 cfm.
    ASSERT_TRUE(TypeKnown(calculator, "4000", "10"));
    EXPECT_EQ(calculator.CheckApply(), Msg::AirflowRatingOutOfRange);
}

TEST(AirflowCalculator, ApplyAsksForThePressureDropBeforeTheAirflow)
{
    AirflowCalculator calculator(kEnglishUnits);
    EXPECT_EQ(calculator.CheckApply(), Msg::AirflowPressureDropRequired);
    ASSERT_EQ(calculator.Enter(Input::KnownPressure, "20"), EntryResult::Accepted);
    EXPECT_EQ(calculator.CheckApply(), Msg::AirflowRequired);
    EXPECT_FALSE(calculator.Airflow().IsValid());
}

TEST(AirflowCalculator, MetricRatingsAreSetInCentimetres)
{
    AirflowCalculator calculator(kMetricUnits);
    const CFloatPtSpec& target = calculator.Parameter(Input::TargetPressure);
    calculator.SetMode(AirflowCalculator::kTwoBarrel);
    EXPECT_EQ(target.GetTextWithUnits(), "7.620 cmHg");
    calculator.ShowTargetPressureInMercury(false);
    calculator.SetMode(AirflowCalculator::kTwoBarrel);
    EXPECT_FLOAT_EQ(target.GetValue(), 103.251f);
    EXPECT_EQ(target.GetUnitCode(), UnitCode::CentimetreWater);
    calculator.SetMode(AirflowCalculator::kFourBarrel);
    EXPECT_FLOAT_EQ(target.GetValue(), 51.6255f);
    // The known pressure's range: 0.254 to 254 cmH2O.
    EXPECT_EQ(calculator.Enter(Input::KnownPressure, "0.25"), EntryResult::Refused);
    EXPECT_EQ(calculator.Enter(Input::KnownPressure, "254"), EntryResult::Accepted);
    // 600 cfm at 50.8 cmH2O (20 inH2O) rates as in inches.
    ASSERT_TRUE(TypeKnown(calculator, "600", "50.8"));
    EXPECT_EQ(Result(calculator), "604.9");
}

TEST(AirflowCalculator, WithoutAStandardTheTargetIsFree)
{
    AirflowCalculator calculator(kEnglishUnits);
    calculator.SetMode(AirflowCalculator::kNoStandard);
    ASSERT_TRUE(TypeKnown(calculator, "600", "28"));
    ASSERT_EQ(calculator.Enter(Input::TargetPressure, "1.0"), EntryResult::Accepted);  // inHg
    EXPECT_EQ(Result(calculator), "417.4");  // 600 * sqrt(13.55 / 28)
    EXPECT_FLOAT_EQ(calculator.TargetPressureInHg(), 1.0f);
    calculator.ShowTargetPressureInMercury(false);
    EXPECT_NEAR(calculator.TargetPressureInHg(), 1.0f, 1e-5f);
}
