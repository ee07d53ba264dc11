#pragma once
// A picture being painted: float RGBA pixels, top row first.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Picture(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgba& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// 8-bit channel value of a float in 0..1, clamped and rounded.
uint8_t toByte(float value);

// Linear interpolation between two colours; t in 0..1.
Rgba mix(const Rgba& a, const Rgba& b, float t);

// Adds src (weighted by its alpha) onto dst's colour; dst's alpha is kept.
void addOnto(Rgba& dst, const Rgba& src, float weight);

// Box blur of every channel, radius in pixels, wrapping at the edges when
// tileable, clamping otherwise.
Picture blurred(const Picture& picture, int radius, bool tileable);
