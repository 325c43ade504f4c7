#pragma once

#include "SimWorkspace.h"

class CTorqDoc;

// The bridge between an engine document and the engine cycle: it copies the
// document's parameters (in English units) into the model's input record,
// runs the cycle over the 19 speed points and leaves the seven curves in the
// result record.
class SimInterface {
public:
    SimInterface() = delete;

    // Runs the document on the given records. True when power at the first
    // point (2000 rpm) is not 0.
    static bool Run(const CTorqDoc& document, SimWorkspace& workspace);
    // Fills the input record from the document's English values.
    static void FillInputs(const CTorqDoc& document, SimInputs& inputs);
};
