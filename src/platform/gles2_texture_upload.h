#pragma once
// Texture uploads for OpenGL ES 2 and WebGL 1, which build no mipmaps and
// repeat only power-of-two sizes: pictures are scaled and their levels made
// here, as desktop GLU does.
#include <cstdint>
#include <vector>

#include "platform/render_state.h"

namespace gles2 {

bool isPowerOfTwo(int value);
// The power of two a size is rounded to: halfway rounds up, like GLU does.
int nearestPowerOfTwo(int value);
// Box-filtered resampling of w x h RGBA pixels to nw x nh: each target pixel
// averages the source pixels its area covers.
std::vector<uint8_t> resample(const uint8_t* pixels, int w, int h, int nw, int nh);
// Uploads level 0 of the bound texture and, when asked, every smaller level,
// each the 2x2 average of the one above.
void uploadLevels(const uint8_t* pixels, int w, int h, bool mipmaps);
// The filters of the bound texture for a filter mode; true when the
// minification filter reads mipmap levels.
bool setFilters(TextureFilter filterMode);

}  // namespace gles2
