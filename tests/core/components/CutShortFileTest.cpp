#include "components/Cam.h"
#include "components/CylHeadFlow.h"

#include "RecordingPresenter.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The file as a copy that ends cutBytes early, without its last line end.
std::string CutShort(const std::string& path, std::size_t cutBytes, const TempDir& dir, const char* name)
{
    std::string text = ReadWholeFile(path);
    text.resize(text.size() - cutBytes);
    const std::string copy = dir.File(name).string();
    WriteWholeFile(copy, text);
    return copy;
}

}  // namespace

// A file cut inside its last number reads back a different number ("10"
// becomes "1", "186" becomes "1"): the engine would silently change.
TEST(CutShortFiles, ACamFileCutInsideItsLastNumberIsRefusedAsDamaged)
{
    RecordingPresenter presenter;
    TempDir dir;
    const std::string whole = TORQWELL_SOURCE_DIR "/examples/street-roller.cam";
    CamData intact;
    ASSERT_TRUE(intact.LoadFromFile(whole));

    // "1 6.000000\n" at the end: cut to "1 6.0000", then to "1 6".
    for (std::size_t cut : {3u, 8u}) {
        CamData cam;
        EXPECT_FALSE(cam.LoadFromFile(CutShort(whole, cut, dir, "cut.cam"))) << cut << " bytes cut";
        EXPECT_EQ(presenter.LastCode(), Msg::FileRead);
    }
    CamData withoutLastLineEnd;
    EXPECT_FALSE(withoutLastLineEnd.LoadFromFile(CutShort(whole, 1, dir, "no-line-end.cam")))
        << "the program always ends its last line";
}

TEST(CutShortFiles, AnAirflowFileCutInsideItsLastFlowIsRefusedAsDamaged)
{
    RecordingPresenter presenter;
    TempDir dir;
    const std::string whole = TORQWELL_SOURCE_DIR "/examples/wedge-fully-ported.flw";
    CylHeadFlowData intact;
    ASSERT_TRUE(intact.LoadFromFile(whole));
    ASSERT_TRUE(presenter.Messages().empty());

    // "1 186.000000\n" cut to "1 1".
    CylHeadFlowData flow;
    EXPECT_FALSE(flow.LoadFromFile(CutShort(whole, 11, dir, "cut.flw")));
    EXPECT_EQ(presenter.LastCode(), Msg::FileRead);
}
