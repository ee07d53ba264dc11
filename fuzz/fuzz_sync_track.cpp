// Sync files of any bytes must read without touching memory outside them,
// and every event read, whatever its time and target, must be delivered or
// dropped safely.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "player/sync_dispatch.h"
#include "player/sync_track.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    SyncTrack track;
    readSyncTrackFromBytes(reinterpret_cast<const char*>(data), size, track);

    // Two active instances and one whose window never contains the time.
    Effect effect;
    EffectInstance root(&effect, -INFINITY, INFINITY, "iDemo");
    EffectInstance active(&effect, -INFINITY, INFINITY, "active");
    EffectInstance idle(&effect, 0.0f, 1.0f, "idle");
    root.addChild(&active);
    root.addChild(&idle);
    std::vector<EffectInstance*> scratch;
    uint32_t next = 0;
    for (size_t frame = 0; frame < track.size(); ++frame) dispatchDueSyncEvent(track, next, root, INFINITY, scratch);
    return 0;
}
