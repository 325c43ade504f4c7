#include "Units.h"

#include <iterator>

namespace {
constexpr UnitInfo kUnitTable[] = {
    {" ", "%.2f"},        // 0  plain
    {" ", "%.2f"},        // 1  ratio
    {"%", "%.1f"},        // 2
    {"in", "%.3f"},       // 3
    {"cm", "%.1f"},       // 4
    {"mm", "%.2f"},       // 5
    {"ci", "%.1f"},       // 6
    {"cc", "%.2f"},       // 7
    {"Deg", "%.1f"},      // 8
    {"rpm", "%.0f"},      // 9
    {"inHg", "%.2f"},     // 10
    {"inH2O", "%.1f"},    // 11
    {"cmHg", "%.3f"},     // 12
    {"cmH2O", "%.2f"},    // 13
    {"psi", "%.1f"},      // 14
    {"cfm", "%.1f"},      // 15
    {"l/min", "%.3f"},    // 16
    {"lbs/min", "%.1f"},  // 17
    {"kg/min", "%.3f"},   // 18
};
}  // namespace

const UnitInfo* FindUnitInfo(UnitCode code)
{
    const auto index = static_cast<std::int32_t>(code);
    if (index < 0 || index >= std::int32_t(std::size(kUnitTable))) return nullptr;
    return &kUnitTable[index];
}
