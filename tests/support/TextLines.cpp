#include "TextLines.h"

#include <sstream>

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const char* lineEnd)
{
    std::string text;
    for (const std::string& line : lines) text += line + lineEnd;
    return text;
}
