#include "gui/PixelBuffer.h"

#include <algorithm>

namespace gui {

PixelBuffer::PixelBuffer(int width, int height, Color fillColor)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, fillColor.pixel()) {}

std::uint32_t PixelBuffer::mix(std::uint32_t over, std::uint32_t under, int coverage) {
    if (coverage <= 0) return under;
    if (coverage >= 255) return over;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((over >> shift) & 0xFF);
        const int b = static_cast<int>((under >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>((a * coverage + b * (255 - coverage) + 127) / 255) << shift;
    }
    return out;
}

void PixelBuffer::blend(int x, int y, std::uint32_t pixel, int coverage) {
    if (!inside(x, y) || coverage <= 0) return;
    pixels_[index(x, y)] = mix(pixel, pixels_[index(x, y)], coverage);
}

void PixelBuffer::fill(int x0, int y0, int x1, int y1, std::uint32_t pixel) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_);
    y1 = std::min(y1, height_);
    if (x0 >= x1 || y0 >= y1) return;
    for (int y = y0; y < y1; ++y)
        std::fill(pixels_.begin() + static_cast<long>(index(x0, y)), pixels_.begin() + static_cast<long>(index(x0, y)) + std::max(0, x1 - x0), pixel);
}

}  // namespace gui
