#include "platform/gles2_texture_upload.h"

#include <GLES2/gl2.h>

#include <algorithm>

namespace gles2 {

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

int nearestPowerOfTwo(int value) {
    int power = 1;
    while (power * 2 <= value) power *= 2;
    return value - power > power * 2 - value ? power * 2 : power;
}

std::vector<uint8_t> resample(const uint8_t* pixels, int w, int h, int nw, int nh) {
    std::vector<uint8_t> out(static_cast<size_t>(nw) * nh * 4);
    for (int y = 0; y < nh; ++y) {
        const int y0 = y * h / nh, y1 = std::max(y0 + 1, (y + 1) * h / nh);
        for (int x = 0; x < nw; ++x) {
            const int x0 = x * w / nw, x1 = std::max(x0 + 1, (x + 1) * w / nw);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 4; ++c) sum[c] += pixels[(static_cast<size_t>(sy) * w + sx) * 4 + c];
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 4; ++c)
                out[(static_cast<size_t>(y) * nw + x) * 4 + c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
    }
    return out;
}

void uploadLevels(const uint8_t* pixels, int w, int h, bool mipmaps) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (!mipmaps) return;
    std::vector<uint8_t> level(pixels, pixels + static_cast<size_t>(w) * h * 4), next;
    for (int lod = 1; w > 1 || h > 1; ++lod) {
        const int nw = std::max(1, w / 2), nh = std::max(1, h / 2);
        next.assign(static_cast<size_t>(nw) * nh * 4, 0);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x)
                for (int c = 0; c < 4; ++c) {
                    const int x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
                    const int y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
                    auto at = [&](int px, int py) { return level[(static_cast<size_t>(py) * w + px) * 4 + c]; };
                    next[(static_cast<size_t>(y) * nw + x) * 4 + c] =
                        static_cast<uint8_t>((at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1) + 2) / 4);
                }
        level.swap(next);
        w = nw;
        h = nh;
        glTexImage2D(GL_TEXTURE_2D, lod, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    }
}

bool setFilters(TextureFilter filterMode) {
    GLint magnification = GL_LINEAR, minification = GL_LINEAR_MIPMAP_LINEAR;
    if (filterMode == TextureFilterNearest) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST;
    } else if (filterMode == TextureFilterLinear) {
        minification = GL_LINEAR;
    } else if (filterMode == TextureFilterNearestMipmapped) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST_MIPMAP_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
    return minification != GL_LINEAR && minification != GL_NEAREST;
}

}  // namespace gles2
