#include "gui/KnobControl.h"

#include <cmath>

#include "gui/GuiEditorBase.h"
#include "gui/RootView.h"
#include "gui/Surface.h"

namespace gui {
namespace {
constexpr float kPi = 3.14159265f;
}

KnobControl::KnobControl(const Rect& size, ControlListener* listener, int tag, Bitmap* background, Bitmap* handle,
                         Point handleOffset)
    : Control(size, listener, tag, background), handleOffset_(handleOffset), handle_(handle),
      radius_(static_cast<float>(size.right - size.left) / 2.0f) {
    if (handle_) handle_->remember();
    inset_ = handle_ ? static_cast<int>(std::floor(handle_->width() / 2.0 + 2.5)) : 3;
    computeCoefficients();
}

KnobControl::~KnobControl() {
    if (handle_) handle_->forget();
}

void KnobControl::computeCoefficients() {
    a_ = (max_ - min_) / sweep_;
    b_ = min_ - a_ * startAngle_;
}

void KnobControl::setMin(float minimum) {
    Control::setMin(minimum);
    computeCoefficients();
}

void KnobControl::setMax(float maximum) {
    Control::setMax(maximum);
    computeCoefficients();
}

float KnobControl::valueFromPoint(Point where) const {
    float angle = std::atan2(radius_ - static_cast<float>(where.y), static_cast<float>(where.x) - radius_);
    // Angles below the horizon on the left continue the sweep past 180 degrees.
    if (angle < -kPi / 2) angle += 2 * kPi;
    // The gap at the bottom: its half next to 225 degrees is the minimum,
    // its half next to -45 degrees the maximum.
    if (angle > startAngle_) return min_;
    if (angle < startAngle_ + sweep_) return max_;
    return a_ * angle + b_;
}

Point KnobControl::pointFromValue() const {
    const float angle = (value_ - b_) / a_;
    const float length = radius_ - static_cast<float>(inset_);
    return {static_cast<int>(std::lround(radius_ + std::cos(angle) * length)),
            static_cast<int>(std::lround(radius_ - std::sin(angle) * length))};
}

void KnobControl::drawHandle(Surface& surface) {
    const Point tip = pointFromValue();
    const Point centre{size_.left + static_cast<int>(radius_), size_.top + static_cast<int>(radius_)};
    surface.setFrameColor(shadowColor_);
    surface.moveTo({centre.x + 1, centre.y + 1});
    surface.lineTo({size_.left + tip.x + 1, size_.top + tip.y + 1});
    surface.setFrameColor(handleColor_);
    surface.moveTo(centre);
    surface.lineTo({size_.left + tip.x, size_.top + tip.y});
}

void KnobControl::draw(Surface& surface) {
    drawBackground(surface, size_, backgroundOffset_);
    drawHandle(surface);
    setDirty(false);
}

void KnobControl::mouse(Surface& surface, Point where) {
    int buttons = surface.mouseButtons();
    if (!mouseEnabled_ || !(buttons & kPrimaryButton)) return;
    if (buttons == (kPrimaryButton | kControlKey)) {
        value_ = default_;
        tellListener(&surface);
        return;
    }
    const bool linear = (RootView::knobMode() == kLinearMode) != ((buttons & kAltKey) != 0);
    auto rangeFor = [&](int b) { return (b & kShiftKey) ? 200.0f * zoom_ : 200.0f; };
    float coefficient = (max_ - min_) / rangeFor(buttons);
    const Point first = where;
    float startValue = value_;
    const auto relative = [&](Point p) { return Point{p.x - size_.left, p.y - size_.top}; };
    float old = valueFromPoint(relative(where));
    const float middle = (max_ - min_) * 0.5f;

    if (GuiEditorBase* owner = editor()) owner->beginEdit(tag_);
    if (root_) root_->setEditView(this);
    Point last = where;
    int lastButtons = buttons;
    for (;;) {
        buttons = surface.mouseButtons();
        if (!(buttons & kPrimaryButton)) break;
        if (where != last) {
            if (linear) {
                const float difference = static_cast<float>((first.y - where.y) + (where.x - first.x));
                if (buttons != lastButtons) {
                    // Shift changed: rescale without a jump.
                    const float newCoefficient = (max_ - min_) / rangeFor(buttons);
                    startValue += difference * (coefficient - newCoefficient);
                    coefficient = newCoefficient;
                    lastButtons = buttons;
                }
                value_ = startValue + difference * coefficient;
                clamp();
            } else {
                const float v = valueFromPoint(relative(where));
                if (old - v > middle) {
                    value_ = max_;
                } else if (v - old > middle) {
                    value_ = min_;
                } else {
                    value_ = v;
                    old = v;
                }
            }
            tellListener(&surface);
            last = where;
        }
        where = surface.mouseLocation();
        doIdle();
    }
    if (GuiEditorBase* owner = editor()) owner->endEdit(tag_);
}

bool KnobControl::wheel(Surface& surface, Point, float distance) {
    if (!mouseEnabled_) return false;
    float step = distance * wheelIncrement_;
    if (surface.mouseButtons() & kShiftKey) step *= 0.1f;
    value_ += step;
    clamp();
    tellListener(&surface);
    return true;
}

int KnobControl::keyDown(const KeyCode& key) {
    float direction = 0.0f;
    if (key.virt == kKeyLeft || key.virt == kKeyDown) direction = -1.0f;
    else if (key.virt == kKeyUp || key.virt == kKeyRight) direction = 1.0f;
    else return -1;
    float step = wheelIncrement_;
    if (key.modifier & kModifierShift) step *= 0.1f;
    value_ += direction * step;
    clamp();
    tellListener(nullptr);
    return 1;
}

StripKnob::StripKnob(const Rect& size, ControlListener* listener, int tag, int frames, int frameHeight,
                     Bitmap* strip, Point offset)
    : KnobControl(size, listener, tag, strip), frames_(frames), frameHeight_(frameHeight) {
    backgroundOffset_ = offset;
}

int StripKnob::frameOffset() const {
    if (value_ < 0.0f || frames_ < 1 || frameHeight_ < 1) return 0;
    const int span = frameHeight_ * (frames_ - 1);
    const int position = static_cast<int>((inverse_ ? 1.0f - value_ : value_) * static_cast<float>(span));
    if (position >= span) return position;
    return std::max(0, position / frameHeight_ * frameHeight_);
}

void StripKnob::draw(Surface& surface) {
    drawBackground(surface, size_, {backgroundOffset_.x, backgroundOffset_.y + frameOffset()});
    setDirty(false);
}

}  // namespace gui
