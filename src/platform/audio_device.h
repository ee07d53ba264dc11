#pragma once
// The audio library the music player talks to: one output device, streams
// decoded from MP3 files, looping playback and volume slides. Handles are
// non-zero; 0 means "no stream". All calls come from the main thread.
#include <cstddef>
#include <cstdint>
#include <string>

// Answered by audioGetVersion: version 1.8 in the high and low words.
constexpr uint32_t audioLibraryVersion = 0x80001;
// audioStreamPlay flag: start over at the end.
constexpr uint32_t audioLoopFlag = 4;
// audioChannelSlideAttributes: volume -1 keeps it, -2 fades to silence
// and stops; frequency -1 and pan -101 keep those unchanged.
constexpr int audioKeepVolume = -1;
constexpr int audioFadeOutVolume = -2;

uint32_t audioGetVersion();
// Opens the output (device -1: the default; n >= 1: the n-th device) at
// the given rate, paused. False when no device could be opened; streams
// can still be created and "played", silently.
bool audioInit(int device, int frequency);
// Scans the file for its decoded length; playback decodes it as it goes.
// 0 when it is missing or holds no MPEG audio.
uint32_t audioStreamCreateFile(const std::string& path);
// Length of the decoded stream in bytes, or -1 for an unknown handle.
int64_t audioStreamGetLength(uint32_t stream);
// Starts (resumes) the output. False without a device.
bool audioStart();
// Plays the stream from where it stands (from its start when flush is
// true or the stream has never played). False for an unknown handle.
bool audioStreamPlay(uint32_t stream, bool flush, uint32_t flags);
// Slides the volume (0 to 100, or the codes above) linearly over the
// given time. Frequency and pan are not supported and stay as they are.
bool audioChannelSlideAttributes(uint32_t channel, int frequency, int volume, int pan, uint32_t milliseconds);
// Closes the device and frees every stream; harmless when repeated.
void audioFree();

// Moves the stream to a byte offset (whole stereo frames; an offset at or
// past the end is taken modulo the length). False for an unknown handle.
// Samples not yet decoded there are decoded before this returns, so the
// first ones heard afterwards are those of the new place.
bool audioChannelSetPosition(uint32_t stream, uint64_t byteOffset);
// Bytes of the stream decoded so far (its length once decoded whole), or -1
// for an unknown handle.
int64_t audioStreamGetDecodedLength(uint32_t stream);
// Stops the output where it stands; audioStart resumes it. False without a
// device (true with the offline output, where nothing plays by itself).
bool audioPause();

// Offline output, for writing the sound to a file in step with captured
// frames: from now on audioInit opens no device but succeeds, and nothing
// plays by itself; audioRenderOffline mixes the playing streams exactly as
// the device would. Stays in force until audioFree.
void audioUseOfflineOutput();
// Writes the next frames stereo frames of the mix into out (zeros when
// nothing plays). Does nothing unless the offline output is in use.
void audioRenderOffline(int16_t* out, std::size_t frames);
