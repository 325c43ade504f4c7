#include "components/CompressionCalculator.h"

#include "model/DocumentCalculators.h"
#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Input = CompressionCalculator::Input;

constexpr Choice kChevy350{ChoiceGroup::ShortBlock,
                           35};  // 4.000 in bore, 3.480 in stroke: 716.62 cc per cylinder

// A Chevy 350 short block, English or metric.
class ChevyShortBlock : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ApplyChoices(m_doc, {kChevy350}));
        m_doc.SetAutoRun(false);
    }

    // Types each (input, text) pair; all must be taken.
    static void Type(CompressionCalculator& calculator,
                     std::initializer_list<std::pair<Input, const char*>> entries)
    {
        for (const auto& [input, text] : entries) {
            ASSERT_EQ(calculator.Enter(input, text), EntryResult::Accepted) << text;
        }
    }

    // The measured flattop: 64 cc chamber, 4.100 x 0.040 in gasket, piston 0.025 in down.
    static void TypeFlattopEngine(CompressionCalculator& calculator)
    {
        calculator.SetPistonKind(CompressionCalculator::kFlattopPiston);
        Type(calculator, {{Input::ChamberVolume, "64"},
                          {Input::GasketBore, "4.100"},
                          {Input::GasketThickness, "0.040"},
                          {Input::PistonDistance, "0.025"}});
    }

    RecordingPresenter m_presenter;
    CTorqDoc m_doc;
};

std::string Shown(const CFloatPtSpec& parameter)
{
    return parameter.GetText();
}

}  // namespace

TEST(CompressionCalculatorSlice, AFourInchBoreQuarterThousandthsDeepHolds5Point15Cc)
{
    EXPECT_NEAR(CompressionCalculator::SliceVolumeCc(4.0f, 0.025f), 5.148f, 0.001f);
    EXPECT_NEAR(CompressionCalculator::SliceVolumeCc(4.1f, 0.040f), 8.654f, 0.001f);
    EXPECT_EQ(CompressionCalculator::SliceVolumeCc(4.0f, 0.0f), 0.0f);
}

TEST_F(ChevyShortBlock, AFlattopChevy350WithA64ccHeadGives10Point21)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    TypeFlattopEngine(calculator);
    EXPECT_EQ(Shown(calculator.GasketVolume()), "8.65");
    EXPECT_EQ(Shown(calculator.DeckVolume()), "5.15");
    EXPECT_EQ(Shown(calculator.SweptVolume()), "716.62");
    EXPECT_EQ(Shown(calculator.TotalVolume()), "77.80");
    EXPECT_EQ(calculator.RatioText(), "10.21");
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
}

TEST_F(ChevyShortBlock, AFlattopAboveTheDeckHasANegativeDeckVolume)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    TypeFlattopEngine(calculator);
    ASSERT_EQ(calculator.Enter(Input::PistonDistance, "-0.025"), EntryResult::Accepted);
    EXPECT_EQ(Shown(calculator.DeckVolume()), "-5.15");
    EXPECT_EQ(Shown(calculator.TotalVolume()), "67.50");
}

TEST_F(ChevyShortBlock, ADomedPistonTakesItsDomeFromTheMeasuredVolume)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    calculator.SetPistonKind(CompressionCalculator::kDomedPiston);
    Type(calculator, {{Input::PistonDistance, "0.1"}});
    // No measured volume yet: no deck volume.
    EXPECT_FALSE(calculator.DeckVolume().IsValid());
    Type(calculator, {{Input::PistonVolume, "10"}});
    EXPECT_EQ(Shown(calculator.DeckVolume()), "-10.59");  // 10 - 20.59
}

TEST_F(ChevyShortBlock, AZeroTotalShowsInfinityAndIsNotApplied)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    calculator.SetPistonKind(CompressionCalculator::kDomedPiston);
    // 10 cc chamber, no gasket, and a dome that fills 10 cc more than its bore.
    Type(calculator, {{Input::ChamberVolume, "10"},
                      {Input::GasketBore, "4.1"},
                      {Input::GasketThickness, "0"},
                      {Input::PistonDistance, "0.1"},
                      {Input::PistonVolume, "10.59"}});
    EXPECT_EQ(Shown(calculator.TotalVolume()), "0.00");
    EXPECT_TRUE(calculator.IsRatioInfinite());
    EXPECT_EQ(calculator.RatioText(), "Infinity");
    EXPECT_EQ(calculator.CheckApply(), Msg::CompressionRatioNotComputed);
}

TEST_F(ChevyShortBlock, ARatioOf18Point01IsRefusedWith89And18Point00IsAccepted)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    TypeFlattopEngine(calculator);  // gasket and deck hold 13.80 cc
    Type(calculator, {{Input::ChamberVolume, "28.33"}});
    EXPECT_EQ(calculator.RatioText(), "18.01");
    EXPECT_EQ(calculator.CheckApply(), Msg::CompressionRatioOutOfRange);
    Type(calculator, {{Input::ChamberVolume, "28.35"}});
    EXPECT_EQ(calculator.RatioText(), "18.00");
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
}

TEST_F(ChevyShortBlock, ATotalBelowTheSmallestCombustionSpaceIsNotApplied)
{
    // A one-cc cylinder reaches an allowed ratio from a total of 0.08 cc,
    // which no engine's combustion space may be.
    m_doc.CylinderVolume().SetValue(1.0f);
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    Type(calculator, {{Input::ChamberVolume, "0.1"},
                      {Input::GasketBore, "4.1"},
                      {Input::GasketThickness, "0"},
                      {Input::PistonDistance, "-0.0000971"}});
    ASSERT_EQ(Shown(calculator.TotalVolume()), "0.08");
    ASSERT_EQ(calculator.RatioText(), "13.50");
    EXPECT_EQ(calculator.CheckApply(), Msg::CompressionRatioNotComputed);
}

TEST_F(ChevyShortBlock, ApplyChecksEachInputInOrder)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    calculator.SetPistonKind(CompressionCalculator::kFlattopPiston);
    EXPECT_EQ(calculator.CheckApply(), Msg::ChamberVolumeRequired);
    Type(calculator, {{Input::ChamberVolume, "64"}});
    EXPECT_EQ(calculator.CheckApply(), Msg::GasketBoreRequired);
    Type(calculator, {{Input::GasketBore, "4.1"}});
    EXPECT_EQ(calculator.CheckApply(), Msg::GasketThicknessRequired);
    Type(calculator, {{Input::GasketThickness, "0.04"}});
    EXPECT_EQ(calculator.CheckApply(), Msg::PistonDistanceAtTdcRequired);  // down the bore at TDC
    calculator.SetPistonKind(CompressionCalculator::kDomedPiston);
    EXPECT_EQ(calculator.CheckApply(), Msg::PistonDistanceFromTdcRequired);  // down from TDC
    Type(calculator, {{Input::PistonDistance, "0.1"}});
    EXPECT_EQ(calculator.CheckApply(), Msg::DomedPistonVolumeRequired);
    Type(calculator, {{Input::PistonVolume, "5"}});
    EXPECT_EQ(calculator.CheckApply(), Msg::None);
}

TEST_F(ChevyShortBlock, ThePistonKindDecidesWhereThePistonMayStand)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    calculator.SetPistonKind(CompressionCalculator::kDomedPiston);
    Type(calculator, {{Input::PistonDistance, "0.3"}});
    EXPECT_EQ(calculator.Enter(Input::PistonDistance, "-0.2"), EntryResult::Refused);
    calculator.SetPistonKind(CompressionCalculator::kFlattopPiston);
    EXPECT_EQ(Shown(calculator.Parameter(Input::PistonDistance)), "0.300");
    Type(calculator, {{Input::PistonDistance, "-0.2"}});
    calculator.SetPistonKind(CompressionCalculator::kDomedPiston);
    const CFloatPtSpec& distance = calculator.Parameter(Input::PistonDistance);
    EXPECT_FALSE(distance.IsSet());
    EXPECT_FLOAT_EQ(distance.GetValue(), 0.1f);
}

TEST_F(ChevyShortBlock, TypedVolumesAreKeptToTheHundredthAndEmptyTextChangesNothing)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    Type(calculator, {{Input::ChamberVolume, " 64.004 "}, {Input::GasketBore, "4.1234"}});
    EXPECT_FLOAT_EQ(calculator.Parameter(Input::ChamberVolume).GetValue(), 64.0f);
    EXPECT_FLOAT_EQ(calculator.Parameter(Input::GasketBore).GetValue(),
                    4.1234f);  // lengths keep their digits
    EXPECT_EQ(calculator.Enter(Input::ChamberVolume, "   "), EntryResult::Empty);
    EXPECT_EQ(calculator.Enter(Input::ChamberVolume, "500.01"), EntryResult::Refused);
    EXPECT_EQ(calculator.Enter(Input::GasketBore, "8.1"), EntryResult::Refused);
    EXPECT_FLOAT_EQ(calculator.Parameter(Input::ChamberVolume).GetValue(), 64.0f);
    EXPECT_FLOAT_EQ(calculator.Parameter(Input::GasketBore).GetValue(), 4.1234f);
}

TEST_F(ChevyShortBlock, AMetricEngineMeasuredInMillimetresGivesTheSameVolumes)
{
    m_doc.SetUnitSystem(kMetricUnits);
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    calculator.SetPistonKind(CompressionCalculator::kFlattopPiston);
    Type(calculator, {{Input::ChamberVolume, "64"},
                      {Input::GasketBore, "104.14"},
                      {Input::GasketThickness, "1.016"},
                      {Input::PistonDistance, "0.635"}});
    EXPECT_EQ(calculator.Parameter(Input::GasketBore).GetUnitCode(), UnitCode::Millimetre);
    EXPECT_EQ(Shown(calculator.GasketVolume()), "8.65");
    EXPECT_EQ(Shown(calculator.DeckVolume()), "5.15");
    EXPECT_EQ(Shown(calculator.TotalVolume()), "77.80");
    EXPECT_EQ(calculator.RatioText(), "10.21");
}

TEST_F(ChevyShortBlock, AppliedResultsMakeTheEngineWarnBeforeABoreStrokeOrRatioChange)
{
    CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
    TypeFlattopEngine(calculator);
    ASSERT_EQ(calculator.CheckApply(), Msg::None);
    m_doc.ApplyCompressionCalculator(calculator.Result());
    EXPECT_TRUE(m_doc.IsCompressionFromCalculator());
    EXPECT_EQ(m_doc.CompressionRatio().GetText(), "10.21");
    EXPECT_EQ(m_doc.CombustionSpace().GetText(), "77.80");
    EXPECT_EQ(m_doc.DeckVolume().GetText(), "5.15");
    EXPECT_EQ(m_doc.GetPistonKind(), CompressionCalculator::kFlattopPiston);

    // Cancel keeps everything; the recorder answers Cancel by default.
    EXPECT_EQ(m_doc.Apply(Choice{ChoiceGroup::ShortBlock, 36}),
              CommandResult::Refused);  // another short block: new bore
    EXPECT_EQ(m_doc.Apply(Choice{ChoiceGroup::CompressionRatio, 4}), CommandResult::Refused);  // 10.0:1
    EXPECT_EQ(m_presenter.Codes(),
              (std::vector<int>{Msg::BoreStrokeAgainstCalculator, Msg::CompressionRatioAgainstCalculator}));
    EXPECT_EQ(m_doc.CompressionRatio().GetText(), "10.21");
    EXPECT_TRUE(m_doc.IsCompressionFromCalculator());

    // OK clears the calculator's data and takes the new ratio.
    m_presenter.AnswerNextWarning(WarningAnswer::Ok);
    EXPECT_EQ(m_doc.Apply(Choice{ChoiceGroup::CompressionRatio, 4}), CommandResult::Applied);
    EXPECT_FALSE(m_doc.IsCompressionFromCalculator());
    EXPECT_FALSE(m_doc.ChamberVolume().IsSet());
    EXPECT_EQ(m_doc.CompressionRatio().GetText(), "10.00");
}

TEST_F(ChevyShortBlock, TheCalculatorReopensWithTheAppliedInputs)
{
    {
        CompressionCalculator calculator = CompressionCalculatorFor(m_doc);
        TypeFlattopEngine(calculator);
        m_doc.ApplyCompressionCalculator(calculator.Result());
    }
    CompressionCalculator reopened = CompressionCalculatorFor(m_doc);
    EXPECT_EQ(reopened.GetPistonKind(), CompressionCalculator::kFlattopPiston);
    EXPECT_EQ(Shown(reopened.Parameter(Input::GasketThickness)), "0.040");
    EXPECT_EQ(reopened.RatioText(), "10.21");
}
