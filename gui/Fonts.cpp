#include "gui/Fonts.h"

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

#include "gui/EmbeddedFonts.h"

namespace gui {
namespace {

// Heights of the table; font 7 (a symbol face on the original platform) is
// drawn with the regular face.
constexpr FontEntry kTable[8] = {{12, kBold}, {18, 0}, {14, 0}, {12, 0}, {11, 0}, {10, 0}, {9, 0},
                                 {13, 0, "Symbol"}};

struct Face {
    stbtt_fontinfo info;
    bool ready = false;
};

Face& faceFor(int style) {
    static std::array<Face, 4> faces;
    static std::once_flag once;
    std::call_once(once, [] {
        for (int s = 0; s < 4; ++s) {
            const unsigned char* data = embeddedFont(s);
            faces[s].ready = stbtt_InitFont(&faces[s].info, data, stbtt_GetFontOffsetForIndex(data, 0)) != 0;
        }
    });
    return faces[style & 3];
}

// Pixel height as GDI understands it: the cell height, ascent plus descent.
float scaleFor(const Face& face, int height) {
    return stbtt_ScaleForPixelHeight(&face.info, static_cast<float>(height));
}

}  // namespace

FontEntry fontEntry(int id) {
    return kTable[(id < 0 || id > 7) ? 0 : id];
}

int Fonts::textWidth(const std::string& text, int height, int style) {
    Face& face = faceFor(style);
    if (!face.ready || height <= 0) return 0;
    const float scale = scaleFor(face, height);
    float width = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&face.info, c, &advance, &bearing);
        width += advance * scale;
        if (i + 1 < text.size())
            width += scale * stbtt_GetCodepointKernAdvance(&face.info, c, static_cast<unsigned char>(text[i + 1]));
    }
    return static_cast<int>(std::lround(width));
}

void Fonts::drawText(PixelBuffer& target, int x, int y, const std::string& text, int height, int style,
                     Color color, const Rect& clip) {
    Face& face = faceFor(style);
    if (!face.ready || height <= 0) return;
    const float scale = scaleFor(face, height);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&face.info, &ascent, &descent, &gap);
    const int baseline = y + static_cast<int>(std::lround(ascent * scale));
    float pen = static_cast<float>(x);
    std::vector<unsigned char> glyph;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&face.info, c, &advance, &bearing);
        const float shift = pen - std::floor(pen);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(&face.info, c, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w > 0 && h > 0) {
            glyph.assign(static_cast<std::size_t>(w) * h, 0);
            stbtt_MakeCodepointBitmapSubpixel(&face.info, glyph.data(), w, h, w, scale, scale, shift, 0, c);
            const int gx = static_cast<int>(std::floor(pen)) + x0, gy = baseline + y0;
            for (int row = 0; row < h; ++row)
                for (int col = 0; col < w; ++col) {
                    const int px = gx + col, py = gy + row;
                    if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) continue;
                    target.blend(px, py, color.pixel(), glyph[static_cast<std::size_t>(row) * w + col]);
                }
        }
        pen += advance * scale;
        if (i + 1 < text.size())
            pen += scale * stbtt_GetCodepointKernAdvance(&face.info, c, static_cast<unsigned char>(text[i + 1]));
    }
    if (style & kUnderline) {
        const int underline = baseline + std::max(1, height / 10);
        for (int px = x; px < static_cast<int>(pen); ++px)
            if (px >= clip.left && px < clip.right && underline >= clip.top && underline < clip.bottom)
                target.set(px, underline, color.pixel());
    }
}

}  // namespace gui
