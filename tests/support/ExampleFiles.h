#pragma once

#include <filesystem>
#include <vector>

// The example engines, cam and airflow files of the source tree.
std::filesystem::path ExamplesFolder();

// Every example engine file (.trq), sorted by path.
std::vector<std::filesystem::path> ExampleEngines();
