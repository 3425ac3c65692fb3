// The window's background: top bar, voice tabs, columns, the MIDI deck
// and every label.
#include <algorithm>

#include "editor/EditorLayout.h"
#include "resources/Canvas.h"
#include "resources/Logo.h"
#include "resources/Palette.h"
#include "resources/PanelLabels.h"
#include "resources/Pictures.h"

namespace pictures {

namespace layout = editor::layout;

namespace {

constexpr int kTopBarBottom = 40;
constexpr int kTabTop = 44, kTabBottom = 62, kTabHalfWidth = 28;
constexpr int kRulesTop = 64;
constexpr int kDeckTop = 427;
constexpr int kColumnPitch = 62;
constexpr Color kOutline{12, 12, 14, 0};
constexpr Color kIcon{232, 226, 212, 0};
constexpr double kGrilleHalfWidth = 24, kSlotPitch = 6;
constexpr Color kPlate{40, 42, 46, 0};
constexpr Color kPlateRidge{54, 56, 61, 0};
constexpr Color kSlot{19, 20, 22, 0};

// A raised button face exactly over a control's rectangle (its right and
// bottom edges included).
void drawButtonFace(Canvas& canvas, const layout::Box& box) {
    const double x0 = box.left, y0 = box.top, x1 = box.right + 1, y1 = box.bottom + 1;
    canvas.fillRoundRect(x0 - 1, y0 - 1, x1 + 1, y1 + 1.6, 3.5, kOutline);
    canvas.fillRoundRectGradient(x0, y0, x1, y1, 2.5, palette::kButtonTop, palette::kButtonBottom);
    canvas.fillRect(x0 + 2.5, y0, x1 - 2.5, y0 + 1, {112, 116, 124, 0});
}

void drawTopBar(Canvas& canvas) {
    canvas.fillRect(0, 0, layout::kWindowWidth, kTopBarBottom, palette::kTopBar);
    canvas.fillRect(0, kTopBarBottom, layout::kWindowWidth, kTopBarBottom + 1, palette::kGroove);
    drawLogo(canvas, 4, 0, palette::kTopBar);

    // The recessed slot the program name field sits in.
    const layout::Box& name = layout::kProgramNameField;
    canvas.fillRoundRect(name.left - 5, name.top - 5, name.right + 6, name.bottom + 6.5, 3.5, palette::kRidge);
    canvas.fillRoundRect(name.left - 5, name.top - 5, name.right + 6, name.bottom + 6, 3.5, kOutline);

    for (const layout::Box& b : {layout::kPreviousProgramButton, layout::kNextProgramButton,
                                 layout::kProgramMenuButton, layout::kFileMenuButton, layout::kMidiLearnMenuButton})
        drawButtonFace(canvas, b);

    auto centreX = [](const layout::Box& b) { return (b.left + b.right + 1) / 2.0; };
    auto centreY = [](const layout::Box& b) { return (b.top + b.bottom + 1) / 2.0; };
    const layout::Box& previous = layout::kPreviousProgramButton;
    const layout::Box& next = layout::kNextProgramButton;
    const layout::Box& menu = layout::kProgramMenuButton;
    canvas.fillTriangle(centreX(previous) - 3.5, centreY(previous), centreX(previous) + 2.5, centreY(previous) - 3.5,
                        centreX(previous) + 2.5, centreY(previous) + 3.5, kIcon);
    canvas.fillTriangle(centreX(next) + 3.5, centreY(next), centreX(next) - 2.5, centreY(next) - 3.5,
                        centreX(next) - 2.5, centreY(next) + 3.5, kIcon);
    canvas.fillTriangle(centreX(menu) - 4, centreY(menu) - 2, centreX(menu) + 4, centreY(menu) - 2, centreX(menu),
                        centreY(menu) + 2.5, kIcon);
}

void drawVoiceTabs(Canvas& canvas) {
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        const double c = layout::columnCentre(v) + 0.5;
        const Color color = palette::kVoiceColor[v];
        canvas.fillRoundRect(c - kTabHalfWidth, kTabTop + 1, c + kTabHalfWidth, kTabBottom + 1, 3, palette::kGroove);
        canvas.fillRoundRectGradient(c - kTabHalfWidth, kTabTop, c + kTabHalfWidth, kTabBottom, 3,
                                     mixColor(color, gui::colors::kWhite, 0.18), color);
    }
}

// Engraved rules between the columns, and the deck under the knobs.
void drawColumnsAndDeck(Canvas& canvas) {
    canvas.fillRect(0, kDeckTop, layout::kWindowWidth, layout::kWindowHeight, palette::kDeck);
    canvas.fillRect(0, kDeckTop, layout::kWindowWidth, kDeckTop + 1, palette::kGroove);
    canvas.fillRect(0, kDeckTop - 1, layout::kWindowWidth, kDeckTop, palette::kRidge);
    // The mix rows (Pan, Volume) apart from the sound rows: a rule midway
    // between the Volume knobs' names and the knobs under them.
    const int mixRule = (layout::knobBox(0, 1).bottom + 1 + kKnobNameHeight + layout::knobBox(0, 2).top) / 2;
    canvas.fillRect(0, mixRule, layout::kWindowWidth, mixRule + 1, palette::kGroove);
    canvas.fillRect(0, mixRule + 1, layout::kWindowWidth, mixRule + 2, palette::kRidge);
    for (int v = 0; v + 1 < layout::kVoiceCount; ++v) {
        const int x = layout::columnCentre(v) + kColumnPitch / 2;
        canvas.fillRect(x, kRulesTop, x + 1, layout::kWindowHeight, palette::kGroove);
        canvas.fillRect(x + 1, kRulesTop, x + 2, layout::kWindowHeight, palette::kRidge);
    }
}

// Where a voice has fewer knobs than the tallest column, a grille fills the
// rest of its column down to the deck.
void drawGrilles(Canvas& canvas) {
    int rows[layout::kVoiceCount] = {};
    for (std::size_t i = 0; i < layout::kKnobCount; ++i)
        rows[layout::kKnobs[i].voice] = std::max(rows[layout::kKnobs[i].voice], layout::kKnobs[i].row + 1);
    for (int v = 0; v < layout::kVoiceCount; ++v) {
        if (rows[v] >= layout::kKnobRows) continue;
        const double c = layout::columnCentre(v) + 0.5;
        const double top = layout::knobBox(v, rows[v]).top + 2, bottom = kDeckTop - 8;
        canvas.fillRoundRect(c - kGrilleHalfWidth, top, c + kGrilleHalfWidth, bottom + 1, 4, palette::kRidge);
        canvas.fillRoundRect(c - kGrilleHalfWidth, top, c + kGrilleHalfWidth, bottom, 4, kPlate);
        for (double y = top + 6; y + 3 < bottom - 3; y += kSlotPitch) {
            canvas.fillRoundRect(c - kGrilleHalfWidth + 6, y, c + kGrilleHalfWidth - 6, y + 2.5, 1.25, kSlot);
            canvas.fillRoundRect(c - kGrilleHalfWidth + 6, y + 2.5, c + kGrilleHalfWidth - 6, y + 3.2, 0.5, kPlateRidge);
        }
    }
}

// A panel screw with its slot turned a little off square.
void drawScrew(Canvas& canvas, double cx, double cy) {
    canvas.fillCircle(cx, cy + 0.6, 4.2, kOutline);
    canvas.fillCircleGradient(cx, cy, 3.6, {150, 152, 158, 0}, {70, 72, 78, 0});
    canvas.strokeLine(cx - 2.3, cy + 0.9, cx + 2.3, cy - 0.9, 1.1, {36, 37, 40, 0});
}

void drawScrews(Canvas& canvas) {
    drawScrew(canvas, layout::kWindowWidth - 12, kTopBarBottom / 2.0);
    drawScrew(canvas, 9, layout::kWindowHeight - 9);
    drawScrew(canvas, layout::kWindowWidth - 9, layout::kWindowHeight - 9);
}

void drawLabels(Canvas& canvas) {
    for (const Label& label : panelLabels())
        canvas.text(label.box.left, label.box.top, label.text, label.height, label.style, label.color);
}

}  // namespace

gui::PixelBuffer drawBackground(double scale) {
    Canvas canvas(layout::kWindowWidth, layout::kWindowHeight, scale, palette::kPanel);
    drawTopBar(canvas);
    drawVoiceTabs(canvas);
    drawColumnsAndDeck(canvas);
    drawGrilles(canvas);
    drawScrews(canvas);
    drawLabels(canvas);
    return canvas.pixels();
}

}  // namespace pictures
