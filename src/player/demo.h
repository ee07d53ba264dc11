#pragma once
// The demo as the frame loop drives it: owns the sync track and the effect
// tree, loads music and script, and ends the run at its end time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/demo_limits.h"
#include "player/demo_interface.h"
#include "player/loaded_demo.h"
#include "player/sync_track.h"

class EffectDrawObserver;
class EffectInstance;
class RenderState;
class Music;

// Unless the sync file says otherwise (see DemoTimes), music starts fading
// on the first frame after this time...
constexpr float demoFadeOutTime = DemoTimes{}.fadeOut;
// ...and the run ends on the first later frame after this one.
constexpr float demoEndTime = DemoTimes{}.end;

// The start of every frame, played or live: black colour and a clear depth
// buffer, before any effect draws.
void clearFrameToBlack(RenderState& renderState);

class Demo : public DemoInterface {
public:
    // Reads the sync file now. music is the player's, which the demo loads,
    // starts and fades. Everything is drawn through renderState; observer
    // (null for none) watches every effect draw of the frames.
    Demo(std::string syncFileName, Music& music, RenderState& renderState, EffectDrawObserver* observer = nullptr);
    ~Demo() override;

    // Registers the effect types, loads the music and the script, then
    // starts the music as the very last step.
    void init() override;
    // Clears, fades or ends the run, delivers at most one due sync event
    // and draws the effect tree. The frame that ends the run draws nothing
    // after the clears.
    void drawFrame(float t) override;
    void catchUpTo(double t, int stepsPerSecond) override;
    bool hasEnded() const override { return ended; }

    // Moves the demo to t, either way, as a run from 0 on the play grid has
    // it there: the effects with their sync events, the fade and the end
    // (a demo that had ended plays again). The music stays where it is
    // until placeMusic, so that a silent held frame moves without decoding.
    void seek(float t);
    // Moves the music to t, with the fade where it stands by then.
    void placeMusic(float t);
    // Draws the frame at t again as the last frame left the effects: no
    // sync event is delivered and the music is left alone. For a held frame
    // whose canvas was cleared by a new size.
    void redrawFrame(float t);

    EffectInstance* getRoot() const { return loaded.root; }
    const SyncTrack& getSyncTrack() const { return loaded.syncTrack; }
    uint32_t getNextSyncEvent() const { return loaded.nextSyncEvent; }
    const DemoTimes& getTimes() const { return loaded.times; }
    bool isMusicFading() const { return musicFading; }

private:
    Music& music;
    RenderState& renderState;
    EffectDrawObserver* observer;
    // The player's own.
    DemoLimits limits;
    LoadedDemo loaded;
    bool musicFading = false;
    bool ended = false;
};
