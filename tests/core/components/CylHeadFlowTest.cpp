#include "components/CylHeadFlow.h"

#include "ReaderChecks.h"
#include "RecordingPresenter.h"
#include "TempFile.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using PointOf = const CFloatPtSpec& (CylHeadFlowData::*)(std::int32_t) const;
constexpr PointOf kIntakeLift = &CylHeadFlowData::IntakeLift;
constexpr PointOf kIntakeFlow = &CylHeadFlowData::IntakeAirflow;
constexpr PointOf kExhaustLift = &CylHeadFlowData::ExhaustLift;
constexpr PointOf kExhaustFlow = &CylHeadFlowData::ExhaustAirflow;

// The values of one series over the points in use.
std::vector<float> Series(const CylHeadFlowData& data, PointOf point)
{
    std::vector<float> values;
    for (std::int32_t k = 0; k < data.GetPointCount(); ++k) values.push_back((data.*point)(k).GetValue());
    return values;
}

void ExpectSeries(const CylHeadFlowData& data, PointOf point, const std::vector<float>& expected)
{
    const std::vector<float> actual = Series(data, point);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_FLOAT_EQ(actual[k], expected[k]) << "point " << k;
}

CylHeadFlowData Preset(int index, const char* name = "Preset Head")
{
    CylHeadFlowData data;
    data.LoadPreset(index, name);
    return data;
}

std::vector<std::string> PresetLines(int index, const char* name)
{
    CylHeadFlowData data = Preset(index, name);
    return SplitLines(WrittenBlock(data));
}

}  // namespace

TEST(CylHeadFlowData, NewResetAndPresetRecordsInEitherUnitSystem)
{
    CylHeadFlowData data;
    EXPECT_EQ(data.IntakeTestDiameter().GetTextWithUnits(), "0.750 in");
    ExpectSeries(data, kIntakeLift, {0.01f, 0.01f, 0.01f, 0.01f});
    EXPECT_FALSE(data.ExhaustAirflow(4).IsSet()) << "points beyond the count are unset";
    EXPECT_EQ(CompleteCode(data), Msg::AirflowDescriptionRequired);
    data.SetDescription("  Bench test \t");
    EXPECT_EQ(data.GetDescription(), "Bench test");
    EXPECT_EQ(CompleteCode(data), Msg::IntakeLiftsNotAscending) << "lifts all 0.01";

    data.ResetDefaults();
    EXPECT_EQ(data.GetDescription(), "");
    ExpectSeries(data, kIntakeLift, {0.05f, 0.1f, 0.15f, 0.2f});
    ExpectSeries(data, kExhaustLift, {0.05f, 0.1f, 0.15f, 0.2f});
    ExpectSeries(data, kIntakeFlow, {100, 100, 100, 100});
    ExpectSeries(data, kExhaustFlow, {100, 100, 100, 100});
    EXPECT_FALSE(data.IntakeLift(4).IsSet());

    // Figures are stored in inches whatever the record shows.
    data.SetUnitSystem(kMetricUnits);
    data.ResetDefaults();
    EXPECT_EQ(data.IntakeLift(3).GetTextWithUnits(), "5.08 mm");
    EXPECT_EQ(data.IntakeTestDiameter().GetTextWithUnits(), "19.05 mm");
    data.LoadPreset(14, "4-Valve Head/Stock Ports And Valves");
    EXPECT_EQ(data.GetPointCount(), 8);
    EXPECT_EQ(data.GetDescription(), "4-Valve Head/Stock Ports And Valves");
    EXPECT_EQ(data.IntakeTestDiameter().GetTextWithUnits(), "32.00 mm");
    EXPECT_EQ(data.IntakeTestPressureDrop().GetTextWithUnits(), "127.00 cmH2O");
    EXPECT_EQ(data.IntakeAirflow(0).GetTextWithUnits(), "24.0 cfm");
}

TEST(CylHeadFlowData, PresetRowsHoldTheirBenchFigures)
{
    const CylHeadFlowData stock = Preset(1);
    ExpectSeries(stock, kIntakeFlow, {119, 157, 190, 196, 199, 199, 202, 202});
    ExpectSeries(stock, kExhaustFlow, {87, 104, 111, 116, 117, 117, 118, 118});
    ExpectSeries(stock, kIntakeLift, {0.2f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.65f, 0.71f});
    EXPECT_FLOAT_EQ(stock.ExhaustTestDiameter().GetValue(), 1.6f);
    const CylHeadFlowData proStock = Preset(8);
    ExpectSeries(proStock, kIntakeLift, {0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.71f});
    ExpectSeries(proStock, kExhaustLift, {0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f});
    ExpectSeries(Preset(11), kIntakeFlow, {142, 183, 237, 261, 264, 264, 264, 264});
    ExpectSeries(Preset(13), kExhaustLift, {0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f});
    ExpectSeries(Preset(16), kExhaustFlow, {31, 67, 101, 116, 126, 132, 136, 142});
    // Every preset is a complete head whose intake flow never falls with lift.
    for (int index = 1; index <= CylHeadFlowData::kPresetCount; ++index) {
        const std::vector<float> flows = Series(Preset(index), kIntakeFlow);
        EXPECT_EQ(CompleteCode(Preset(index)), Msg::None) << index;
        EXPECT_TRUE(std::is_sorted(flows.begin(), flows.end())) << index;
    }
}

TEST(CylHeadFlowData, PointCountExtendAndRepeatAsTheDialogUsesThem)
{
    CylHeadFlowData data = Preset(2);
    data.SetPointCount(5);
    data.SetPointCount(6);
    EXPECT_FALSE(data.IntakeLift(5).IsSet()) << "raising the count brings nothing back";
    EXPECT_FALSE(data.ExhaustAirflow(7).IsSet());
    EXPECT_EQ(CompleteCode(data), Msg::IntakeLiftDataRequired);
    data.SetUnitSystem(kMetricUnits);
    const CylHeadFlowData copy(data);
    EXPECT_TRUE(copy.GetPointCount() == 6 && copy.GetUnitSystem() == kMetricUnits);
    EXPECT_TRUE(copy.IntakeLift(4).IsValid() && !copy.IntakeLift(5).IsSet());
    EXPECT_EQ(copy.ExhaustLift(1).GetTextWithUnits(), "7.62 mm");
    data.SetUnitSystem(kEnglishUnits);
    data.ExtendIntakeLifts(4);
    data.ExtendExhaustLifts(4);
    data.RepeatLastFlows();
    EXPECT_FLOAT_EQ(data.IntakeLift(5).GetValue(), 0.6f);
    EXPECT_FLOAT_EQ(data.IntakeAirflow(5).GetValue(), 242.0f);
    EXPECT_FLOAT_EQ(data.ExhaustAirflow(5).GetValue(), 164.0f);
    EXPECT_EQ(CompleteCode(data), Msg::None);

    CylHeadFlowData fresh;
    fresh.SetPointCount(6);
    fresh.IntakeLift(0).SetValue(0.2f);
    fresh.IntakeLift(1).SetValue(0.3f);
    fresh.IntakeLift(2).SetValue(0.45f);
    fresh.ExtendIntakeLifts(2);
    ExpectSeries(fresh, kIntakeLift, {0.2f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f});
    fresh.IntakeLift(0).SetValue(0.3f);
    fresh.ExtendIntakeLifts(0);
    ExpectSeries(fresh, kIntakeLift, {0.3f, 0.6f, 0.9f, 1.2f, 1.5f, 1.5f});
    ExpectSeries(fresh, kExhaustLift, {0.01f, 0.01f, 0.01f, 0.01f, 0.01f, 0.01f});

    // In millimetres: the same step, and the limit is still 1.5 in.
    fresh.SetUnitSystem(kMetricUnits);
    fresh.ExhaustLift(0).SetValue(10.0f);
    fresh.ExhaustLift(1).SetValue(20.0f);
    fresh.ExtendExhaustLifts(1);
    EXPECT_NEAR(fresh.ExhaustLift(2).GetValue(), 30.0f, 1e-3);
    EXPECT_NEAR(fresh.ExhaustLift(5).GetValue(), 38.1f, 1e-3);
}

TEST(CylHeadFlowData, CompletenessNamesTheFirstGapAndEqualLiftsAreNotAscending)
{
    CylHeadFlowData data = Preset(4);
    data.IntakeLift(2).SetValue(0.3f);    // equal to point 1: 51, checked last
    data.ExhaustAirflow(1).MarkUnset();   // 60 at point 1
    data.IntakeLift(3).MarkUnset();       // 57 at point 3
    data.ExhaustLift(7).SetValue(0.01f);  // 52, after 51
    EXPECT_EQ(CompleteCode(data), Msg::ExhaustFlowDataRequired) << "point 1 before point 3";
    data.ExhaustAirflow(1).SetValue(110.0f);
    EXPECT_EQ(CompleteCode(data), Msg::IntakeLiftDataRequired);
    data.IntakeLift(3).SetValue(0.5f);
    EXPECT_EQ(CompleteCode(data), Msg::IntakeLiftsNotAscending);
    ErrorCode code = 0;
    EXPECT_TRUE(data.CheckIntakeLiftStep(1, code));
    EXPECT_FALSE(data.CheckIntakeLiftStep(2, code));
    data.IntakeLift(2).SetValue(0.4f);
    EXPECT_EQ(CompleteCode(data), Msg::ExhaustLiftsNotAscending);
    data.SetPointCount(7);
    EXPECT_EQ(CompleteCode(data), Msg::None) << "a point beyond the count does not count";

    data.IntakeAirflow(0).MarkUnset();
    data.ExhaustLift(0).MarkUnset();
    EXPECT_EQ(CompleteCode(data), Msg::IntakeFlowDataRequired);
    const std::pair<CFloatPtSpec*, int> gaps[] = {{&data.ExhaustTestPressureDrop(), 56},
                                                  {&data.ExhaustTestDiameter(), 55},
                                                  {&data.IntakeTestPressureDrop(), 54},
                                                  {&data.IntakeTestDiameter(), 53}};
    for (const auto& [parameter, expected] : gaps) {
        parameter->MarkUnset();
        EXPECT_EQ(CompleteCode(data), expected) << parameter->GetName();
    }
    data.SetDescription("   ");
    EXPECT_EQ(CompleteCode(data), Msg::AirflowDescriptionRequired);
}

TEST(AirflowBlock, IsWrittenInInchesWithFourLinesPerPointAndReadsBack)
{
    CylHeadFlowData data = Preset(1, "Low Performance/Stock Ports And Valves");
    data.SetUnitSystem(kMetricUnits);
    const std::string text = WrittenBlock(data);
    const std::vector<std::string> lines = PresetLines(1, "Low Performance/Stock Ports And Valves");
    EXPECT_EQ(text, JoinLines(lines)) << "a metric record writes what an English one does";
    ASSERT_EQ(lines.size(), 40u);
    const std::pair<std::size_t, const char*> expected[] = {
        {0, "3.10"},          {2, "0"},           {3, "8"},
        {4, "1 2.020000"},    {5, "1 25.000000"}, {6, "1 0.200000"},
        {14, "1 119.000000"}, {22, "1 1.600000"}, {39, "1 118.000000"}};
    for (const auto& [line, content] : expected) EXPECT_EQ(lines[line], content) << "line " << line;

    CylHeadFlowData read;
    ASSERT_EQ(ReadBlockCode(read, JoinLines(lines, "\r\n")), Msg::None);
    EXPECT_EQ(read.GetUnitSystem(), kEnglishUnits);
    EXPECT_EQ(read.GetDescription(), "Low Performance/Stock Ports And Valves");
    EXPECT_EQ(WrittenBlock(read), text);
    std::vector<std::string> metric = lines;
    metric[2] = "1";
    ASSERT_EQ(ReadBlockCode(read, JoinLines(metric)), Msg::None);
    EXPECT_EQ(read.IntakeTestDiameter().GetTextWithUnits(), "51.31 mm") << "a block that says metric";

    CylHeadFlowData ten;
    ten.SetPointCount(10);
    ten.ResetDefaults();
    const std::string tenText = WrittenBlock(ten);
    EXPECT_EQ(std::count(tenText.begin(), tenText.end(), '\n'), 48);
}

TEST(AirflowBlock, BadBlocksGiveTheirCodes)
{
    const std::vector<std::string> good = PresetLines(9, "Oval");
    const std::tuple<std::size_t, const char*, int> cases[] = {
        {0, " 3.08 ", 0},   {0, "3.09", 49}, {0, "3.10x", 49}, {0, "", 49},       {2, "2", 47},
        {2, "x", 45},       {3, "3", 47},    {3, "11", 47},    {3, "-4", 47},     {3, "many", 45},
        {4, "1 0.7", 47},   {5, "1 80", 47}, {6, "1 1.6", 47}, {14, "1 751", 47}, {14, "1 nan", 47},
        {23, "1 -inf", 47}, {39, "", 45},    {6, "1 0.35", 0},
    };
    for (const auto& [line, text, code] : cases) {
        std::vector<std::string> lines = good;
        lines[line] = text;
        CylHeadFlowData data;
        EXPECT_EQ(ReadBlockCode(data, JoinLines(lines)), code) << "line " << line << ": " << text;
        if (line == 6 && code == Msg::None) {
            EXPECT_EQ(CompleteCode(data), Msg::IntakeLiftsNotAscending) << "lift order is checked later";
        }
    }
}

TEST(AirflowBlock, StrangeInputIsRefusedWithoutHarmAndHugeLinesAreCut)
{
    const std::string good = JoinLines(PresetLines(15, "4V"));
    CylHeadFlowData data;
    EXPECT_EQ(ReadBlockCode(data, ""), Msg::FileRead);
    EXPECT_EQ(ReadBlockCode(data, good.substr(0, good.size() / 2)), Msg::FileRead);
    std::string crOnly = good;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    EXPECT_EQ(ReadBlockCode(data, crOnly), Msg::AirflowFileVersion);
    EXPECT_EQ(ReadBlockCode(data, "3.10\nx\n0\n" + std::string(1 << 20, '9') + "\n"), Msg::FileInvalidValue);

    // A huge description line is cut and the rest still reads in step.
    std::vector<std::string> lines = PresetLines(15, "4V");
    lines[1] = std::string(1 << 20, 'c');
    ASSERT_EQ(ReadBlockCode(data, JoinLines(lines)), Msg::None);
    EXPECT_EQ(data.GetDescription(), std::string(79, 'c'));
    EXPECT_EQ(CompleteCode(data), Msg::None);
}

TEST(AirflowBlock, AFailedReadKeepsWhatWasReadInEnglishUnits)
{
    std::vector<std::string> lines = PresetLines(10, "Oval Ported");
    lines[20] = "1 0";  // intake airflow of point 6, below 1 cfm
    CylHeadFlowData data = Preset(16, "Race 4V");
    data.SetUnitSystem(kMetricUnits);
    EXPECT_EQ(ReadBlockCode(data, JoinLines(lines)), Msg::FileInvalidValue);
    EXPECT_EQ(data.GetDescription(), "Oval Ported");
    EXPECT_EQ(data.GetUnitSystem(), kEnglishUnits);
    EXPECT_EQ(data.IntakeTestDiameter().GetTextWithUnits(), "2.020 in");
    EXPECT_FLOAT_EQ(data.IntakeAirflow(5).GetValue(), 264.0f) << "read before the failure";
    EXPECT_FLOAT_EQ(data.IntakeAirflow(6).GetValue(), 167.0f) << "from the failure on: unchanged";
    EXPECT_FLOAT_EQ(data.ExhaustTestDiameter().GetValue(), 1.08f);
}

TEST(AirflowFile, DescriptionsSurviveEmptyOrCutAndAnOldVersionIsRefused)
{
    TempDir folder;
    RecordingPresenter presenter;
    const std::string path = folder.File("head.flw").string();
    CylHeadFlowData data = Preset(3);
    data.SetDescription("");
    ASSERT_TRUE(data.SaveToFile(path));
    CylHeadFlowData loaded = Preset(5, "Something");
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetDescription(), "");
    EXPECT_EQ(CompleteCode(loaded), Msg::AirflowDescriptionRequired);

    data.SetDescription(std::string(60, 'a') + "\r\n" + std::string(58, 'b'));
    ASSERT_TRUE(data.SaveToFile(path));
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetDescription(), std::string(60, 'a') + "  " + std::string(16, 'b'));
    EXPECT_FLOAT_EQ(loaded.IntakeAirflow(7).GetValue(), 242.0f) << "the lines after it stay in step";
    EXPECT_TRUE(presenter.Messages().empty());

    WriteWholeFile(folder.File("v.flw"), "3.09\n");
    EXPECT_FALSE(loaded.LoadFromFile(folder.File("v.flw").string()));
    EXPECT_EQ(presenter.Messages().back().message.title, "Invalid File Version");
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::AirflowFileVersion});
}

TEST(CylHeadFlowDeathTest, CallsOutsideTheDataModelAreConsistencyFailures)
{
    CylHeadFlowData data;
    EXPECT_EXIT(data.SetPointCount(11), testing::ExitedWithCode(9999 & 0xFF), "ASSERTION FAILURE");
    EXPECT_EXIT(data.LoadPreset(17, "User Entered Airflow Data"), testing::ExitedWithCode(9999 & 0xFF), "");
    EXPECT_EXIT(data.ExtendIntakeLifts(2), testing::ExitedWithCode(9999 & 0xFF), "")
        << "no step to extend by";
}
