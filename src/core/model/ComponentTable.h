#pragma once

#include "DocumentCommands.h"

#include <cstddef>
#include <cstdint>
#include <span>

// One popup-menu choice of the engine form: the part-type index and name it
// stores and up to ten values it copies into the engine's parameters, always
// in English units. The menu identifier is the desktop program's (its menus
// and their tests find an entry by it; MenuCommands.h); the document goes by
// the choice's group and index.
struct ComponentChoice {
    std::int32_t menuCommand;
    std::int32_t partIndex;  // 0 where the group has no part-type parameter
    const char* name;        // nullptr where the choice stores no name
    float values[10];
    std::int32_t metricFlag;  // 0 in every row: the values are English
};

// The rows of a group in the order of its menu: Choice{group, i} is row i.
std::span<const ComponentChoice> ChoicesOf(ChoiceGroup group);
// Whether the choice's group has a row at its index.
bool IsChoice(Choice choice);
// The row of a choice that must be in the table (internal consistency check).
const ComponentChoice& ChoiceRow(Choice choice);

// "User Entered Airflow Data": the cylinder head that airflow data of the
// user's own (the airflow data dialog, an airflow file) makes, under the
// head list's custom part index. No choice of the list.
const ComponentChoice& UserAirflowHeadRow();

// Every row, group after group in the order of ChoiceGroup, then the user
// airflow head.
inline constexpr std::size_t kComponentChoiceCount = 427;
std::span<const ComponentChoice> ComponentChoices();
