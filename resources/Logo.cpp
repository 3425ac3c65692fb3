#include "resources/Logo.h"

#include <string>

#include "gui/Fonts.h"
#include "resources/Palette.h"

namespace pictures {

namespace {
constexpr double kEmblemRadius = 13.0;
constexpr int kNameHeight = 19;
constexpr double kNameSpacing = 1.6;
constexpr int kTaglineHeight = 8;
constexpr double kTaglineSpacing = 1.25;
}  // namespace

double spacedTextWidth(const char* text, int height, int style, double spacing) {
    double width = 0;
    for (const char* c = text; *c; ++c) width += gui::Fonts::textWidth(std::string(1, *c), height, style) + spacing;
    return width - spacing;
}

void drawSpacedText(Canvas& canvas, double x, double y, const char* text, int height, int style, double spacing,
                    Color color) {
    for (const char* c = text; *c; ++c) {
        const std::string letter(1, *c);
        canvas.text(x, y, letter, height, style, color);
        x += gui::Fonts::textWidth(letter, height, style) + spacing;
    }
}

void drawLogo(Canvas& canvas, double x, double y, Color backdrop) {
    // A drum head seen from above: rim, head, and the struck centre.
    const double cx = x + 19, cy = y + 19;
    canvas.fillCircle(cx, cy + 0.8, kEmblemRadius, mixColor(backdrop, gui::colors::kBlack, 0.5));
    canvas.fillCircleGradient(cx, cy, kEmblemRadius, {250, 168, 80, 0}, {214, 96, 38, 0});
    canvas.fillCircleGradient(cx, cy, kEmblemRadius - 2.6, {30, 31, 35, 0}, {52, 54, 60, 0});
    canvas.fillCircle(cx, cy, kEmblemRadius - 5.4, palette::kCream);
    canvas.fillCircle(cx, cy, kEmblemRadius - 7.0, {30, 31, 35, 0});
    canvas.fillCircle(cx, cy, 2.4, palette::kAccent);

    drawSpacedText(canvas, x + 38, y + 4, "TAMBORIK", kNameHeight, gui::kBold, kNameSpacing, palette::kCream);
    drawSpacedText(canvas, x + 39, y + 25, "DRUM SYNTHESIZER", kTaglineHeight, 0, kTaglineSpacing,
                   palette::kAccent);
}

}  // namespace pictures
