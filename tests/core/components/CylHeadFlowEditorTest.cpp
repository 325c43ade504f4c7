#include "components/CylHeadFlowEditor.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Side = CylHeadFlowEditor::Side;

// Four points on both sides: lifts 0.2 to 0.5 in, flows 100, 150, 190, 210 cfm.
CylHeadFlowData FourPointHead()
{
    CylHeadFlowData data;
    data.SetDescription("Bench Head");
    const float lifts[] = {0.2f, 0.3f, 0.4f, 0.5f};
    const float flows[] = {100, 150, 190, 210};
    for (int k = 0; k < 4; ++k) {
        data.IntakeLift(k).SetValue(lifts[k]);
        data.ExhaustLift(k).SetValue(lifts[k]);
        data.IntakeAirflow(k).SetValue(flows[k]);
        data.ExhaustAirflow(k).SetValue(flows[k] * 0.8f);
    }
    return data;
}

std::vector<float> IntakeLifts(const CylHeadFlowData& data)
{
    std::vector<float> lifts;
    for (int k = 0; k < data.GetPointCount(); ++k) lifts.push_back(data.IntakeLift(k).GetValue());
    return lifts;
}

fs::path Example(const char* name)
{
    return fs::path(TORQWELL_SOURCE_DIR) / "examples" / name;
}

}  // namespace

TEST(CylHeadFlowEditor, AFifthPointContinuesTheLiftsAndRepeatsTheLastFlow)
{
    CylHeadFlowEditor editor(FourPointHead(), CFileSpec("Airflow File"));
    ASSERT_EQ(editor.StepPointCount(+1), Msg::None);
    const CylHeadFlowData& data = editor.Data();
    EXPECT_EQ(data.GetPointCount(), 5);
    EXPECT_EQ(data.IntakeLift(4).GetText(), "0.600");
    EXPECT_EQ(data.ExhaustLift(4).GetText(), "0.600");
    EXPECT_EQ(data.IntakeAirflow(4).GetText(), "210.0");
    EXPECT_EQ(data.ExhaustAirflow(4).GetText(), "168.0");
}

TEST(CylHeadFlowEditor, ThePointCountMovesOneAtATimeBetweenFourAndTen)
{
    CylHeadFlowEditor editor(FourPointHead(), CFileSpec("Airflow File"));
    ASSERT_EQ(editor.StepPointCount(-1), Msg::None);
    EXPECT_EQ(editor.Data().GetPointCount(), 4);
    ASSERT_EQ(editor.StepPointCount(+5), Msg::None);
    EXPECT_EQ(editor.Data().GetPointCount(), 5);
    for (int i = 0; i < 8; ++i) ASSERT_EQ(editor.StepPointCount(+1), Msg::None);
    EXPECT_EQ(editor.Data().GetPointCount(), 10);
    EXPECT_EQ(editor.Data().IntakeLift(9).GetText(), "1.100");
}

TEST(CylHeadFlowEditor, ALoweredPointIsForgottenAndARaisedOneContinuesTheSeries)
{
    CylHeadFlowEditor editor(FourPointHead(), CFileSpec("Airflow File"));
    ASSERT_EQ(editor.StepPointCount(+1), Msg::None);
    editor.Data().IntakeLift(4).SetValue(0.9f);
    ASSERT_EQ(editor.StepPointCount(-1), Msg::None);
    EXPECT_FALSE(editor.Data().IntakeLift(4).IsSet());
    EXPECT_FALSE(editor.Data().IntakeAirflow(4).IsSet());
    ASSERT_EQ(editor.StepPointCount(+1), Msg::None);
    EXPECT_EQ(editor.Data().IntakeLift(4).GetText(), "0.600");
}

TEST(CylHeadFlowEditor, ASeriesThatDoesNotRiseCannotGrow)
{
    // Equal last lifts have no step to continue: refused instead of an
    // internal failure, and the count stays.
    for (const auto& [side, expected] : {std::pair{Side::Intake, 51}, std::pair{Side::Exhaust, 52}}) {
        CylHeadFlowData data = FourPointHead();
        (side == Side::Intake ? data.IntakeLift(3) : data.ExhaustLift(3)).SetValue(0.4f);
        CylHeadFlowEditor editor(data, CFileSpec("Airflow File"));
        EXPECT_EQ(editor.StepPointCount(+1), expected);
        EXPECT_EQ(editor.Data().GetPointCount(), 4);
    }
}

TEST(CylHeadFlowEditor, CalcOthersContinuesTheStepOfTheEditedLiftUpTo1Point5)
{
    CylHeadFlowData data = FourPointHead();
    data.SetPointCount(10);
    CylHeadFlowEditor editor(data, CFileSpec("Airflow File"));
    editor.Data().IntakeLift(1).SetValue(0.35f);
    ASSERT_EQ(editor.CalcOthers(Side::Intake, 1), Msg::None);
    const std::vector<float> lifts = IntakeLifts(editor.Data());
    const std::vector<float> expected = {0.2f, 0.35f, 0.5f, 0.65f, 0.8f, 0.95f, 1.1f, 1.25f, 1.4f, 1.5f};
    ASSERT_EQ(lifts.size(), expected.size());
    for (std::size_t k = 0; k < lifts.size(); ++k) EXPECT_NEAR(lifts[k], expected[k], 1e-5f) << "point " << k;
    EXPECT_EQ(editor.Data().ExhaustLift(2).GetText(), "0.400");  // the other side untouched
}

TEST(CylHeadFlowEditor, CalcOthersRefusesALiftThatDoesNotRise)
{
    CylHeadFlowEditor editor(FourPointHead(), CFileSpec("Airflow File"));
    editor.Data().IntakeLift(2).SetValue(0.3f);
    editor.Data().ExhaustLift(1).SetValue(0.2f);
    EXPECT_EQ(editor.CalcOthers(Side::Intake, 2), Msg::IntakeLiftsNotAscending);
    EXPECT_EQ(editor.CalcOthers(Side::Exhaust, 1), Msg::ExhaustLiftsNotAscending);
    EXPECT_EQ(editor.Data().IntakeLift(3).GetText(), "0.500");
    // Point 0 steps from zero; a point out of use has nothing to fill.
    EXPECT_EQ(editor.CalcOthers(Side::Exhaust, 0), Msg::None);
    EXPECT_EQ(editor.Data().ExhaustLift(3).GetText(), "0.800");
    EXPECT_EQ(editor.CalcOthers(Side::Intake, 7), Msg::None);
}

TEST(CylHeadFlowEditor, AFileOpensWholeInTheCopysUnitsOrNotAtAll)
{
    RecordingPresenter presenter;
    CylHeadFlowData metric = FourPointHead();
    metric.SetUnitSystem(kMetricUnits);
    CylHeadFlowEditor editor(metric, CFileSpec("Airflow File"));

    EXPECT_FALSE(editor.Open((fs::path(TORQWELL_SOURCE_DIR) / "tests/data/corrupt/airflow-47.flw").string(),
                             "bad.flw"));
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::FileInvalidValue});
    EXPECT_EQ(editor.Data().GetDescription(), "Bench Head");
    EXPECT_EQ(editor.Data().GetPointCount(), 4);
    EXPECT_EQ(editor.FileName(), "");

    ASSERT_TRUE(editor.Open(Example("wedge-fully-ported.flw").string(), "wedge-fully-ported.flw"));
    EXPECT_EQ(editor.FileName(), "wedge-fully-ported.flw");
    EXPECT_EQ(editor.Data().GetPointCount(), 8);
    EXPECT_EQ(editor.Data().GetUnitSystem(), kMetricUnits);
    EXPECT_EQ(editor.Data().IntakeLift(0).GetTextWithUnits(), "5.08 mm");
}

TEST(CylHeadFlowEditor, SavingNamesTheCopyAndResetForgetsTheName)
{
    RecordingPresenter presenter;
    TempDir folder;
    CylHeadFlowEditor editor(FourPointHead(), CFileSpec("Airflow File"));
    ASSERT_EQ(editor.CheckComplete(), Msg::None);
    ASSERT_TRUE(editor.Save(folder.File("bench.flw").string(), "bench.flw"));
    EXPECT_EQ(editor.FileName(), "bench.flw");

    CylHeadFlowEditor reopened(CylHeadFlowData(), CFileSpec("Airflow File"));
    ASSERT_TRUE(reopened.Open(folder.File("bench.flw").string(), "bench.flw"));
    EXPECT_EQ(reopened.Data().GetDescription(), "Bench Head");
    EXPECT_EQ(reopened.Data().IntakeAirflow(3).GetText(), "210.0");

    editor.ResetAll();
    EXPECT_EQ(editor.FileName(), "");
    EXPECT_EQ(editor.CheckComplete(), Msg::AirflowDescriptionRequired);  // the description went too
    EXPECT_EQ(editor.Data().IntakeLift(0).GetText(), "0.050");
}
