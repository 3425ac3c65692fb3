// An effect with its editor open in a scripted window: a host callback that
// records automation, a file selector that answers from a script, and a
// record of the links the editor opened.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/PluginEditor.h"
#include "gui/RootView.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "support/ScriptedInput.h"

namespace testing_support {

struct RecordingHost {
    static std::vector<std::pair<int, float>>& automated() {
        static std::vector<std::pair<int, float>> values;
        return values;
    }
    static vst::VstIntPtr callback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr,
                                   void*, float opt) {
        if (opcode == vst::audioMasterAutomate) automated().push_back({index, opt});
        return opcode == vst::audioMasterVersion ? 2400 : 0;
    }
};

class ScriptedFileDialog : public native::FileDialog {
public:
    std::string choose(const native::FileRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<native::FileRequest> requests;
};

// Lets the editor own a window that forwards to the test's scripted input.
class ForwardingWindow : public gui::WindowPort {
public:
    explicit ForwardingWindow(ScriptedInput& target) : target_(target) {}
    gui::InputSource& input() override { return target_; }
    gui::Point screenPosition() override { return target_.screenPosition(); }
    void present(const gui::PixelBuffer& pixels, const gui::Rect& area) override { target_.present(pixels, area); }

private:
    ScriptedInput& target_;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingHost::automated().clear();
        createEffect();
    }
    void TearDown() override {
        effect.reset();
        EXPECT_EQ(editor::PluginEditor::sharedBackgroundReferences(), 0);
    }
    void createEffect() {
        effect = std::make_unique<plugin::DrumSynthEffect>(&RecordingHost::callback, registry, "",
                                                           &editor::createPluginEditor);
        view = static_cast<editor::PluginEditor*>(effect->getEditor());
        view->setWindowFactory([this](void*, int, int) { return std::make_unique<ForwardingWindow>(input); });
        view->setFileDialog(&files);
        view->setLinkOpener([this](const std::string& target) { links.push_back(target); });
    }
    bool open() { return view->open(&parentWindow); }
    gui::RootView* root() { return view->rootView(); }

    // A press and release at a point, with extra buttons (Shift, Ctrl) held.
    void click(gui::Point at, int buttons = gui::kPrimaryButton) {
        input.script({{buttons, at}, {buttons, at}, {0, at}});
        gui::Surface surface = root()->surface();
        root()->mouse(surface, at);
    }
    void drag(gui::Point from, gui::Point to, int buttons = gui::kPrimaryButton) {
        input.drag(from, to, buttons);
        gui::Surface surface = root()->surface();
        root()->mouse(surface, from);
    }
    bool key(int character, unsigned char virt = 0, unsigned char modifier = 0) {
        vst::VstKeyCode code{character, virt, modifier};
        return view->onKeyDown(code);
    }
    // Clicks a field, types the text and presses Enter.
    void type(gui::Control* field, const std::string& text) {
        const gui::Rect r = field->size();
        click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        for (char c : text) key(static_cast<unsigned char>(c));
        key(0, gui::kKeyReturn);
    }
    // What the user's choice of a menu entry does.
    void choose(gui::PopupMenuControl* menu, int entry) {
        menu->setValue(static_cast<float>(entry));
        view->controlChanged(nullptr, menu);
    }
    static gui::Point centre(const gui::Control* control) {
        const gui::Rect r = control->size();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    int parentWindow = 0;
    platform::MemoryRegistry registry;
    ScriptedInput input;
    ScriptedFileDialog files;
    std::vector<std::string> links;
    std::unique_ptr<plugin::DrumSynthEffect> effect;
    editor::PluginEditor* view = nullptr;
};

}  // namespace testing_support
