#pragma once
// Moving a loaded demo to another time, either way. Live authoring's keys
// and timeline and the browser page's controls seek through these, so that
// after a seek the demo stands as a run from 0 has it at the target.
#include "player/sync_catch_up.h"

class Music;
struct DemoTimes;
struct LoadedDemo;

// The effects forget what sync events did to them, then receive the events
// a run from 0 on a grid of stepsPerSecond steps delivered before t. Frames
// drawn from the clock fall between the steps; after a seek the picture is
// the one that run shows at t. Nothing happens without a root.
void seekEffects(LoadedDemo& demo, double t, int stepsPerSecond = playStepsPerSecond);

// Moves the music to t (modulo its length) with the fade where it stands
// by then, as times place it. True when the fade has begun by t.
bool seekMusic(Music& music, const DemoTimes& times, float t);
