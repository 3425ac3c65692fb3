#include "gui/SimpleControls.h"

#include <cmath>

#include "gui/Surface.h"

namespace gui {

ToggleButton::ToggleButton(const Rect& size, ControlListener* listener, int tag, Bitmap* picture, Point offset)
    : Control(size, listener, tag, picture) {
    backgroundOffset_ = offset;
}

void ToggleButton::draw(Surface& surface) {
    const int half = background_ ? background_->height() / 2 : 0;
    drawBackground(surface, size_, {backgroundOffset_.x, backgroundOffset_.y + (value_ == 0.0f ? 0 : half)});
    setDirty(false);
}

void ToggleButton::mouse(Surface& surface, Point) {
    if (!mouseEnabled_ || !(surface.mouseButtons() & kPrimaryButton)) return;
    value_ = value_ == 0.0f ? 1.0f : 0.0f;
    doIdle();
    // A flip is always a change, even when the idle above has drawn it already.
    if (listener_) listener_->controlChanged(&surface, this);
}

StripDisplay::StripDisplay(const Rect& size, int frames, int frameHeight, Bitmap* strip, Point offset)
    : Control(size, nullptr, 0, strip), frames_(frames), frameHeight_(frameHeight) {
    backgroundOffset_ = offset;
    mouseEnabled_ = false;
}

int StripDisplay::frameOffset() const {
    const float v = std::min(value_, 1.0f);
    if (v <= 0.0f) return 0;
    return static_cast<int>(std::floor(static_cast<float>(frames_ - 1) * v + 0.5f)) * frameHeight_;
}

void StripDisplay::draw(Surface& surface) {
    if (value_ > 1.0f) value_ = 1.0f;
    drawBackground(surface, size_, {backgroundOffset_.x, backgroundOffset_.y + frameOffset()});
    setDirty(false);
}

}  // namespace gui
