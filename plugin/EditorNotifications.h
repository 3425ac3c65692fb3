// What the effect tells its editor: a parameter's new value, the MIDI-learn
// menu's new state, another current program, a renamed one. Called on
// whatever thread made the change.
#pragma once

namespace plugin {

class EditorNotifications {
public:
    // A host-visible parameter (0 to 87) took a value.
    virtual void parameterChanged(int index, float value) = 0;
    // The MIDI-learn menu was used: learning is on or off now.
    virtual void learnModeChanged(bool on) = 0;
    // The current program changed, or was stepped to.
    virtual void programChanged() = 0;
    // The current program's name changed.
    virtual void programRenamed() = 0;

protected:
    ~EditorNotifications() = default;
};

}  // namespace plugin
