#pragma once
// Instruments of the music synthesiser. Each one adds a note into a mono
// track; tracks are circular so that tails past the end of the loop come
// back at its start and the loop joins without a click.
#include <cstddef>
#include <vector>

constexpr int sampleRate = 44100;

struct Track {
    std::vector<float> samples;
    explicit Track(double seconds) : samples(size_t(seconds * sampleRate), 0.0f) {}
    void add(long index, float value) {
        long n = long(samples.size());
        samples[size_t(((index % n) + n) % n)] += value;
    }
};

double noteFrequency(int midiNote);

// Drums.
void addKick(Track& track, double start, float gain);
void addSnare(Track& track, double start, float gain);
void addHat(Track& track, double start, float gain, bool open);
void addCrash(Track& track, double start, float gain);
// Filtered noise sweeping up over `length` seconds, ending at start + length.
void addRiser(Track& track, double start, double length, float gain);

// Pitched voices; length in seconds is the held part before the release.
void addBass(Track& track, double start, double length, int note, float gain);
void addPad(Track& track, double start, double length, int note, float gain, float brightness);
void addLead(Track& track, double start, double length, int note, float gain);
void addPluck(Track& track, double start, int note, float gain);

// Feedback delay applied in place, wrapping around the loop.
void applyEcho(Track& track, double delaySeconds, float feedback, float mix);
