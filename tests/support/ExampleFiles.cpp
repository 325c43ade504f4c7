#include "ExampleFiles.h"

#include <algorithm>

std::filesystem::path ExamplesFolder()
{
    return std::filesystem::path(TORQWELL_SOURCE_DIR) / "examples";
}

std::vector<std::filesystem::path> ExampleEngines()
{
    std::vector<std::filesystem::path> engines;
    for (const auto& entry : std::filesystem::directory_iterator(ExamplesFolder())) {
        if (entry.path().extension() == ".trq") engines.push_back(entry.path());
    }
    std::sort(engines.begin(), engines.end());
    return engines;
}
