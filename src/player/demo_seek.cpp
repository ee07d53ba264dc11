#include "player/demo_seek.h"

#include "player/loaded_demo.h"
#include "player/music.h"

void seekEffects(LoadedDemo& demo, double t, int stepsPerSecond) {
    if (demo.root == nullptr) return;
    clearSyncStateOfTree(*demo.root);
    demo.catchUpTo(t, stepsPerSecond);
}

bool seekMusic(Music& music, const DemoTimes& times, float t) {
    const bool fading = t > times.fadeOut;
    music.seek(t, fading ? t - times.fadeOut : -1.0, times.fadeSeconds);
    return fading;
}
