#include "gui/Control.h"

#include <algorithm>

#include "gui/GuiEditorBase.h"
#include "gui/RootView.h"

namespace gui {

Control::Control(const Rect& size, ControlListener* listener, int tag, Bitmap* background)
    : Widget(size), listener_(listener), tag_(tag) {
    setBackground(background);
}

Control::~Control() {
    if (background_) background_->forget();
}

void Control::doIdle() {
    if (GuiEditorBase* owner = editor()) owner->doIdle();
}

void Control::setBackground(Bitmap* picture) {
    if (picture) picture->remember();
    if (background_) background_->forget();
    background_ = picture;
}

void Control::clamp() {
    if (value_ > max_) value_ = max_;
    else if (value_ < min_) value_ = min_;
}

void Control::setDirty(bool dirty) {
    dirty_ = dirty;
    if (dirty) oldValue_ = value_ == -1.0f ? 0.0f : -1.0f;
    else oldValue_ = value_;
}

void Control::tellListener(Surface* surface) {
    if (listener_ && isDirty()) listener_->controlChanged(surface, this);
}

bool Control::isDoubleClick() {
    InputSource* input = root_ ? root_->input() : nullptr;
    if (!input) return false;
    const long long now = input->ticks();
    const int doubleClickTime = std::max(250, input->doubleClickTime());
    if (lastClickTime_ > 0 && now < lastClickTime_ + doubleClickTime) {
        lastClickTime_ = 0;
        return true;
    }
    lastClickTime_ = now;
    return false;
}

void Control::drawBackground(Surface& surface, const Rect& rect, Point offset) {
    if (!background_) return;
    if (transparent_) background_->drawTransparent(surface, rect, offset);
    else background_->draw(surface, rect, offset);
}

}  // namespace gui
