// The cycle model's golden test runs recorded inputs; these are still what
// the engine document gives the model for each example engine.

#include "model/EngineFile.h"
#include "model/SimInterface.h"
#include "model/TorqDoc.h"

#include "ExampleFiles.h"
#include "RecordingPresenter.h"
#include "SimInputsText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

TEST(RecordedSimInputs, EachExampleEngineStillGivesTheCycleModelItsRecordedInputs)
{
    for (const auto& engine : ExampleEngines()) {
        SCOPED_TRACE(engine.filename().string());
        RecordingPresenter presenter;
        CTorqDoc doc;
        ASSERT_TRUE(OpenEngineDocument(doc, engine.string()));
        SimInputs in{};
        SimInterface::FillInputs(doc, in);

        std::ifstream file(RecordedSimInputsPath(engine.stem().string()));
        std::stringstream recorded;
        recorded << file.rdbuf();
        // On a change, the message gives the text to record.
        EXPECT_EQ(recorded.str(), SimInputsText(in));
    }
}
