#include "gui/GuiEditorBase.h"

namespace gui {

GuiEditorBase::GuiEditorBase(vst::AudioEffect* effect) : effect_(effect) {}

GuiEditorBase::~GuiEditorBase() {
    setRootView(nullptr);
}

void GuiEditorBase::setRootView(RootView* root) {
    if (root_) root_->release();
    root_ = root;
}

bool GuiEditorBase::open(void* parentWindow) {
    postUpdate();
    parent_ = parentWindow;
    return false;
}

void GuiEditorBase::close() {
    setRootView(nullptr);
    parent_ = nullptr;
}

void GuiEditorBase::idle() {
    if (inIdle_) return;
    if (updateFlag_) {
        updateFlag_ = false;
        update();
    }
    if (root_) root_->idle();
}

bool GuiEditorBase::onKeyDown(vst::VstKeyCode& key) {
    if (!root_) return false;
    return root_->keyDown(key) != -1;
}

bool GuiEditorBase::onKeyUp(vst::VstKeyCode& key) {
    if (!root_) return false;
    return root_->keyUp(key) != -1;
}

bool GuiEditorBase::onWheel(float distance) {
    if (!root_ || !root_->window()) return false;
    return root_->wheelAt(root_->window()->input().location(), distance);
}

bool GuiEditorBase::setKnobMode(vst::VstInt32 mode) {
    RootView::setKnobMode(mode);
    return true;
}

void GuiEditorBase::doIdle() {
    InputSource* input = root_ ? root_->input() : nullptr;
    if (!input) return;
    long long now = input->ticks();
    if (now < nextIdleTime_) {
        input->sleep(4);
        now += 4;
        if (now < nextIdleTime_ - 50) return;
    }
    idle();
    input->pumpPaint();
    nextIdleTime_ = now + 100;
    inIdle_ = true;
    if (effect_) effect_->masterIdle();
    inIdle_ = false;
}

void GuiEditorBase::draw() {
    if (root_) root_->redraw();
}

void GuiEditorBase::beginEdit(int index) {
    if (effect_) effect_->beginEdit(index);
}

void GuiEditorBase::endEdit(int index) {
    if (effect_) effect_->endEdit(index);
}

}  // namespace gui
