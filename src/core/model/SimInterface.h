#pragma once

#include "sim/SimRecords.h"

class CTorqDoc;

// One pair of simulation records: what a run reads and what it writes.
struct SimWorkspace {
    SimInputs inputs{};
    SimResults results{};
};

// The bridge between an engine document and the engine cycle: it copies the
// document's parameters (in English units) into the model's input record,
// runs the cycle over the 19 speed points and leaves the seven curves in the
// result record.
class SimInterface {
public:
    // The one program-wide interface and its records.
    static SimInterface& Instance();

    SimInterface(const SimInterface&) = delete;
    SimInterface& operator=(const SimInterface&) = delete;

    // Runs the document on the program-wide records.
    bool Run(const CTorqDoc& document);
    SimWorkspace& Records() { return m_records; }

    // Runs the document on the given records (an iterator worker has its own).
    // True when power at the first point (2000 rpm) is not 0.
    static bool Run(const CTorqDoc& document, SimWorkspace& workspace);
    // Fills the input record from the document's English values.
    static void FillInputs(const CTorqDoc& document, SimInputs& inputs);

private:
    SimInterface() = default;
    SimWorkspace m_records;
};

struct ValvePair {
    float intake;   // in
    float exhaust;  // in
};

// Valve diameters proposed from the bore for cylinder head types 1..16,
// held within 0.75..4.0 (intake) and 0.5..3.25 (exhaust) inches.
ValvePair DefaultValveDiameters(int headType, float boreIn);

// Valve lifts proposed from the intake valve diameter for cam types 1..6,
// exhaust 95 % of intake, each held within 0.2..1.5 inches.
ValvePair DefaultValveLifts(int camType, float intakeValveDiameterIn);
