#include "editor/LearnKnob.h"

#include "gui/Surface.h"

namespace editor {

LearnKnob::LearnKnob(vst::AudioEffect& effect, int learnIndex, const gui::Rect& size, gui::ControlListener* listener,
                     int tag, int frames, int frameHeight, gui::Bitmap* strip, gui::Point offset)
    : StripKnob(size, listener, tag, frames, frameHeight, strip, offset), effect_(effect), learnIndex_(learnIndex),
      forgetIndex_(learnIndex + 1) {}

void LearnKnob::mouse(gui::Surface& surface, gui::Point where) {
    // The learn mode lives just below the learn command.
    if (effect_.getParameter(learnIndex_ - 1) <= 0.5f) {
        StripKnob::mouse(surface, where);
        return;
    }
    const int buttons = surface.mouseButtons();
    if (buttons & gui::kPrimaryButton) effect_.setParameter(learnIndex_, static_cast<float>(tag_));
    else if (buttons & gui::kSecondaryButton) effect_.setParameter(forgetIndex_, static_cast<float>(tag_));
}

}  // namespace editor
