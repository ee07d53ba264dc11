#include "player/sync_dispatch.h"

#include <cstdio>

#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "platform/report.h"

void dispatchDueSyncEvent(const SyncTrack& track, uint32_t& next, EffectInstance& root, float t,
                          std::vector<EffectInstance*>& active) {
    if (next >= track.size() || !(t >= track[next].time)) return;
    const SyncEvent& event = track[next];
    ++next;
    active.clear();
    root.collectActive(t, active);
    if (event.target < 0 || static_cast<std::size_t>(event.target) >= active.size()) {
        QUARN_REPORTF(Output, "sync event %s dropped: no active instance %d\n", event.name.c_str(),
                      static_cast<int>(event.target));
        return;
    }
    // An instance of an effect whose type was never registered has no
    // effect; the event reaches nobody.
    Effect* effect = active[static_cast<std::size_t>(event.target)]->getEffect();
    if (effect == nullptr) {
        QUARN_REPORTF(Output, "sync event %s dropped: instance %d has no effect\n", event.name.c_str(),
                      static_cast<int>(event.target));
        return;
    }
    effect->onSyncEvent(event.name);
}
