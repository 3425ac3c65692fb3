// A picture of 32-bit pixels (0x00RRGGBB) that every surface draws into.
// Writes outside it are dropped.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Color.h"
#include "gui/Geometry.h"

namespace gui {

class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, Color fill = colors::kBlack);

    int width() const { return width_; }
    int height() const { return height_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    std::uint32_t at(int x, int y) const { return inside(x, y) ? pixels_[index(x, y)] : 0; }
    void set(int x, int y, std::uint32_t pixel) {
        if (inside(x, y)) pixels_[index(x, y)] = pixel;
    }
    // Mixes colour into the pixel by coverage 0 to 255.
    void blend(int x, int y, std::uint32_t pixel, int coverage);
    static std::uint32_t mix(std::uint32_t over, std::uint32_t under, int coverage);
    // Fills x in [x0, x1), y in [y0, y1), clipped to the buffer.
    void fill(int x0, int y0, int x1, int y1, std::uint32_t pixel);

    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace gui
