// The two-state button and the film-strip display.
#pragma once

#include "gui/Control.h"

namespace gui {

// Shows the upper half of its picture at 0, the lower half otherwise; a
// click flips it.
class ToggleButton : public Control {
public:
    ToggleButton(const Rect& size, ControlListener* listener, int tag, Bitmap* picture, Point offset = {});
    void draw(Surface& surface) override;
    void mouse(Surface& surface, Point where) override;
};

// Shows one frame of a vertical strip for a value from 0 to 1: an activity
// light. It takes no mouse input.
class StripDisplay : public Control {
public:
    StripDisplay(const Rect& size, int frames, int frameHeight, Bitmap* strip, Point offset = {});
    void draw(Surface& surface) override;
    int frameOffset() const;

private:
    int frames_;
    int frameHeight_;
};

}  // namespace gui
