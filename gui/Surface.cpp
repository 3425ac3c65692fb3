#include "gui/Surface.h"

#include <cstdlib>

#include "gui/Fonts.h"
#include "gui/Zoom.h"

namespace gui {

Surface::Surface(PixelBuffer& target, RootView* root, InputSource* input)
    : target_(target), root_(root), input_(input), clip_{0, 0, target.width(), target.height()} {}

void Surface::setFont(int id, int size, int style) {
    const FontEntry entry = fontEntry(id);
    fontHeight_ = size > 0 ? size : entry.height;
    fontStyle_ = style | entry.style;
}

int Surface::toDevice(int v) const {
    return zoomed(v, zoom_);
}

// In surface coordinates: at a zoom, the width of the text drawn at the
// zoomed height, rounded up.
int Surface::stringWidth(const std::string& text) const {
    if (zoom_ == 1.0) return Fonts::textWidth(text, fontHeight_, fontStyle_);
    const int width = Fonts::textWidth(text, zoomed(fontHeight_, zoom_), fontStyle_);
    return static_cast<int>(std::ceil(width / zoom_ - 1e-9));
}

void Surface::plot(int x, int y, std::uint32_t pixel) {
    x += origin_.x;
    y += origin_.y;
    if (zoom_ == 1.0) {
        plotDevice(x, y, pixel);
        return;
    }
    for (int py = toDevice(y); py < toDevice(y + 1); ++py)
        for (int px = toDevice(x); px < toDevice(x + 1); ++px) plotDevice(px, py, pixel);
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

// At a zoom the text is laid out and rasterised in target pixels, at the
// zoomed height, so it stays sharp.
void Surface::drawString(const std::string& text, const Rect& rect, bool opaque, int alignment) {
    if (text.empty() || rect.width() <= 0 || rect.height() <= 0) return;
    const Rect r = zoomed(rect.offset(origin_.x, origin_.y), zoom_);
    const int height = zoomed(fontHeight_, zoom_);
    const int width = Fonts::textWidth(text, height, fontStyle_);
    int x = toDevice(rect.left + origin_.x + 1);
    if (alignment == kAlignCenter) x = r.left + (r.width() - width) / 2;
    else if (alignment == kAlignRight) x = r.right - width;
    const int y = r.top + (r.height() - height) / 2;
    // Text is clipped to its rectangle as well as to the surface.
    Rect bounds = r;
    bounds.left = std::max(bounds.left, clip_.left);
    bounds.top = std::max(bounds.top, clip_.top);
    bounds.right = std::min(bounds.right, clip_.right);
    bounds.bottom = std::min(bounds.bottom, clip_.bottom);
    if (opaque) {
        for (int py = std::max(y, r.top); py < std::min(y + height, r.bottom); ++py)
            for (int px = std::max(x, r.left); px < std::min(x + width, r.right); ++px) plotDevice(px, py, fill_.pixel());
    }
    Fonts::drawText(target_, x, y, text, height, fontStyle_, fontColor_, bounds);
}

OffscreenSurface::OffscreenSurface(RootView* root, int width, int height, Color background, double zoom)
    : OffscreenSurface(std::make_unique<PixelBuffer>(zoomed(width, zoom), zoomed(height, zoom), background), root,
                       zoom) {}

OffscreenSurface::OffscreenSurface(std::unique_ptr<PixelBuffer> buffer, RootView* root, double zoom)
    : Surface(*buffer, root), owned_(std::move(buffer)) {
    setZoom(zoom);
}

// Pixel for pixel when both surfaces have the same zoom.
void OffscreenSurface::copyTo(Surface& destination, const Rect& rect, Point source) const {
    if (destination.zoom() != zoom()) {
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x) {
                const int sx = toDevice(source.x + x), sy = toDevice(source.y + y);
                if (owned_->inside(sx, sy)) destination.plot(rect.left + x, rect.top + y, owned_->at(sx, sy));
            }
        return;
    }
    const Point o = destination.origin();
    const int left = toDevice(rect.left + o.x), top = toDevice(rect.top + o.y);
    const int right = toDevice(rect.right + o.x), bottom = toDevice(rect.bottom + o.y);
    const int sx0 = toDevice(source.x), sy0 = toDevice(source.y);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const int sx = sx0 + x - left, sy = sy0 + y - top;
            if (owned_->inside(sx, sy)) destination.plotDevice(x, y, owned_->at(sx, sy));
        }
}

}  // namespace gui
