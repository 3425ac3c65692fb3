#include "editor/LearnKnob.h"

#include "gui/Surface.h"

namespace editor {

LearnKnob::LearnKnob(SynthLink& effect, const gui::Rect& size, gui::ControlListener* listener,
                     int tag, int frames, int frameHeight, gui::Bitmap* strip, gui::Point offset)
    : StripKnob(size, listener, tag, frames, frameHeight, strip, offset), effect_(effect) {}

void LearnKnob::mouse(gui::Surface& surface, gui::Point where) {
    if (!effect_.learning()) {
        StripKnob::mouse(surface, where);
        return;
    }
    const int buttons = surface.mouseButtons();
    if (buttons & gui::kPrimaryButton) effect_.learnParameter(tag_);
    else if (buttons & gui::kSecondaryButton) effect_.forgetParameter(tag_);
}

}  // namespace editor
