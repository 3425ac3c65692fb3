#include "native/WindowsCentring.h"

namespace native {

void centreOver(HWND window, HWND owner) {
    RECT own{}, area{};
    if (!window || !GetWindowRect(window, &own)) return;
    if (!owner || !IsWindow(owner) || !GetWindowRect(owner, &area)) GetWindowRect(GetDesktopWindow(), &area);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int left = area.left + ((area.right - area.left) - width) / 2;
    const int top = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace native
