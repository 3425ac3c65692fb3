// The base of the plug-in's editor: keeps the effect, the host's parent
// window and the root view, runs idle work, and paces the idle work that
// controls ask for while they track a drag.
#pragma once

#include "gui/RootView.h"
#include "vst/AudioEffect.h"
#include "vst/EditorInterface.h"

namespace gui {

class GuiEditorBase : public vst::AEffEditor {
public:
    explicit GuiEditorBase(vst::AudioEffect* effect);
    ~GuiEditorBase() override;

    // Posts an update and keeps the parent; the derived editor builds its views.
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool onKeyDown(vst::VstKeyCode& key) override;
    bool onKeyUp(vst::VstKeyCode& key) override;
    bool onWheel(float distance) override;
    bool setKnobMode(vst::VstInt32 mode) override;

    void postUpdate() { updateFlag_ = true; }
    // Work the derived editor does at the next idle after postUpdate.
    virtual void update() {}
    // Called by controls while they track a drag: at most one pass of idle
    // work every 100 ms, sleeping 4 ms when called early.
    void doIdle();
    // Redraws the whole window.
    void draw();

    vst::AudioEffect* effect() const { return effect_; }
    void* parentWindow() const { return parent_; }
    RootView* rootView() const { return root_; }
    void setRootView(RootView* root);
    // A control starts and ends tracking the mouse for a parameter.
    virtual void beginEdit(int index);
    virtual void endEdit(int index);

protected:
    vst::AudioEffect* effect_;
    void* parent_ = nullptr;
    bool updateFlag_ = false;
    vst::ERect rect_{};
    RootView* root_ = nullptr;
    long long nextIdleTime_ = 0;
    bool inIdle_ = false;
};

}  // namespace gui
