#include "gui/Surface.h"

#include <cstdlib>

#include "gui/Fonts.h"

namespace gui {

Surface::Surface(PixelBuffer& target, RootView* root, InputSource* input)
    : target_(target), root_(root), input_(input), clip_{0, 0, target.width(), target.height()} {}

void Surface::setFont(int id, int size, int style) {
    const FontEntry entry = fontEntry(id);
    fontHeight_ = size > 0 ? size : entry.height;
    fontStyle_ = style | entry.style;
}

int Surface::stringWidth(const std::string& text) const {
    return Fonts::textWidth(text, fontHeight_, fontStyle_);
}

void Surface::plot(int x, int y, std::uint32_t pixel) {
    x += origin_.x;
    y += origin_.y;
    if (x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
    target_.set(x, y, pixel);
}

void Surface::lineTo(Point end) {
    int x = pen_.x, y = pen_.y;
    const int dx = std::abs(end.x - x), dy = -std::abs(end.y - y);
    const int sx = x < end.x ? 1 : -1, sy = y < end.y ? 1 : -1;
    int error = dx + dy;
    const std::uint32_t pixel = frame_.pixel();
    while (x != end.x || y != end.y) {
        if (lineStyle_ == LineStyle::kSolid || (dotPhase_++ & 1) == 0) plot(x, y, pixel);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
    pen_ = end;
}

void Surface::drawRect(const Rect& r) {
    dotPhase_ = 0;
    moveTo({r.left, r.top});
    lineTo({r.right, r.top});
    lineTo({r.right, r.bottom});
    lineTo({r.left, r.bottom});
    lineTo({r.left, r.top});
}

void Surface::fillRect(const Rect& r) {
    const std::uint32_t pixel = fill_.pixel();
    for (int y = r.top + 1; y < r.bottom; ++y)
        for (int x = r.left + 1; x < r.right; ++x) plot(x, y, pixel);
}

void Surface::drawString(const std::string& text, const Rect& r, bool opaque, int alignment) {
    if (text.empty() || r.width() <= 0 || r.height() <= 0) return;
    const int width = stringWidth(text);
    int x = r.left + 1;
    if (alignment == kAlignCenter) x = r.left + (r.width() - width) / 2;
    else if (alignment == kAlignRight) x = r.right - width;
    const int y = r.top + (r.height() - fontHeight_) / 2;
    // Text is clipped to its rectangle as well as to the surface.
    Rect bounds = r.offset(origin_.x, origin_.y);
    bounds.left = std::max(bounds.left, clip_.left);
    bounds.top = std::max(bounds.top, clip_.top);
    bounds.right = std::min(bounds.right, clip_.right);
    bounds.bottom = std::min(bounds.bottom, clip_.bottom);
    if (opaque) {
        for (int py = std::max(y, r.top); py < std::min(y + fontHeight_, r.bottom); ++py)
            for (int px = std::max(x, r.left); px < std::min(x + width, r.right); ++px) plot(px, py, fill_.pixel());
    }
    Fonts::drawText(target_, x + origin_.x, y + origin_.y, text, fontHeight_, fontStyle_, fontColor_, bounds);
}

OffscreenSurface::OffscreenSurface(RootView* root, int width, int height, Color background)
    : OffscreenSurface(std::make_unique<PixelBuffer>(width, height, background), root) {}

OffscreenSurface::OffscreenSurface(std::unique_ptr<PixelBuffer> buffer, RootView* root)
    : Surface(*buffer, root), owned_(std::move(buffer)) {}

void OffscreenSurface::copyTo(Surface& destination, const Rect& rect, Point source) const {
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x) {
            const int sx = source.x + x, sy = source.y + y;
            if (owned_->inside(sx, sy)) destination.plot(rect.left + x, rect.top + y, owned_->at(sx, sy));
        }
}

}  // namespace gui
