// Drawing onto a window's pixels or an offscreen picture: lines, rectangles,
// single-line text and pictures, with an origin offset and clipping.
#pragma once

#include <memory>
#include <string>

#include "gui/Color.h"
#include "gui/Geometry.h"
#include "gui/Input.h"
#include "gui/PixelBuffer.h"

namespace gui {

class RootView;

enum class LineStyle { kSolid, kDotted };

enum TextAlignment : int {
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
};

class Surface {
public:
    Surface(PixelBuffer& target, RootView* root = nullptr, InputSource* input = nullptr);
    virtual ~Surface() = default;

    // Coordinates are the views' (100 %); the target holds the window's
    // pixels at this zoom.
    void setZoom(double zoom) { zoom_ = zoom; }
    double zoom() const { return zoom_; }
    int toDevice(int v) const;

    void setOrigin(Point origin) { origin_ = origin; }
    Point origin() const { return origin_; }
    // Pixels outside the clip rectangle (target pixels) are never written.
    void setClip(const Rect& clip) { clip_ = clip; }

    void setFrameColor(Color color) { frame_ = color; }
    void setLineStyle(LineStyle style) { lineStyle_ = style; }
    void setFillColor(Color color) { fill_ = color; }
    Color fillColor() const { return fill_; }
    void setFontColor(Color color) { fontColor_ = color; }
    // id 0 to 7 (others act as 0); size 0 takes the table's height; style
    // bits bold 1, italic 2, underline 4.
    void setFont(int id, int size = 0, int style = 0);
    int fontHeight() const { return fontHeight_; }
    int stringWidth(const std::string& text) const;

    void moveTo(Point p) { pen_ = p; }
    // A line from the pen to p, not including p itself.
    void lineTo(Point p);
    // The outline through the four corners, right and bottom edges included.
    void drawRect(const Rect& rect);
    // The inside of that outline: from left + 1, top + 1 up to but not
    // including right and bottom.
    void fillRect(const Rect& rect);
    // One line, vertically centred in rect; left alignment moves in by one
    // pixel. opaque fills the fill colour behind the text.
    void drawString(const std::string& text, const Rect& rect, bool opaque = false,
                    int alignment = kAlignCenter);

    // Live mouse state (MouseButton bits) and position, 0 without input.
    int mouseButtons() const { return input_ ? input_->buttons() : 0; }
    Point mouseLocation() const { return input_ ? input_->location() : Point{}; }

    PixelBuffer& target() { return target_; }
    RootView* root() const { return root_; }
    InputSource* input() const { return input_; }

    // A pixel at surface coordinates, clipped (at a zoom, the block of
    // target pixels it covers).
    void plot(int x, int y, std::uint32_t pixel);
    // One target pixel (origin already applied), clipped.
    void plotDevice(int x, int y, std::uint32_t pixel) {
        if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom) target_.set(x, y, pixel);
    }

private:
    PixelBuffer& target_;
    RootView* root_;
    InputSource* input_;
    double zoom_ = 1.0;
    Point origin_;
    Rect clip_;
    Color frame_ = colors::kWhite;
    LineStyle lineStyle_ = LineStyle::kSolid;
    Color fill_ = colors::kBlack;
    Color fontColor_ = colors::kWhite;
    int fontHeight_ = 12;
    int fontStyle_ = 1;
    Point pen_;
    int dotPhase_ = 0;
};

// A surface with a picture of its own, copied onto another surface.
class OffscreenSurface : public Surface {
public:
    // width and height in surface coordinates; the picture holds them at zoom.
    OffscreenSurface(RootView* root, int width, int height, Color background, double zoom = 1.0);
    void copyTo(Surface& destination, const Rect& destinationRect, Point sourceOffset) const;

private:
    std::unique_ptr<PixelBuffer> owned_;
    OffscreenSurface(std::unique_ptr<PixelBuffer> buffer, RootView* root, double zoom);
};

}  // namespace gui
