// The editor window's native controls on Windows: a child "EDIT" window
// over a text field, and popup menus shown with TrackPopupMenu.
#pragma once

#include <memory>

#include "gui/NativeControls.h"

namespace native {

// Controls inside the window whose handle (an HWND) is given; null when
// there is no such window. The window hands back to a child the messages
// it gets for it (WM_COMMAND, WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC) as
// kReflectedMessage + the message, with the same parameters.
std::unique_ptr<gui::NativeControls> createWin32NativeControls(void* window);

constexpr unsigned kReflectedMessage = 0x2000;

}  // namespace native
