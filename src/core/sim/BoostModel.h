#pragma once

#include "SimRecords.h"

// What forced induction hands the cycle at one engine speed. The values live
// for one run and carry from point to point.
struct BoostState {
    float boost = 0.0f;       // psi above atmosphere (14.7 psi absolute); may be negative
    float chargeTemp = 0.0f;  // intake charge temperature after compression and intercooling, degrees Rankine
    float driveLoss = 0.0f;   // crank power taken by a belt-driven blower, as mean effective pressure, psi
};

// Boost, charge temperature and drive loss of the turbocharger, centrifugal
// blower or Roots blower in the inputs at engine speed rpm. vePrevPercent is
// the volumetric efficiency of the previous point, engineVolume the
// displacement in cubic inches. Without one (BoostKind::None, or a number
// that names no kind) the state stays untouched: the engine breathes
// naturally.
void BoostModel(const SimInputs& inputs, double engineVolume, float vePrevPercent, double rpm,
                BoostState& state);
