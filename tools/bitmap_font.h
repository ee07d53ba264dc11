#pragma once
// A small 5x7 pixel font for titles and credits painted into pictures.
#include <string>

#include "picture.h"

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = 6;  // glyph plus one column of spacing

// Whether pixel (x, y) of the glyph for c is set; unknown characters are blank.
bool glyphPixel(char c, int x, int y);

// Width in font pixels of a line of text.
int textWidth(const std::string& text);

// Paints text with its top-left corner at (left, top); each font pixel is a
// scale x scale block of the given colour (alpha 1).
void paintText(Picture& picture, const std::string& text, int left, int top, int scale, const Rgba& colour);

// Paints text centred horizontally around centreX.
void paintCentredText(Picture& picture, const std::string& text, int centreX, int top, int scale, const Rgba& colour);
