// The font table (ids 0 to 7, heights in pixels) and the rasteriser that
// draws anti-aliased text with the embedded Liberation Sans faces.
#pragma once

#include <string>

#include "gui/Color.h"
#include "gui/Geometry.h"
#include "gui/PixelBuffer.h"

namespace gui {

enum FontStyle : int {
    kBold = 1,
    kItalic = 2,
    kUnderline = 4,
};

struct FontEntry {
    int height;  // pixels
    int style;   // FontStyle bits
    const char* face = "Arial";  // the face a native control asks its system for
};

// The table's entry for an id; ids outside 0 to 7 are taken as 0.
FontEntry fontEntry(int id);

class Fonts {
public:
    // Width of the text in pixels.
    static int textWidth(const std::string& text, int height, int style);
    // Draws the text with its top-left cell corner at (x, y), clipped to clip.
    static void drawText(PixelBuffer& target, int x, int y, const std::string& text, int height, int style,
                         Color color, const Rect& clip);
};

}  // namespace gui
