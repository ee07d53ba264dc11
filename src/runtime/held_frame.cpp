#include "runtime/held_frame.h"

#include "runtime/demo.h"

int drawHeldFrame(Demo& demo, float t) {
    const SyncTrack& track = demo.getSyncTrack();
    int frames = 0;
    for (;;) {
        const uint32_t before = demo.getNextSyncEvent();
        demo.drawFrame(t);
        ++frames;
        const uint32_t next = demo.getNextSyncEvent();
        // A frame that delivered nothing (past the end of the run, or no
        // script) would deliver nothing the next time either.
        if (next == before || next >= track.size() || !(track[next].time <= t)) return frames;
    }
}
