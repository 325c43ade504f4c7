#pragma once

#include <string>
#include <vector>

// The lines of a text without their '\n' (a last line without one counts too).
std::vector<std::string> SplitLines(const std::string& text);

// The lines again, each followed by the given line end.
std::string JoinLines(const std::vector<std::string>& lines, const char* lineEnd = "\n");
