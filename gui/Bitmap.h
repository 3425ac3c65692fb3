// A reference-counted picture: loaded from the module's resources by id, or
// made from pixels. A missing picture is 0 x 0 and draws nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Color.h"
#include "gui/Geometry.h"

namespace gui {

class Surface;

class Bitmap {
public:
    // Reference count 1; the caller forgets it when done.
    static Bitmap* load(int resourceId);
    static Bitmap* fromPixels(int width, int height, std::vector<std::uint32_t> pixels);
    // A picture of width x height view pixels held at a zoom: pixels is the
    // drawing at that zoom, deviceWidth pixels to a row.
    static Bitmap* fromZoomedPixels(int width, int height, double zoom, int deviceWidth, int deviceHeight,
                                    std::vector<std::uint32_t> pixels);

    void remember() { ++references_; }
    void forget() {
        if (--references_ == 0) delete this;
    }
    int references() const { return references_; }

    // In view pixels (100 %), whatever the zoom the picture is held at.
    int width() const { return width_; }
    int height() const { return height_; }
    double zoom() const { return zoom_; }
    int resourceId() const { return resourceId_; }
    void setTransparentColor(Color color) { transparentColor_ = color; }
    // A pixel of the picture as held (at its zoom).
    std::uint32_t pixel(int x, int y) const;

    // Copies the picture area starting at offset into rect.
    void draw(Surface& surface, const Rect& rect, Point offset = {}) const;
    // The same, leaving pixels of the transparent colour undrawn.
    void drawTransparent(Surface& surface, const Rect& rect, Point offset = {}) const;
    // Blends the picture over what is there with a constant alpha 0 to 255.
    void drawAlpha(Surface& surface, const Rect& rect, Point offset, int alpha) const;
    // The same, leaving pixels of the transparent colour undrawn.
    void drawAlphaTransparent(Surface& surface, const Rect& rect, Point offset, int alpha) const;

private:
    Bitmap(int id, int width, int height, std::vector<std::uint32_t> pixels);
    ~Bitmap() = default;
    template <typename PutPixel>
    void forEachPixel(const Surface& surface, const Rect& rect, Point offset, PutPixel put) const;
    void blend(Surface& surface, const Rect& rect, Point offset, int alpha, bool keyed) const;

    int resourceId_;
    int references_ = 1;
    int width_;
    int height_;
    double zoom_ = 1.0;
    int deviceWidth_;
    int deviceHeight_;
    Color transparentColor_ = colors::kTransparentKey;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace gui
