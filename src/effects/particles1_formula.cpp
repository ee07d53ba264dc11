#include "effects/particles1_formula.h"

#include <cmath>

namespace {
// The motion was tuned with these single-precision values; widening them
// keeps the cloud exactly as it was designed.
const double Pi = static_cast<double>(3.14159f);
const double Wobble = static_cast<double>(37.69908f);
}  // namespace

Vec3 Particles1Formula::position(float i, float n, float c) const {
    const double a = 0.1 * c;
    // Uses the count, not the index: every sprite of a frame shares E.
    const double e = 5.0 + 5.0 * std::sin(a) * std::sin(Wobble * n);
    const double g = Pi * i;
    const double b = 32.0 * g / n + 0.2 * c;
    const double f = e * (1.0 + 0.4 * std::sin(b));
    return {static_cast<float>(f * std::cos(a + 4.0 * g / n)), static_cast<float>(f * std::sin(a + 8.0 * g / n)),
            static_cast<float>(e * std::sin(a + 6.0 * g / n) * (3.0 + 1.5 * std::cos(b)))};
}

float Particles1Formula::size(float) const { return 0.7f; }

Vec3 Particles1Formula::eye(float t) const {
    const double a = t >= 20.0f ? t - 20.0 : 0.0;
    return {static_cast<float>(a), 0.0f, static_cast<float>(20.0 - 5.0 * a)};
}

float Particles1Formula::brightness(float t) const { return t < 4.0f ? static_cast<float>(0.25 * t) : 1.0f; }
