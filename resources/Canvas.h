// Anti-aliased painting for the editor's pictures. Every coordinate is in
// picture units at 1x; the canvas multiplies them by its scale, so the same
// drawing code makes the shipped pictures and the sets for every zoom (the
// scale need not be whole: 1.25 draws the pictures for 125 %).
#pragma once

#include <string>

#include "gui/Color.h"
#include "gui/PixelBuffer.h"

namespace pictures {

using gui::Color;

// A colour between a and b; t 0 gives a, 1 gives b.
Color mixColor(Color a, Color b, double t);

class Canvas {
public:
    // width x height picture units; the pixels are that at the scale, rounded.
    Canvas(int width, int height, double scale, Color fill);

    double scale() const { return scale_; }
    gui::PixelBuffer& pixels() { return pixels_; }
    const gui::PixelBuffer& pixels() const { return pixels_; }

    // Covers the shape whose signed distance (negative inside, picture units)
    // distance(x, y) gives, within the box x0..x1, y0..y1, in the colour
    // shade(x, y) returns; its edge is one device pixel wide.
    template <typename Distance, typename Shade>
    void paint(double x0, double y0, double x1, double y1, Distance distance, Shade shade);

    void fillRect(double x0, double y0, double x1, double y1, Color color);
    void fillRoundRect(double x0, double y0, double x1, double y1, double radius, Color color);
    // Top colour at y0 running to the bottom colour at y1.
    void fillRoundRectGradient(double x0, double y0, double x1, double y1, double radius, Color top, Color bottom);
    void fillCircle(double cx, double cy, double radius, Color color);
    void fillCircleGradient(double cx, double cy, double radius, Color top, Color bottom);
    // A line with round ends.
    void strokeLine(double x0, double y0, double x1, double y1, double width, Color color);
    // A ring segment with round ends between radii inner and outer, running
    // clockwise from the angle from to the angle to (degrees, counter-clockwise
    // from the right, as on a clock face turned to mathematics).
    void strokeArc(double cx, double cy, double inner, double outer, double from, double to, Color color);
    // A triangle given by its corners.
    void fillTriangle(double ax, double ay, double bx, double by, double cx, double cy, Color color);

    // Text with its cell's top-left corner at (x, y), height in picture units.
    void text(double x, double y, const std::string& text, int height, int style, Color color);

    // Every pixel of exactly colour from becomes colour to.
    void replace(Color from, Color to);

private:
    double scale_;
    gui::PixelBuffer pixels_;
};

template <typename Distance, typename Shade>
void Canvas::paint(double x0, double y0, double x1, double y1, Distance distance, Shade shade) {
    const int px0 = static_cast<int>(x0 * scale_) - 1, py0 = static_cast<int>(y0 * scale_) - 1;
    const int px1 = static_cast<int>(x1 * scale_) + 2, py1 = static_cast<int>(y1 * scale_) + 2;
    for (int py = py0; py < py1; ++py)
        for (int px = px0; px < px1; ++px) {
            if (!pixels_.inside(px, py)) continue;
            const double x = (px + 0.5) / scale_, y = (py + 0.5) / scale_;
            const double coverage = 0.5 - distance(x, y) * scale_;
            if (coverage <= 0.0) continue;
            const int amount = coverage >= 1.0 ? 255 : static_cast<int>(coverage * 255.0 + 0.5);
            pixels_.blend(px, py, shade(x, y).pixel(), amount);
        }
}

}  // namespace pictures
