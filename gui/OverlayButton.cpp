#include "gui/OverlayButton.h"

#include "gui/RootView.h"
#include "gui/Surface.h"

namespace gui {

OverlayButton::OverlayButton(const Rect& size, ControlListener* listener, int tag, Bitmap* picture,
                             const Rect& display, Point pictureOffset)
    : Control(size, listener, tag, picture), display_(display), pictureOffset_(pictureOffset), saved_(size) {}

bool OverlayButton::hitTest(Point where, int buttons) const {
    return (buttons & kPrimaryButton) && size_.contains(where);
}

void OverlayButton::mouse(Surface& surface, Point) {
    if (!mouseEnabled_ || !(surface.mouseButtons() & kPrimaryButton)) return;
    if (value_ == 0.0f) {
        value_ = 1.0f;
        if (root_ && root_->setModalView(this)) {
            saved_ = size_;
            size_ = display_;
            draw(surface);
            root_->redrawPixels();
        }
    } else {
        value_ = 0.0f;
        size_ = saved_;
        if (root_) {
            root_->setModalView(nullptr);
            root_->redraw();
        }
    }
    setDirty(true);
    if (listener_) listener_->controlChanged(&surface, this);
}

void OverlayButton::draw(Surface& surface) {
    if (value_ != 0.0f && background_) background_->draw(surface, display_, pictureOffset_);
    setDirty(false);
}

void OverlayButton::hide() {
    value_ = 0.0f;
    size_ = saved_;
    if (root_ && root_->modalView() == this) {
        root_->setModalView(nullptr);
        root_->redraw();
    }
}

}  // namespace gui
