// A button that, when clicked, shows a picture over a larger display area
// as the root view's modal view; a click on it (or hide) takes it away.
#pragma once

#include "gui/Control.h"

namespace gui {

class OverlayButton : public Control {
public:
    OverlayButton(const Rect& size, ControlListener* listener, int tag, Bitmap* picture, const Rect& display,
                  Point pictureOffset = {});

    bool hitTest(Point where, int buttons) const override;
    void mouse(Surface& surface, Point where) override;
    void draw(Surface& surface) override;
    void hide();

protected:
    Rect display_;
    Point pictureOffset_;
    Rect saved_;
};

}  // namespace gui
