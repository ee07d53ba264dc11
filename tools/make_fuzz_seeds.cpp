// tool_fuzz_seeds: writes small, well-formed seed files for the readers' fuzz
// targets, one folder per target, with the tools' own writers. Small seeds
// keep the fuzzer fast; each one reaches a different decoding path.
// Usage: tool_fuzz_seeds OUTPUT_DIR   (the folders must exist)
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "jpeg_writer.h"
#include "lwob_writer.h"
#include "shapes.h"
#include "tga_writer.h"
#include "wav_writer.h"

namespace {

Picture gradient(int width, int height) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba& p = picture.at(x, y);
            p.r = float(x) / float(width);
            p.g = float(y) / float(height);
            p.b = (x / 2 + y) % 3 == 0 ? 1.0f : 0.2f;  // some runs, some raw pixels
            p.a = float(x + y) / float(width + height);
        }
    }
    return picture;
}

// 16-bit true colour: the tools' writer has no such depth, so the few bytes
// are laid out here (bottom-up, 5 bits per channel, top bit unused).
std::vector<uint8_t> tga16(int width, int height) {
    std::vector<uint8_t> out(18, 0);
    out[2] = 2;
    out[12] = uint8_t(width);
    out[14] = uint8_t(height);
    out[16] = 16;
    for (int i = 0; i < width * height; ++i) {
        const int v = (i * 2113) & 0xffff;
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    }
    return out;
}

// An image ID field between header and pixels.
std::vector<uint8_t> withImageId(std::vector<uint8_t> tga, const std::string& id) {
    tga[0] = uint8_t(id.size());
    tga.insert(tga.begin() + 18, id.begin(), id.end());
    return tga;
}

// A true-colour file that still carries a colour map (16-bit entries)
// between its ID field and its pixels.
std::vector<uint8_t> withColourMap(std::vector<uint8_t> tga, int entries) {
    tga[1] = 1;
    tga[5] = uint8_t(entries);
    tga[7] = 16;
    std::vector<uint8_t> map(size_t(entries) * 2);
    for (size_t i = 0; i < map.size(); ++i) map[i] = uint8_t(i * 29);
    tga.insert(tga.begin() + 18 + tga[0], map.begin(), map.end());
    return tga;
}

// 16-bit grey with alpha: a grey byte and an alpha byte per pixel, raw
// (image type 3) or in run-length packets (type 11).
std::vector<uint8_t> greyAlpha(int width, int height, bool runLength) {
    std::vector<uint8_t> out(18, 0);
    out[2] = runLength ? 11 : 3;
    out[12] = uint8_t(width);
    out[14] = uint8_t(height);
    out[16] = 16;
    out[17] = 8;  // eight alpha bits
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) row.insert(row.end(), {uint8_t(x / 2 * 40), uint8_t(255 - y * 30)});
        if (runLength) {
            appendRunLengthRow(row.data(), width, 2, out);
        } else {
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

// Greyscale and CMYK files reach the loader's other colour conversions.
std::vector<uint8_t> jpegOfSpace(int width, int height, int components, bool progressive) {
    const size_t rowSize = size_t(width) * size_t(components);
    std::vector<uint8_t> samples(rowSize * size_t(height));
    for (size_t y = 0; y < size_t(height); ++y)
        for (size_t i = 0; i < rowSize; ++i) samples[y * rowSize + i] = uint8_t(i * 37 + y * 11);
    return encodeJpegSamples(width, height, components, samples, 75, progressive);
}

TriangleMesh tetrahedron() {
    TriangleMesh mesh;
    mesh.points = {{{1, 1, 1}}, {{-1, -1, 1}}, {{-1, 1, -1}}, {{1, -1, -1}}};
    mesh.triangles = {{{0, 1, 2}}, {{0, 3, 1}}, {{0, 2, 3}}, {{1, 3, 2}}};
    return mesh;
}

// The tetrahedron with more chunks after its own, the FORM size to match.
std::vector<uint8_t> tetrahedronWith(const std::vector<uint8_t>& chunks) {
    std::vector<uint8_t> file = encodeLwob(tetrahedron(), {});
    file.insert(file.end(), chunks.begin(), chunks.end());
    const uint32_t formSize = uint32_t(file.size() - 8);
    for (int i = 0; i < 4; ++i) file[4 + size_t(i)] = uint8_t(formSize >> (24 - 8 * i));
    return file;
}

// One quad record (4 indices) after the triangles: records are 2k + 4 bytes.
std::vector<uint8_t> lwobWithQuad() {
    return tetrahedronWith({'P', 'O', 'L', 'S', 0, 0, 0, 12, 0, 4, 0, 0, 0, 1, 0, 2, 0, 3, 0, 1});
}

// A triangle with one detail triangle (surface -1, then the detail count),
// and a chunk of odd size with its pad byte.
std::vector<uint8_t> lwobWithDetailAndPad() {
    std::vector<uint8_t> chunks = {'P', 'O', 'L', 'S', 0, 0, 0, 22};
    // Triangle 0 1 2 of surface -1, one detail polygon: triangle 0 2 3 of surface 1.
    for (uint16_t word : {3, 0, 1, 2, 0xFFFF, 1, 3, 0, 2, 3, 1}) {
        chunks.push_back(uint8_t(word >> 8));
        chunks.push_back(uint8_t(word));
    }
    chunks.insert(chunks.end(), {'T', 'E', 'X', 'T', 0, 0, 0, 3, 'o', 'd', 'd', 0});
    return tetrahedronWith(chunks);
}

std::vector<uint8_t> shortTone() {
    std::vector<float> left, right;
    for (int i = 0; i < 4410; ++i) {
        left.push_back(0.5f * std::sin(float(i) * 0.0626f));
        right.push_back(0.3f * std::sin(float(i) * 0.1f));
    }
    return encodeWav(left, right, 44100);
}

std::vector<uint8_t> textBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

const char* const exampleScript =
    "# scene one\n"
    "defineEffect group as Effect\n"
    "end\n"
    "defineEffect warp as FxGLUVMap\n"
    "resolution : %2\n"
    "textureFilename : tex.jpg\n"
    "u : x*0.5+0.5+0.05*sin(t+r*8)\n"
    "v : y*0.5+0.5\n"
    "end\n"
    "createInstance of group as iDemo at 0 1000\n"
    "createInstance of warp as warp1 at 10 40\n"
    "addChild warp1 to iDemo\n"
    "bah\n";

// Every value kind, quoting, a tab in a name, CR LF ends and a cycle.
const char* const valueKindsScript =
    "defineEffect a as Effect\r\n"
    "  count : %-3\r\n"
    "size : 2.5e1x\r\n"
    "name : \"a b.tga\" \r\n"
    "expr : -t*0.5\r\n"
    "\tkey : .5\r\n"
    "end\r\n"
    "createInstance of a as iDemo at -5 .5\r\n"
    "createInstance of a as b at 0 1e3\r\n"
    "addChild b to iDemo\r\n"
    "addChild iDemo to b\r\n";

// Failing statements: bad headers, missing tokens, unknown names and types.
const char* const brokenScript =
    "defineEffect x Effect\n"
    "defineEffect y as NoSuchType\n"
    "p : 1\n"
    "end\n"
    "defineEffect z as Effect\n"
    "p: 1\n"
    "createInstance of z as iDemo at 0\n"
    "createInstance of nothing as n at 0 1\n"
    "addChild n to\n"
    "addChild ghost to n\n"
    " # not a comment\n"
    "defineEffect open as Effect\n"
    "q : %7\n";

const char* const exampleSync =
    "0.5 zrotate 0\n"
    "  3   zrotate   0\n"
    "12.5 offset 2\r\n"
    "-1e40 pushback -7\n"
    "1e40 offset 99999999999\n"
    "7\toffset 1\n"
    "\n"
    "9 never 0\n";

struct Seed {
    const char* path;
    std::vector<uint8_t> bytes;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const Picture small = gradient(8, 4);
    const Picture odd = gradient(13, 7);
    const std::vector<Seed> seeds = {
        {"tga_reader/rgb24.tga", encodeTga(small, {24, TgaEncoding::Uncompressed, false})},
        {"tga_reader/rgba32.tga", encodeTga(small, {32, TgaEncoding::Uncompressed, true})},
        {"tga_reader/rle24.tga", encodeTga(odd, {24, TgaEncoding::RunLength, false})},
        {"tga_reader/rle32.tga", encodeTga(odd, {32, TgaEncoding::RunLength, true})},
        {"tga_reader/rgb16.tga", tga16(5, 3)},
        {"tga_reader/with-id.tga", withImageId(encodeTga(small, {24, TgaEncoding::RunLength, false}), "seed")},
        {"tga_reader/colour-map.tga",
         withColourMap(withImageId(encodeTga(small, {32, TgaEncoding::Uncompressed, true}), "id"), 5)},
        {"tga_reader/grey-alpha.tga", greyAlpha(6, 3, false)},
        {"tga_reader/grey-alpha-rle.tga", greyAlpha(9, 4, true)},
        {"jpeg_reader/rgb.jpg", encodeJpeg(odd, 80)},
        {"jpeg_reader/grey.jpg", jpegOfSpace(9, 5, 1, false)},
        {"jpeg_reader/cmyk.jpg", jpegOfSpace(6, 6, 4, false)},
        {"jpeg_reader/progressive.jpg", jpegOfSpace(16, 8, 3, true)},
        {"lwo_reader/tetrahedron.lwo", encodeLwob(tetrahedron(), {})},
        {"lwo_reader/sphere.lwo", encodeLwob(makeSphere(1.0f, 0), {"Ball", {10, 20, 30}})},
        {"lwo_reader/quad.lwo", lwobWithQuad()},
        {"lwo_reader/detail-and-pad.lwo", lwobWithDetailAndPad()},
        {"mp3_decoder/tone.wav", shortTone()},
        {"script_reader/example.dat", textBytes(exampleScript)},
        {"script_reader/value-kinds.dat", textBytes(valueKindsScript)},
        {"script_reader/broken.dat", textBytes(brokenScript)},
        {"sync_track/example.dat", textBytes(exampleSync)},
    };
    bool ok = true;
    for (const Seed& seed : seeds) ok = writeBytes(dir + "/" + seed.path, seed.bytes) && ok;
    return ok ? 0 : 1;
}
