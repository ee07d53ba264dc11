#pragma once
// The demo's one piece of music, played as a looping stream. The state is
// process-wide; the entry point frees the audio library when the run ends,
// however it ends.
#include <cstdint>
#include <string>

class Music {
public:
    Music() = delete;

    // Prepares the output and creates the stream; does not start it.
    static void load(std::string fileName);
    // Starts the output and plays the stream from its start (or from the
    // start time, see below), looping.
    static void play();
    // Slides the volume to silence over the given seconds.
    static void fadeOut(double seconds = 15.0);
    // Frees the device and the stream; harmless when repeated.
    static void release();

    // Where play starts, in seconds of the music, taken modulo its length;
    // 0 (the default) plays from the start. For starting a demo mid-way.
    static void setStartTime(double seconds) { startTime = seconds; }

    static uint32_t getStream() { return stream; }

    // Moves the playing music to seconds (modulo its length) at once, the
    // samples there decoded before this returns. fadedSeconds says how far
    // into the fade-out that place is: below 0 full volume, fadeSeconds or
    // more silent. For live playback, which jumps about in the demo.
    static void seek(double seconds, double fadedSeconds, double fadeSeconds = 15.0);
    // Holds and resumes the output where it stands.
    static void pause();
    static void resume();

private:
    static void moveTo(double seconds);

    static double startTime;
    static uint32_t stream;
    static int64_t length;
};
