// Tamborik's name and emblem, shared by the background's about area and
// the about picture.
#pragma once

#include "resources/Canvas.h"

namespace pictures {

// Draws the emblem with its centre at (x + 19, y + 19) and the name and
// tagline beside it; on the given backdrop colour, about 134 x 38.
void drawLogo(Canvas& canvas, double x, double y, Color backdrop);

// Text with extra space between its letters (picture units).
void drawSpacedText(Canvas& canvas, double x, double y, const char* text, int height, int style, double spacing,
                    Color color);
double spacedTextWidth(const char* text, int height, int style, double spacing);

}  // namespace pictures
