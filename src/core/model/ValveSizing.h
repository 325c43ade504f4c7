#pragma once

// The sizes the document proposes when it sizes the valves and their lifts
// itself: the default valve-size tables of the cylinder heads and cams.

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
