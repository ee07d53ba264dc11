// tool_music: synthesises the demo tune, one seamless loop, as a 44.1 kHz
// stereo WAV file. Usage: tool_music OUTPUT.wav
//
// A minor, i-VI-III-VII (Am F C G), one chord per bar. Form of the loop:
//   bars  0-7   intro: pads and plucked arpeggios, hats from bar 4, riser
//   bars  8-23  groove: kick, snare, hats, bass, pads
//   bars 24-39  lead: the groove plus the lead tune twice
//   bars 40-47  breakdown: pads, arpeggios, lead with long echoes, riser
//   bars 48-63  finale: everything, busier hats, lead an octave up
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "synth.h"
#include "tempo.h"
#include "tga_writer.h"
#include "wav_writer.h"

namespace {

struct Chord {
    int bass;
    int pad[3];
};

const Chord progression[4] = {
    {45, {57, 60, 64}},  // Am
    {41, {57, 60, 65}},  // F
    {48, {55, 60, 64}},  // C
    {43, {55, 59, 62}},  // G
};

struct Note {
    double beat;    // from the start of the eight-bar phrase
    double length;  // beats
    int note;
};

// Eight bars of tune over two rounds of the progression.
const Note tune[] = {
    {0, 1.5, 69},    {1.5, 0.5, 72}, {2, 1, 76},      {3, 1, 74},     {4, 1, 72},  {5, 1, 69},
    {6, 0.5, 72},    {6.5, 1.5, 74}, {8, 1.5, 76},    {9.5, 0.5, 79}, {10, 1, 76}, {11, 1, 72},
    {12, 2, 74},     {14, 1, 71},    {15, 1, 67},     {16, 1, 69},    {17, 1, 76}, {18, 1.5, 81},
    {19.5, 0.5, 79}, {20, 1.5, 77},  {21.5, 0.5, 76}, {22, 2, 72},    {24, 1, 76}, {25, 0.5, 74},
    {25.5, 0.5, 72}, {26, 1, 67},    {27, 1, 72},     {28, 1, 71},    {29, 1, 74}, {30, 2, 76},
};

double beatSeconds(int bar, double beat) { return tempo::barTime(bar) + beat * tempo::secondsPerBeat; }

const Chord& chordOfBar(int bar) { return progression[bar % 4]; }

struct Mix {
    Track drums{tempo::loopSeconds};
    Track bass{tempo::loopSeconds};
    Track pads{tempo::loopSeconds};
    Track lead{tempo::loopSeconds};
    Track plucks{tempo::loopSeconds};
    Track fx{tempo::loopSeconds};
};

void drumBar(Mix& mix, int bar, bool busyHats) {
    for (int beat = 0; beat < 4; ++beat) {
        addKick(mix.drums, beatSeconds(bar, beat), 0.9f);
        if (beat % 2 == 1) addSnare(mix.drums, beatSeconds(bar, beat), 0.55f);
        addHat(mix.drums, beatSeconds(bar, beat + 0.5), 0.35f, beat == 3);
        if (busyHats) {
            addHat(mix.drums, beatSeconds(bar, beat + 0.25), 0.18f, false);
            addHat(mix.drums, beatSeconds(bar, beat + 0.75), 0.22f, false);
        }
    }
}

void bassBar(Mix& mix, int bar) {
    const int root = chordOfBar(bar).bass;
    const int pattern[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    for (int eighth = 0; eighth < 8; ++eighth)
        addBass(mix.bass, beatSeconds(bar, eighth * 0.5), tempo::secondsPerBeat * 0.4, root + pattern[eighth], 0.5f);
}

void padBar(Mix& mix, int bar, float brightness) {
    for (int note : chordOfBar(bar).pad)
        addPad(mix.pads, beatSeconds(bar, 0), tempo::secondsPerBar * 0.95, note, 0.16f, brightness);
}

void arpeggioBar(Mix& mix, int bar) {
    const Chord& chord = chordOfBar(bar);
    const int order[8] = {0, 1, 2, 1, 0, 2, 1, 2};
    for (int eighth = 0; eighth < 8; ++eighth)
        addPluck(mix.plucks, beatSeconds(bar, eighth * 0.5), chord.pad[order[eighth]] + 12, 0.22f);
}

void tunePhrase(Mix& mix, int firstBar, int transpose, float gain) {
    for (const Note& n : tune)
        addLead(mix.lead, beatSeconds(firstBar, n.beat), n.length * tempo::secondsPerBeat * 0.9, n.note + transpose,
                gain);
}

void arrange(Mix& mix) {
    for (int bar = 0; bar < 8; ++bar) {  // intro
        padBar(mix, bar, 0.3f + 0.08f * bar);
        arpeggioBar(mix, bar);
        if (bar >= 4)
            for (int beat = 0; beat < 4; ++beat) addHat(mix.drums, beatSeconds(bar, beat + 0.5), 0.25f, false);
    }
    addRiser(mix.fx, beatSeconds(6, 0), tempo::secondsPerBar * 2, 0.35f);

    for (int bar = 8; bar < 40; ++bar) {  // groove, then lead
        drumBar(mix, bar, false);
        bassBar(mix, bar);
        padBar(mix, bar, 0.8f);
    }
    tunePhrase(mix, 24, 0, 0.22f);
    tunePhrase(mix, 32, 0, 0.22f);

    for (int bar = 40; bar < 48; ++bar) {  // breakdown
        padBar(mix, bar, 0.5f);
        arpeggioBar(mix, bar);
    }
    tunePhrase(mix, 40, 0, 0.16f);
    for (int sixteenth = 0; sixteenth < 16; ++sixteenth)  // snare roll into the finale
        addSnare(mix.drums, beatSeconds(47, sixteenth * 0.25), 0.15f + 0.025f * sixteenth);
    addRiser(mix.fx, beatSeconds(44, 0), tempo::secondsPerBar * 4, 0.4f);

    for (int bar = 48; bar < 64; ++bar) {  // finale
        drumBar(mix, bar, true);
        bassBar(mix, bar);
        padBar(mix, bar, 1.0f);
        if (bar % 2 == 0) arpeggioBar(mix, bar);
    }
    tunePhrase(mix, 48, 0, 0.2f);
    tunePhrase(mix, 56, 12, 0.16f);

    for (int bar : {8, 24, 48, 56}) addCrash(mix.drums, beatSeconds(bar, 0), 0.45f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    Mix mix;
    arrange(mix);
    applyEcho(mix.lead, tempo::secondsPerBeat * 0.75, 0.35f, 0.5f);
    applyEcho(mix.plucks, tempo::secondsPerBeat * 0.5, 0.3f, 0.4f);

    const size_t n = mix.drums.samples.size();
    std::vector<float> left(n), right(n);
    // Pan positions: drums and bass centred, pads wide, lead a little left,
    // plucks a little right; the echoes swap sides for width.
    for (size_t i = 0; i < n; ++i) {
        float centre = mix.drums.samples[i] + mix.bass.samples[i] + mix.fx.samples[i];
        float padL = mix.pads.samples[i], padR = mix.pads.samples[(i + 661) % n];  // 15 ms apart
        left[i] = centre + padL + mix.lead.samples[i] * 0.6f + mix.plucks.samples[i] * 0.4f;
        right[i] = centre + padR + mix.lead.samples[i] * 0.4f + mix.plucks.samples[i] * 0.6f;
    }
    float peak = 0;
    for (size_t i = 0; i < n; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    // Normalise, then a gentle tanh saturation lifts the quiet body of the mix
    // past the few drum peaks; the result peaks near -1 dB, headroom for lame.
    const float drive = 1.8f;
    const float scale = peak > 0 ? 1.0f / peak : 1.0f;
    const float ceiling = 0.89f / std::tanh(drive);
    for (size_t i = 0; i < n; ++i) {
        left[i] = std::tanh(left[i] * scale * drive) * ceiling;
        right[i] = std::tanh(right[i] * scale * drive) * ceiling;
    }
    return writeBytes(argv[1], encodeWav(left, right, sampleRate)) ? 0 : 1;
}
