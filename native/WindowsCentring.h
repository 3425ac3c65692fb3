// Places a dialog over the middle of the window it belongs to.
#pragma once

#include <windows.h>

namespace native {

// Moves window, keeping its size, so that its middle lies over the middle
// of owner, or of the desktop when owner is null or gone.
void centreOver(HWND window, HWND owner);

}  // namespace native
