// The knob of every sound parameter: a film-strip knob that, while MIDI
// learn is on, picks its parameter as the learn target (left click) or
// forgets its bindings (right click) instead of turning.
#pragma once

#include "gui/KnobControl.h"
#include "editor/SynthLink.h"

namespace editor {

class LearnKnob : public gui::StripKnob {
public:
    LearnKnob(SynthLink& effect, const gui::Rect& size, gui::ControlListener* listener,
              int tag, int frames, int frameHeight, gui::Bitmap* strip, gui::Point offset = {});

    void mouse(gui::Surface& surface, gui::Point where) override;

protected:
    SynthLink& effect_;
};

}  // namespace editor
