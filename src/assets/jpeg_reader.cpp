#include "assets/jpeg_reader.h"

#include <csetjmp>
#include <cstring>

#include <jpeglib.h>

#include "assets/missing_picture.h"
#include "platform/file_bytes.h"
#include "platform/report.h"

namespace {

struct JpegErrorManager {
    jpeg_error_mgr library;  // first, so the library's pointer is ours too
    std::jmp_buf recovery;
    char firstWarning[JMSG_LENGTH_MAX];
};

// libjpeg's own words, one line each, on standard error as the library
// writes them, but through the report route so that a swapped sink hears them.
void reportLibraryMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    QUARN_REPORTF(Error, "%s\n", text);
}

// Replaces libjpeg's error exit, which would end the process.
[[noreturn]] void reportAndJumpBack(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->recovery, 1);
}

// As the library's own: the first warning is printed, later ones only
// counted, trace messages dropped; the first is also kept.
void noteMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
    if (errors->library.num_warnings++ > 0) return;
    (*info->err->output_message)(info);
    (*info->err->format_message)(info, errors->firstWarning);
}

// longjmp lands in this frame, so nothing here may need a destructor; the
// result lives in the caller's picture.
bool decompress(jpeg_decompress_struct* info, JpegErrorManager* errors, const uint8_t* bytes, size_t size,
                size_t maxPixels, JpegPicture* picture) {
    info->err = jpeg_std_error(&errors->library);
    errors->library.error_exit = reportAndJumpBack;
    errors->library.emit_message = noteMessage;
    errors->library.output_message = reportLibraryMessage;
    if (setjmp(errors->recovery)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    if (size_t(info->image_width) * info->image_height > maxPixels) {
        QUARN_REPORTF(Error, "JPEG picture of %ux%u pixels is too large\n", info->image_width, info->image_height);
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_start_decompress(info);

    picture->width = int(info->output_width);
    picture->height = int(info->output_height);
    picture->components = info->output_components;
    picture->invertedCmyk = info->out_color_space == JCS_CMYK && info->saw_Adobe_marker;
    const size_t rowSize = size_t(info->output_width) * size_t(info->output_components);
    picture->samples.assign(rowSize * info->output_height, 0);
    JSAMPARRAY row =
        (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, JDIMENSION(rowSize), 1);
    while (info->output_scanline < info->output_height) {
        const size_t target = info->output_scanline;
        if (jpeg_read_scanlines(info, row, 1) != 1) break;
        std::memcpy(picture->samples.data() + target * rowSize, row[0], rowSize);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    picture->warning = errors->firstWarning;
    return true;
}

uint8_t scale255(unsigned a, unsigned b) { return uint8_t((a * b + 127) / 255); }

}  // namespace

bool readJpegFromMemory(const uint8_t* bytes, size_t size, JpegPicture& picture, size_t maxPixels) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegErrorManager errors;
    std::memset(&errors, 0, sizeof errors);
    picture = JpegPicture();
    return decompress(&info, &errors, bytes, size, maxPixels < maxJpegPixels ? maxPixels : maxJpegPixels, &picture);
}

std::unique_ptr<Image> imageFromJpeg(const JpegPicture& picture) {
    const size_t components = size_t(picture.components);
    const size_t pixelCount = size_t(picture.width) * size_t(picture.height);
    if ((components != 1 && components != 3 && components != 4) || picture.samples.size() < pixelCount * components)
        return nullptr;
    auto image = std::make_unique<Image>();
    image->width = picture.width;
    image->height = picture.height;
    image->pixels.resize(pixelCount * 4);
    // One loop per layout, so the per-pixel work has no decisions in it.
    const uint8_t* in = picture.samples.data();
    uint8_t* out = image->pixels.data();
    uint8_t* const end = out + pixelCount * 4;
    if (components == 1) {
        for (; out != end; out += 4, in += 1) {
            out[0] = out[1] = out[2] = in[0];
            out[3] = 255;
        }
    } else if (components == 3) {
        for (; out != end; out += 4, in += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
    } else {
        // Ink times remaining light; Adobe files store every channel inverted
        // (255 - x is x ^ 255 for a byte).
        const unsigned flip = picture.invertedCmyk ? 0u : 255u;
        for (; out != end; out += 4, in += 4) {
            const unsigned k = in[3] ^ flip;
            out[0] = scale255(in[2] ^ flip, k);
            out[1] = scale255(in[1] ^ flip, k);
            out[2] = scale255(in[0] ^ flip, k);
            out[3] = 255;
        }
    }
    return image;
}

namespace {

std::unique_ptr<Image> finishLoad(bool decoded, const JpegPicture& picture) {
    if (!decoded) return nullptr;
    QUARN_REPORTF(Output, "xsize: %i\nysize: %i\n", picture.width, picture.height);
    std::unique_ptr<Image> image = imageFromJpeg(picture);
    if (image) image->damage = picture.warning;
    return image;
}

}  // namespace

std::unique_ptr<Image> JpegLoader::load(std::string fileName) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readPictureFile(fileName, bytes, reason)) throw MissingPicture{fileName, reason};
    return loadFromBytes(bytes.data(), bytes.size(), maxPixels);
}

std::unique_ptr<Image> JpegLoader::loadFromBytes(const uint8_t* bytes, size_t size, size_t maxPixels) {
    JpegPicture picture;
    const bool decoded = readJpegFromMemory(bytes, size, picture, maxPixels);
    return finishLoad(decoded, picture);
}
