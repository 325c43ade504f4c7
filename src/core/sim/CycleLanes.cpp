#include "CycleLanes.h"

void SetLobeLane(LobeLanes& lanes, int lane, const CamLobe& lobe)
{
    lanes.opening.v[lane] = lobe.opening;
    lanes.flankEnd.v[lane] = lobe.flankEnd;
    lanes.noseEnd.v[lane] = lobe.noseEnd;
    lanes.halfDuration.v[lane] = lobe.halfDuration;
    lanes.noseOffset.v[lane] = lobe.noseOffset;
    lanes.noseRadius.v[lane] = lobe.noseRadius;
    lanes.flankOffset.v[lane] = lobe.flankOffset;
}

void SetFlowTableLane(FlowTableLanes& lanes, int lane, const FlowTable& table)
{
    for (int j = 0; j < 11; ++j) {
        lanes.lift[j].v[lane] = table.lift[j];
        lanes.coefficient[j].v[lane] = table.coefficient[j];
    }
    for (int j = 0; j < 10; ++j) lanes.slope[j].v[lane] = table.slope[j];
}

void SetPistonLane(PistonLanes& lanes, int lane, const EngineGeometry& g)
{
    lanes.crankRadius.v[lane] = g.crankRadius;
    lanes.rodLength.v[lane] = g.rodLength;
    lanes.pistonArea.v[lane] = g.pistonArea;
    lanes.clearanceVolume.v[lane] = g.clearanceVolume;
    lanes.crankOverRod.v[lane] = g.crankOverRod;
    lanes.twoRodOverStroke.v[lane] = g.twoRodOverStroke;
}

void SetWaveLane(WaveLanes& lanes, int lane, const ExhaustWave& w)
{
    lanes.exhaustOpening.v[lane] = w.exhaustOpening;
    lanes.tuningRpm.v[lane] = w.tuningRpm;
    lanes.rpm.v[lane] = w.rpm;
    lanes.angleScale.v[lane] = w.angleScale;
    lanes.amplitude.v[lane] = w.amplitude;
    lanes.basePressure.v[lane] = w.basePressure;
    lanes.laterWaveFactor.v[lane] = w.laterWaveFactor;
}
