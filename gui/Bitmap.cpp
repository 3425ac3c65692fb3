#include "gui/Bitmap.h"

#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "gui/Surface.h"
#include "gui/Zoom.h"
#include "platform/Resources.h"

namespace gui {

Bitmap::Bitmap(int id, int width, int height, std::vector<std::uint32_t> pixels)
    : resourceId_(id), width_(width), height_(height), deviceWidth_(width), deviceHeight_(height),
      pixels_(std::move(pixels)) {}

Bitmap* Bitmap::load(int resourceId) {
    const platform::Resource resource = platform::findResource("BITMAP", std::to_string(resourceId).c_str());
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = nullptr;
    if (resource.data && resource.size < (1u << 30))
        rgb = stbi_load_from_memory(resource.data, static_cast<int>(resource.size), &width, &height, &channels, 3);
    std::vector<std::uint32_t> pixels;
    if (rgb) {
        pixels.resize(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (std::uint32_t(rgb[3 * i]) << 16) | (std::uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
        stbi_image_free(rgb);
    } else {
        width = height = 0;
    }
    return new Bitmap(resourceId, width, height, std::move(pixels));
}

Bitmap* Bitmap::fromPixels(int width, int height, std::vector<std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height)
        return new Bitmap(0, 0, 0, {});
    return new Bitmap(0, width, height, std::move(pixels));
}

Bitmap* Bitmap::fromZoomedPixels(int width, int height, double zoom, int deviceWidth, int deviceHeight,
                                 std::vector<std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || !(zoom > 0.0) || deviceWidth <= 0 || deviceHeight <= 0 ||
        pixels.size() != static_cast<std::size_t>(deviceWidth) * deviceHeight)
        return new Bitmap(0, 0, 0, {});
    auto* picture = new Bitmap(0, width, height, std::move(pixels));
    picture->zoom_ = zoom;
    picture->deviceWidth_ = deviceWidth;
    picture->deviceHeight_ = deviceHeight;
    return picture;
}

std::uint32_t Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= deviceWidth_ || y >= deviceHeight_) return 0;
    return pixels_[static_cast<std::size_t>(y) * deviceWidth_ + x];
}

// Visits the target pixels of rect that the picture covers from offset on
// (both in view pixels), with the picture's pixel for each: one for one
// when the picture is held at the surface's zoom, else the nearest.
template <typename PutPixel>
void Bitmap::forEachPixel(const Surface& surface, const Rect& rect, Point offset, PutPixel put) const {
    if (width_ == 0 || height_ == 0 || offset.x < 0 || offset.y < 0) return;
    const int columns = std::min(rect.width(), width_ - offset.x);
    const int rows = std::min(rect.height(), height_ - offset.y);
    if (columns <= 0 || rows <= 0) return;
    const Point o = surface.origin();
    const int x0 = surface.toDevice(rect.left + o.x), x1 = surface.toDevice(rect.left + columns + o.x);
    const int y0 = surface.toDevice(rect.top + o.y), y1 = surface.toDevice(rect.top + rows + o.y);
    const int sx0 = zoomed(offset.x, zoom_), sy0 = zoomed(offset.y, zoom_);
    const double ratio = zoom_ / surface.zoom();
    const auto source = [ratio](int d) { return ratio == 1.0 ? d : static_cast<int>(d * ratio); };
    for (int y = y0; y < y1; ++y) {
        const int sy = sy0 + source(y - y0);
        if (sy >= deviceHeight_) break;
        for (int x = x0; x < x1; ++x) {
            const int sx = sx0 + source(x - x0);
            if (sx >= deviceWidth_) break;
            put(x, y, pixels_[static_cast<std::size_t>(sy) * deviceWidth_ + sx]);
        }
    }
}

void Bitmap::draw(Surface& surface, const Rect& rect, Point offset) const {
    forEachPixel(surface, rect, offset, [&](int x, int y, std::uint32_t p) { surface.plotDevice(x, y, p); });
}

void Bitmap::drawTransparent(Surface& surface, const Rect& rect, Point offset) const {
    const std::uint32_t key = transparentColor_.pixel();
    forEachPixel(surface, rect, offset, [&](int x, int y, std::uint32_t p) {
        if (p != key) surface.plotDevice(x, y, p);
    });
}

void Bitmap::drawAlpha(Surface& surface, const Rect& rect, Point offset, int alpha) const {
    blend(surface, rect, offset, alpha, false);
}

void Bitmap::drawAlphaTransparent(Surface& surface, const Rect& rect, Point offset, int alpha) const {
    blend(surface, rect, offset, alpha, true);
}

void Bitmap::blend(Surface& surface, const Rect& rect, Point offset, int alpha, bool keyed) const {
    alpha = std::clamp(alpha, 0, 255);
    const std::uint32_t key = transparentColor_.pixel();
    const PixelBuffer& target = surface.target();
    forEachPixel(surface, rect, offset, [&](int x, int y, std::uint32_t p) {
        if (keyed && p == key) return;
        if (target.inside(x, y)) surface.plotDevice(x, y, PixelBuffer::mix(p, target.at(x, y), alpha));
    });
}

}  // namespace gui
