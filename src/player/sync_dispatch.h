#pragma once
// Delivery of the sync track: at most one due event per frame, in file
// order, to the effect at the event's target position among the instances
// active at that frame.
#include <cstdint>
#include <vector>

#include "player/sync_track.h"

class EffectInstance;

// When event number next is due at t, delivers it (or drops it, with a
// message, when its target is not an active position) and advances next.
// active is scratch space, reused so that frames do not allocate.
void dispatchDueSyncEvent(const SyncTrack& track, uint32_t& next, EffectInstance& root, float t,
                          std::vector<EffectInstance*>& active);
