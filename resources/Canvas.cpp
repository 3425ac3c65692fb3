#include "resources/Canvas.h"

#include <algorithm>
#include <cmath>

#include "gui/Fonts.h"
#include "gui/Zoom.h"

namespace pictures {

namespace {

constexpr double kPi = 3.14159265358979323846;

double roundBoxDistance(double x, double y, double x0, double y0, double x1, double y1, double radius) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    const double qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double segmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

std::uint8_t channel(double a, double b, double t) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(a + (b - a) * t), 0L, 255L));
}

}  // namespace

Color mixColor(Color a, Color b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {channel(a.red, b.red, t), channel(a.green, b.green, t), channel(a.blue, b.blue, t), 0};
}

Canvas::Canvas(int width, int height, double scale, Color fill)
    : scale_(scale >= 1.0 ? scale : 1.0), pixels_(gui::zoomed(width, scale_), gui::zoomed(height, scale_), fill) {}

void Canvas::fillRect(double x0, double y0, double x1, double y1, Color color) {
    fillRoundRect(x0, y0, x1, y1, 0.0, color);
}

void Canvas::fillRoundRect(double x0, double y0, double x1, double y1, double radius, Color color) {
    fillRoundRectGradient(x0, y0, x1, y1, radius, color, color);
}

void Canvas::fillRoundRectGradient(double x0, double y0, double x1, double y1, double radius, Color top,
                                   Color bottom) {
    paint(
        x0, y0, x1, y1, [&](double x, double y) { return roundBoxDistance(x, y, x0, y0, x1, y1, radius); },
        [&](double, double y) { return mixColor(top, bottom, (y - y0) / (y1 - y0)); });
}

void Canvas::fillCircle(double cx, double cy, double radius, Color color) {
    fillCircleGradient(cx, cy, radius, color, color);
}

void Canvas::fillCircleGradient(double cx, double cy, double radius, Color top, Color bottom) {
    paint(
        cx - radius, cy - radius, cx + radius, cy + radius,
        [&](double x, double y) { return std::hypot(x - cx, y - cy) - radius; },
        [&](double, double y) { return mixColor(top, bottom, (y - cy + radius) / (2 * radius)); });
}

void Canvas::strokeLine(double x0, double y0, double x1, double y1, double width, Color color) {
    const double half = width / 2;
    paint(
        std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half, std::max(y0, y1) + half,
        [&](double x, double y) { return segmentDistance(x, y, x0, y0, x1, y1) - half; },
        [&](double, double) { return color; });
}

void Canvas::strokeArc(double cx, double cy, double inner, double outer, double from, double to, Color color) {
    const double middle = (inner + outer) / 2, half = (outer - inner) / 2;
    const double fromRad = from * kPi / 180, toRad = to * kPi / 180;
    const double ax = cx + middle * std::cos(fromRad), ay = cy - middle * std::sin(fromRad);
    const double bx = cx + middle * std::cos(toRad), by = cy - middle * std::sin(toRad);
    paint(
        cx - outer, cy - outer, cx + outer, cy + outer,
        [&](double x, double y) {
            double angle = std::atan2(cy - y, x - cx) * 180 / kPi;
            while (angle > from) angle -= 360;
            while (angle <= from - 360) angle += 360;
            if (angle >= to) return std::fabs(std::hypot(x - cx, y - cy) - middle) - half;
            return std::min(std::hypot(x - ax, y - ay), std::hypot(x - bx, y - by)) - half;
        },
        [&](double, double) { return color; });
}

void Canvas::fillTriangle(double ax, double ay, double bx, double by, double cx, double cy, Color color) {
    // Counter-clockwise or not, an inside point lies on the same side of all
    // three edges; the distance outside is the nearest edge's.
    const double area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    const double sign = area < 0 ? -1.0 : 1.0;
    auto edge = [&](double x, double y, double px, double py, double qx, double qy) {
        const double length = std::hypot(qx - px, qy - py);
        return -sign * ((qx - px) * (y - py) - (qy - py) * (x - px)) / length;
    };
    paint(
        std::min({ax, bx, cx}), std::min({ay, by, cy}), std::max({ax, bx, cx}), std::max({ay, by, cy}),
        [&](double x, double y) {
            return std::max({edge(x, y, ax, ay, bx, by), edge(x, y, bx, by, cx, cy), edge(x, y, cx, cy, ax, ay)});
        },
        [&](double, double) { return color; });
}

void Canvas::text(double x, double y, const std::string& text, int height, int style, Color color) {
    gui::Fonts::drawText(pixels_, static_cast<int>(std::lround(x * scale_)), static_cast<int>(std::lround(y * scale_)),
                         text, gui::zoomed(height, scale_), style, color, {0, 0, pixels_.width(), pixels_.height()});
}

void Canvas::replace(Color from, Color to) {
    const std::uint32_t f = from.pixel(), t = to.pixel();
    for (int y = 0; y < pixels_.height(); ++y)
        for (int x = 0; x < pixels_.width(); ++x)
            if (pixels_.at(x, y) == f) pixels_.set(x, y, t);
}

}  // namespace pictures
