#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// A scratch folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path File(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& content);

// How many entries a folder holds: a careful save leaves no temporary file behind.
std::size_t FilesIn(const std::filesystem::path& folder);

// An in-memory stdio stream holding the given text, for parameter and block readers.
std::FILE* OpenTextStream(const std::string& content);
// Collects what a writer puts into a stdio stream.
class CapturedStream {
public:
    CapturedStream();
    ~CapturedStream();
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;
    std::FILE* File() const { return m_file; }
    std::string Text();

private:
    char* m_buffer = nullptr;
    std::size_t m_size = 0;
    std::FILE* m_file;
};
