#include "synth.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double dt = 1.0 / sampleRate;

long sampleIndex(double seconds) { return long(std::lround(seconds * sampleRate)); }

// Small, fast, deterministic noise source.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 2147483648.0f - 1.0f;
    }
};

// Band-limited sawtooth via polyBLEP: fewer aliasing whistles on high notes.
struct Saw {
    double phase = 0;
    double polyBlep(double t, double step) {
        if (t < step) {
            t /= step;
            return t + t - t * t - 1;
        }
        if (t > 1 - step) {
            t = (t - 1) / step;
            return t * t + t + t + 1;
        }
        return 0;
    }
    float next(double frequency) {
        double step = frequency * dt;
        double value = 2 * phase - 1 - polyBlep(phase, step);
        phase += step;
        if (phase >= 1) phase -= 1;
        return float(value);
    }
};

// Chamberlin state-variable low-pass filter.
struct LowPass {
    float low = 0, band = 0;
    float next(float in, double cutoff, float resonance) {
        double limited = cutoff < 8000 ? cutoff : 8000;
        float f = float(2 * std::sin(pi * limited * dt));
        float q = 1.0f / resonance;
        low += f * band;
        float high = in - low - q * band;
        band += f * high;
        return low;
    }
};

// Attack-hold-release envelope level at time t after the note start.
float envelope(double t, double attack, double hold, double release) {
    if (t < 0) return 0;
    if (t < attack) return float(t / attack);
    if (t < attack + hold) return 1;
    double r = t - attack - hold;
    return r < release ? float(1 - r / release) : 0;
}

}  // namespace

double noteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

void addKick(Track& track, double start, float gain) {
    long first = sampleIndex(start);
    double phase = 0;
    for (long i = 0; i < sampleIndex(0.45); ++i) {
        double t = i * dt;
        double frequency = 48 + 110 * std::exp(-t * 28);
        phase += 2 * pi * frequency * dt;
        double body = std::sin(phase) * std::exp(-t * 7);
        double click = std::exp(-t * 400) * 0.4;
        track.add(first + i, float((body + click) * gain));
    }
}

void addSnare(Track& track, double start, float gain) {
    long first = sampleIndex(start);
    Noise noise(uint32_t(first) * 2654435761u);
    float previous = 0;
    for (long i = 0; i < sampleIndex(0.3); ++i) {
        double t = i * dt;
        float n = noise.next();
        float bright = n - previous;  // first difference: a crude high-pass
        previous = n;
        double rattle = bright * std::exp(-t * 16) * 0.6 + n * std::exp(-t * 30) * 0.3;
        double tone = std::sin(2 * pi * 185 * t) * std::exp(-t * 30) * 0.5;
        track.add(first + i, float((rattle + tone) * gain));
    }
}

void addHat(Track& track, double start, float gain, bool open) {
    long first = sampleIndex(start);
    Noise noise(uint32_t(first) * 747796405u + 1);
    float a = 0, b = 0;
    double decay = open ? 9 : 55;
    for (long i = 0; i < sampleIndex(open ? 0.4 : 0.08); ++i) {
        double t = i * dt;
        float n = noise.next();
        float high = n - a;  // two first differences: only the fizz remains
        a = n;
        float higher = high - b;
        b = high;
        track.add(first + i, float(higher * std::exp(-t * decay) * gain * 0.5));
    }
}

void addCrash(Track& track, double start, float gain) {
    long first = sampleIndex(start);
    Noise noise(uint32_t(first) + 99);
    float previous = 0;
    for (long i = 0; i < sampleIndex(2.5); ++i) {
        double t = i * dt;
        float n = noise.next();
        float high = n - previous;
        previous = n;
        track.add(first + i, float(high * std::exp(-t * 1.8) * gain * 0.5));
    }
}

void addRiser(Track& track, double start, double length, float gain) {
    long first = sampleIndex(start);
    Noise noise(uint32_t(first) + 7);
    LowPass filter;
    for (long i = 0; i < sampleIndex(length); ++i) {
        double progress = i * dt / length;
        float value = filter.next(noise.next(), 200 + 6000 * progress * progress, 3.0f);
        track.add(first + i, float(value * progress * progress * gain));
    }
}

void addBass(Track& track, double start, double length, int note, float gain) {
    long first = sampleIndex(start);
    double frequency = noteFrequency(note);
    Saw a, b;
    b.phase = 0.37;
    LowPass filter;
    const double release = 0.05;
    for (long i = 0; i < sampleIndex(length + release); ++i) {
        double t = i * dt;
        float level = envelope(t, 0.004, length, release);
        float raw = a.next(frequency) * 0.6f + b.next(frequency * 1.004) * 0.4f;
        double cutoff = 180 + 1400 * std::exp(-t * 14);
        float sub = float(std::sin(2 * pi * frequency * t)) * 0.5f;
        track.add(first + i, (filter.next(raw, cutoff, 2.2f) + sub) * level * gain);
    }
}

void addPad(Track& track, double start, double length, int note, float gain, float brightness) {
    long first = sampleIndex(start);
    double frequency = noteFrequency(note);
    Saw voices[3];
    const double detune[3] = {0.996, 1.0, 1.005};
    for (int v = 0; v < 3; ++v) voices[v].phase = 0.31 * v;
    LowPass filter;
    const double attack = 0.35, release = 0.9;
    for (long i = 0; i < sampleIndex(length + release); ++i) {
        double t = i * dt;
        float level = envelope(t, attack, length - attack, release);
        float raw = 0;
        for (int v = 0; v < 3; ++v) raw += voices[v].next(frequency * detune[v]);
        double cutoff = 300 + 2200 * brightness * (0.8 + 0.2 * std::sin(t * 3));
        track.add(first + i, filter.next(raw / 3, cutoff, 1.2f) * level * gain);
    }
}

void addLead(Track& track, double start, double length, int note, float gain) {
    long first = sampleIndex(start);
    double frequency = noteFrequency(note);
    double phase = 0;
    LowPass filter;
    const double release = 0.12;
    for (long i = 0; i < sampleIndex(length + release); ++i) {
        double t = i * dt;
        float level = envelope(t, 0.01, length, release);
        double vibrato = 1 + 0.004 * std::sin(2 * pi * 5.5 * t) * std::fmin(1.0, t * 3);
        phase += frequency * vibrato * dt;
        phase -= std::floor(phase);
        float pulse = phase < 0.3 ? 1.0f : -1.0f;
        float tone = float(std::sin(2 * pi * phase)) * 0.5f;
        double cutoff = 900 + 2500 * std::exp(-t * 5);
        track.add(first + i, (filter.next(pulse * 0.6f, cutoff, 1.5f) + tone) * level * gain);
    }
}

void addPluck(Track& track, double start, int note, float gain) {
    long first = sampleIndex(start);
    double frequency = noteFrequency(note);
    Saw saw;
    LowPass filter;
    for (long i = 0; i < sampleIndex(0.6); ++i) {
        double t = i * dt;
        double cutoff = 400 + 3500 * std::exp(-t * 18);
        float value = filter.next(saw.next(frequency), cutoff, 1.8f);
        track.add(first + i, float(value * std::exp(-t * 6) * gain));
    }
}

void applyEcho(Track& track, double delaySeconds, float feedback, float mix) {
    const long n = long(track.samples.size());
    const long delay = sampleIndex(delaySeconds);
    std::vector<float> wet(track.samples.size(), 0.0f);
    // Two passes around the loop let the echoes of the last notes wrap round.
    for (int pass = 0; pass < 2; ++pass) {
        for (long i = 0; i < n; ++i) {
            long from = ((i - delay) % n + n) % n;
            wet[size_t(i)] = (track.samples[size_t(from)] + wet[size_t(from)]) * feedback;
        }
    }
    for (long i = 0; i < n; ++i) track.samples[size_t(i)] += wet[size_t(i)] * mix;
}
