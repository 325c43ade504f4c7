#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/ErrCode.h"

#include "ReaderChecks.h"
#include "TempFile.h"

// What the three reader targets share.

// Installs a presenter that keeps the messages quiet and turns an internal
// consistency report into a crash that libFuzzer records (the report itself
// ends the process in a way libFuzzer would not notice).
void InstallFuzzPresenter();

// The input as a read-only text stream; nullptr for an empty input.
std::FILE* OpenInput(const std::uint8_t* data, std::size_t size);

// Stops the run with a message when a property of the readers does not hold.
// The process's temporary folder goes first: a run that stops leaves no file behind.
[[noreturn]] void PropertyFailed(const char* what);

// This process's own scratch folder, removed when the run ends.
const std::filesystem::path& FuzzFolder();

// The input as a file of the scratch folder, for the readers that open a
// path as the program does; removed again when it goes out of scope.
class InputFile {
public:
    InputFile(const std::uint8_t* data, std::size_t size, const char* name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// True when the reader took the whole block; false for any error code.
template <typename Block>
bool ReadBlockFrom(Block& block, const std::uint8_t* data, std::size_t size)
{
    std::FILE* input = OpenInput(data, size);
    if (input == nullptr) return false;
    bool read = true;
    try {
        block.ReadBlock(input);
    } catch (const RaisedError&) {
        read = false;
    }
    std::fclose(input);
    return read;
}

template <typename Block>
bool ReadBlockFrom(Block& block, const std::string& text)
{
    return ReadBlockFrom(block, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// The property of the block readers: whatever the reader accepts is
// written as a block it accepts again, and after the first save (which may
// tidy what was read: values to six decimals, names cut to 78 characters
// without trailing blanks) a save and a read change nothing.
//
// The same bytes as a file, loaded by path as the program loads them
// (LoadFromFile), are accepted or refused as the stream is, and read the same.
template <typename Block>
void CheckBlockReader(const std::uint8_t* data, std::size_t size, const char* fileName)
{
    Block block;
    const bool read = ReadBlockFrom(block, data, size);
    {
        const InputFile input(data, size, fileName);
        Block loaded;
        if (loaded.LoadFromFile(input.Path()) != read)
            PropertyFailed("a file and a stream of the same bytes read differently");
        if (read && WrittenBlock(loaded) != WrittenBlock(block))
            PropertyFailed("a file read other values than its stream");
    }
    if (!read) return;
    ErrorCode code = 0;
    block.CheckComplete(code);
    const std::string first = WrittenBlock(block);
    Block reread;
    if (!ReadBlockFrom(reread, first))
        PropertyFailed("a block the reader accepted was written as one it refuses");
    const std::string second = WrittenBlock(reread);
    Block again;
    if (!ReadBlockFrom(again, second) || WrittenBlock(again) != second) {
        PropertyFailed("a block changed on its way through a file");
    }
}
