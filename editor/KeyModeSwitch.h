// The Key Mode switch: a two-state button that reacts only to clicks on the
// switch itself, not on the whole picture.
#pragma once

#include "gui/SimpleControls.h"

namespace editor {

class KeyModeSwitch : public gui::ToggleButton {
public:
    // hitArea is relative to the switch's top-left corner.
    KeyModeSwitch(const gui::Rect& size, gui::ControlListener* listener, int tag, gui::Bitmap* picture,
                  const gui::Rect& hitArea);

    void mouse(gui::Surface& surface, gui::Point where) override;

private:
    gui::Rect hitArea_;
};

}  // namespace editor
