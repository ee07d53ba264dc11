#pragma once
// Starting mid-way as if the run had started at 0. Effects change from one
// frame to the next only through sync events, so delivering, before the
// first frame, the events a run from 0 would have delivered by then (each
// at the step it would have arrived, to the instances active at that step)
// leaves them as that run would; nothing needs drawing.
#include <cstdint>
#include <vector>

#include "player/sync_track.h"

class EffectInstance;

// The step grid of play, --live and the browser; capture and benchmark
// step at their --fps.
constexpr int playStepsPerSecond = 60;

// Demo time of step number step on a grid of rate steps a second, as the
// frame loop hands it to the demo: from the integer count, so a run
// started at step m and a run from 0 agree on every later step.
float gridStepTime(int64_t step, int rate);

// The first step at or after demo time t (t within a rounding error of a
// step counts as that step).
int64_t firstStepFrom(double t, int rate);

// Delivers what a run from 0 on this grid delivers before step endStep:
// each event at the first step whose time reaches it, one per step, in
// file order. The effects must be as init left them; next starts at 0 and
// ends where that run's would. What is still due then, the frames deliver
// as they would have.
void catchUpSyncEvents(const SyncTrack& track, uint32_t& next, EffectInstance& root, int rate, int64_t endStep,
                       std::vector<EffectInstance*>& active);

// Every effect of the tree, inactive ones included, forgets what sync
// events did to it, as it was after init.
void clearSyncStateOfTree(EffectInstance& root);
