#pragma once
// Where the demo's 4:3 picture goes in a drawable of any size: the largest
// 4:3 area that fits, centred, the rest left black (pillarbox or
// letterbox). Every effect draws into this area through the viewport, so
// the picture is the same at any size, only finer.
#include <cstdint>

struct PixelArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelArea&) const = default;
};

// The picture's area in a width x height drawable, in pixels from its lower
// left corner. A side of 0 or less counts as 1, so the area is never empty.
PixelArea pictureAreaIn(int width, int height);
