#pragma once

#include "base/ErrCode.h"

#include <vector>

class CamData;

// The valve events of an engine's cam as the cycle model runs them: both
// valves' lift against crank angle from the model's own circular-arc lobes,
// with the four events and the overlap. The diagram the camshaft group, the
// form's printout and the dyno sheet draw.
//
// Crank angles are the model's: 0 is firing TDC, 180 BDC, 360 the TDC
// between exhaust and intake, 540 BDC after intake, 720 firing TDC again.
// The lobes open and close where the model puts them: 0.050-inch figures
// widened by the lifter's allowance to the seat, the advance applied, and
// the exhaust opening taken 20 degrees after the cam card's figure.

struct LiftPoint {
    double crankDegrees;
    double liftIn;
};

struct ValveEventDiagram {
    ErrorCode camCode = 0;     // the cam's first missing figure (27 to 37); 0 when complete
    bool lobesSolved = false;  // false when a lobe cannot be made of the lift and the events
    bool IsDrawn() const { return camCode == 0 && lobesSolved; }

    // Seat-to-seat events, crank degrees on the model's 0..720 scale.
    double exhaustOpening = 0;
    double exhaustClosing = 0;
    double intakeOpening = 0;
    double intakeClosing = 0;
    // The same in the cam card's terms, degrees: IVO before TDC, IVC after
    // BDC, EVO before BDC, EVC after TDC.
    double ivoBtdc = 0;
    double ivcAbdc = 0;
    double evoBbdc = 0;
    double evcAtdc = 0;
    // Both valves open between IVO and EVC: their overlap, crank degrees (0 or more).
    double overlapDegrees = 0;

    double intakeLiftIn = 0;  // the lobes' full lift, in
    double exhaustLiftIn = 0;
    // Lift against crank angle, from the opening to the closing of each valve.
    std::vector<LiftPoint> intake;
    std::vector<LiftPoint> exhaust;
};

// Every stepDegrees of crank angle, with the events and the lobes' full
// lift among the points.
ValveEventDiagram BuildValveEventDiagram(const CamData& cam, double stepDegrees = 2.0);
