#include "gui/ValueDisplay.h"

#include <charconv>

#include "gui/Surface.h"

namespace gui {

ValueDisplay::ValueDisplay(const Rect& size, Bitmap* background, int style)
    : Control(size, nullptr, 0, background), style_(style) {}

std::string ValueDisplay::text() const {
    if (valueToText_) return valueToText_(value_);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value_, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

void ValueDisplay::drawFrame(Surface& surface) {
    if (background_) {
        drawBackground(surface, size_, backgroundOffset_);
    } else if (!transparent_) {
        surface.setFillColor(backColor_);
        surface.fillRect(size_);
        if (!(style_ & (k3DIn | k3DOut))) {
            surface.setFrameColor(frameColor_);
            surface.drawRect(size_);
        }
    }
    if (style_ & (k3DIn | k3DOut)) {
        // Top and left in one colour, bottom and right in the other.
        const Color topLeft = (style_ & k3DIn) ? backColor_ : frameColor_;
        const Color bottomRight = (style_ & k3DIn) ? frameColor_ : backColor_;
        surface.setFrameColor(topLeft);
        surface.moveTo({size_.left, size_.bottom});
        surface.lineTo({size_.left, size_.top});
        surface.lineTo({size_.right + 1, size_.top});
        surface.setFrameColor(bottomRight);
        surface.moveTo({size_.right, size_.top + 1});
        surface.lineTo({size_.right, size_.bottom});
        surface.lineTo({size_.left, size_.bottom});
    }
}

void ValueDisplay::drawText(Surface& surface, const std::string& text) {
    if ((style_ & kNoText) || text.empty()) return;
    surface.setFont(fontId_, 0, fontStyle_);
    surface.setFillColor(backColor_);
    if (style_ & kShadowText) {
        surface.setFontColor(shadowColor_);
        surface.drawString(text, size_.offset(1, 1), !textTransparent_, alignment_);
    }
    surface.setFontColor(fontColor_);
    surface.drawString(text, size_, !textTransparent_, alignment_);
}

void ValueDisplay::draw(Surface& surface) {
    if (!(style_ & kNoDrawing)) {
        drawFrame(surface);
        drawText(surface, text());
    }
    setDirty(false);
}

}  // namespace gui
