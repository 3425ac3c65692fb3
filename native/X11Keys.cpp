#include "native/X11Keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace native {

int pointerBits(unsigned int state) {
    int bits = 0;
    if (state & Button1Mask) bits |= gui::kPrimaryButton;
    if (state & Button2Mask) bits |= gui::kMiddleButton;
    if (state & Button3Mask) bits |= gui::kSecondaryButton;
    if (state & ShiftMask) bits |= gui::kShiftKey;
    if (state & ControlMask) bits |= gui::kControlKey;
    if (state & Mod1Mask) bits |= gui::kAltKey;
    return bits;
}

int buttonBit(unsigned int button) {
    switch (button) {
    case Button1: return gui::kPrimaryButton;
    case Button2: return gui::kMiddleButton;
    case Button3: return gui::kSecondaryButton;
    default: return 0;
    }
}

namespace {

unsigned char keyModifiers(unsigned int state) {
    unsigned char modifiers = 0;
    if (state & ShiftMask) modifiers |= gui::kModifierShift;
    if (state & ControlMask) modifiers |= gui::kModifierControl;
    if (state & Mod1Mask) modifiers |= gui::kModifierAlt;
    return modifiers;
}

}  // namespace

bool toKeyCode(XKeyEvent& event, gui::KeyCode* key) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, text, sizeof(text), &symbol, nullptr);
    key->character = 0;
    key->virt = 0;
    key->modifier = keyModifiers(event.state);
    switch (symbol) {
    case XK_BackSpace: key->virt = gui::kKeyBack; break;
    case XK_Tab:
    case XK_ISO_Left_Tab: key->virt = gui::kKeyTab; break;
    case XK_Return: key->virt = gui::kKeyReturn; break;
    case XK_KP_Enter: key->virt = gui::kKeyEnter; break;
    case XK_Escape: key->virt = gui::kKeyEscape; break;
    case XK_space:
        key->virt = gui::kKeySpace;
        key->character = ' ';
        break;
    case XK_End:
    case XK_KP_End: key->virt = gui::kKeyEnd; break;
    case XK_Home:
    case XK_KP_Home: key->virt = gui::kKeyHome; break;
    case XK_Left:
    case XK_KP_Left: key->virt = gui::kKeyLeft; break;
    case XK_Up:
    case XK_KP_Up: key->virt = gui::kKeyUp; break;
    case XK_Right:
    case XK_KP_Right: key->virt = gui::kKeyRight; break;
    case XK_Down:
    case XK_KP_Down: key->virt = gui::kKeyDown; break;
    case XK_Delete:
    case XK_KP_Delete: key->virt = gui::kKeyDelete; break;
    default:
        // Latin-1 key symbols are their own characters; with Ctrl held the
        // text would be a control code, so the symbol is what counts.
        if (symbol >= 0x20 && symbol <= 0xff) key->character = static_cast<vst::VstInt32>(symbol);
        else if (length == 1 && static_cast<unsigned char>(text[0]) >= 0x20)
            key->character = static_cast<unsigned char>(text[0]);
        else return false;
    }
    return true;
}

}  // namespace native
