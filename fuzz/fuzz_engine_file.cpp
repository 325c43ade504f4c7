// The engine file reader on any input, from a stream and from a file opened
// by its path, and what opening does next: the derived values and, with Auto
// Run, a simulation run. Both ways must agree; whatever opens must save and
// open again, and after one save stay the same through every further one.

#include "FuzzSupport.h"

#include "model/EngineFile.h"
#include "model/TorqDoc.h"

#include "TempFile.h"

#include <filesystem>
#include <string>
#include <system_error>

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
    bool read = true;
    {
        CTorqDoc streamed;
        try {
            ReadEngineItems(streamed, input);
        } catch (const RaisedError&) {
            read = false;
        }
        std::fclose(input);
    }

    // The same bytes as a file, opened as the program opens a path: the same
    // answer, and on success the engine with its derived values.
    CTorqDoc doc;
    {
        const InputFile file(data, size, "input.trq");
        if (OpenEngineDocument(doc, file.Path()) != read) {
            PropertyFailed("a file and a stream of the same bytes read differently");
        }
    }
    if (!read) return 0;

    // The first save may tidy what was read (values to six decimals, names
    // cut to 78 characters without trailing blanks, a nitrous flow too small
    // to show); from then on a save and an open change nothing.
    const std::string path = (FuzzFolder() / "engine.trq").string();
    SavedItems(doc, path);
    CTorqDoc reopened;
    if (!Reopen(reopened, path)) PropertyFailed("a saved engine could not be opened again");
    const std::string second = SavedItems(reopened, path);
    CTorqDoc again;
    if (!Reopen(again, path) || SavedItems(again, path) != second) {
        PropertyFailed("an engine changed on its way through a file");
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
}
