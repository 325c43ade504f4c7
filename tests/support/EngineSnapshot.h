#pragma once

#include <string>
#include <vector>

class CTorqDoc;
struct EngineValues;

// Everything an engine file carries, and the results, as comparable text:
// one "name = text" line per parameter (set flag, value in the shown units),
// the cam and airflow data, the switches and every result value with enough
// digits to tell any two floats apart. Two engines that read alike here are
// the same engine with the same results.
std::vector<std::string> EngineSnapshot(const EngineValues& engine);
std::vector<std::string> EngineSnapshot(const CTorqDoc& doc);
