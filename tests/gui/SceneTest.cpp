// Draws a scene of every kind of control and saves it as a PNG for a person
// to look at: build/gui-scene.png.
#include <gtest/gtest.h>

#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "gui/KnobControl.h"
#include "gui/PopupMenuControl.h"
#include "gui/RootView.h"
#include "gui/SimpleControls.h"
#include "gui/TextField.h"

namespace {

// A knob strip: 9 frames of a dark disc with a pointer.
gui::Bitmap* knobStrip(int size, int frames) {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size * size * frames), 0x303030);
    for (int f = 0; f < frames; ++f) {
        const double angle = 3.9269907 - 4.712389 * f / (frames - 1);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double dx = x - size / 2.0, dy = y - size / 2.0;
                std::uint32_t& p = pixels[static_cast<size_t>((f * size + y) * size + x)];
                if (dx * dx + dy * dy < (size / 2.0 - 2) * (size / 2.0 - 2)) p = 0x707880;
                const double along = dx * std::cos(angle) - dy * std::sin(angle);
                const double across = dx * std::sin(angle) + dy * std::cos(angle);
                if (along > 2 && along < size / 2.0 - 3 && std::abs(across) < 1.5) p = 0xFFFFFF;
            }
    }
    return gui::Bitmap::fromPixels(size, size * frames, pixels);
}

TEST(Scene, DrawsEveryControlKindIntoAPicture) {
    gui::RootView* root = new gui::RootView({0, 0, 320, 160}, nullptr);
    std::vector<std::uint32_t> backdrop(320 * 160);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 320; ++x) backdrop[static_cast<size_t>(y * 320 + x)] = 0x202830 + ((y / 4) << 8);
    gui::Bitmap* background = gui::Bitmap::fromPixels(320, 160, backdrop);
    root->setBackground(background);
    background->forget();

    gui::Bitmap* strip = knobStrip(40, 9);
    for (int i = 0; i < 3; ++i) {
        auto* knob = new gui::StripKnob({10 + 50 * i, 10, 50 + 50 * i, 50}, nullptr, i, 9, 40, strip);
        knob->setValue(i * 0.5f);
        root->addChild(knob);
    }
    strip->forget();
    auto* plain = new gui::KnobControl({170, 10, 210, 50}, nullptr, 9);
    plain->setValue(0.75f);
    root->addChild(plain);

    auto* field = new gui::TextField({10, 60, 150, 80}, nullptr, 1, "Tamborik");
    field->setTextTransparency(false);
    field->setFont(2);
    root->addChild(field);
    auto* display = new gui::ValueDisplay({160, 60, 240, 80}, nullptr, gui::ValueDisplay::kShadowText);
    display->setValue(0.87f);
    display->setFont(0);
    root->addChild(display);
    auto* framed = new gui::ValueDisplay({250, 60, 310, 80}, nullptr, gui::ValueDisplay::k3DIn);
    framed->setBackColor(gui::Color{90, 90, 90, 0});
    framed->setFrameColor(gui::colors::kWhite);
    framed->setValueToText([](float) { return std::string("C#3"); });
    root->addChild(framed);
    auto* menu = new gui::PopupMenuControl({10, 90, 150, 110}, nullptr, 2);
    menu->addEntry("Load Program");
    menu->addEntry("Save Bank");
    menu->setValue(1.0f);
    root->addChild(menu);
    for (int i = 0; i < 5; ++i) {
        std::vector<std::uint32_t> lights(12 * 12 * 2, 0x400000);
        for (size_t p = 12 * 12; p < lights.size(); ++p) lights[p] = 0xFF3030;
        gui::Bitmap* lamp = gui::Bitmap::fromPixels(12, 24, lights);
        auto* light = new gui::StripDisplay({160 + 16 * i, 95, 172 + 16 * i, 107}, 2, 12, lamp);
        light->setValue(i % 2 ? 1.0f : 0.0f);
        root->addChild(light);
        lamp->forget();
    }
    root->redraw();
    gui::Surface surface = root->surface();
    surface.setFont(1);
    surface.setFontColor(gui::colors::kYellow);
    surface.drawString("Tamborik toolkit", {10, 120, 310, 150});

    // Something of each kind reached the pixels.
    EXPECT_NE(root->pixels().at(30, 30), 0x202830u);
    EXPECT_EQ(root->pixels().at(160 + 16 + 5, 100), 0xFF3030u);

    const gui::PixelBuffer& pixels = root->pixels();
    std::vector<unsigned char> rgb;
    for (std::uint32_t p : pixels.pixels()) {
        rgb.push_back(static_cast<unsigned char>(p >> 16));
        rgb.push_back(static_cast<unsigned char>(p >> 8));
        rgb.push_back(static_cast<unsigned char>(p));
    }
    const std::string path = std::string(TAMBORIK_BUILD_DIR) + "/gui-scene.png";
    EXPECT_NE(stbi_write_png(path.c_str(), pixels.width(), pixels.height(), 3, rgb.data(), pixels.width() * 3), 0);
    root->release();
}

}  // namespace
