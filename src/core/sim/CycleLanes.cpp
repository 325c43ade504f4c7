#include "CycleLanes.h"

void SetRunLane(CycleLanes& lanes, int lane, const EngineCycle& cycle)
{
    lanes.events.Set(lane, cycle.events);
    lanes.intakeLobe.Set(lane, cycle.intakeLobe);
    lanes.exhaustLobe.Set(lane, cycle.exhaustLobe);
    lanes.intakeFlow.Set(lane, cycle.intakeFlow);
    lanes.exhaustFlow.Set(lane, cycle.exhaustFlow);
    lanes.geometry.Set(lane, cycle.geometry);
    lanes.run.Set(lane, cycle.run);
}

void SetPointLane(CycleLanes& lanes, int lane, const EngineCycle& cycle)
{
    lanes.point.Set(lane, cycle.point);
    lanes.wave.Set(lane, cycle.wave);
    lanes.carried.Set(lane, cycle.carried);
    SetLane(lanes.running, lane, cycle.running);
}

void GetCycleLane(const CycleLanes& lanes, int lane, EngineCycle& cycle)
{
    lanes.carried.Get(lane, cycle.carried);
    lanes.end.Get(lane, cycle.end);
    GetLane(lanes.running, lane, cycle.running);
}
