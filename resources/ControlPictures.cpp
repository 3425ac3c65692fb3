// The film strips drawn over the panel: knob, level light, Key Mode switch.
#include <cmath>

#include "editor/EditorLayout.h"
#include "gui/Zoom.h"
#include "resources/Canvas.h"
#include "resources/Palette.h"
#include "resources/Pictures.h"

namespace pictures {

namespace layout = editor::layout;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Color kNearWhite{254, 254, 254, 0};

// Pixels left at exactly the panel colour become the colour key, so the
// panel shows through wherever the knob is not; a real white inside the
// picture is moved off the key first.
void keyOut(Canvas& canvas, Color panel) {
    canvas.replace(gui::colors::kTransparentKey, kNearWhite);
    canvas.replace(panel, gui::colors::kTransparentKey);
}

// One knob frame: a dark skirt carrying the value ring, a machined cap and
// a cream pointer.
void drawKnob(Canvas& canvas, double top, double angle, bool showValue) {
    constexpr double kSkirt = 15.4, kRingInner = 11.7, kRingOuter = 13.9, kCap = 9.4, kFace = 8.2;
    constexpr double kPointerFrom = 2.6, kPointerTo = 8.0, kPointerWidth = 2.1;
    const double cx = layout::kKnobWidth / 2.0, cy = top + layout::kKnobFrameHeight / 2.0;
    canvas.fillCircle(cx, cy + 0.8, kSkirt + 0.3, mixColor(palette::kPanel, gui::colors::kBlack, 0.55));
    canvas.fillCircleGradient(cx, cy, kSkirt, {44, 46, 51, 0}, {20, 21, 23, 0});
    canvas.strokeArc(cx, cy, kRingInner, kRingOuter, 225, -45, {64, 62, 60, 0});
    if (showValue) canvas.strokeArc(cx, cy, kRingInner + 0.25, kRingOuter - 0.25, 225, angle, palette::kAccent);
    canvas.fillCircle(cx, cy + 0.9, kCap + 0.2, {12, 12, 14, 0});
    canvas.fillCircleGradient(cx, cy, kCap, {132, 136, 144, 0}, {52, 54, 59, 0});
    canvas.fillCircleGradient(cx, cy, kFace, {72, 75, 82, 0}, {98, 102, 110, 0});
    const double a = angle * kPi / 180;
    canvas.strokeLine(cx + kPointerFrom * std::cos(a), cy - kPointerFrom * std::sin(a), cx + kPointerTo * std::cos(a),
                      cy - kPointerTo * std::sin(a), kPointerWidth, palette::kCream);
}

// One level light frame: a red lamp in a recessed bezel, glowing onto the
// panel as it brightens.
void drawLevelLight(Canvas& canvas, double top, double level) {
    constexpr double kBezel = 7.4, kLens = 5.9;
    constexpr Color kLampOff{58, 20, 18, 0}, kLampOn{255, 78, 42, 0}, kHot{255, 222, 170, 0};
    const double cx = layout::kLightWidth / 2.0, cy = top + layout::kLightFrameHeight / 2.0;
    const double glow = level * level;
    for (int ring = 0; ring < 4; ++ring)
        canvas.fillCircle(cx, cy, 10.4 - 0.8 * ring, mixColor(palette::kPanel, kLampOn, glow * (0.08 + 0.06 * ring)));
    canvas.fillCircleGradient(cx, cy, kBezel, {16, 16, 18, 0}, {84, 86, 92, 0});
    const Color lamp = mixColor(kLampOff, kLampOn, std::sqrt(level));
    canvas.fillCircleGradient(cx, cy, kLens, mixColor(lamp, gui::colors::kBlack, 0.25), lamp);
    canvas.fillCircle(cx, cy + 0.5, kLens - 2.6, mixColor(lamp, kHot, 0.75 * glow));
    canvas.fillCircle(cx - 1.9, cy - 2.2, 1.5, mixColor(lamp, kHot, 0.35 + 0.5 * level));
}

// One switch frame: a key cap in a recessed well filling the hit area; on,
// it sits lower, turns amber and its lamp lights.
void drawKeySwitch(Canvas& canvas, double top, bool on) {
    const layout::Box hit = layout::switchHitArea();
    const double x0 = hit.left, x1 = hit.right, y0 = top + hit.top, y1 = top + hit.bottom;
    canvas.fillRoundRect(x0 - 1.5, y0 - 1.5, x1 + 1.5, y1 + 2.2, 4.0, {70, 72, 78, 0});
    canvas.fillRoundRect(x0 - 1.5, y0 - 1.5, x1 + 1.5, y1 + 1.5, 4.0, {12, 12, 14, 0});
    const double press = on ? 1.0 : 0.0;
    const Color capTop = on ? Color{252, 184, 96, 0} : Color{120, 124, 132, 0};
    const Color capBottom = on ? Color{214, 110, 34, 0} : Color{66, 68, 74, 0};
    canvas.fillRoundRect(x0, y0 + press, x1, y1 - 0.2 + press * 0.4, 3.0, mixColor(capBottom, gui::colors::kBlack, 0.4));
    canvas.fillRoundRectGradient(x0, y0 + press, x1, y1 - 1.4 + press * 0.6, 3.0, capTop, capBottom);
    const double lampX0 = (x0 + x1) / 2 - 6, lampX1 = (x0 + x1) / 2 + 6, lampY = y0 + 4 + press;
    if (on) canvas.fillRoundRect(lampX0 - 1.8, lampY - 1.8, lampX1 + 1.8, lampY + 4.8, 3.0, {255, 226, 160, 0});
    canvas.fillRoundRect(lampX0, lampY, lampX1, lampY + 3, 1.5, on ? Color{255, 250, 232, 0} : Color{34, 35, 38, 0});
}

// Where frame f of a strip starts, in picture units: on a whole pixel at
// every scale.
double frameTop(int frame, int frameHeight, const Canvas& canvas) {
    return gui::zoomed(frame * frameHeight, canvas.scale()) / canvas.scale();
}

}  // namespace

double knobPointerAngle(int frame) {
    return 225.0 - 270.0 * frame / (layout::kKnobFrames - 1);
}

gui::PixelBuffer drawKnobStrip(double scale) {
    constexpr int kFrameHeight = layout::kKnobFrameHeight, kFrames = layout::kKnobFrames;
    Canvas canvas(layout::kKnobWidth, kFrameHeight * kFrames, scale, palette::kPanel);
    for (int f = 0; f < kFrames; ++f) drawKnob(canvas, frameTop(f, kFrameHeight, canvas), knobPointerAngle(f), f > 0);
    keyOut(canvas, palette::kPanel);
    return canvas.pixels();
}

gui::PixelBuffer drawLevelLightStrip(double scale) {
    constexpr int kFrameHeight = layout::kLightFrameHeight, kFrames = layout::kLevelLightFrames;
    Canvas canvas(layout::kLightWidth, kFrameHeight * kFrames, scale, palette::kPanel);
    for (int f = 0; f < kFrames; ++f) drawLevelLight(canvas, frameTop(f, kFrameHeight, canvas), f / double(kFrames - 1));
    canvas.replace(gui::colors::kTransparentKey, kNearWhite);
    return canvas.pixels();
}

gui::PixelBuffer drawKeyModeSwitch(double scale) {
    constexpr int kFrameHeight = layout::kSwitchFrameHeight;
    Canvas canvas(layout::kSwitchWidth, kFrameHeight * layout::kSwitchFrames, scale, palette::kDeck);
    drawKeySwitch(canvas, 0, false);
    drawKeySwitch(canvas, frameTop(1, kFrameHeight, canvas), true);
    canvas.replace(gui::colors::kTransparentKey, kNearWhite);
    return canvas.pixels();
}

}  // namespace pictures
