// A view with a value: the base of every control. Tells its listener about
// user changes only when the value really changed since the last draw.
#pragma once

#include "gui/Bitmap.h"
#include "gui/Widget.h"

namespace gui {

class Control;
class Surface;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    // After the user changed the control's value; surface may be null.
    virtual void controlChanged(Surface* surface, Control* control) = 0;
};

class Control : public Widget {
public:
    Control(const Rect& size, ControlListener* listener = nullptr, int tag = 0, Bitmap* background = nullptr);

    // Asks the editor to run its paced idle work (during drags).
    virtual void doIdle();
    virtual void setValue(float value) { value_ = value; }
    virtual float value() const { return value_; }
    virtual void setMin(float minimum) { min_ = minimum; }
    float min() const { return min_; }
    virtual void setMax(float maximum) { max_ = maximum; }
    float max() const { return max_; }
    void setOldValue(float value) { oldValue_ = value; }
    float oldValue() const { return oldValue_; }
    void setDefaultValue(float value) { default_ = value; }
    float defaultValue() const { return default_; }
    void setTag(int tag) { tag_ = tag; }
    int tag() const { return tag_; }
    void setListener(ControlListener* listener) { listener_ = listener; }
    void setBackground(Bitmap* picture);
    Bitmap* background() const { return background_; }
    void setBackgroundOffset(Point offset) { backgroundOffset_ = offset; }
    Point backgroundOffset() const { return backgroundOffset_; }
    // The picture offset becomes the control's own top-left corner.
    void copyBackgroundOffset() { backgroundOffset_ = {size_.left, size_.top}; }
    void setWheelIncrement(float increment) { wheelIncrement_ = increment; }
    float wheelIncrement() const { return wheelIncrement_; }
    void clamp();

    // Dirty when the value differs from the value at the last draw.
    bool isDirty() const override { return value_ != oldValue_ || dirty_; }
    void setDirty(bool dirty = true) override;

protected:
    ~Control() override;
    // Tells the listener when the control is dirty.
    void tellListener(Surface* surface);
    // True when this click is the second of a double click.
    bool isDoubleClick();
    // The picture drawn into rect from the vertical offset: colour-keyed
    // with transparency, else opaque.
    void drawBackground(Surface& surface, const Rect& rect, Point offset);

    ControlListener* listener_;
    int tag_;
    float oldValue_ = 1.0f;
    float default_ = 0.5f;
    float value_ = 0.0f;
    float min_ = 0.0f;
    float max_ = 1.0f;
    float wheelIncrement_ = 0.1f;
    long long lastClickTime_ = -1;
    Bitmap* background_ = nullptr;
    Point backgroundOffset_;
};

}  // namespace gui
