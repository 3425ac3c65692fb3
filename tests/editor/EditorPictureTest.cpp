// The drawn editor, pixel by pixel: each knob shows the frame of the strip
// its value selects over the window's picture, each light the frame of its
// level, each field its text. The picture is saved in the build folder.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "editor/AboutOverlay.h"
#include "editor/CommandMenu.h"
#include "editor/EditorLayout.h"
#include "editor/SettingsPanel.h"
#include "gui/Surface.h"
#include "gui/Zoom.h"
#include "resources/Pictures.h"
#include "support/EditorHarness.h"

namespace {

using testing_support::EditorTest;

class EditorPictureTest : public EditorTest {
protected:
    // Counts the pixels of rect that differ from what is expected there.
    template <typename Expected>
    int mismatches(const gui::Rect& rect, Expected expected) {
        const gui::PixelBuffer& shown = root()->pixels();
        int wrong = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (shown.at(x, y) != expected(x, y)) ++wrong;
        return wrong;
    }
    // Saves the window as build/NAME.png for a person to look at.
    void save(const std::string& name) {
        const gui::PixelBuffer& pixels = root()->pixels();
        std::vector<unsigned char> rgb;
        for (std::uint32_t p : pixels.pixels()) {
            rgb.push_back(static_cast<unsigned char>(p >> 16));
            rgb.push_back(static_cast<unsigned char>(p >> 8));
            rgb.push_back(static_cast<unsigned char>(p));
        }
        const std::string path = std::string(TAMBORIK_BUILD_DIR) + "/" + name + ".png";
        EXPECT_NE(stbi_write_png(path.c_str(), pixels.width(), pixels.height(), 3, rgb.data(), pixels.width() * 3), 0);
    }
};

TEST_F(EditorPictureTest, KnobsLightsAndFieldsShowTheirValues) {
    // Spread the knobs over their range so every part of the strip is used.
    for (std::size_t i = 0; i < editor::layout::kKnobCount; ++i)
        effect->setParameter(editor::layout::kKnobs[i].parameter, static_cast<float>(i) / 57.0f);
    effect->setParameter(57, 61.0f / 127.0f);
    ASSERT_TRUE(open());
    gui::Bitmap* background = gui::Bitmap::load(editor::layout::kBackgroundPicture);
    gui::Bitmap* strip = gui::Bitmap::load(editor::layout::kKnobStrip);
    gui::Bitmap* lights = gui::Bitmap::load(editor::layout::kLevelLightStrip);
    ASSERT_EQ(background->width(), 623);
    ASSERT_EQ(strip->height(), 127 * 33);
    const int levels[10] = {0, 1, 2, 31, 32, 33, 40, 50, 62, 63};
    for (int v = 0; v < 10; ++v) view->levelLight(v)->setValue(levels[v] / 63.0f);
    root()->redraw();

    const std::uint32_t key = gui::colors::kTransparentKey.pixel();
    for (std::size_t i = 0; i < editor::layout::kKnobCount; ++i) {
        const int parameter = editor::layout::kKnobs[i].parameter;
        const gui::Control* knob = view->parameterControl(parameter);
        const float value = effect->getParameter(parameter);
        // The first frame below 1/126, the last only at exactly 1.
        const int frame = value >= 1.0f ? 126 : static_cast<int>(value * 126.0f);
        const gui::Rect r = knob->size();
        EXPECT_EQ(mismatches(r,
                             [&](int x, int y) {
                                 const std::uint32_t p = strip->pixel(x - r.left, frame * 33 + y - r.top);
                                 return p == key ? background->pixel(x, y) : p;
                             }),
                  0)
            << "knob " << parameter << " at " << value;
    }
    for (int v = 0; v < 10; ++v) {
        const gui::Rect r = view->levelLight(v)->size();
        EXPECT_EQ(mismatches(r,
                             [&](int x, int y) {
                                 const std::uint32_t p = lights->pixel(x - r.left, levels[v] * 21 + y - r.top);
                                 return p == key ? background->pixel(x, y) : p;
                             }),
                  0)
            << "light " << v;
    }
    // A field drawn alone over the window's picture looks as it does in the editor.
    for (gui::TextField* field : {view->channelField(0), view->noteField(57), view->noteField(65),
                                  view->programNameField()}) {
        gui::PixelBuffer alone(623, 540);
        gui::Surface surface(alone);
        background->draw(surface, {0, 0, 623, 540});
        field->draw(surface);
        const gui::Rect r = field->size();
        EXPECT_EQ(mismatches({r.left, r.top, r.right + 1, r.bottom + 1}, [&](int x, int y) { return alone.at(x, y); }),
                  0)
            << field->getText();
    }
    EXPECT_EQ(view->noteField(57)->getText(), "61");
    EXPECT_EQ(view->programNameField()->getText(), "Tamborik");
    background->forget();
    strip->forget();
    lights->forget();
}

// At every zoom the window is drawn from pictures made at that zoom: each
// knob shows the frame its value selects, and at 200 % the picture has
// detail a doubled 100 % picture could not have.
TEST_F(EditorPictureTest, EveryZoomShowsKnobsFromPicturesDrawnAtItsScale) {
    const std::uint32_t key = gui::colors::kTransparentKey.pixel();
    for (int percent : {125, 150, 175, 200, 250, 300}) {
        SCOPED_TRACE(percent);
        createEffect();
        view->chooseZoom(percent);
        for (std::size_t i = 0; i < editor::layout::kKnobCount; ++i)
            effect->setParameter(editor::layout::kKnobs[i].parameter, static_cast<float>((i * 37) % 58) / 57.0f);
        ASSERT_TRUE(open());
        const double zoom = percent / 100.0;
        const gui::PixelBuffer& shown = root()->pixels();
        ASSERT_EQ(shown.width(), gui::zoomed(623, zoom));
        ASSERT_EQ(shown.height(), gui::zoomed(540, zoom));
        const gui::PixelBuffer background = pictures::drawBackground(zoom);
        const gui::PixelBuffer strip = pictures::drawKnobStrip(zoom);
        for (std::size_t i = 0; i < editor::layout::kKnobCount; ++i) {
            const int parameter = editor::layout::kKnobs[i].parameter;
            const float value = effect->getParameter(parameter);
            const int frame = value >= 1.0f ? 126 : static_cast<int>(value * 126.0f);
            const gui::Rect r = gui::zoomed(view->parameterControl(parameter)->size(), zoom);
            int wrong = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    const int sx = x - r.left, sy = gui::zoomed(frame * 33, zoom) + y - r.top;
                    const std::uint32_t p = strip.inside(sx, sy) ? strip.at(sx, sy) : key;
                    wrong += shown.at(x, y) != (p == key ? background.at(x, y) : p);
                }
            EXPECT_EQ(wrong, 0) << "knob " << parameter;
        }
        if (percent == 200) {
            // A doubled picture is made of uniform 2 x 2 blocks.
            int detailed = 0;
            for (int y = 0; y + 1 < shown.height(); y += 2)
                for (int x = 0; x + 1 < shown.width(); x += 2) {
                    const std::uint32_t p = shown.at(x, y);
                    detailed += shown.at(x + 1, y) != p || shown.at(x, y + 1) != p || shown.at(x + 1, y + 1) != p;
                }
            EXPECT_GT(detailed, 20000);
            save("editor-200");
        }
    }
}

TEST_F(EditorPictureTest, LockedKnobsShowHalfTransparentOverThePanel) {
    registry.writeDword("Software\\Vok\\Tamborik", "outMode", 0);
    registry.writeDword("Software\\Vok\\Tamborik", "lockvolume", 1);
    createEffect();
    ASSERT_TRUE(open());
    root()->redraw();
    save("editor-locked");
    gui::Bitmap* background = gui::Bitmap::load(editor::layout::kBackgroundPicture);
    gui::Bitmap* strip = gui::Bitmap::load(editor::layout::kKnobStrip);
    const std::uint32_t key = gui::colors::kTransparentKey.pixel();
    for (int parameter : {68, 69, 86, 87}) {  // Pan at 0.5, Volume at 0.87
        const gui::Rect r = view->parameterControl(parameter)->size();
        const int frame = static_cast<int>(effect->getParameter(parameter) * 126.0f);
        EXPECT_EQ(mismatches(r,
                             [&](int x, int y) {
                                 const std::uint32_t p = strip->pixel(x - r.left, frame * 33 + y - r.top);
                                 const std::uint32_t under = background->pixel(x, y);
                                 return p == key ? under : gui::PixelBuffer::mix(p, under, 128);
                             }),
                  0)
            << parameter;
    }
    background->forget();
    strip->forget();
}

TEST_F(EditorPictureTest, TheSettingsPanelAndTheAboutBoxDrawOverTheWindow) {
    ASSERT_TRUE(open());
    choose(view->fileMenu(), editor::PluginEditor::kSettings);
    ASSERT_NE(view->settingsPanel(), nullptr);
    const gui::Rect panel = view->settingsPanel()->size();
    EXPECT_GE(panel.left, 0);
    EXPECT_LE(panel.right, 623);
    EXPECT_GE(panel.top, 0);
    EXPECT_LE(panel.bottom, 540);
    save("editor-settings");
    view->settingsPanel()->cancel();
    click({20, 20});
    ASSERT_EQ(root()->modalView(), view->aboutOverlay());
    for (const auto& link : view->aboutOverlay()->linkAreas()) {
        EXPECT_GE(link.rect.left, 201);
        EXPECT_LE(link.rect.right, 421);
    }
    save("editor-about");
}

}  // namespace
