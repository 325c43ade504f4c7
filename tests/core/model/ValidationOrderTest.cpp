// Validation names the first gap in a fixed order. Starting from complete
// engines, every part is taken away in turn, from the last to the first:
// each removal must make its own code the one reported, which proves both
// that every code is reachable and that the order is the documented one.

#include "model/TorqDoc.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Gap {
    int code;
    std::function<void(CTorqDoc&)> remove;
};

std::function<void(CTorqDoc&)> Unset(CTorqSpec& (*part)(CTorqDoc&))
{
    return [part](CTorqDoc& doc) { part(doc).MarkUnset(); };
}

// Removes the gaps from the last to the first and checks the code after each.
void ExpectCodesInOrder(CTorqDoc& doc, const std::vector<Gap>& gaps)
{
    ErrorCode code = 0;
    ASSERT_TRUE(doc.Validate(code)) << "starts complete, but code " << code;
    for (auto gap = gaps.rbegin(); gap != gaps.rend(); ++gap) {
        gap->remove(doc);
        ASSERT_FALSE(doc.Validate(code));
        EXPECT_EQ(code, gap->code);
    }
}

std::vector<Gap> CamGaps()
{
    return {
        {27, [](CTorqDoc& d) { d.Cam().CamType().MarkUnset(); }},
        {29, [](CTorqDoc& d) { d.Cam().LifterType().MarkUnset(); }},
        {30, [](CTorqDoc& d) { d.Cam().TimingMethod().MarkUnset(); }},
        {32, [](CTorqDoc& d) { d.Cam().IntakeLift().MarkUnset(); }},
        {33, [](CTorqDoc& d) { d.Cam().ExhaustLift().MarkUnset(); }},
        {34, [](CTorqDoc& d) { d.Cam().NominalIvo().MarkUnset(); }},
        {35, [](CTorqDoc& d) { d.Cam().NominalIvc().MarkUnset(); }},
        {36, [](CTorqDoc& d) { d.Cam().NominalEvo().MarkUnset(); }},
        {37, [](CTorqDoc& d) { d.Cam().NominalEvc().MarkUnset(); }},
        {31, [](CTorqDoc& d) { d.Cam().AdvanceRetard().MarkUnset(); }},
    };
}

std::vector<Gap> EngineGaps(std::vector<Gap> induction)
{
    std::vector<Gap> gaps = {
        {1, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.ShortBlockType(); })},
        {2, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.Bore(); })},
        {3, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.Stroke(); })},
        {4, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.NumberOfCylinders(); })},
        {5, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.CylinderHeadType(); })},
        {6, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.IntakeValveCount(); })},
        {7, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.ExhaustValveCount(); })},
        {61, [](CTorqDoc& d) { d.FlowData().SetDescription(""); }},
        {53, [](CTorqDoc& d) { d.FlowData().IntakeTestDiameter().MarkUnset(); }},
        {54, [](CTorqDoc& d) { d.FlowData().IntakeTestPressureDrop().MarkUnset(); }},
        {55, [](CTorqDoc& d) { d.FlowData().ExhaustTestDiameter().MarkUnset(); }},
        {56, [](CTorqDoc& d) { d.FlowData().ExhaustTestPressureDrop().MarkUnset(); }},
        {57, [](CTorqDoc& d) { d.FlowData().IntakeLift(0).MarkUnset(); }},
        {58, [](CTorqDoc& d) { d.FlowData().IntakeAirflow(0).MarkUnset(); }},
        {59, [](CTorqDoc& d) { d.FlowData().ExhaustLift(0).MarkUnset(); }},
        {60, [](CTorqDoc& d) { d.FlowData().ExhaustAirflow(0).MarkUnset(); }},
        {51, [](CTorqDoc& d) { d.FlowData().IntakeLift(3).SetValue(d.FlowData().IntakeLift(2).GetValue()); }},
        {52, [](CTorqDoc& d) { d.FlowData().ExhaustLift(5).SetValue(0.01f); }},
        {8, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.IntakeValveDiameter(); })},
        {9, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.ExhaustValveDiameter(); })},
        {10, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.CompressionRatio(); })},
    };
    gaps.insert(gaps.end(), induction.begin(), induction.end());
    gaps.push_back({26, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.ExhaustSystem(); })});
    for (const Gap& gap : CamGaps()) gaps.push_back(gap);
    return gaps;
}

std::vector<Gap> CarburettedInduction()
{
    return {
        {11, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.InductionFlow(); })},
        {12, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.PressureDrop(); })},
        {13, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.ManifoldType(); })},
        {14, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.FuelType(); })},
        {15, Unset([](CTorqDoc& d) -> CTorqSpec& { return d.NitrousFlowRate(); })},
    };
}

Gap BlowerGap(int code, CFloatPtSpec& (CTorqDoc::*part)())
{
    return {code, [part](CTorqDoc& d) { (d.*part)().MarkUnset(); }};
}

// Notes shown while the engines are built stay out of the test output.
class ValidationOrder : public testing::Test {
protected:
    RecordingPresenter m_presenter;
};

}  // namespace

TEST_F(ValidationOrder, ACarburettedEngineReportsEveryGapInOrder)
{
    CTorqDoc doc;
    BuildChevy350(doc);
    ExpectCodesInOrder(doc, EngineGaps(CarburettedInduction()));
}

TEST_F(ValidationOrder, ATurbochargerIsCheckedForFlowRatioLimitSurgeAndEfficiency)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    std::vector<Gap> induction = CarburettedInduction();
    induction.push_back(BlowerGap(17, &CTorqDoc::BlowerFlowRate));
    induction.push_back(BlowerGap(18, &CTorqDoc::BlowerPressureRatio));
    induction.push_back(BlowerGap(24, &CTorqDoc::BlowerBoostLevelLimit));
    induction.push_back(BlowerGap(21, &CTorqDoc::BlowerSurgeFlowRate));
    induction.push_back(BlowerGap(19, &CTorqDoc::BlowerEfficiency));
    // Taken away last of all, so checked first: the unit itself.
    induction.insert(induction.begin() + 5, {16, [](CTorqDoc& d) { d.ForcedInductionType().MarkUnset(); }});
    ExpectCodesInOrder(doc, EngineGaps(induction));
}

TEST_F(ValidationOrder, ACentrifugalBlowerAlsoNeedsItsSpeedAndBothGearRatios)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.Apply(Choice{ChoiceGroup::ForcedInduction, 36});  // Paxton NOVI 2000
    std::vector<Gap> induction = CarburettedInduction();
    for (const Gap& gap :
         {BlowerGap(17, &CTorqDoc::BlowerFlowRate), BlowerGap(18, &CTorqDoc::BlowerPressureRatio),
          BlowerGap(24, &CTorqDoc::BlowerBoostLevelLimit), BlowerGap(20, &CTorqDoc::BlowerRpm),
          BlowerGap(23, &CTorqDoc::BlowerBeltGearRatio), BlowerGap(19, &CTorqDoc::BlowerEfficiency),
          BlowerGap(22, &CTorqDoc::BlowerInternalGearRatio)}) {
        induction.push_back(gap);
    }
    ExpectCodesInOrder(doc, EngineGaps(induction));
}

TEST_F(ValidationOrder, ARootsBlowerNeedsNoPressureRatioSpeedOrSurgeFlow)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.Apply(Choice{ChoiceGroup::ForcedInduction, 52});  // BDS 671 (Street)
    doc.BlowerPressureRatio().MarkUnset();
    doc.BlowerRpm().MarkUnset();
    doc.BlowerSurgeFlowRate().MarkUnset();
    doc.BlowerInternalGearRatio().MarkUnset();
    std::vector<Gap> induction = CarburettedInduction();
    for (const Gap& gap :
         {BlowerGap(17, &CTorqDoc::BlowerFlowRate), BlowerGap(24, &CTorqDoc::BlowerBoostLevelLimit),
          BlowerGap(23, &CTorqDoc::BlowerBeltGearRatio), BlowerGap(19, &CTorqDoc::BlowerEfficiency)}) {
        induction.push_back(gap);
    }
    ExpectCodesInOrder(doc, EngineGaps(induction));
}

TEST_F(ValidationOrder, TheForcedInductionManifoldWithoutAUnitAsksForOne)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.Apply(NamedChoice::kNoForcedInduction);  // None
    ErrorCode code = 0;
    EXPECT_FALSE(doc.Validate(code));
    EXPECT_EQ(code, Msg::BlowerRequired);
    doc.Apply(Choice{ChoiceGroup::Manifold, 1});  // a carburettor manifold skips the blower entirely
    EXPECT_TRUE(doc.Validate(code)) << code;
}
