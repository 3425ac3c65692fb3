// Colours as red, green, blue and alpha bytes, and the named colours.
// Only the three colour bytes reach the screen.
#pragma once

#include <cstdint>

namespace gui {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    bool sameRgb(const Color& o) const { return red == o.red && green == o.green && blue == o.blue; }
    // 0x00RRGGBB, the pixel format of every buffer.
    std::uint32_t pixel() const { return (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue; }
    static Color fromPixel(std::uint32_t p) {
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p), 0};
    }
};

namespace colors {
constexpr Color kTransparentKey{255, 255, 255, 0};
constexpr Color kWhite{255, 255, 255, 0};
constexpr Color kGrey{127, 127, 127, 0};
constexpr Color kRed{255, 0, 0, 0};
constexpr Color kGreen{0, 255, 0, 0};
constexpr Color kBlue{0, 0, 255, 0};
constexpr Color kYellow{255, 255, 0, 0};
constexpr Color kMagenta{255, 0, 255, 0};
constexpr Color kCyan{0, 255, 255, 0};
constexpr Color kBlack{0, 0, 0, 0};
}  // namespace colors

}  // namespace gui
