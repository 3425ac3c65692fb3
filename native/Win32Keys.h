// Windows' mouse and keyboard messages in the toolkit's terms.
#pragma once

#include <windows.h>

#include "gui/Input.h"

namespace native {

// gui::MouseButton bits (buttons and modifiers) of a mouse message's wParam;
// the message names the logical buttons, so a swapped mouse is already
// taken into account.
int pointerBits(WPARAM state);
// The buttons and modifiers as they are now. The key state reports the
// physical buttons: with swapped buttons the right one is the primary.
int liveButtons(bool swapped);
// A key as a host would deliver it, from WM_KEYDOWN, WM_KEYUP or WM_CHAR;
// false for keys the editor has no use for, and for the key-down half of a
// character that arrives as WM_CHAR.
bool toKeyCode(UINT message, WPARAM key, LPARAM flags, gui::KeyCode* code);

}  // namespace native
