// The small box that shows a knob's parameter while it turns, or after the
// mouse rests on it: its name, value and unit as the host shows them
// ("Decay 0.21 s"). It sits just above the knob (below it where the window
// has no room above), never over the knob, always inside the window, and
// takes no mouse.
#pragma once

#include <string>

#include "gui/Widget.h"

namespace editor {

class ValueReadout : public gui::Widget {
public:
    explicit ValueReadout(const gui::Rect& window);

    // Shows text for the knob at knob (view pixels); measured with surface.
    void show(int parameter, const gui::Rect& knob, const std::string& text);
    void hide();
    bool shown() const { return parameter_ >= 0; }
    int parameter() const { return parameter_; }
    const std::string& text() const { return text_; }

    void draw(gui::Surface& surface) override;
    // Draws the window again where the box was and where it is now.
    void update(gui::Surface& surface) override;
    bool hitTest(gui::Point, int) const override { return false; }

private:
    gui::Rect window_;
    gui::Rect previous_{};
    int parameter_ = -1;
    std::string text_;
};

}  // namespace editor
