// tool_pictures: paints every picture of the bundled demo into a folder.
// Usage: tool_pictures OUTPUT_DIR
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_font.h"
#include "jpeg_writer.h"
#include "noise.h"
#include "picture.h"
#include "tga_writer.h"

namespace {

constexpr float pi = 3.14159265f;

float smoothstep(float edge0, float edge1, float x) {
    float t = std::fmin(1.0f, std::fmax(0.0f, (x - edge0) / (edge1 - edge0)));
    return t * t * (3 - 2 * t);
}

// Texture coordinates of a pixel centre, 0..1.
float unit(int i, int n) { return (float(i) + 0.5f) / float(n); }

// Tunnel walls: metal panels with glowing seams; tileable.
Picture tunnelWalls() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float u = unit(x, p.width), v = unit(y, p.height);
            float n = fractalNoise(u, v, 8, 4, 0.5f, 11);
            int panelX = x / 64, panelY = y / 32;
            float shade = 0.25f + 0.25f * hash01(panelX, panelY, 3) + 0.3f * n;
            int dx = std::min(x % 64, 63 - x % 64), dy = std::min(y % 32, 31 - y % 32);
            float seam = std::exp(-float(std::min(dx, dy)) * 0.6f);
            float rivet = (dx == 4 || dx == 5) && (dy == 4 || dy == 5) ? 0.4f : 0.0f;
            p.at(x, y) = {shade * 0.55f + seam * 0.1f + rivet, shade * 0.6f + seam * 0.8f + rivet,
                          shade * 0.75f + seam * 1.0f + rivet, 1};
        }
    }
    return p;
}

// Dark purple and blue gas with a sprinkling of faint stars; tileable.
Picture nebula() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float u = unit(x, p.width), v = unit(y, p.height);
            float a = fractalNoise(u, v, 4, 5, 0.55f, 21);
            float b = fractalNoise(u, v, 4, 5, 0.5f, 37);
            float gas = smoothstep(0.35f, 0.8f, a);
            float star = hash01(x, y, 5) > 0.996f ? 0.8f : 0.0f;
            p.at(x, y) = {0.35f * gas + 0.1f * b + star, 0.08f * gas + 0.05f * b + star,
                          0.3f * gas + 0.3f * b * b + star, 1};
        }
    }
    return p;
}

// Sphere environment map: a bright sky, a glowing horizon and dark ground as
// reflected by a mirror ball. The top row of the picture holds the
// downward-facing normals (texture row 0 is sphere-map t = 0).
Picture environment() {
    Picture p(256, 256);
    const float sun[3] = {0.5f, 0.55f, 0.67f};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float nx = unit(x, p.width) * 2 - 1, ny = unit(y, p.height) * 2 - 1;
            float rr = nx * nx + ny * ny;
            if (rr > 1) rr = 1;
            float nz = std::sqrt(1 - rr);
            float rx = 2 * nz * nx, ry = 2 * nz * ny, rz = 2 * nz * nz - 1;
            Rgba c;
            if (ry >= 0) {
                c = mix({0.95f, 0.55f, 0.3f, 1}, {0.15f, 0.25f, 0.6f, 1}, std::sqrt(ry));
            } else {
                float ground = fractalNoise(rx * 0.5f + 0.5f, rz * 0.5f + 0.5f, 4, 3, 0.5f, 9);
                c = mix({0.4f, 0.2f, 0.25f, 1}, {0.04f, 0.03f, 0.08f, 1}, std::sqrt(-ry));
                c.r *= 0.6f + 0.6f * ground;
                c.g *= 0.6f + 0.6f * ground;
            }
            float toSun = rx * sun[0] + ry * sun[1] + rz * sun[2];
            float glow = std::pow(std::fmax(0.0f, toSun), 60.0f) + 0.3f * std::pow(std::fmax(0.0f, toSun), 6.0f);
            p.at(x, y) = {c.r + glow, c.g + glow * 0.9f, c.b + glow * 0.7f, 1};
        }
    }
    return p;
}

// Dusk sky for the landscape background: deep blue above, orange at the
// horizon (bottom), a low sun and a few stars.
Picture duskSky() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float u = unit(x, p.width), v = unit(y, p.height);
            Rgba c = v < 0.6f ? mix({0.02f, 0.03f, 0.15f, 1}, {0.3f, 0.2f, 0.45f, 1}, v / 0.6f)
                              : mix({0.3f, 0.2f, 0.45f, 1}, {1.0f, 0.55f, 0.25f, 1}, (v - 0.6f) / 0.4f);
            float clouds = fractalNoise(u, v * 3, 4, 4, 0.5f, 77);
            float band = smoothstep(0.5f, 0.75f, clouds) * smoothstep(0.35f, 0.7f, v);
            c = mix(c, {0.9f, 0.45f, 0.5f, 1}, band * 0.5f);
            float dx = u - 0.7f, dy = (v - 0.86f) * 1.3f;
            float sun = std::exp(-(dx * dx + dy * dy) * 90.0f);
            float star = (v < 0.45f && hash01(x, y, 13) > 0.995f) ? 0.7f * (1 - v / 0.45f) : 0.0f;
            p.at(x, y) = {c.r + sun + star, c.g + sun * 0.8f + star, c.b + sun * 0.5f + star, 1};
        }
    }
    return p;
}

// Four-pointed sparkle on black, for additive sprites.
Picture sparkle() {
    Picture p(64, 64);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float rays = std::exp(-std::fabs(dx) * 30) + std::exp(-std::fabs(dy) * 30);
            float fade = std::fmax(0.0f, 1 - r);
            float core = std::exp(-r * r * 18);
            float i = core + rays * fade * fade * 0.8f;
            p.at(x, y) = {i * 0.8f, i * 0.9f, i, 1};
        }
    }
    return p;
}

// Soft round blob, warm white in the middle, black at the border.
Picture blob() {
    Picture p(64, 64);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float i = std::pow(std::fmax(0.0f, 1 - r), 2.2f);
            p.at(x, y) = {i, i * 0.85f, i * 0.6f, 1};
        }
    }
    return p;
}

// Glowing text on black, for additive layers.
Picture glowingText(int width, int height, const std::vector<std::string>& lines, int scale, const Rgba& top,
                    const Rgba& bottom, int glowRadius) {
    Picture letters(width, height, {0, 0, 0, 1});
    int lineHeight = (glyphHeight + 3) * scale;
    int firstTop = (height - int(lines.size()) * lineHeight + 3 * scale) / 2;
    for (size_t i = 0; i < lines.size(); ++i)
        paintCentredText(letters, lines[i], width / 2, firstTop + int(i) * lineHeight, scale, {1, 1, 1, 1});
    Picture glow = blurred(letters, glowRadius, false);
    Picture out(width, height);
    for (int y = 0; y < height; ++y) {
        Rgba tint = mix(top, bottom, unit(y, height));
        for (int x = 0; x < width; ++x) {
            float l = letters.at(x, y).r, g = glow.at(x, y).r * 1.6f;
            out.at(x, y) = {tint.r * (l + g * 0.8f), tint.g * (l * 0.9f + g * 0.5f), tint.b * (l * 0.8f + g * 0.9f), 1};
        }
    }
    return out;
}

// Black disc with soft edges whose alpha hides the tunnel's far end.
Picture hole() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float ring = std::exp(-(r - 0.3f) * (r - 0.3f) * 400.0f);
            p.at(x, y) = {ring * 0.3f, ring * 0.8f, ring, 1 - smoothstep(0.15f, 0.45f, r) + ring * 0.5f};
        }
    }
    return p;
}

// Caustic-like ripples in blue and green; tileable.
Picture water() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float u = unit(x, p.width), v = unit(y, p.height);
            float a = fractalNoise(u, v, 4, 4, 0.5f, 41);
            float b = fractalNoise(u + 0.37f, v + 0.71f, 4, 4, 0.5f, 43);
            float c = 1 - std::fabs(a - b) * 6;
            float caustic = std::pow(std::fmax(0.0f, c), 4.0f);
            p.at(x, y) = {0.02f + 0.3f * caustic, 0.15f + 0.2f * a + 0.45f * caustic, 0.3f + 0.25f * b + 0.5f * caustic,
                          1};
        }
    }
    return p;
}

// Latitude bands: varies along the rows only, so any u coordinate shows the
// same pattern (the object texture coordinates collapse u on half a body).
Picture bands() {
    Picture p(128, 128);
    for (int y = 0; y < p.height; ++y) {
        float v = unit(y, p.height);
        float n = fractalNoise(0.5f, v, 8, 4, 0.6f, 57);
        float stripe = 0.5f + 0.5f * std::sin(v * 2 * pi * 7 + n * 6);
        Rgba c = mix({0.05f, 0.02f, 0.15f, 1}, {0.35f, 0.12f, 0.3f, 1}, stripe);
        c = mix(c, {0.05f, 0.3f, 0.35f, 1}, smoothstep(0.6f, 0.9f, n));
        for (int x = 0; x < p.width; ++x) p.at(x, y) = c;
    }
    return p;
}

// Ornament: rings of flat colours (compresses well run-length)...
Picture ornament() {
    Picture p(128, 128);
    const Rgba palette[] = {{1.0f, 0.8f, 0.2f, 1}, {0.9f, 0.3f, 0.5f, 1}, {0.3f, 0.6f, 1.0f, 1}, {1.0f, 1.0f, 1.0f, 1}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            int ring = int(r * 8 + 0.5f * std::sin(a * 6));
            p.at(x, y) = palette[((ring % 4) + 4) % 4];
        }
    }
    return p;
}

// ...and its shape as a grey mask: an eight-petalled rosette.
Picture ornamentMask() {
    Picture p(128, 128);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float edge = 0.7f + 0.22f * std::cos(a * 8);
            float inside = 1 - smoothstep(edge - 0.04f, edge, r);
            float eye = smoothstep(0.12f, 0.16f, r);
            float g = inside * eye;
            p.at(x, y) = {g, g, g, 1};
        }
    }
    return p;
}

// Emblem with its own alpha: a bevelled ring around the letters Q2.
Picture logo() {
    Picture p(256, 256, {0, 0, 0, 0});
    Picture letters(256, 256, {0, 0, 0, 0});
    paintCentredText(letters, "Q2", 128, 128 - 7 * 8 / 2, 8, {1, 1, 1, 1});
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            bool inRing = r > 0.78f && r < 0.95f;
            bool inLetter = letters.at(x, y).a > 0.5f;
            if (!inRing && !inLetter) continue;
            // Quantised metal shading: flat steps keep the run-length file small.
            float shade = std::floor((0.5f - 0.5f * dy) * 6) / 6;
            Rgba c = inLetter ? mix({1.0f, 0.85f, 0.3f, 1}, {0.8f, 0.35f, 0.1f, 1}, shade)
                              : mix({0.85f, 0.9f, 1.0f, 1}, {0.25f, 0.3f, 0.5f, 1}, shade);
            p.at(x, y) = c;
        }
    }
    return p;
}

// Diagonal stripes in two flat colours; tileable when scrolled.
Picture stripes() {
    Picture p(256, 256);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            int band = ((x + y) / 32) % 2;
            int fine = ((x + y) / 8) % 4 == 0;
            p.at(x, y) =
                band ? Rgba{0.12f, 0.05f, 0.22f, 1} : (fine ? Rgba{0.3f, 0.1f, 0.4f, 1} : Rgba{0.2f, 0.07f, 0.3f, 1});
        }
    }
    return p;
}

// White radial glow for flashes.
Picture flash() {
    Picture p(64, 64);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float dx = unit(x, p.width) * 2 - 1, dy = unit(y, p.height) * 2 - 1;
            float i = 1 - 0.35f * std::sqrt(dx * dx + dy * dy);
            p.at(x, y) = {i * 0.9f, i * 0.95f, i, 1};
        }
    }
    return p;
}

struct Output {
    std::string dir;
    bool ok = true;

    void tga(const std::string& name, const Picture& p, int bits, TgaEncoding encoding, bool hasAlpha) {
        ok = writeBytes(dir + "/" + name, encodeTga(p, {bits, encoding, hasAlpha})) && ok;
    }
    void jpeg(const std::string& name, const Picture& p, int quality) {
        ok = writeBytes(dir + "/" + name, encodeJpeg(p, quality)) && ok;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    Output out{argv[1]};
    const auto raw = TgaEncoding::Uncompressed;
    const auto rle = TgaEncoding::RunLength;

    out.jpeg("tunnel.jpg", tunnelWalls(), 85);
    out.jpeg("nebula.jpg", nebula(), 85);
    out.jpeg("env.jpg", environment(), 88);
    out.jpeg("sky.jpg", duskSky(), 88);
    out.jpeg("spark.jpg", sparkle(), 90);

    out.tga("title.tga", glowingText(512, 128, {"QUARN 2"}, 10, {1.0f, 0.9f, 0.5f, 1}, {1.0f, 0.4f, 0.2f, 1}, 6), 24,
            raw, false);
    out.tga("sprite.tga", blob(), 24, raw, false);
    out.tga("bands.tga", bands(), 24, raw, false);
    out.tga("mask.tga", ornamentMask(), 24, raw, false);
    out.tga("hole.tga", hole(), 32, raw, true);
    out.tga("water.tga", water(), 32, raw, false);

    out.tga("ornament.tga", ornament(), 24, rle, false);
    out.tga("flash.tga", flash(), 24, rle, false);
    out.tga("logo.tga", logo(), 32, rle, true);
    out.tga("stripes.tga", stripes(), 32, rle, false);
    out.tga("greets.tga",
            glowingText(256, 512,
                        {"QUARN 2", "", "CODE", "GRAPHICS", "MUSIC", "ALL MADE BY", "OUR OWN TOOLS", "", "GREETINGS TO",
                         "", "THE PIXEL PUSHERS", "THE SINE SURFERS", "THE RASTER RIDERS", "THE SYNC SQUAD",
                         "EVERY DEMO MAKER", "", "STAY 4:3!"},
                        2, {0.6f, 0.9f, 1.0f, 1}, {1.0f, 0.6f, 0.9f, 1}, 2),
            24, rle, false);
    out.tga("theend.tga", glowingText(256, 64, {"THE END"}, 4, {1.0f, 1.0f, 1.0f, 1}, {0.6f, 0.7f, 1.0f, 1}, 3), 24,
            rle, false);
    return out.ok ? 0 : 1;
}
