#pragma once
// The tune's tempo and form, shared by the music synthesiser and the sync
// file writer so that sync events land on the beats the listener hears.

namespace tempo {

constexpr double beatsPerMinute = 120.0;
constexpr double secondsPerBeat = 60.0 / beatsPerMinute;
constexpr int beatsPerBar = 4;
constexpr double secondsPerBar = secondsPerBeat * beatsPerBar;
// The tune is one loop of this many bars; the player loops the file, so the
// beat grid continues unbroken across the loop.
constexpr int barsPerLoop = 64;
constexpr double loopSeconds = secondsPerBar * barsPerLoop;

constexpr double beatTime(int beat) { return beat * secondsPerBeat; }
constexpr double barTime(int bar) { return bar * secondsPerBar; }

}  // namespace tempo
