#include "gui/Bitmap.h"

#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "gui/Surface.h"
#include "platform/Resources.h"

namespace gui {

Bitmap::Bitmap(int id, int width, int height, std::vector<std::uint32_t> pixels)
    : resourceId_(id), width_(width), height_(height), pixels_(std::move(pixels)) {}

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

std::uint32_t Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

// Visits the pixels of rect that the picture covers from offset on.
template <typename PutPixel>
void Bitmap::forEachPixel(const Rect& rect, Point offset, PutPixel put) const {
    if (width_ == 0 || height_ == 0 || offset.x < 0 || offset.y < 0) return;
    const int columns = std::min(rect.width(), width_ - offset.x);
    const int rows = std::min(rect.height(), height_ - offset.y);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) put(rect.left + x, rect.top + y, pixel(offset.x + x, offset.y + y));
}

void Bitmap::draw(Surface& surface, const Rect& rect, Point offset) const {
    forEachPixel(rect, offset, [&](int x, int y, std::uint32_t p) { surface.plot(x, y, p); });
}

void Bitmap::drawTransparent(Surface& surface, const Rect& rect, Point offset) const {
    const std::uint32_t key = transparentColor_.pixel();
    forEachPixel(rect, offset, [&](int x, int y, std::uint32_t p) {
        if (p != key) surface.plot(x, y, p);
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
    const Point origin = surface.origin();
    forEachPixel(rect, offset, [&](int x, int y, std::uint32_t p) {
        if (keyed && p == key) return;
        const PixelBuffer& target = surface.target();
        const int tx = x + origin.x, ty = y + origin.y;
        if (target.inside(tx, ty)) surface.plot(x, y, PixelBuffer::mix(p, target.at(tx, ty), alpha));
    });
}

}  // namespace gui
