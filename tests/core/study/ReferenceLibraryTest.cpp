#include "study/JsonValue.h"
#include "study/ReferenceLibrary.h"
#include "study/StudyRunner.h"

#include "ExampleFiles.h"
#include "RecordingPresenter.h"
#include "TempFile.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

JsonValue Parsed(const std::string& text)
{
    JsonValue value;
    std::string error;
    EXPECT_TRUE(JsonValue::Parse(text, value, error)) << error;
    return value;
}

std::string ParseError(const std::string& text)
{
    JsonValue value;
    std::string error;
    EXPECT_FALSE(JsonValue::Parse(text, value, error)) << text;
    return error;
}

TEST(JsonValue, ReadsObjectsArraysTextsNumbersAndNull)
{
    const JsonValue value = Parsed(
        " {\"a\": [1, -2.5e1, 0.125], \"b\": null, \"c\": \"x\\\"\\u00e9\\n\\ud83d\\ude00\", \"d\": true} ");
    ASSERT_TRUE(value.IsObject());
    const JsonValue& a = *value.Member("a");
    ASSERT_EQ(a.Items().size(), 3u);
    EXPECT_EQ(a.Items()[1].Number(), -25.0);
    EXPECT_EQ(a.Items()[2].Number(), 0.125);
    EXPECT_TRUE(value.Member("b")->IsNull());
    EXPECT_EQ(value.Member("c")->String(), "x\"\xC3\xA9\n\xF0\x9F\x98\x80");
    EXPECT_TRUE(value.Member("d")->Boolean());
    EXPECT_EQ(value.Member("e"), nullptr);
}

TEST(JsonValue, RefusesWhatIsNotJsonNamingTheLine)
{
    EXPECT_EQ(ParseError("{\n\"a\": [1, 2,]\n}"), "line 2: not a JSON value");
    EXPECT_EQ(ParseError("{\"a\": 1, \"a\": 2}"), "line 1: \"a\" given twice");
    EXPECT_EQ(ParseError("{\"a\": \"open}"), "line 1: a text without its closing quote");
    EXPECT_EQ(ParseError("[01]"), "line 1: ',' expected");
    EXPECT_EQ(ParseError("[1] [2]"), "line 1: more after the end");
    EXPECT_EQ(ParseError("[1e999]"), "line 1: a number out of range");
    EXPECT_EQ(ParseError(std::string(100, '[') + std::string(100, ']')), "line 1: nested too deep");
    EXPECT_EQ(ParseError(""), "line 1: not a JSON value");
}

TEST(ReferenceLibrary, TheShippedLibraryHoldsFifteenPublishedTestsWithNullWhereTheSourceIsSilent)
{
    ReferenceLibrary library;
    std::string error;
    ASSERT_TRUE(LoadReferenceLibrary((ExamplesFolder() / "reference").string(), library, error)) << error;
    ASSERT_EQ(library.engines.size(), 15u);
    const ReferenceEngine& stock = library.engines.front();
    EXPECT_EQ(stock.file, "goodwrench-350-stock.trq");
    EXPECT_EQ(stock.published.power, 239.0);
    EXPECT_EQ(stock.published.torqueRpm, 3700.0);
    for (const ReferenceEngine& engine : library.engines) {
        EXPECT_TRUE(fs::exists(ReferenceEnginePath(library, engine))) << engine.file;
        EXPECT_FALSE(engine.url.empty()) << engine.file;
    }
    const auto named = [&](const char* file) {
        return *std::find_if(library.engines.begin(), library.engines.end(),
                             [&](const ReferenceEngine& engine) { return engine.file == file; });
    };
    EXPECT_EQ(named("chrysler-420-hughes.trq").published.power, 701.6);
    EXPECT_FALSE(named("chevy-454-merlin.trq").published.torque);
    EXPECT_FALSE(named("gm-53-lm7-ls9-cam.trq").published.powerRpm);
}

TEST(ReferenceLibrary, ADataFileOfAnotherFormIsRefusedSayingWhere)
{
    TempDir folder;
    const auto refusal = [&](const std::string& text) {
        WriteWholeFile(folder.File(kReferenceDataFile), text);
        ReferenceLibrary library;
        std::string error;
        EXPECT_FALSE(LoadReferenceLibrary(folder.Path().string(), library, error));
        return error.substr(error.find("': ") + 3);
    };
    EXPECT_EQ(refusal("{\"engines\": []}"), "no \"engines\"");
    EXPECT_EQ(refusal("{\"engines\": [{\"name\": \"x\", \"published\": {}}]}"), "engine 1: no \"file\"");
    EXPECT_EQ(refusal("{\"engines\": [{\"name\": \"x\", \"file\": \"../x.trq\", \"published\": {}}]}"),
              "engine 1: \"file\" names a file of the library's own folder, without a path");
    EXPECT_EQ(
        refusal("{\"engines\": [{\"name\": \"x\", \"file\": \"x.trq\", \"published\": {\"power\": -3}}]}"),
        "engine 1: \"power\" is neither a number above 0 nor null");
    EXPECT_EQ(
        refusal(
            "{\"engines\": [{\"name\": \"x\", \"file\": \"x.trq\", \"published\": {\"torque\": \"1\"}}]}"),
        "engine 1: \"torque\" is neither a number above 0 nor null");
    ReferenceLibrary library;
    std::string error;
    EXPECT_FALSE(LoadReferenceLibrary(folder.File("none").string(), library, error));
    EXPECT_EQ(error, "'" + (folder.File("none") / kReferenceDataFile).string() + "' cannot be read");
}

TEST(ReferenceLibrary, EachEnginesErrorIsItsOwnRunsPeakAgainstThePublishedOne)
{
    RecordingPresenter presenter;
    TempDir folder;
    fs::copy_file(ExamplesFolder() / "chevy-350-street.trq", folder.File("a.trq"));
    fs::copy_file(ExamplesFolder() / "chevy-454-big-block.trq", folder.File("b.trq"));
    WriteWholeFile(
        folder.File(kReferenceDataFile),
        "{\"engines\": ["
        "{\"name\": \"A\", \"file\": \"a.trq\", \"published\": {\"power\": 200, \"power_rpm\": 4000, "
        "\"torque\": 300, \"torque_rpm\": null}},"
        "{\"name\": \"Gone\", \"file\": \"gone.trq\", \"published\": {\"power\": 100}},"
        "{\"name\": \"B\", \"file\": \"b.trq\", \"published\": {\"power\": 500, \"torque\": null}}]}");
    ReferenceLibrary library;
    std::string error;
    ASSERT_TRUE(LoadReferenceLibrary(folder.Path().string(), library, error)) << error;
    const ReferenceReport report = RunReferenceLibrary(library);
    ASSERT_EQ(report.runs.size(), 3u);
    EXPECT_FALSE(report.runs[1].ran) << "a file that cannot be opened";
    EXPECT_EQ(presenter.Codes().size(), 1u);

    std::vector<double> powerErrors;
    for (std::size_t i : {0u, 2u}) {
        CTorqDoc engine;
        ASSERT_TRUE(OpenEngineDocument(engine, ReferenceEnginePath(library, library.engines[i])));
        const StudyRunner::Outcome alone = StudyRunner::RunAlone(engine);
        const PeakPoint power = SeriesPeak(alone.results, kSeriesPower);
        const ReferenceRun& run = report.runs[i];
        ASSERT_TRUE(run.ran);
        EXPECT_EQ(run.power.value, power.value);
        EXPECT_EQ(run.power.rpm, power.rpm);
        EXPECT_EQ(run.torque.value, SeriesPeak(alone.results, kSeriesTorque).value);
        const double published = *library.engines[i].published.power;
        EXPECT_DOUBLE_EQ(*run.powerErrorPercent, 100.0 * (power.value - published) / published);
        powerErrors.push_back(std::abs(*run.powerErrorPercent));
    }
    EXPECT_TRUE(report.runs[0].torqueErrorPercent);
    EXPECT_FALSE(report.runs[2].torqueErrorPercent) << "no published torque";
    EXPECT_DOUBLE_EQ(*report.medianPowerErrorPercent, (powerErrors[0] + powerErrors[1]) / 2.0);
    EXPECT_EQ(*report.worstPowerErrorPercent, std::max(powerErrors[0], powerErrors[1]));
    EXPECT_EQ(*report.medianTorqueErrorPercent, std::abs(*report.runs[0].torqueErrorPercent));
}

TEST(ReferenceLibrary, TheMedianOfAnEvenCountIsTheMeanOfItsMiddleTwo)
{
    EXPECT_EQ(Median({5.0, 1.0, 3.0}), 3.0);
    EXPECT_EQ(Median({4.0, 1.0, 3.0, 10.0}), 3.5);
    EXPECT_FALSE(Median({}));
}

}  // namespace
