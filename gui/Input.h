// What the toolkit asks of the platform about the user: the live mouse
// buttons and position, keys, and the clock. The platform window supplies
// one; tests supply a scripted one.
#pragma once

#include "gui/Geometry.h"
#include "vst/EditorInterface.h"

namespace gui {

enum MouseButton : int {
    kPrimaryButton = 1,
    kMiddleButton = 2,
    kSecondaryButton = 4,
    kShiftKey = 8,
    kControlKey = 16,
    kAltKey = 32,
};

// A key as VST 2 hosts deliver it: a character, a virtual key and modifiers.
using KeyCode = vst::VstKeyCode;

enum VirtualKey : unsigned char {
    kKeyBack = 1,
    kKeyTab = 2,
    kKeyReturn = 4,
    kKeyEscape = 6,
    kKeySpace = 7,
    kKeyEnd = 9,
    kKeyHome = 10,
    kKeyLeft = 11,
    kKeyUp = 12,
    kKeyRight = 13,
    kKeyDown = 14,
    kKeyEnter = 19,
    kKeyDelete = 22,
};

enum KeyModifier : unsigned char {
    kModifierShift = 1,
    kModifierAlt = 2,
    kModifierCommand = 4,
    kModifierControl = 8,
};

class InputSource {
public:
    virtual ~InputSource() = default;
    // MouseButton bits, read live.
    virtual int buttons() = 0;
    // The cursor relative to the window.
    virtual Point location() = 0;
    // Where the mouse is over the window while no button is held, without
    // taking any of its events; false when it is elsewhere or unknown.
    virtual bool hoverLocation(Point* where) {
        (void)where;
        return false;
    }
    // Milliseconds of a steady clock.
    virtual long long ticks() = 0;
    virtual void sleep(int milliseconds) = 0;
    // The next key typed while a modal loop runs (a popup menu); false when none.
    virtual bool nextKey(KeyCode* key) {
        (void)key;
        return false;
    }
    // Lets the platform deliver pending paint work during a modal loop.
    virtual void pumpPaint() {}
    virtual int doubleClickTime() { return 500; }
    // False once a modal loop (a popup menu) must end: the window is gone.
    virtual bool modalLoopAlive() { return true; }
};

}  // namespace gui
