#include "TempFile.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

TempDir::TempDir()
{
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
        m_path = base / ("torqwell-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(m_path));
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::size_t FilesIn(const std::filesystem::path& folder)
{
    using std::filesystem::directory_iterator;
    return std::size_t(std::distance(directory_iterator(folder), directory_iterator()));
}

std::FILE* OpenTextStream(const std::string& content)
{
    std::FILE* file = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    return file;
}

CapturedStream::CapturedStream() : m_file(open_memstream(&m_buffer, &m_size)) {}

CapturedStream::~CapturedStream()
{
    std::fclose(m_file);
    std::free(m_buffer);
}

std::string CapturedStream::Text()
{
    std::fflush(m_file);
    return std::string(m_buffer, m_size);
}
