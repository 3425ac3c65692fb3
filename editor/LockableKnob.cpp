#include "editor/LockableKnob.h"

#include "gui/RootView.h"
#include "gui/Surface.h"

namespace editor {

namespace {
constexpr int kLockedAlpha = 128;
}

LockableKnob::LockableKnob(SynthLink& effect, const gui::Rect& size,
                           gui::ControlListener* listener, int tag, int frames, int frameHeight, gui::Bitmap* strip,
                           float lockValue)
    : LearnKnob(effect, size, listener, tag, frames, frameHeight, strip), lockValue_(lockValue) {}

void LockableKnob::sendOwnValue(float value) {
    echoGuard_ = true;
    effect_.setParameter(tag_, value);
    echoGuard_ = false;
}

void LockableKnob::setLocked(bool on) {
    if (locked_ && !on) {
        value_ = savedValue_;
        sendOwnValue(value_);
        locked_ = false;
    } else if (!locked_ && on) {
        savedValue_ = value_;
        value_ = lockValue_;
        sendOwnValue(lockValue_);
        locked_ = true;
    }
    setDirty(true);
}

void LockableKnob::setValue(float value) {
    if (!locked_) value_ = value;
    else if (!echoGuard_) savedValue_ = value;
}

float LockableKnob::value() const {
    return locked_ ? savedValue_ : value_;
}

// The window's picture goes under the frame first, so neither the keyed-out
// corners nor the half-transparent locked frame keep traces of the last one.
void LockableKnob::draw(gui::Surface& surface) {
    if (root_ && root_->background()) root_->background()->draw(surface, size_, {size_.left, size_.top});
    const gui::Point offset{backgroundOffset_.x, backgroundOffset_.y + frameOffset()};
    if (locked_ && background_) {
        if (transparent_) background_->drawAlphaTransparent(surface, size_, offset, kLockedAlpha);
        else background_->drawAlpha(surface, size_, offset, kLockedAlpha);
    }
    else drawBackground(surface, size_, offset);
    setDirty(false);
}

void LockableKnob::mouse(gui::Surface& surface, gui::Point where) {
    if (!locked_) LearnKnob::mouse(surface, where);
}

bool LockableKnob::wheel(gui::Surface& surface, gui::Point where, float distance) {
    return !locked_ && LearnKnob::wheel(surface, where, distance);
}

}  // namespace editor
