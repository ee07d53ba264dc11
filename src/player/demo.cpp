#include "player/demo.h"

#include <cstdio>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/render_state.h"
#include "platform/report.h"
#include "player/demo_seek.h"
#include "player/music.h"
#include "player/warm_up.h"

Demo::Demo(std::string syncFileName, Music& music, RenderState& renderState, EffectDrawObserver* observer)
    : music(music), renderState(renderState), observer(observer) {
    QUARN_REPORT(Output, "loading sync\n");
    DemoFiles files;
    loadSync(loaded, files, nullptr, syncFileName);
}

Demo::~Demo() = default;

void Demo::init() {
    QUARN_REPORT(Output, "loading music\n");
    music.load(demoMusicFile);
    QUARN_REPORT(Output, "loading demo script\n");
    DemoFiles files;
    loadScript(loaded, files, &renderState, ScriptReaderSetup{.limits = limits});
    // The entry point reports it and ends the run.
    if (loaded.missingPicture) throw *loaded.missingPicture;
    // Before the music and the clock start, so that it costs no frame.
    if (loaded.root) drawEachLineUpOnce(*loaded.root, renderState, 0.0f, loaded.times.end);
    music.play();
    musicFading = false;
}

void Demo::catchUpTo(double t, int stepsPerSecond) { loaded.catchUpTo(t, stepsPerSecond); }

void clearFrameToBlack(RenderState& renderState) {
    renderState.setClearColor(Color(0, 0, 0));
    renderState.clearColorBuffer();
    renderState.clearDepthBuffer();
}

void Demo::drawFrame(float t) {
    clearFrameToBlack(renderState);

    if (!musicFading && t > loaded.times.fadeOut) {
        music.fadeOut(loaded.times.fadeSeconds);
        musicFading = true;
    } else if (musicFading && t > loaded.times.end) {
        ended = true;
        return;
    }

    // Without a script there is nothing to draw and nobody to deliver to.
    loaded.drawTree(t, renderState, observer);
}

void Demo::seek(float t) {
    seekEffects(loaded, t);
    ended = false;
    // The fade starts on the first frame after its time, as in a run from 0;
    // placeMusic fades the music where a seek lands inside the fade.
    musicFading = t > loaded.times.fadeOut;
}

void Demo::placeMusic(float t) { musicFading = seekMusic(music, loaded.times, t); }

void Demo::redrawFrame(float t) {
    clearFrameToBlack(renderState);
    if (loaded.root) loaded.root->render(t, renderState, observer);
}
