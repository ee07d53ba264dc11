#pragma once
// The demo's one piece of music, played as a looping stream. Whoever plays
// the demo owns it and frees the audio library when the run ends, however
// it ends; so does its destructor, once it has loaded anything (so a Music
// must not outlive the audio library's state: never a static). The audio
// library behind it is the process's one output: one Music plays at a time.
#include <cstdint>
#include <string>

class Music {
public:
    Music() = default;
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // Prepares the output and creates the stream; does not start it.
    void load(std::string fileName);
    // Starts the output and plays the stream from its start (or from the
    // start time, see below), looping.
    void play();
    // Slides the volume to silence over the given seconds.
    void fadeOut(double seconds = 15.0);
    // Frees the device and the stream; harmless when repeated.
    void release();

    // Where play starts, in seconds of the music, taken modulo its length;
    // 0 (the default) plays from the start. For starting a demo mid-way.
    void setStartTime(double seconds) { startTime = seconds; }

    uint32_t getStream() const { return stream; }

    // Moves the playing music to seconds (modulo its length) at once, the
    // samples there decoded before this returns. fadedSeconds says how far
    // into the fade-out that place is: below 0 full volume, fadeSeconds or
    // more silent. For live playback, which jumps about in the demo.
    void seek(double seconds, double fadedSeconds, double fadeSeconds = 15.0);
    // Holds and resumes the output where it stands.
    void pause();
    void resume();

private:
    void moveTo(double seconds);

    double startTime = 0.0;
    uint32_t stream = 0;
    int64_t length = 0;
    bool loaded = false;
};
