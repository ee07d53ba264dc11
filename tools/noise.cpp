#include "noise.h"

#include <cmath>
#include <cstdint>

float hash01(int x, int y, unsigned seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xffffff) / float(0xffffff);
}

float valueNoise(float x, float y, int period, unsigned seed) {
    int x0 = int(std::floor(x));
    int y0 = int(std::floor(y));
    float fx = x - float(x0);
    float fy = y - float(y0);
    auto cell = [&](int cx, int cy) {
        return hash01(((cx % period) + period) % period, ((cy % period) + period) % period, seed);
    };
    float sx = fx * fx * (3 - 2 * fx);
    float sy = fy * fy * (3 - 2 * fy);
    float top = cell(x0, y0) + (cell(x0 + 1, y0) - cell(x0, y0)) * sx;
    float bottom = cell(x0, y0 + 1) + (cell(x0 + 1, y0 + 1) - cell(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

float fractalNoise(float u, float v, int basePeriod, int octaves, float gain, unsigned seed) {
    float sum = 0, amplitude = 1, total = 0;
    int period = basePeriod;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(u * float(period), v * float(period), period, seed + unsigned(o));
        total += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / total;
}
