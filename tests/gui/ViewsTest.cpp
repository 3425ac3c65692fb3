// Root view, widgets and the editor base, driven without a window.
#include <gtest/gtest.h>

#include <vector>

#include "gui/GuiEditorBase.h"
#include "gui/RootView.h"
#include "support/ScriptedInput.h"

namespace {

using gui::Point;
using gui::Rect;
using testing_support::ScriptedInput;

// A view that records what happens to it.
class Probe : public gui::Widget {
public:
    Probe(const Rect& size, std::vector<std::string>& log, const char* name) : Widget(size), log_(log), name_(name) {}
    void draw(gui::Surface&) override { log_.push_back(std::string("draw ") + name_); }
    void mouse(gui::Surface&, Point) override { log_.push_back(std::string("mouse ") + name_); }
    void loseFocus(gui::Surface*) override { log_.push_back(std::string("lose ") + name_); }
    bool wheel(gui::Surface&, Point, float) override {
        log_.push_back(std::string("wheel ") + name_);
        return true;
    }
    bool dropNotification(const char* const*, int, int, Point) override {
        log_.push_back(std::string("drop ") + name_);
        return true;
    }

private:
    std::vector<std::string>& log_;
    const char* name_;
};

class ViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = new gui::RootView({0, 0, 100, 100}, nullptr, &input);
        a = new Probe({0, 0, 50, 50}, log, "a");
        b = new Probe({25, 25, 75, 75}, log, "b");
        root->addChild(a);
        root->addChild(b);
    }
    void TearDown() override { root->release(); }
    void click(Point where, int buttons = gui::kPrimaryButton) {
        input.script({{buttons, where}});
        gui::Surface surface = root->surface();
        root->mouse(surface, where);
    }

    ScriptedInput input;
    std::vector<std::string> log;
    gui::RootView* root;
    Probe* a;
    Probe* b;
};

TEST_F(ViewsTest, DrawsInInsertionOrderAndRoutesTheMouseToTheLastChildFirst) {
    root->redraw();
    EXPECT_EQ(log, (std::vector<std::string>{"draw a", "draw b"}));
    log.clear();
    click({30, 30});  // both cover it: the later one wins
    click({10, 10});
    click({90, 90});  // nobody
    b->setMouseEnabled(false);
    click({30, 30});
    EXPECT_EQ(log, (std::vector<std::string>{"mouse b", "mouse a", "mouse a"}));
    log.clear();
    gui::Surface surface = root->surface();
    root->drawInRect(surface, {60, 60, 70, 70});
    EXPECT_EQ(log, std::vector<std::string>{"draw b"});
}

TEST_F(ViewsTest, IdleRedrawsOnlyDirtyViewsAndOnlyAfterTheFirstFullDraw) {
    a->setDirty(true);
    root->idle();
    EXPECT_TRUE(log.empty());  // the window has not been drawn whole yet
    root->redraw();
    log.clear();
    root->idle();
    EXPECT_TRUE(log.empty());  // nothing dirty
    b->setDirty(true);
    root->idle();
    EXPECT_EQ(log, std::vector<std::string>{"draw b"});
    EXPECT_FALSE(b->isDirty());
    root->close();
    a->setDirty(true);
    log.clear();
    root->idle();
    EXPECT_TRUE(log.empty());  // a closed window draws nothing
}

TEST_F(ViewsTest, ModalAndEditViews) {
    auto* modal = new Probe({40, 40, 60, 60}, log, "modal");
    auto* other = new Probe({0, 0, 10, 10}, log, "other");
    EXPECT_TRUE(root->setModalView(modal));
    EXPECT_FALSE(root->setModalView(other));  // refused while another is set
    EXPECT_EQ(root->modalView(), modal);
    click({10, 10});  // only the modal view gets clicks
    click({50, 50});
    EXPECT_EQ(log, std::vector<std::string>{"mouse modal"});
    const char* text = "dropped";
    EXPECT_FALSE(root->dropNotification(&text, 7, 1, {10, 10}));
    EXPECT_TRUE(root->setModalView(nullptr));
    EXPECT_TRUE(root->setModalView(other));
    root->setModalView(nullptr);
    modal->release();
    other->release();

    log.clear();
    root->setEditView(a);
    click({30, 30});  // a click anywhere ends editing first
    EXPECT_EQ(log, (std::vector<std::string>{"lose a", "mouse b"}));
    EXPECT_EQ(root->editView(), nullptr);
    log.clear();
    root->setEditView(a);
    EXPECT_FALSE(root->dropNotification(&text, 7, 1, {10, 10}));  // refused while editing
    root->setEditView(nullptr);
    EXPECT_TRUE(root->dropNotification(&text, 7, 1, {10, 10}));
    EXPECT_TRUE(root->wheelAt({60, 60}, 1.0f));
    EXPECT_FALSE(root->wheelAt({90, 90}, 1.0f));
    EXPECT_EQ(log, (std::vector<std::string>{"lose a", "drop a", "wheel b"}));
}

int hostIdles = 0;

vst::VstIntPtr idleCountingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    if (opcode == vst::audioMasterIdle) ++hostIdles;
    return 0;
}

TEST(GuiEditorBase, DoIdlePacesItselfDuringDrags) {
    ScriptedInput input;
    vst::AudioEffect effect(&idleCountingHost, 1, 1);
    gui::GuiEditorBase editor(&effect);
    editor.setRootView(new gui::RootView({0, 0, 10, 10}, &editor, &input));
    editor.doIdle();
    EXPECT_EQ(hostIdles, 1);
    const long long start = input.ticks();
    editor.doIdle();  // too early: sleeps 4 ms and does nothing else
    EXPECT_EQ(hostIdles, 1);
    EXPECT_EQ(input.ticks(), start + 4);
    input.advance(50);
    editor.doIdle();  // within 50 ms of the next pass: it runs
    EXPECT_EQ(hostIdles, 2);
    EXPECT_TRUE(editor.setKnobMode(2));
    EXPECT_EQ(gui::RootView::knobMode(), 2);
    editor.setKnobMode(0);
}

}  // namespace
