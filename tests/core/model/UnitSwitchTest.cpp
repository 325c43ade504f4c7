#include "base/TorqSpec.h"
#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Every float parameter of an engine that changes with the unit system: the
// document's own, the cam's lifts and every airflow length and pressure.
std::vector<CFloatPtSpec*> SwitchedParameters(CTorqDoc& doc)
{
    std::vector<CFloatPtSpec*> specs = doc.UnitSwitchedParameters();
    specs.push_back(&doc.Cam().IntakeLift());
    specs.push_back(&doc.Cam().ExhaustLift());
    CylHeadFlowData& flow = doc.FlowData();
    for (CFloatPtSpec* spec : {&flow.IntakeTestDiameter(), &flow.IntakeTestPressureDrop(),
                               &flow.ExhaustTestDiameter(), &flow.ExhaustTestPressureDrop()}) {
        specs.push_back(spec);
    }
    for (int point = 0; point < CylHeadFlowData::kMaxPoints; ++point) {
        specs.push_back(&flow.IntakeLift(point));
        specs.push_back(&flow.ExhaustLift(point));
    }
    return specs;
}

// The values at the very edge of a parameter's range that a file may hold:
// its English bounds widened by just under the 0.00001 slack.
std::vector<float> EdgeValues(const CFloatPtSpec& spec)
{
    std::vector<float> values;
    for (float value : {spec.GetEnglishMinimum() - 0.000009f, spec.GetEnglishMinimum(),
                        spec.GetEnglishMaximum(), spec.GetEnglishMaximum() + 0.000009f}) {
        if (spec.IsInRange(value)) values.push_back(value);
    }
    return values;
}

}  // namespace

TEST(UnitSwitch, EveryParameterAtEitherEndOfItsRangeStaysValidInBothUnitSystems)
{
    RecordingPresenter presenter;
    CTorqDoc doc;
    const std::size_t count = SwitchedParameters(doc).size();
    for (std::size_t i = 0; i < count; ++i) {
        for (int end = 0; end < 4; ++end) {
            doc.SetUnitSystem(kEnglishUnits);
            CFloatPtSpec& spec = *SwitchedParameters(doc)[i];
            const std::vector<float> edges = EdgeValues(spec);
            if (end >= int(edges.size())) continue;
            spec.SetValue(edges[end]);
            doc.SetUnitSystem(kMetricUnits);
            EXPECT_TRUE(spec.IsValid()) << spec.GetName() << " at " << edges[end] << " in metric units";
            spec.CheckInvariants();
            doc.SetUnitSystem(kEnglishUnits);
            EXPECT_TRUE(spec.IsValid()) << spec.GetName() << " at " << edges[end] << " back in English units";
            spec.CheckInvariants();
        }
    }
}

TEST(UnitSwitch, AMetricEngineFileWithABoreInTheRangeSlackOpensAndRuns)
{
    RecordingPresenter presenter;
    TempDir dir;
    std::istringstream example(ReadWholeFile(TORQWELL_SOURCE_DIR "/examples/chevy-350-street.trq"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(example, line);) lines.push_back(line);
    ASSERT_GT(lines.size(), 6u);
    lines[1] = "1";           // shown in metric units
    lines[6] = "1 7.000005";  // the bore, inside the slack of its 7.0 in maximum
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    WriteWholeFile(dir.File("wide.trq"), text);

    CTorqDoc doc;
    ASSERT_TRUE(OpenEngineDocument(doc, dir.File("wide.trq").string()));
    EXPECT_EQ(doc.GetUnitSystem(), kMetricUnits);
    EXPECT_TRUE(doc.Bore().IsValid()) << doc.Bore().GetTextWithUnits();
    EXPECT_TRUE(doc.HasResults());
    ErrorCode code = 0;
    EXPECT_TRUE(doc.Validate(code)) << code;
    EXPECT_TRUE(presenter.Messages().empty());

    doc.SetUnitSystem(kEnglishUnits);
    EXPECT_TRUE(doc.Validate(code)) << code;
    doc.SetUnitSystem(kMetricUnits);
    EXPECT_TRUE(doc.Validate(code)) << "an engine that runs in English units is complete in metric units";
}
