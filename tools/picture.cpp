#include "picture.h"

#include <algorithm>
#include <cmath>

uint8_t toByte(float value) { return uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

Rgba mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void addOnto(Rgba& dst, const Rgba& src, float weight) {
    float w = src.a * weight;
    dst.r += src.r * w;
    dst.g += src.g * w;
    dst.b += src.b * w;
}

namespace {

int wrapOrClamp(int i, int n, bool tileable) {
    if (tileable) return ((i % n) + n) % n;
    return std::clamp(i, 0, n - 1);
}

// One pass along x (horizontal) or y.
Picture blurPass(const Picture& in, int radius, bool tileable, bool horizontal) {
    Picture out(in.width, in.height);
    float norm = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int k = -radius; k <= radius; ++k) {
                const Rgba& p = horizontal ? in.at(wrapOrClamp(x + k, in.width, tileable), y)
                                           : in.at(x, wrapOrClamp(y + k, in.height, tileable));
                sum.r += p.r;
                sum.g += p.g;
                sum.b += p.b;
                sum.a += p.a;
            }
            out.at(x, y) = {sum.r * norm, sum.g * norm, sum.b * norm, sum.a * norm};
        }
    }
    return out;
}

}  // namespace

Picture blurred(const Picture& picture, int radius, bool tileable) {
    if (radius <= 0) return picture;
    return blurPass(blurPass(picture, radius, tileable, true), radius, tileable, false);
}
