#include "platform/picture_area.h"

#include <algorithm>

PixelArea pictureAreaIn(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    PixelArea area;
    // Rounded down, so that the area always fits; 64 bits, as 4 * height
    // overflows no int the window system hands out but stays honest.
    if (int64_t{width} * 3 >= int64_t{height} * 4) {
        area.height = height;
        area.width = static_cast<int>(std::max<int64_t>(1, int64_t{height} * 4 / 3));
    } else {
        area.width = width;
        area.height = static_cast<int>(std::max<int64_t>(1, int64_t{width} * 3 / 4));
    }
    area.x = (width - area.width) / 2;
    area.y = (height - area.height) / 2;
    return area;
}
