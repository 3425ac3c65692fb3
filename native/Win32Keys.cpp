#include "native/Win32Keys.h"

namespace native {
namespace {

bool held(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool heldNow(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

unsigned char keyModifiers() {
    unsigned char modifiers = 0;
    if (held(VK_SHIFT)) modifiers |= gui::kModifierShift;
    if (held(VK_CONTROL)) modifiers |= gui::kModifierControl;
    if (held(VK_MENU)) modifiers |= gui::kModifierAlt;
    return modifiers;
}

unsigned char virtualKeyOf(WPARAM key) {
    switch (key) {
    case VK_BACK: return gui::kKeyBack;
    case VK_TAB: return gui::kKeyTab;
    case VK_RETURN: return gui::kKeyReturn;
    case VK_ESCAPE: return gui::kKeyEscape;
    case VK_SPACE: return gui::kKeySpace;
    case VK_END: return gui::kKeyEnd;
    case VK_HOME: return gui::kKeyHome;
    case VK_LEFT: return gui::kKeyLeft;
    case VK_UP: return gui::kKeyUp;
    case VK_RIGHT: return gui::kKeyRight;
    case VK_DOWN: return gui::kKeyDown;
    case VK_DELETE: return gui::kKeyDelete;
    default: return 0;
    }
}

}  // namespace

int pointerBits(WPARAM state) {
    int bits = 0;
    if (state & MK_LBUTTON) bits |= gui::kPrimaryButton;
    if (state & MK_MBUTTON) bits |= gui::kMiddleButton;
    if (state & MK_RBUTTON) bits |= gui::kSecondaryButton;
    if (state & MK_SHIFT) bits |= gui::kShiftKey;
    if (state & MK_CONTROL) bits |= gui::kControlKey;
    if (held(VK_MENU)) bits |= gui::kAltKey;
    return bits;
}

int liveButtons(bool swapped) {
    int bits = 0;
    if (heldNow(swapped ? VK_RBUTTON : VK_LBUTTON)) bits |= gui::kPrimaryButton;
    if (heldNow(VK_MBUTTON)) bits |= gui::kMiddleButton;
    if (heldNow(swapped ? VK_LBUTTON : VK_RBUTTON)) bits |= gui::kSecondaryButton;
    if (heldNow(VK_SHIFT)) bits |= gui::kShiftKey;
    if (heldNow(VK_CONTROL)) bits |= gui::kControlKey;
    if (heldNow(VK_MENU)) bits |= gui::kAltKey;
    return bits;
}

bool toKeyCode(UINT message, WPARAM key, LPARAM flags, gui::KeyCode* code) {
    code->character = 0;
    code->virt = 0;
    code->modifier = keyModifiers();
    if (message == WM_CHAR) {
        // Space comes with its key-down; control codes are letters typed
        // with Ctrl, also taken at the key-down.
        if (key <= 0x20 || key == 0x7f || key > 0xff) return false;
        code->character = static_cast<vst::VstInt32>(key);
        return true;
    }
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return false;
    code->virt = virtualKeyOf(key);
    // The keypad's Enter is Return with the extended-key flag.
    if (code->virt == gui::kKeyReturn && (flags & (1L << 24))) code->virt = gui::kKeyEnter;
    if (code->virt == gui::kKeySpace) code->character = ' ';
    if (code->virt) return true;
    // Letters and digits: with Ctrl held there is no character message
    // worth having, and a key release has none at all. Ctrl with Alt is
    // AltGr, whose character message follows.
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    const bool keyUp = message == WM_KEYUP || message == WM_SYSKEYUP;
    const bool control = (code->modifier & (gui::kModifierControl | gui::kModifierAlt)) == gui::kModifierControl;
    if (letterOrDigit && (keyUp || control)) {
        const WPARAM character = key >= 'A' && key <= 'Z' ? key - 'A' + 'a' : key;
        code->character = static_cast<vst::VstInt32>(character);
        return true;
    }
    return false;
}

}  // namespace native
