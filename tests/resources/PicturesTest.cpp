// The editor's pictures: the embedded PNGs load at the sizes the editor
// needs and match what the generator draws today; the film strips move
// frame by frame; every label of the background sits clear of the controls,
// and the controls' places stay flat in the colours their pictures expect.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "editor/EditorLayout.h"
#include "gui/Bitmap.h"
#include "resources/Palette.h"
#include "resources/PanelLabels.h"
#include "resources/Pictures.h"

namespace {

namespace layout = editor::layout;
using pictures::palette::kDeck;
using pictures::palette::kPanel;

constexpr std::uint32_t kKey = 0xFFFFFF;

int channelMin(std::uint32_t p) {
    return std::min({int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)});
}
int channelMax(std::uint32_t p) {
    return std::max({int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)});
}

int channelDistance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        most = std::max(most, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return most;
}

// Every pixel of box (right and bottom edges included) of the picture.
template <typename Check>
void forEachPixel(const gui::PixelBuffer& picture, const layout::Box& box, Check check) {
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) check(x, y, picture.at(x, y));
}

bool overlaps(const layout::Box& a, const layout::Box& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// A label's cell, its last column and row being the ones before right and bottom.
layout::Box cell(const pictures::Label& label) {
    return {label.box.left, label.box.top, label.box.right - 1, label.box.bottom - 1};
}

TEST(PicturesTest, EmbeddedPicturesHaveTheSizesTheEditorNeedsAndMatchTheGenerator) {
    struct Expected {
        int id, width, height;
        gui::PixelBuffer (*draw)(double);
    };
    const Expected expected[] = {
        {layout::kAboutPicture, 220, 165, pictures::drawAboutPicture},
        {layout::kBackgroundPicture, 623, 540, pictures::drawBackground},
        {layout::kKnobStrip, 44, 4191, pictures::drawKnobStrip},
        {layout::kLevelLightStrip, 28, 1344, pictures::drawLevelLightStrip},
        {layout::kKeyModeSwitchPicture, 40, 60, pictures::drawKeyModeSwitch},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.id);
        gui::Bitmap* bitmap = gui::Bitmap::load(e.id);
        ASSERT_EQ(bitmap->width(), e.width);
        ASSERT_EQ(bitmap->height(), e.height);
        // A generator change without `make pictures` shows here; a rounding
        // step of another maths library would not.
        const gui::PixelBuffer drawn = e.draw(1);
        int differing = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) differing += channelDistance(bitmap->pixel(x, y), drawn.at(x, y)) > 2;
        EXPECT_EQ(differing, 0);
        bitmap->forget();
    }
}

TEST(PicturesTest, EveryScaleDrawsEveryPictureAtItsSizeTimesTheScaleRounded) {
    struct Sizes {
        double scale;
        int aboutWidth, backgroundWidth, backgroundHeight, knobsWidth, knobsHeight, lightsHeight, switchHeight;
    };
    const Sizes table[] = {
        {1.25, 275, 779, 675, 55, 5239, 1680, 75},
        {1.75, 385, 1090, 945, 77, 7334, 2352, 105},
        {2, 440, 1246, 1080, 88, 8382, 2688, 120},
        {2.5, 550, 1558, 1350, 110, 10478, 3360, 150},
    };
    for (const Sizes& s : table) {
        SCOPED_TRACE(s.scale);
        EXPECT_EQ(pictures::drawAboutPicture(s.scale).width(), s.aboutWidth);
        const gui::PixelBuffer background = pictures::drawBackground(s.scale);
        EXPECT_EQ(background.width(), s.backgroundWidth);
        EXPECT_EQ(background.height(), s.backgroundHeight);
        const gui::PixelBuffer knobs = pictures::drawKnobStrip(s.scale);
        EXPECT_EQ(knobs.width(), s.knobsWidth);
        EXPECT_EQ(knobs.height(), s.knobsHeight);
        EXPECT_EQ(pictures::drawLevelLightStrip(s.scale).height(), s.lightsHeight);
        EXPECT_EQ(pictures::drawKeyModeSwitch(s.scale).height(), s.switchHeight);
    }
}

// The pointer's direction in a knob frame: the centroid of its cream pixels
// seen from the knob's centre, in degrees, 225 at lower left to -45.
double pointerAngle(const gui::PixelBuffer& strip, int frame) {
    const int top = frame * layout::kKnobFrameHeight;
    double sx = 0, sy = 0, weight = 0;
    for (int y = 0; y < layout::kKnobFrameHeight; ++y)
        for (int x = 0; x < layout::kKnobWidth; ++x) {
            const std::uint32_t p = strip.at(x, top + y);
            const int light = channelMin(p) - 170;
            if (p == kKey || light <= 0) continue;
            sx += light * (x + 0.5);
            sy += light * (y + 0.5);
            weight += light;
        }
    if (weight == 0) return NAN;
    const double dx = sx / weight - layout::kKnobWidth / 2.0, dy = sy / weight - layout::kKnobFrameHeight / 2.0;
    double angle = std::atan2(-dy, dx) * 180 / 3.14159265358979323846;
    if (angle < -90) angle += 360;
    return angle;
}

TEST(PicturesTest, KnobPointerTurnsSteadilyOverTheSweepOnAKeyedOutSquare) {
    const gui::PixelBuffer strip = pictures::drawKnobStrip(1);
    double previous = 400;
    for (int f = 0; f < layout::kKnobFrames; ++f) {
        SCOPED_TRACE(f);
        const double angle = pointerAngle(strip, f);
        ASSERT_LT(angle, previous);
        EXPECT_NEAR(angle, pictures::knobPointerAngle(f), 3.0);
        previous = angle;
        const int top = f * layout::kKnobFrameHeight;
        // Corners are the colour key, the knob's middle never is, and the
        // anti-aliased rim next to the key is dark (blended toward the
        // panel, not toward the key's white).
        EXPECT_EQ(strip.at(0, top), kKey);
        EXPECT_EQ(strip.at(layout::kKnobWidth - 1, top + layout::kKnobFrameHeight - 1), kKey);
        for (int y = 0; y < layout::kKnobFrameHeight; ++y)
            for (int x = 0; x < layout::kKnobWidth; ++x) {
                const std::uint32_t p = strip.at(x, top + y);
                if (std::hypot(x + 0.5 - 22, y + 0.5 - 16.5) < 12) {
                    ASSERT_NE(p, kKey);
                }
                const bool nextToKey = strip.at(x - 1, top + y) == kKey || strip.at(x + 1, top + y) == kKey ||
                                       (y > 0 && strip.at(x, top + y - 1) == kKey) ||
                                       (y + 1 < layout::kKnobFrameHeight && strip.at(x, top + y + 1) == kKey);
                if (p != kKey && nextToKey) {
                    ASSERT_LE(channelMax(p), 100) << x << "," << y;
                }
            }
    }
    EXPECT_NEAR(pointerAngle(strip, 0), 225, 3.0);
    EXPECT_NEAR(pointerAngle(strip, layout::kKnobFrames - 1), -45, 3.0);
}

double meanBrightness(const gui::PixelBuffer& strip, int frame, int frameHeight) {
    double sum = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < strip.width(); ++x) sum += channelMax(strip.at(x, frame * frameHeight + y));
    return sum / (frameHeight * strip.width());
}

TEST(PicturesTest, LevelLightBrightensFromDarkToFullyLitOnThePanelColour) {
    const gui::PixelBuffer strip = pictures::drawLevelLightStrip(1);
    const int height = layout::kLightFrameHeight;
    for (int f = 1; f < layout::kLevelLightFrames; ++f)
        ASSERT_GT(meanBrightness(strip, f, height), meanBrightness(strip, f - 1, height)) << f;
    const int cx = layout::kLightWidth / 2, cy = height / 2;
    EXPECT_LT(channelMax(strip.at(cx, cy)), 90);
    EXPECT_GT(channelMax(strip.at(cx, (layout::kLevelLightFrames - 1) * height + cy)), 240);
    // No outside area: the frame's border is the panel, so it looks the
    // same drawn opaque or keyed, and nothing in it is the key.
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) ASSERT_NE(strip.at(x, y), kKey);
    for (int f = 0; f < layout::kLevelLightFrames; ++f) {
        EXPECT_EQ(strip.at(0, f * height), kPanel.pixel());
        EXPECT_EQ(strip.at(layout::kLightWidth - 1, f * height + height - 1), kPanel.pixel());
    }
}

TEST(PicturesTest, KeyModeSwitchShowsOffAboveAndALitKeyBelowOnTheDeckColour) {
    const gui::PixelBuffer picture = pictures::drawKeyModeSwitch(1);
    const layout::Box hit = layout::switchHitArea();
    const int frame = layout::kSwitchFrameHeight;
    double off = 0, on = 0;
    for (int y = hit.top; y < hit.bottom; ++y)
        for (int x = hit.left; x < hit.right; ++x) {
            off += channelMax(picture.at(x, y));
            on += channelMax(picture.at(x, frame + y));
        }
    EXPECT_GT(on, off * 1.5);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ASSERT_NE(picture.at(x, y), kKey);
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(picture.at(0, f * frame), kDeck.pixel());
        EXPECT_EQ(picture.at(layout::kSwitchWidth - 1, f * frame + frame - 1), kDeck.pixel());
    }
}

TEST(PicturesTest, EveryKnobHasItsNameJustUnderIt) {
    const std::vector<pictures::Label> labels = pictures::panelLabels();
    for (std::size_t i = 0; i < layout::kKnobCount; ++i) {
        const layout::KnobCell& knob = layout::kKnobs[i];
        const layout::Box box = layout::knobBox(knob.voice, knob.row);
        int found = 0;
        for (const pictures::Label& label : labels)
            if (label.text == knob.name && label.box.top == box.bottom + 1 &&
                std::abs((label.box.left + label.box.right) / 2 - layout::columnCentre(knob.voice)) <= 1)
                ++found;
        EXPECT_EQ(found, 1) << layout::kVoiceNames[knob.voice] << " " << knob.name;
    }
    std::set<std::string> texts;
    for (const pictures::Label& label : labels) texts.insert(label.text);
    for (const char* name : layout::kVoiceNames) EXPECT_EQ(texts.count(name), 1u) << name;
    for (const char* caption : {"MIDI Ch", "Note", "Key", "Ch Note", "Oh Note", "Program", "MIDI Learn"})
        EXPECT_EQ(texts.count(caption), 1u) << caption;
}

TEST(PicturesTest, LabelsLieInsideTheWindowClearOfControlsAndOfEachOther) {
    const std::vector<pictures::Label> labels = pictures::panelLabels();
    const std::vector<layout::Box> controls = pictures::controlBoxes();
    // 58 knobs, 21 fields, 10 lights, 7 switches, 6 top-bar controls.
    EXPECT_EQ(controls.size(), 102u);
    const gui::PixelBuffer background = pictures::drawBackground(1);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const layout::Box box = cell(labels[i]);
        SCOPED_TRACE(labels[i].text);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_LT(box.right, layout::kWindowWidth);
        EXPECT_LT(box.bottom, layout::kWindowHeight);
        for (const layout::Box& control : controls) EXPECT_FALSE(overlaps(box, control));
        for (std::size_t j = i + 1; j < labels.size(); ++j) EXPECT_FALSE(overlaps(box, cell(labels[j])));
        // The text is really printed there.
        std::set<std::uint32_t> colours;
        forEachPixel(background, box, [&](int, int, std::uint32_t p) { colours.insert(p); });
        EXPECT_GT(colours.size(), 3u);
    }
}

TEST(PicturesTest, ControlPlacesOnTheBackgroundAreFlatInTheirPicturesColours) {
    const gui::PixelBuffer background = pictures::drawBackground(1);
    auto expectFlat = [&](const layout::Box& box, std::uint32_t colour) {
        int other = 0;
        forEachPixel(background, box, [&](int, int, std::uint32_t p) { other += p != colour; });
        EXPECT_EQ(other, 0) << box.left << "," << box.top;
    };
    for (std::size_t i = 0; i < layout::kKnobCount; ++i)
        expectFlat(layout::knobBox(layout::kKnobs[i].voice, layout::kKnobs[i].row), kPanel.pixel());
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        expectFlat(layout::levelLightBox(v), kPanel.pixel());
        expectFlat(layout::channelFieldBox(v), kDeck.pixel());
        expectFlat(layout::noteFieldBox(v), kDeck.pixel());
        if (layout::kKeyModeParameter[v] >= 0) expectFlat(layout::switchBox(v), kDeck.pixel());
    }
    expectFlat(layout::openHihatNoteFieldBox(), kDeck.pixel());
}

}  // namespace
