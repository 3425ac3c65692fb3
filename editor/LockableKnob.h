// A learn knob that can be held at a fixed value: the Pan knobs in ten-mono
// mode and the Volume knobs with the volume lock. While locked it shows the
// held value half transparent, ignores the mouse and the wheel, and keeps
// the last value the host sent, which comes back on unlock.
#pragma once

#include "editor/LearnKnob.h"

namespace editor {

class LockableKnob : public LearnKnob {
public:
    LockableKnob(SynthLink& effect, const gui::Rect& size, gui::ControlListener* listener,
                 int tag, int frames, int frameHeight, gui::Bitmap* strip, float lockValue);

    void setValue(float value) override;
    float value() const override;
    void draw(gui::Surface& surface) override;
    void mouse(gui::Surface& surface, gui::Point where) override;
    bool wheel(gui::Surface& surface, gui::Point where, float distance) override;
    virtual void setLocked(bool on);
    bool locked() const { return locked_; }

private:
    // Sends a value to the effect without taking its echo as a host change.
    void sendOwnValue(float value);

    bool locked_ = false;
    float lockValue_;
    float savedValue_ = 0.0f;
    bool echoGuard_ = false;
};

}  // namespace editor
