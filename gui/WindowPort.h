// The native window a root view lives in, as the toolkit needs it: input,
// where it is on the screen, and showing the root view's pixels.
#pragma once

#include "gui/Geometry.h"
#include "gui/Input.h"
#include "gui/PixelBuffer.h"

namespace gui {

class GuiEditorBase;
class NativeControls;

class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual InputSource& input() = 0;
    virtual Point screenPosition() = 0;
    // Shows the part of the pixels inside area.
    virtual void present(const PixelBuffer& pixels, const Rect& area) = 0;
    // Hands what the user did since the last call (paint, mouse, wheel, keys)
    // to the editor; called at the host's idle. Windows that deliver events
    // by themselves do nothing here.
    virtual void handleEvents(GuiEditorBase& editor) { (void)editor; }
    // The native edit box and menus of this window, or null when the
    // toolkit is to draw its own.
    virtual NativeControls* nativeControls() { return nullptr; }
    // Makes the window width x height pixels; false when it cannot, and the
    // editor then makes a new one.
    virtual bool resize(int width, int height) {
        (void)width;
        (void)height;
        return false;
    }
};

}  // namespace gui
