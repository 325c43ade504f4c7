#include "model/ComponentTable.h"
#include "model/MenuCommands.h"
#include "model/SimInterface.h"
#include "model/TorqDoc.h"
#include "model/ValveSizing.h"

#include "EngineBuilds.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

constexpr Choice kChevy350{ChoiceGroup::ShortBlock, 35};
constexpr Choice kWedgeStockHeads{ChoiceGroup::CylinderHead, 3};
constexpr Choice kFourValveStockHeads{ChoiceGroup::CylinderHead, 13};
constexpr Choice kCompression95{ChoiceGroup::CompressionRatio, 3};
constexpr Choice kSingleFourBarrel750{ChoiceGroup::Induction, 10};
constexpr Choice kIndividualRunners{ChoiceGroup::Manifold, 3};
constexpr Choice kChooseForcedInductionManifold = NamedChoice::kForcedInductionManifold;
constexpr Choice kSmallTubeHeaders{ChoiceGroup::ExhaustSystem, 2};
constexpr Choice kGarrettT51_50_4{ChoiceGroup::ForcedInduction, 9};
constexpr Choice kCustomRoots = NamedChoice::kCustomRootsBlower;
constexpr Choice kStockStreetCam{ChoiceGroup::CamType, 0};
constexpr Choice kTimingSeatToSeat = NamedChoice::kSeatToSeatTiming;
constexpr Choice kTimingFiftyLift = NamedChoice::kFiftyLiftTiming;
constexpr Choice kNitrous4{ChoiceGroup::Fuel, 3};
constexpr Choice kMethanol{ChoiceGroup::Fuel, 7};

float PeakOf(const ResultSeriesValues& values)
{
    return *std::max_element(values.begin(), values.end());
}

}  // namespace

TEST(EngineDocument, ANewEngineRunsOnGasolineWithEverythingElseUnset)
{
    CTorqDoc doc;
    EXPECT_EQ(doc.FuelType().GetText(), "Gasoline");
    EXPECT_EQ(doc.NitrousFlowRate().GetTextWithUnits(), "0.0 lbs/min");
    EXPECT_EQ(doc.ForcedInductionType().GetText(), "None");
    EXPECT_EQ(doc.GetForcedInductionClass(), kNoForcedInduction);
    EXPECT_EQ(doc.ShortBlockType().GetText(), "***");
    EXPECT_EQ(doc.Bore().GetTextWithUnits(), "*** in");
    EXPECT_EQ(doc.Cam().CamType().GetText(), "***");
    EXPECT_TRUE(doc.IsAutoRun());
    EXPECT_FALSE(doc.IsAutoValveSizes());
    EXPECT_EQ(doc.GetUnitSystem(), kEnglishUnits);
    EXPECT_FALSE(doc.HasResults());
}

TEST(EngineDocument, DocumentsAreNumberedInCreationOrder)
{
    CTorqDoc first;
    CTorqDoc second;
    EXPECT_GT(first.GetDocumentNumber(), 0);
    EXPECT_EQ(second.GetDocumentNumber(), first.GetDocumentNumber() + 1);
}

TEST(EngineDocument, AChevy350ShortBlockGives716ccPerCylinder)
{
    CTorqDoc doc;
    ASSERT_EQ(doc.Apply(kChevy350), CommandResult::Applied);
    doc.Recalculate();
    EXPECT_EQ(doc.ShortBlockType().GetText(), "Chevy 350");
    EXPECT_EQ(doc.Bore().GetTextWithUnits(), "4.000 in");
    EXPECT_EQ(doc.Stroke().GetTextWithUnits(), "3.480 in");
    EXPECT_EQ(doc.NumberOfCylinders().GetValue(), 8);
    EXPECT_EQ(doc.CylinderVolume().GetTextWithUnits(), "716.62 cc");
    EXPECT_NEAR(doc.TotalBlockVolume().GetValue(), 349.8f, 0.05f);

    doc.SetUnitSystem(kMetricUnits);
    EXPECT_EQ(doc.Bore().GetTextWithUnits(), "101.60 mm");
    EXPECT_EQ(doc.TotalBlockVolume().GetUnitsLabel(), std::string("cc"));
}

TEST(EngineDocument, ChoosingAShortBlockInMetricUnitsLeavesTheEngineInEnglishUnits)
{
    CTorqDoc doc;
    doc.SetUnitSystem(kMetricUnits);
    doc.Apply(kChevy350);
    EXPECT_EQ(doc.GetUnitSystem(), kEnglishUnits);
    EXPECT_TRUE(doc.Bore().IsEnglish());
}

TEST(EngineDocument, FourValveHeadsSetTwoValvesEachAndShowTheFourValveNote)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    doc.Apply(kFourValveStockHeads);
    EXPECT_EQ(doc.IntakeValveCount().GetValue(), 2);
    EXPECT_EQ(doc.ExhaustValveCount().GetValue(), 2);
    EXPECT_EQ(doc.CylinderHeadType().GetIndex(), 14);
    EXPECT_EQ(doc.FlowData().GetPointCount(), 8);
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::FourValveHeads});

    presenter.Clear();
    doc.Apply(EngineCommand::OneIntakeValve);  // one intake valve: a three-valve head
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::ThreeValveHeads});
}

TEST(EngineDocument, ACompressionRatioFromTheCalculatorIsOnlyReplacedAfterWarning202)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    doc.Apply(kCompression95);
    doc.SetCompressionFromCalculator(true);
    doc.ChamberVolume().SetValue(64.0f);

    EXPECT_EQ(doc.Apply(Choice{ChoiceGroup::CompressionRatio, 6}),
              CommandResult::Refused);  // 11.0:1, answered Cancel
    EXPECT_EQ(doc.CompressionRatio().GetValue(), 9.5f);
    EXPECT_TRUE(doc.IsCompressionFromCalculator());
    EXPECT_TRUE(doc.ChamberVolume().IsSet());

    presenter.AnswerNextWarning(WarningAnswer::Ok);
    EXPECT_EQ(doc.Apply(Choice{ChoiceGroup::CompressionRatio, 6}), CommandResult::Applied);
    EXPECT_EQ(doc.CompressionRatio().GetValue(), 11.0f);
    EXPECT_FALSE(doc.IsCompressionFromCalculator());
    EXPECT_FALSE(doc.ChamberVolume().IsSet());
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::CompressionRatioAgainstCalculator,
                                                   Msg::CompressionRatioAgainstCalculator}));
}

TEST(EngineDocument, ABoreOrStrokeChangeAgainstTheCalculatorAsksWarning203)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    doc.Apply(kChevy350);
    doc.SetCompressionFromCalculator(true);
    EXPECT_EQ(doc.Apply(Choice{ChoiceGroup::ShortBlock, 36}), CommandResult::Refused);  // Chevy 383, Cancel
    EXPECT_EQ(doc.ShortBlockType().GetText(), "Chevy 350");
    EXPECT_FALSE(doc.ConfirmChangeAgainstCalculator(doc.Stroke()));
    EXPECT_TRUE(doc.ConfirmChangeAgainstCalculator(doc.InductionFlow()))
        << "other parameters need no question";
    presenter.AnswerNextWarning(WarningAnswer::Ok);
    EXPECT_TRUE(doc.ConfirmChangeAgainstCalculator(doc.Bore()));
    EXPECT_FALSE(doc.IsCompressionFromCalculator());
    EXPECT_EQ(doc.GetPistonKind(), 2);
    EXPECT_EQ(presenter.Codes(),
              (std::vector<int>{Msg::BoreStrokeAgainstCalculator, Msg::BoreStrokeAgainstCalculator,
                                Msg::BoreStrokeAgainstCalculator}));
}

TEST(EngineDocument, AGarrettT51SetsItsTurboValuesAndKeepsAValidBoostLimit)
{
    CTorqDoc doc;
    doc.Apply(kGarrettT51_50_4);
    EXPECT_EQ(doc.GetForcedInductionClass(), kTurbocharger);
    EXPECT_EQ(doc.ForcedInductionType().GetText(), "Turbo-Garrett T51 50-4");
    EXPECT_EQ(doc.BlowerFlowRate().GetValue(), 470.0f);
    EXPECT_EQ(doc.BlowerPressureRatio().GetValue(), 1.9f);
    EXPECT_EQ(doc.BlowerEfficiency().GetValue(), 78.0f);
    EXPECT_EQ(doc.BlowerSurgeFlowRate().GetValue(), 325.0f);
    EXPECT_EQ(doc.BlowerBoostLevelLimit().GetValue(), 10.0f);
    EXPECT_FALSE(doc.BlowerRpm().IsSet());
    EXPECT_FALSE(doc.BlowerInternalGearRatio().IsSet());
    EXPECT_FALSE(doc.BlowerBeltGearRatio().IsSet());

    doc.BlowerBoostLevelLimit().SetValue(15.0f);
    doc.Apply(Choice{ChoiceGroup::ForcedInduction, 8});  // T51 48-10
    EXPECT_EQ(doc.BlowerBoostLevelLimit().GetValue(), 15.0f) << "the user's boost limit stays";
}

TEST(EngineDocument, ACustomRootsBlowerLeavesItsValuesForTheUser)
{
    CTorqDoc doc;
    doc.Apply(Choice{ChoiceGroup::ForcedInduction, 35});  // Paxton: sets rpm and gear ratios
    doc.Apply(kCustomRoots);
    EXPECT_EQ(doc.GetForcedInductionClass(), kRootsBlower);
    for (const CFloatPtSpec* spec :
         {&doc.BlowerFlowRate(), &doc.BlowerPressureRatio(), &doc.BlowerEfficiency(), &doc.BlowerRpm(),
          &doc.BlowerSurgeFlowRate(), &doc.BlowerInternalGearRatio(), &doc.BlowerBeltGearRatio()}) {
        EXPECT_FALSE(spec->IsSet()) << spec->GetName();
    }
}

TEST(EngineDocument, TheForcedInductionManifoldBringsStockExhaustOnlyWhenNoneIsChosen)
{
    CTorqDoc doc;
    doc.Apply(kChooseForcedInductionManifold);
    EXPECT_EQ(doc.ExhaustSystem().GetText(), "Stock Manifolds And Mufflers");

    CTorqDoc headers;
    headers.Apply(kSmallTubeHeaders);
    headers.Apply(kChooseForcedInductionManifold);
    EXPECT_EQ(headers.ExhaustSystem().GetIndex(), 3);
}

TEST(EngineDocument, IndividualRunnersShowTheirNote)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    doc.Apply(kIndividualRunners);
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::IndividualRunners});
}

TEST(EngineDocument, FuelChoicesSetTheirNitrousFlow)
{
    CTorqDoc doc;
    doc.Apply(kNitrous4);
    EXPECT_EQ(doc.FuelType().GetIndex(), 5);
    EXPECT_EQ(doc.NitrousFlowRate().GetValue(), 4.0f);
    doc.Apply(kMethanol);
    EXPECT_EQ(doc.FuelType().GetIndex(), 10);
    EXPECT_EQ(doc.NitrousFlowRate().GetValue(), 0.0f);
}

TEST(EngineDocument, AutomaticValveSizesFollowTheBoreForStandardHeadsOnly)
{
    CTorqDoc doc;
    EXPECT_FALSE(doc.GetCommandState(EngineCommand::AutoValveSizes).enabled) << "no head chosen yet";
    doc.Apply(kChevy350);
    doc.Apply(Choice{ChoiceGroup::CylinderHead, 0});  // Low Performance/Stock: 0.44 and 0.35 of the bore
    ASSERT_TRUE(doc.GetCommandState(EngineCommand::AutoValveSizes).enabled);
    doc.Apply(EngineCommand::AutoValveSizes);
    doc.Recalculate();
    EXPECT_FLOAT_EQ(doc.IntakeValveDiameter().GetValue(), 1.76f);
    EXPECT_FLOAT_EQ(doc.ExhaustValveDiameter().GetValue(), 1.4f);

    // User airflow data (head 17) switches the automatic sizes off and keeps the diameters.
    CylHeadFlowData flow;
    flow.LoadPreset(7, "My heads");
    doc.ApplyUserAirflowData(flow, CFileSpec("Airflow File"));
    EXPECT_EQ(doc.CylinderHeadType().GetIndex(), 17);
    EXPECT_EQ(doc.CylinderHeadType().GetText(), "My heads");
    EXPECT_FALSE(doc.IsAutoValveSizes());
    EXPECT_FALSE(doc.GetCommandState(EngineCommand::AutoValveSizes).enabled);
    EXPECT_FLOAT_EQ(doc.IntakeValveDiameter().GetValue(), 1.76f);
}

TEST(EngineDocument, UserAirflowNamedLikeAStandardHeadIsCalledCustomAirflow)
{
    CTorqDoc doc;
    CylHeadFlowData flow;
    flow.LoadPreset(4, "  Wedge/Stock Ports And Valves ");
    doc.ApplyUserAirflowData(flow, CFileSpec("Airflow File"));
    EXPECT_EQ(doc.CylinderHeadType().GetText(), "Custom Airflow");
    EXPECT_EQ(doc.IntakeValveCount().GetValue(), 1) << "invalid valve counts become 1";
}

TEST(EngineDocument, OpeningAnAirflowFileMakesItTheUserHeadWithoutTouchingValveSizes)
{
    TempDir dir;
    CTorqDoc source;
    source.Apply(Choice{ChoiceGroup::CylinderHead, 11});  // Canted/Rectangular Ports, Fully Ported
    ASSERT_TRUE(source.SaveAirflowFile(dir.File("canted.flw").string(), "canted.flw"));

    CTorqDoc doc;
    doc.Apply(kChevy350);
    doc.Apply(Choice{ChoiceGroup::CylinderHead, 0});
    doc.Apply(EngineCommand::AutoValveSizes);
    doc.Recalculate();
    const float intake = doc.IntakeValveDiameter().GetValue();
    ASSERT_TRUE(doc.OpenAirflowFile(dir.File("canted.flw").string(), "canted.flw"));
    doc.Recalculate();
    EXPECT_EQ(doc.AirflowFile().GetText(), "canted.flw");
    EXPECT_EQ(doc.CylinderHeadType().GetIndex(), 17);
    EXPECT_EQ(doc.IntakeValveDiameter().GetValue(), intake);
}

TEST(EngineDocument, ACamOrAirflowFileOpensIntoTheEnginesUnitSystemAndTheEngineNamesIt)
{
    // Files hold inches; the record read from one is English until the
    // engine it goes into shows it in its own units.
    TempDir dir;
    CTorqDoc source;
    BuildChevy350(source);
    ASSERT_TRUE(source.SaveCamFile(dir.File("street.cam").string(), "street.cam"));
    ASSERT_TRUE(source.SaveAirflowFile(dir.File("wedge.flw").string(), "wedge.flw"));

    CTorqDoc doc;
    BuildChevy350(doc);
    doc.SetUnitSystem(kMetricUnits);
    ASSERT_TRUE(doc.OpenCamFile(dir.File("street.cam").string(), "street.cam"));
    EXPECT_EQ(doc.Cam().GetUnitSystem(), kMetricUnits);
    EXPECT_EQ(doc.Cam().IntakeLift().GetTextWithUnits(), "12.70 mm");
    EXPECT_EQ(doc.CamDataFile().GetText(), "street.cam");
    ASSERT_TRUE(doc.OpenAirflowFile(dir.File("wedge.flw").string(), "wedge.flw"));
    EXPECT_EQ(doc.FlowData().GetUnitSystem(), kMetricUnits);
    EXPECT_TRUE(doc.FlowData().IntakeTestDiameter().IsMetric());
    EXPECT_EQ(doc.AirflowFile().GetText(), "wedge.flw");
}

TEST(EngineDocument, AFailedAirflowOrCamOpenLeavesTheEngineAsItWas)
{
    RecordingPresenter presenter;
    TempDir dir;
    WriteWholeFile(dir.File("bad.flw"), "3.10\nBroken\n0\n8\n1 2.020000\n1 999.0\n");
    WriteWholeFile(dir.File("bad.cam"), "3.10\n0\nStock Street/Economy\n1\nHyd.\n1\nSeat-To-Seat\n1\n1 99\n");
    CTorqDoc doc;
    BuildChevy350(doc);
    EXPECT_FALSE(doc.OpenAirflowFile(dir.File("bad.flw").string(), "bad.flw"));
    EXPECT_FALSE(doc.OpenCamFile(dir.File("bad.cam").string(), "bad.cam"));
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{Msg::FileInvalidValue, Msg::FileInvalidValue}));
    EXPECT_EQ(doc.FlowData().GetDescription(), "Wedge/Stock Ports And Valves");
    EXPECT_FLOAT_EQ(doc.FlowData().IntakeTestDiameter().GetValue(), 2.02f);
    EXPECT_EQ(doc.Cam().CamType().GetText(), "High Performance Street");
    ErrorCode code = 0;
    EXPECT_TRUE(doc.Validate(code)) << code;
}

TEST(EngineDocument, ACamProfileLoadsSeatToSeatEventsAndZeroAdvance)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    doc.Apply(kTimingFiftyLift);
    doc.Cam().AdvanceRetard().SetValue(4.0f);
    doc.CamDataFile().SetFromText("old.cam", false);
    doc.Apply(kStockStreetCam);
    EXPECT_EQ(doc.Cam().TimingMethod().GetText(), "Seat-To-Seat");
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::TimingNowSeatToSeat})
        << "the method was set and changed";
    EXPECT_FALSE(doc.CamDataFile().IsSet());
    EXPECT_EQ(doc.Cam().NominalIvo().GetValue(), 12.0f);
    EXPECT_EQ(doc.Cam().NominalIvc().GetValue(), 62.0f);
    EXPECT_EQ(doc.Cam().NominalEvo().GetValue(), 66.0f);
    EXPECT_EQ(doc.Cam().NominalEvc().GetValue(), 10.0f);
    EXPECT_EQ(doc.Cam().AdvanceRetard().GetValue(), 0.0f);

    presenter.Clear();
    doc.Apply(kTimingFiftyLift);
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::TimingNowFiftyLift});
    doc.Apply(kTimingFiftyLift);
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::TimingNowFiftyLift})
        << "no note when the method does not change";
    doc.Recalculate();
    EXPECT_EQ(doc.Cam().LobeCenter().GetValue(), 116.5f);
}

TEST(EngineDocument, ValidationNamesTheFirstGapInOrder)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    ErrorCode code = 0;
    auto next = [&](Choice choice) {
        doc.Apply(choice);
        EXPECT_FALSE(doc.Validate(code));
        return code;
    };
    EXPECT_FALSE(doc.Validate(code));
    EXPECT_EQ(code, Msg::BoreStrokeSelectionRequired);
    EXPECT_EQ(next(kChevy350), Msg::CylinderHeadRequired);
    EXPECT_EQ(next(kWedgeStockHeads), Msg::IntakeValveDiameterRequired);
    EXPECT_EQ(next(Choice{ChoiceGroup::IntakeValveDiameter, 7}),
              Msg::ExhaustValveDiameterRequired);                                                  // 2.02 in
    EXPECT_EQ(next(Choice{ChoiceGroup::ExhaustValveDiameter, 7}), Msg::CompressionRatioRequired);  // 1.60 in
    EXPECT_EQ(next(kCompression95), Msg::InductionFlowRequired);
    EXPECT_EQ(next(kChooseForcedInductionManifold), Msg::InductionFlowRequired);
    EXPECT_EQ(next(kSingleFourBarrel750), Msg::BlowerRequired) << "forced induction manifold with no unit";
    EXPECT_EQ(next(Choice{ChoiceGroup::ForcedInduction, 35}), Msg::CamshaftRequired)
        << "the Paxton brings every value it needs; the cam is next";
}

TEST(EngineDocument, ACentrifugalBlowerIsAskedForItsBoostLimitBeforeItsSpeed)
{
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(kChooseForcedInductionManifold);
    doc.Apply(NamedChoice::kCustomCentrifugalBlower);  // Custom Centrifugal Blower: everything unset
    doc.BlowerFlowRate().SetValue(600.0f);
    doc.BlowerPressureRatio().SetValue(1.5f);
    ErrorCode code = 0;
    EXPECT_FALSE(doc.Validate(code));
    EXPECT_EQ(code, Msg::BlowerBoostLimitRequired);
    doc.BlowerBoostLevelLimit().SetValue(8.0f);
    EXPECT_FALSE(doc.Validate(code));
    EXPECT_EQ(code, Msg::BlowerRpmRequired);
}

TEST(EngineDocument, NaturallyAspiratedEnginesSkipTheBlowerChecks)
{
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.Apply(NamedChoice::kCustomRootsBlower);  // a Roots blower chosen but the manifold is dual-plane
    ErrorCode code = 0;
    EXPECT_TRUE(doc.Validate(code)) << code;
    doc.Cam().ClearAll();
    EXPECT_FALSE(doc.Validate(code));
    EXPECT_EQ(code, Msg::CamshaftRequired);
}

TEST(EngineDocument, EachGroupReportsItsOwnCompleteness)
{
    CTorqDoc doc;
    doc.Apply(kChevy350);
    EXPECT_TRUE(doc.IsGroupComplete(EngineGroup::ShortBlock));
    EXPECT_FALSE(doc.IsGroupComplete(EngineGroup::CylinderHeads));
    EXPECT_FALSE(doc.IsGroupComplete(EngineGroup::Camshaft));
    BuildChevy350(doc);
    for (EngineGroup group : {EngineGroup::ShortBlock, EngineGroup::CylinderHeads, EngineGroup::Compression,
                              EngineGroup::Induction, EngineGroup::Exhaust, EngineGroup::Camshaft}) {
        EXPECT_TRUE(doc.IsGroupComplete(group));
    }
}

TEST(EngineRun, ACompleteSmallBlockRunsAndFillsTheEightSeries)
{
    CTorqDoc doc;
    BuildChevy350(doc);
    ASSERT_TRUE(doc.HasResults());
    EXPECT_EQ(doc.GetResult(kSeriesEngineSpeed, 0), 2000.0f);
    EXPECT_EQ(doc.GetResult(kSeriesEngineSpeed, 18), 11000.0f);
    const float peakPower = PeakOf(doc.GetResultSeries(kSeriesPower));
    EXPECT_GT(peakPower, 250.0f);
    EXPECT_LT(peakPower, 500.0f);
    for (int series = kSeriesManifoldPressure; series <= kSeriesFmep; ++series) {
        EXPECT_NE(doc.GetResult(series, 5), 0.0f) << series;
    }
}

TEST(EngineRun, ATurbochargedFourBuiltFromMenusMakesBoostedPower)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    ErrorCode code = 0;
    ASSERT_TRUE(doc.Validate(code)) << code;
    ASSERT_TRUE(doc.HasResults());
    EXPECT_EQ(doc.ExhaustSystem().GetIndex(), 1);
    EXPECT_NEAR(doc.IntakeValveDiameter().GetValue(), 3.5f * 0.376f, 1e-5f);
    EXPECT_NEAR(doc.Cam().IntakeLift().GetValue(), 3.5f * 0.376f * 0.26f, 1e-5f);
    EXPECT_GT(PeakOf(doc.GetResultSeries(kSeriesManifoldPressure)), 14.7f) << "the turbo makes boost";
    const float peakPower = PeakOf(doc.GetResultSeries(kSeriesPower));
    EXPECT_GT(peakPower, 100.0f);
    EXPECT_LT(peakPower, 600.0f);
}

TEST(EngineRun, AnIncompleteEngineClearsItsResultsAndNamesItsGap)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    ASSERT_TRUE(doc.HasResults());
    doc.ExhaustSystem().MarkUnset();
    EXPECT_FALSE(doc.RunSimulation(true, true));
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::ExhaustRequired});
    for (int series = 1; series <= kResultSeriesCount; ++series) {
        for (float value : doc.GetResultSeries(series)) ASSERT_EQ(value, 0.0f);
    }
}

TEST(EngineRun, AnEngineTheCycleCannotRunReports42AndKeepsNoResults)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    BuildChevy350(doc);
    // A lobe that cannot be ground: the shortest seat-to-seat duration with the biggest lift.
    doc.Cam().NominalIvo().SetValue(0.0f);
    doc.Cam().NominalIvc().SetValue(0.0f);
    doc.Cam().IntakeLift().SetValue(1.5f);
    EXPECT_FALSE(doc.RunSimulation(true, true));
    EXPECT_EQ(presenter.Codes(), std::vector<int>{Msg::SimulationFailed});
    EXPECT_FALSE(doc.HasResults());
    EXPECT_EQ(doc.GetResult(kSeriesEngineSpeed, 0), 0.0f);
}

TEST(EngineRun, MetricEnginesRunOnTheSameEnglishFigures)
{
    CTorqDoc english;
    BuildChevy350(english);
    CTorqDoc metric;
    BuildChevy350(metric);
    metric.SetUnitSystem(kMetricUnits);
    const float bore = metric.Bore().GetValue();
    ASSERT_TRUE(metric.RunSimulation(false, false));
    EXPECT_EQ(metric.GetResultSeries(kSeriesPower), english.GetResultSeries(kSeriesPower));
    EXPECT_EQ(metric.Bore().GetValue(), bore) << "a run does not move the engine's values";
    EXPECT_EQ(metric.GetUnitSystem(), kMetricUnits);
}

TEST(EngineRun, InterfaceFillsTheModelInputsFromTheDocument)
{
    CTorqDoc doc;
    BuildChevy350(doc);
    doc.InductionFlow().SetValue(749.9f);
    doc.PressureDrop().SetValue(2.99f);
    doc.Cam().AdvanceRetard().SetValue(-3.7f);
    doc.Apply(kGarrettT51_50_4);  // chosen but not on the forced-induction manifold
    SimInputs in{};
    SimInterface::FillInputs(doc, in);
    EXPECT_EQ(in.inductionCfm, 749);
    EXPECT_EQ(in.ratingBarrels, 4);
    EXPECT_EQ(in.camAdvance, -3);
    EXPECT_EQ(in.boostKind, 0);
    EXPECT_EQ(in.blowerFlow, 0.0f);
    EXPECT_EQ(in.timingAt050, 0);
    EXPECT_EQ(in.intakeFlow[7], doc.FlowData().IntakeAirflow(7).GetValue());
    EXPECT_EQ(in.intakeFlow[8], 0.0f);
    doc.PressureDrop().SetValue(3.0f);
    SimInterface::FillInputs(doc, in);
    EXPECT_EQ(in.ratingBarrels, 2);

    doc.Apply(kChooseForcedInductionManifold);
    SimInputs boosted{};
    SimInterface::FillInputs(doc, boosted);
    EXPECT_EQ(boosted.boostKind, 1);
    EXPECT_EQ(boosted.surgeFlow, 325.0f);
    EXPECT_EQ(boosted.intercoolerEfficiency, 0.0f) << "no intercooler chosen";
    EXPECT_EQ(boosted.beltGearRatio, 0.0f);
}

TEST(EngineRun, DefaultValveSizesAndLiftsFollowTheirRatios)
{
    const ValvePair small = DefaultValveDiameters(1, 4.0f);
    EXPECT_FLOAT_EQ(small.intake, 1.76f);
    EXPECT_FLOAT_EQ(small.exhaust, 1.4f);
    const ValvePair tiny = DefaultValveDiameters(1, 1.0f);
    EXPECT_EQ(tiny.intake, 0.75f);
    EXPECT_EQ(tiny.exhaust, 0.5f);
    const ValvePair lifts = DefaultValveLifts(4, 2.02f);
    EXPECT_NEAR(lifts.intake, 0.5999f, 1e-4f);
    EXPECT_NEAR(lifts.exhaust, 0.5699f, 1e-4f);
    const ValvePair least = DefaultValveLifts(1, 0.75f);
    EXPECT_EQ(least.intake, 0.2f);
    EXPECT_EQ(least.exhaust, 0.2f);
}

TEST(EngineDocument, ACopyCarriesEveryValueButNotTheDocumentsIdentity)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.SetTitle("Turbo.trq");
    doc.SetUnitSystem(kMetricUnits);
    CTorqDoc copy;
    doc.CopyTo(copy);
    EXPECT_EQ(copy.GetTitle(), "");
    EXPECT_NE(copy.GetDocumentNumber(), doc.GetDocumentNumber());
    EXPECT_EQ(copy.GetUnitSystem(), kMetricUnits);
    EXPECT_EQ(copy.Bore().GetValue(), doc.Bore().GetValue());
    EXPECT_EQ(copy.GetForcedInductionClass(), kTurbocharger);
    EXPECT_EQ(copy.Cam().IntakeLift().GetValue(), doc.Cam().IntakeLift().GetValue());
    EXPECT_EQ(copy.FlowData().GetDescription(), doc.FlowData().GetDescription());
    EXPECT_EQ(copy.GetResultSeries(kSeriesTorque), doc.GetResultSeries(kSeriesTorque));
    EXPECT_TRUE(copy.IsAutoValveSizes());
}

TEST(EngineDocument, ClearingComponentsReturnsToANewEngineInEnglishUnits)
{
    CTorqDoc doc;
    BuildTurboFour(doc);
    doc.SetUnitSystem(kMetricUnits);
    doc.SetModified();
    doc.Apply(EngineCommand::ClearComponents);
    EXPECT_TRUE(doc.IsModified()) << "the cleared components may still be worth saving";
    EXPECT_EQ(doc.GetUnitSystem(), kEnglishUnits);
    EXPECT_EQ(doc.ShortBlockType().GetText(), "***");
    EXPECT_EQ(doc.ForcedInductionType().GetText(), "None");
    EXPECT_FALSE(doc.BlowerBoostLevelLimit().IsSet());
    EXPECT_FALSE(doc.HasResults());
    EXPECT_FALSE(doc.IsAutoValveSizes());
}

TEST(EngineDocument, ObserversHearUpdatesAndTheEndOfTheDocument)
{
    struct Listener : DocumentObserver {
        std::vector<DocumentChange> heard;
        bool editing = false;
        void OnDocumentChanged(CTorqDoc&, DocumentChange change) override { heard.push_back(change); }
        bool HoldsOpenEdit() const override { return editing; }
    } listener;
    {
        CTorqDoc doc;
        doc.AddObserver(&listener);
        doc.Apply(EngineCommand::Run);  // Run!: an incomplete engine, error shown on stderr
        listener.editing = true;
        doc.Apply(kChevy350);
    }
    EXPECT_EQ(listener.heard,
              (std::vector<DocumentChange>{DocumentChange::Updated, DocumentChange::ChoiceApplied,
                                           DocumentChange::Destroyed}));
}

TEST(EngineDocument, EachKindOfCommandTellsTheViewsItsOwnWay)
{
    struct Listener : DocumentObserver {
        std::vector<DocumentChange> heard;
        bool editing = false;
        void OnDocumentChanged(CTorqDoc&, DocumentChange change) override { heard.push_back(change); }
        bool HoldsOpenEdit() const override { return editing; }
        std::vector<DocumentChange> Take() { return std::exchange(heard, {}); }
    } views;
    using Changes = std::vector<DocumentChange>;
    RecordingPresenter presenter;
    CTorqDoc doc;
    ASSERT_TRUE(BuildChevy350(doc));
    doc.AddObserver(&views);

    // An open parameter editor takes a choice and closes; the edit's end recomputes.
    views.editing = true;
    doc.ClearResults();
    EXPECT_EQ(doc.Apply(kWedgeStockHeads), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::ChoiceApplied});
    EXPECT_FALSE(doc.HasResults()) << "the head waits for the edit's end";
    EXPECT_EQ(doc.Apply(kCompression95), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::ChoiceApplied});
    EXPECT_EQ(doc.Apply(EngineCommand::MetricUnits), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::Updated}) << "a unit switch is no choice for the editor";
    EXPECT_EQ(doc.Apply(EngineCommand::Run), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::Updated});

    // Without an editor a head choice recomputes at once, and Auto Run runs the engine.
    views.editing = false;
    doc.ClearResults();
    EXPECT_EQ(doc.Apply(kWedgeStockHeads), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::Updated});
    EXPECT_TRUE(doc.HasResults());

    EXPECT_EQ(ApplyMenuCommand(doc, Cmd::kPrint), CommandResult::NotHandled);
    EXPECT_EQ(doc.Apply(EngineCommand::ClearComponents), CommandResult::Applied);
    EXPECT_EQ(views.Take(), Changes{DocumentChange::Updated}) << "clearing updates the views once";
    EXPECT_EQ(doc.Apply(EngineCommand::AutoValveSizes), CommandResult::Refused) << "no head chosen";
    EXPECT_FALSE(doc.IsAutoValveSizes());
    EXPECT_TRUE(views.Take().empty());
}

TEST(ComponentTable, HoldsEveryChoiceOnceWithEnglishValues)
{
    const auto rows = ComponentChoices();
    ASSERT_EQ(rows.size(), 427u);
    for (const ComponentChoice& row : rows) {
        EXPECT_EQ(row.metricFlag, 0);
        EXPECT_EQ(TryFindComponentChoice(row.menuCommand), &row) << row.menuCommand;
    }
    EXPECT_EQ(FindComponentChoice(33304).name, std::string("Volvo 2.9L"));
    EXPECT_EQ(FindComponentChoice(33160).name, std::string("Ford 98  1.6L"));
    EXPECT_EQ(FindComponentChoice(33010).name, std::string("Roots- B&&M 144 Powercharger"));
    EXPECT_EQ(TryFindComponentChoice(33305), nullptr);
}
