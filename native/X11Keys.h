// X11's pointer and key events in the toolkit's terms.
#pragma once

#include <X11/Xlib.h>

#include "gui/Input.h"

namespace native {

// gui::MouseButton bits (buttons and modifiers) of an event's state.
int pointerBits(unsigned int state);
// The gui::MouseButton of buttons 1 to 3; 0 for the wheel and others.
int buttonBit(unsigned int button);
// A key as a host would deliver it; false for keys the editor has no use
// for (modifiers on their own, function keys).
bool toKeyCode(XKeyEvent& event, gui::KeyCode* key);

}  // namespace native
