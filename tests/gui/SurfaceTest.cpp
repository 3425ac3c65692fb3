#include <gtest/gtest.h>

#include <string>

#include "gui/Bitmap.h"
#include "gui/Fonts.h"
#include "gui/Surface.h"

namespace {

using gui::Color;
using gui::PixelBuffer;
using gui::Rect;
using gui::Surface;
namespace colors = gui::colors;

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0;

// The rows and columns that hold any pixel other than the background.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Ink inkOf(const PixelBuffer& buffer, std::uint32_t background) {
    Ink ink;
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x)
            if (buffer.at(x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

TEST(Surface, OutlineIncludesRightAndBottomFillExcludesTopAndLeft) {
    PixelBuffer buffer(20, 20);
    Surface surface(buffer);
    surface.setFrameColor(colors::kRed);
    surface.drawRect({2, 3, 10, 8});
    for (int x = 2; x <= 10; ++x) {
        EXPECT_EQ(buffer.at(x, 3), kRed) << x;
        EXPECT_EQ(buffer.at(x, 8), kRed) << x;
    }
    for (int y = 3; y <= 8; ++y) {
        EXPECT_EQ(buffer.at(2, y), kRed) << y;
        EXPECT_EQ(buffer.at(10, y), kRed) << y;
    }
    EXPECT_EQ(buffer.at(11, 8), kBlack);
    EXPECT_EQ(buffer.at(10, 9), kBlack);

    surface.setFillColor(colors::kBlue);
    surface.fillRect({2, 3, 10, 8});
    EXPECT_EQ(buffer.at(3, 4), kBlue);
    EXPECT_EQ(buffer.at(9, 7), kBlue);
    EXPECT_EQ(buffer.at(2, 4), kRed);   // the left edge is left alone
    EXPECT_EQ(buffer.at(5, 3), kRed);   // and the top
    EXPECT_EQ(buffer.at(10, 5), kRed);  // the outline's right edge too
    EXPECT_EQ(buffer.at(5, 8), kRed);
}

TEST(Surface, ClipsEverythingToTheBufferAndOrigin) {
    PixelBuffer buffer(10, 10, colors::kWhite);
    Surface surface(buffer);
    surface.setFillColor(colors::kRed);
    surface.fillRect({-100, -100, 1000, 1000});
    surface.fillRect({8, 8, -5, -5});  // negative size: nothing
    surface.setFrameColor(colors::kBlue);
    surface.drawRect({-5, -5, 50, 50});
    surface.moveTo({-1000, 5});
    surface.lineTo({1000, 5});
    surface.setOrigin({5, 5});
    surface.fillRect({0, 0, 100, 100});
    EXPECT_EQ(buffer.at(0, 0), kRed);
    EXPECT_EQ(buffer.at(9, 5), kBlue);  // the line; the outline lies wholly outside
    EXPECT_EQ(buffer.at(6, 6), kRed);

    surface.setOrigin({});
    surface.setClip({2, 2, 4, 4});
    surface.setFillColor(colors::kBlack);
    surface.fillRect({0, 0, 10, 10});
    EXPECT_EQ(buffer.at(2, 2), kBlack);
    EXPECT_EQ(buffer.at(4, 4), kRed);
}

TEST(Surface, DottedLinesSkipEveryOtherPixel) {
    PixelBuffer buffer(12, 3);
    Surface surface(buffer);
    surface.setFrameColor(colors::kWhite);
    surface.setLineStyle(gui::LineStyle::kDotted);
    surface.moveTo({0, 1});
    surface.lineTo({10, 1});
    for (int x = 0; x < 10; ++x) EXPECT_EQ(buffer.at(x, 1) != 0, x % 2 == 0) << x;
    EXPECT_EQ(buffer.at(10, 1), 0u);  // a line stops short of its end point
}

TEST(Surface, TextIsCentredVerticallyAndAligned) {
    for (int alignment : {gui::kAlignLeft, gui::kAlignCenter, gui::kAlignRight}) {
        PixelBuffer buffer(200, 40);
        Surface surface(buffer);
        surface.setFont(2);
        surface.setFontColor(colors::kWhite);
        const Rect rect{20, 5, 180, 35};
        surface.drawString("Hello", rect, false, alignment);
        const Ink ink = inkOf(buffer, 0);
        ASSERT_GE(ink.right, 0);
        EXPECT_GE(ink.top, rect.top);
        EXPECT_LE(ink.bottom, rect.bottom);
        // Cap-height text sits a little above the cell's middle, never far off.
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (rect.top + rect.bottom) / 2.0, 3.0);
        const int width = surface.stringWidth("Hello");
        const double expectedLeft = alignment == gui::kAlignLeft     ? rect.left + 1
                                    : alignment == gui::kAlignCenter ? 100.0 - width / 2.0
                                                                     : rect.right - width;
        EXPECT_NEAR(ink.left, expectedLeft, 2.5) << alignment;
        EXPECT_NEAR(ink.right - ink.left, width, 3);
    }
}

TEST(Surface, FontsAndOddTexts) {
    EXPECT_EQ(gui::fontEntry(1).height, 18);
    EXPECT_EQ(gui::fontEntry(0).style & gui::kBold, gui::kBold);
    EXPECT_EQ(gui::fontEntry(42).height, gui::fontEntry(0).height);
    EXPECT_EQ(gui::fontEntry(-1).height, 12);

    PixelBuffer buffer(50, 20);
    Surface surface(buffer);
    surface.setFont(99);  // falls back to font 0
    EXPECT_EQ(surface.fontHeight(), 12);
    EXPECT_EQ(surface.stringWidth(""), 0);
    EXPECT_GT(surface.stringWidth("W"), surface.stringWidth("i"));
    surface.setFont(3, 0, gui::kBold);
    const int bold = surface.stringWidth("Tamborik");
    surface.setFont(3);
    EXPECT_GT(bold, surface.stringWidth("Tamborik"));

    surface.drawString("", {0, 0, 50, 20});
    surface.drawString(std::string(300, 'M'), {0, 0, 50, 20}, true);  // clipped to its rectangle
    surface.drawString("\x01\xff\x80 text", {-40, -40, 500, 500}, true, 7);
    surface.drawString("x", {10, 10, 5, 5});  // an empty rectangle: nothing
    SUCCEED();
}

TEST(Bitmap, DrawsOpaqueColourKeyedAndBlended) {
    // A 4 x 4 picture: white (the key) in the left half, red in the right.
    std::vector<std::uint32_t> pixels(16);
    for (int i = 0; i < 16; ++i) pixels[i] = (i % 4) < 2 ? 0xFFFFFF : kRed;
    gui::Bitmap* picture = gui::Bitmap::fromPixels(4, 4, pixels);
    PixelBuffer buffer(8, 8, colors::kBlue);
    Surface surface(buffer);
    picture->draw(surface, {0, 0, 4, 4});
    EXPECT_EQ(buffer.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(buffer.at(3, 3), kRed);
    EXPECT_EQ(buffer.at(4, 4), kBlue);

    picture->drawTransparent(surface, {4, 0, 8, 4});
    EXPECT_EQ(buffer.at(4, 0), kBlue);  // the key is not drawn
    EXPECT_EQ(buffer.at(7, 0), kRed);

    picture->draw(surface, {0, 4, 4, 8}, {2, 0});  // from an offset: only two columns exist
    EXPECT_EQ(buffer.at(0, 4), kRed);
    EXPECT_EQ(buffer.at(1, 4), kRed);
    EXPECT_EQ(buffer.at(2, 4), kBlue);

    PixelBuffer blend(2, 1, Color{0, 0, 0, 0});
    Surface blendSurface(blend);
    picture->drawAlpha(blendSurface, {0, 0, 2, 1}, {2, 0}, 128);
    EXPECT_EQ(blend.at(0, 0), 0x800000u);

    picture->draw(surface, {0, 0, 4, 4}, {10, 10});  // offset past the end: nothing
    picture->draw(surface, {-50, -50, 50, 50});
    picture->forget();

    gui::Bitmap* missing = gui::Bitmap::load(999);
    EXPECT_EQ(missing->width(), 0);
    EXPECT_EQ(missing->height(), 0);
    missing->draw(surface, {0, 0, 8, 8});
    missing->drawTransparent(surface, {0, 0, 8, 8});
    missing->drawAlpha(surface, {0, 0, 8, 8}, {}, 255);
    missing->forget();
    gui::Bitmap* empty = gui::Bitmap::fromPixels(0, 5, {});
    EXPECT_EQ(empty->width(), 0);
    empty->forget();
}

TEST(OffscreenSurface, CopiesARectangleOntoAnotherSurface) {
    gui::OffscreenSurface offscreen(nullptr, 10, 10, colors::kRed);
    PixelBuffer screen(10, 10, colors::kBlack);
    Surface target(screen);
    offscreen.copyTo(target, {2, 2, 6, 6}, {0, 0});
    EXPECT_EQ(screen.at(2, 2), kRed);
    EXPECT_EQ(screen.at(5, 5), kRed);
    EXPECT_EQ(screen.at(6, 6), kBlack);
    offscreen.copyTo(target, {0, 0, 10, 10}, {8, 8});  // only what the offscreen has
    EXPECT_EQ(screen.at(1, 1), kRed);
    EXPECT_EQ(screen.at(3, 0), kBlack);
}

}  // namespace
