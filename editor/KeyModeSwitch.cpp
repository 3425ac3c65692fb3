#include "editor/KeyModeSwitch.h"

#include "gui/Surface.h"

namespace editor {

KeyModeSwitch::KeyModeSwitch(const gui::Rect& size, gui::ControlListener* listener, int tag, gui::Bitmap* picture,
                             const gui::Rect& hitArea)
    : ToggleButton(size, listener, tag, picture), hitArea_(hitArea) {}

void KeyModeSwitch::mouse(gui::Surface& surface, gui::Point where) {
    if (!mouseEnabled_ || !(surface.mouseButtons() & gui::kPrimaryButton)) return;
    const int x = where.x - size_.left, y = where.y - size_.top;
    // Left and top inclusive, right and bottom exclusive.
    if (x < hitArea_.left || x >= hitArea_.right || y < hitArea_.top || y >= hitArea_.bottom) return;
    ToggleButton::mouse(surface, where);
}

}  // namespace editor
