// The engine file reader on any input, and what opening does next: the
// derived values and, with Auto Run, a simulation run. Whatever opens must
// save and open again, and after one save stay the same through every
// further one.

#include "FuzzSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "TempFile.h"

#include <string>

namespace {

// The items of a saved engine, without its two result blocks.
std::string SavedItems(CTorqDoc& doc, const std::string& path)
{
    if (!WriteEngineFile(doc, path)) PropertyFailed("an engine that opened could not be saved");
    const std::string text = ReadWholeFile(path);
    // 2 x 19 result lines follow the point count line "19".
    const std::size_t results = text.rfind("\n19\n");
    return text.substr(0, results);
}

// Opens a saved engine as the program does, without running it again.
bool Reopen(CTorqDoc& doc, const std::string& path)
{
    if (!ReadEngineFile(doc, path)) return false;
    const bool autoRun = doc.IsAutoRun();
    doc.SetAutoRun(false);
    doc.Recalculate();
    doc.SetAutoRun(autoRun);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InstallFuzzPresenter();
    std::FILE* input = OpenInput(data, size);
    if (input == nullptr) return 0;
    CTorqDoc doc;
    bool read = true;
    try {
        ReadEngineItems(doc, input);
    } catch (const RaisedError&) {
        read = false;
    }
    std::fclose(input);
    if (!read) return 0;
    doc.Recalculate();

    // The first save may tidy what was read (values to six decimals, names
    // cut to 78 characters without trailing blanks, a nitrous flow too small
    // to show); from then on a save and an open change nothing.
    static const TempDir folder;  // this process's own, removed when the run ends
    const std::string path = folder.File("engine.trq").string();
    SavedItems(doc, path);
    CTorqDoc reopened;
    if (!Reopen(reopened, path)) PropertyFailed("a saved engine could not be opened again");
    const std::string second = SavedItems(reopened, path);
    CTorqDoc again;
    if (!Reopen(again, path) || SavedItems(again, path) != second) {
        PropertyFailed("an engine changed on its way through a file");
    }
    return 0;
}
