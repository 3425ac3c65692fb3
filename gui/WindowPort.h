// The native window a root view lives in, as the toolkit needs it: input,
// where it is on the screen, and showing the root view's pixels.
#pragma once

#include "gui/Geometry.h"
#include "gui/Input.h"
#include "gui/PixelBuffer.h"

namespace gui {

class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual InputSource& input() = 0;
    virtual Point screenPosition() = 0;
    // Shows the part of the pixels inside area.
    virtual void present(const PixelBuffer& pixels, const Rect& area) = 0;
};

}  // namespace gui
