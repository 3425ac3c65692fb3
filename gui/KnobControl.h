// A rotary knob. Dragging moves it linearly (200 pixels across the range,
// 300 with Shift) or, in circular knob mode, follows the mouse's angle over
// a 270 degree sweep. Ctrl-click restores the default; wheel and arrow keys
// step by the wheel increment.
#pragma once

#include "gui/Color.h"
#include "gui/Control.h"

namespace gui {

class KnobControl : public Control {
public:
    static constexpr int kLinearMode = 2;

    KnobControl(const Rect& size, ControlListener* listener, int tag, Bitmap* background = nullptr,
                Bitmap* handle = nullptr, Point handleOffset = {});

    void draw(Surface& surface) override;
    void mouse(Surface& surface, Point where) override;
    bool wheel(Surface& surface, Point where, float distance) override;
    int keyDown(const KeyCode& key) override;

    void setMin(float minimum) override;
    void setMax(float maximum) override;
    // The value at a point relative to the knob's top-left corner, circular mode.
    virtual float valueFromPoint(Point where) const;
    virtual Point pointFromValue() const;
    void setZoomFactor(float zoom) { zoom_ = zoom; }
    float zoomFactor() const { return zoom_; }
    int inset() const { return inset_; }

protected:
    ~KnobControl() override;
    void drawHandle(Surface& surface);
    void computeCoefficients();

    Point handleOffset_;
    Color handleColor_ = colors::kWhite;
    Color shadowColor_ = colors::kGrey;
    Bitmap* handle_;
    int inset_;
    float startAngle_ = 3.9269907f;
    float sweep_ = -4.712389f;
    float halfDeadZone_ = 0.7853982f;
    float a_ = 0.0f;
    float b_ = 0.0f;
    float radius_;
    float zoom_ = 1.5f;
};

// A knob drawn as one frame of a vertical film strip.
class StripKnob : public KnobControl {
public:
    StripKnob(const Rect& size, ControlListener* listener, int tag, int frames, int frameHeight, Bitmap* strip,
              Point offset = {});
    void draw(Surface& surface) override;
    // The strip's vertical offset for the current value.
    int frameOffset() const;
    void setInverse(bool inverse) { inverse_ = inverse; }

private:
    int frames_;
    int frameHeight_;
    bool inverse_ = false;
};

}  // namespace gui
