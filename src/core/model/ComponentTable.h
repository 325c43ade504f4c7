#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// One popup-menu choice of the engine form: the command that picks it, the
// part-type index and name it stores, and up to ten values it copies into
// the engine's parameters, always in English units.
struct ComponentChoice {
    std::int32_t command;
    std::int32_t partIndex;  // 0 where the group has no part-type parameter
    const char* name;        // nullptr where the choice stores no name
    float values[10];
    std::int32_t metricFlag;  // 0 in every row: the values are English
};

inline constexpr std::size_t kComponentChoiceCount = 427;

std::span<const ComponentChoice> ComponentChoices();

// Linear search on the command; nullptr when the table has no such row.
const ComponentChoice* TryFindComponentChoice(int command);
// The row of a command that must be in the table (internal consistency check).
const ComponentChoice& FindComponentChoice(int command);
