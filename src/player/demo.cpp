#include "player/demo.h"

#include <cstdio>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/render_state.h"
#include "platform/report.h"
#include "player/effect_types.h"
#include "player/music.h"
#include "player/sync_catch_up.h"
#include "player/sync_dispatch.h"
#include "player/warm_up.h"

namespace {
constexpr std::size_t maxScriptInstances = 512;
}

Demo::Demo(std::string syncFileName) {
    QUARN_REPORT(Output, "loading sync\n");
    readSyncTrack(syncFileName, syncTrack);
    times = demoTimesOf(syncTrack);
}

Demo::~Demo() = default;

void Demo::init() {
    scriptReader = std::make_unique<ScriptReader>();
    registerEffectTypes(*scriptReader);
    QUARN_REPORT(Output, "loading music\n");
    Music::load("demomusik.mp3");
    QUARN_REPORT(Output, "loading demo script\n");
    root = scriptReader->load("iDemo.dat");
    // Before the music and the clock start, so that it costs no frame.
    if (root) drawEachLineUpOnce(*root, 0.0f, times.end);
    nextSyncEvent = 0;
    // Room for every instance a script may create, so that delivering the
    // first sync event does not grow the list inside a frame.
    activeInstances.reserve(maxScriptInstances);
    Music::play();
    musicFading = false;
}

void Demo::catchUpTo(double t, int stepsPerSecond) {
    if (root == nullptr) return;
    catchUpSyncEvents(syncTrack, nextSyncEvent, *root, stepsPerSecond, firstStepFrom(t, stepsPerSecond),
                      activeInstances);
}

void clearFrameToBlack() {
    if (RenderState* renderState = getRenderState()) {
        renderState->setClearColor(Color(0, 0, 0));
        renderState->clearColorBuffer();
        renderState->clearDepthBuffer();
    }
}

void Demo::drawFrame(float t) {
    clearFrameToBlack();

    if (!musicFading && t > times.fadeOut) {
        Music::fadeOut(times.fadeSeconds);
        musicFading = true;
    } else if (musicFading && t > times.end) {
        ended = true;
        return;
    }

    // Without a script there is nothing to draw and nobody to deliver to.
    if (root == nullptr) return;
    dispatchDueSyncEvent(syncTrack, nextSyncEvent, *root, t, activeInstances);
    root->render(t);
}
