#pragma once

#include "model/TorqDoc.h"
#include "views/EngineFormMenus.h"
#include "widgets/TorqSpecEdit.h"

#include <span>

// One value of the engine form: its group, label and parameter, how its
// control shows and edits it, the popup menu beside it, and where it stands
// in the group.
struct EngineFormBinding {
    // Where a value stands in its group's grid of two label/value pairs.
    enum class Place {
        Full,       // label at the left, the value across the rest of the row
        Left,       // the left pair (an "(Auto)" label goes to the right of it)
        Right,      // the right pair, for short labels
        LongLabel,  // the left pair, with a label that takes two lines where one is too narrow
    };
    // The "(Auto)" label right of a value the document may size itself.
    enum class AutoLabel { None, ValveSize, ValveLift };

    EngineGroup group;
    const char* label;
    CTorqSpec& (*parameter)(CTorqDoc&);
    CTorqSpecEditCtrl::Style style;
    CTorqSpecEditCtrl::EditMode editMode;
    FormMenu menu;
    bool withUnits;
    int row;
    Place place;
    AutoLabel autoLabel = AutoLabel::None;
};

// Row of the camshaft group's "Nominal Timing" / "Actual Timing" headings;
// the etched line runs in the row above it.
inline constexpr int kCamHeadingRow = 12;

// How many values the form shows.
inline constexpr int kEngineFormValueCount = 53;

// The form's values in tab order.
std::span<const EngineFormBinding, kEngineFormValueCount> EngineFormBindings();
