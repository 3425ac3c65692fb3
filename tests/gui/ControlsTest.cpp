// The feel of the controls: drags, clicks, keys, frames, menus and text.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/KnobControl.h"
#include "gui/OverlayButton.h"
#include "gui/PopupMenuControl.h"
#include "gui/RootView.h"
#include "gui/SimpleControls.h"
#include "gui/TextField.h"
#include "support/CountingListener.h"
#include "support/ScriptedInput.h"

namespace {

using gui::Point;
using gui::Rect;
using testing_support::ScriptedInput;

using Listener = testing_support::CountingListener;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { root = new gui::RootView({0, 0, 400, 400}, nullptr, &input); }
    void TearDown() override {
        root->release();
        gui::RootView::setKnobMode(0);
    }
    template <typename T>
    T* add(T* control) {
        root->addChild(control);
        return control;
    }
    void press(gui::Widget* view, Point where) {
        gui::Surface surface = root->surface();
        root->mouse(surface, where);
        (void)view;
    }

    ScriptedInput input;
    Listener listener;
    gui::RootView* root;
};

TEST_F(ControlsTest, StripFramesFollowTheValue) {
    gui::StripKnob knob({0, 0, 44, 33}, nullptr, 0, 127, 33, nullptr);
    knob.setValue(0.0f);
    EXPECT_EQ(knob.frameOffset(), 0);
    knob.setValue(1.0f / 126.0f - 1e-6f);
    EXPECT_EQ(knob.frameOffset(), 0);
    knob.setValue(1.0f / 126.0f + 1e-6f);
    EXPECT_EQ(knob.frameOffset(), 33);
    knob.setValue(0.99999f);
    EXPECT_EQ(knob.frameOffset(), 125 * 33);
    knob.setValue(1.0f);
    EXPECT_EQ(knob.frameOffset(), 126 * 33);
    knob.setValue(-0.5f);
    EXPECT_EQ(knob.frameOffset(), 0);
    knob.setInverse(true);
    knob.setValue(1.0f);
    EXPECT_EQ(knob.frameOffset(), 0);

    gui::StripDisplay light({0, 0, 28, 21}, 64, 21, nullptr);
    light.setValue(0.5f);
    EXPECT_EQ(light.frameOffset(), 32 * 21);
    light.setValue(0.0f);
    EXPECT_EQ(light.frameOffset(), 0);
    light.setValue(3.0f);
    EXPECT_EQ(light.frameOffset(), 63 * 21);
}

TEST_F(ControlsTest, LinearDragCoversTheRangeIn200PixelsOr300WithShift) {
    gui::RootView::setKnobMode(gui::KnobControl::kLinearMode);
    auto* knob = add(new gui::KnobControl({100, 100, 144, 144}, &listener, 7));
    knob->setValue(0.0f);
    input.drag({120, 120}, {120, -80}, gui::kPrimaryButton, 20);
    press(knob, {120, 120});
    EXPECT_FLOAT_EQ(knob->value(), 1.0f);
    EXPECT_GT(listener.calls, 5);

    knob->setValue(0.0f);
    input.drag({120, 120}, {320, 120}, gui::kPrimaryButton | gui::kShiftKey, 20);  // right counts like up
    press(knob, {120, 120});
    EXPECT_NEAR(knob->value(), 2.0f / 3.0f, 1e-5f);

    // Shift pressed half way: the value goes on from where it was.
    knob->setValue(0.0f);
    std::vector<ScriptedInput::Sample> samples{{gui::kPrimaryButton, {120, 120}}};
    for (int i = 1; i <= 10; ++i) samples.push_back({gui::kPrimaryButton, {120, 120 - 10 * i}});
    samples.push_back({gui::kPrimaryButton | gui::kShiftKey, {120, 20}});
    samples.push_back({gui::kPrimaryButton | gui::kShiftKey, {120, 19}});
    samples.push_back({gui::kPrimaryButton | gui::kShiftKey, {120, 9}});
    samples.push_back({gui::kPrimaryButton | gui::kShiftKey, {120, 9}});
    samples.push_back({0, {120, 9}});
    input.script(samples);
    press(knob, {120, 120});
    // 101 pixels at 1/200 when Shift arrived, then 10 more at 1/300.
    EXPECT_NEAR(knob->value(), 0.505f + 10.0f / 300.0f, 1e-5f);
}

TEST_F(ControlsTest, CtrlClickRestoresTheDefault) {
    auto* knob = add(new gui::KnobControl({100, 100, 144, 144}, &listener, 7));
    knob->setDefaultValue(0.25f);
    knob->setValue(0.6f);
    knob->setDirty(false);
    input.script({{gui::kPrimaryButton | gui::kControlKey, {120, 120}}});
    press(knob, {120, 120});
    EXPECT_EQ(knob->value(), 0.25f);
    EXPECT_EQ(listener.calls, 1);

    // Ctrl+Shift is an ordinary drag.
    gui::RootView::setKnobMode(gui::KnobControl::kLinearMode);
    input.drag({120, 120}, {120, 100}, gui::kPrimaryButton | gui::kControlKey | gui::kShiftKey, 4);
    press(knob, {120, 120});
    EXPECT_NEAR(knob->value(), 0.25f + 20.0f / 300.0f, 1e-5f);
}

TEST_F(ControlsTest, CircularModeFollowsTheAngleAndGuardsTheGap) {
    auto* knob = add(new gui::KnobControl({0, 0, 100, 100}, nullptr, 0));
    EXPECT_NEAR(knob->valueFromPoint({50 - 35, 50 + 35}), 0.0f, 0.01f);  // 225 degrees
    EXPECT_NEAR(knob->valueFromPoint({50 + 35, 50 + 35}), 1.0f, 0.01f);  // -45 degrees
    EXPECT_NEAR(knob->valueFromPoint({50, 0}), 0.5f, 1e-5f);             // straight up
    EXPECT_NEAR(knob->valueFromPoint({0, 50}), 1.0f / 6.0f, 1e-5f);      // left: 180 degrees
    EXPECT_EQ(knob->valueFromPoint({45, 100}), 0.0f);  // gap, nearer the start
    EXPECT_EQ(knob->valueFromPoint({55, 100}), 1.0f);  // gap, nearer the end

    auto* dial = add(new gui::KnobControl({100, 100, 200, 200}, &listener, 3));
    dial->setValue(0.5f);
    // From straight up round to the right, then across the gap: it stays at the top.
    input.script({{gui::kPrimaryButton, {150, 100}}, {gui::kPrimaryButton, {200, 150}},
                  {gui::kPrimaryButton, {180, 190}}, {gui::kPrimaryButton, {120, 190}},
                  {gui::kPrimaryButton, {120, 190}}, {0, {120, 190}}});
    press(dial, {150, 100});
    EXPECT_EQ(dial->value(), 1.0f);
}

TEST_F(ControlsTest, WheelAndArrowKeysStepTheKnob) {
    auto* knob = add(new gui::KnobControl({0, 0, 40, 40}, &listener, 1));
    knob->setValue(0.5f);
    gui::Surface surface = root->surface();
    input.script({{0, {}}});
    EXPECT_TRUE(knob->wheel(surface, {}, 1.0f));
    EXPECT_FLOAT_EQ(knob->value(), 0.6f);
    input.script({{gui::kShiftKey, {}}});
    knob->wheel(surface, {}, -1.0f);
    EXPECT_FLOAT_EQ(knob->value(), 0.59f);
    EXPECT_EQ(knob->keyDown({0, gui::kKeyUp, 0}), 1);
    EXPECT_FLOAT_EQ(knob->value(), 0.69f);
    knob->keyDown({0, gui::kKeyLeft, gui::kModifierShift});
    EXPECT_FLOAT_EQ(knob->value(), 0.68f);
    for (int i = 0; i < 20; ++i) knob->keyDown({0, gui::kKeyRight, 0});
    EXPECT_EQ(knob->value(), 1.0f);
    EXPECT_EQ(knob->keyDown({'a', 0, 0}), -1);
}

TEST_F(ControlsTest, ToggleButtonFlipsAndListenersHearOnlyRealChanges) {
    auto* button = add(new gui::ToggleButton({0, 0, 40, 60}, &listener, 4, nullptr));
    root->redraw();  // what the user sees is the value at the last draw
    input.script({{gui::kPrimaryButton, {5, 5}}});
    press(button, {5, 5});
    EXPECT_EQ(button->value(), 1.0f);
    EXPECT_EQ(listener.calls, 1);
    input.script({{gui::kSecondaryButton, {5, 5}}});
    press(button, {5, 5});
    EXPECT_EQ(button->value(), 1.0f);  // only the primary button
    button->setDirty(false);
    button->setValue(1.0f);
    EXPECT_FALSE(button->isDirty());
    button->setDirty(true);
    EXPECT_TRUE(button->isDirty());
}

TEST_F(ControlsTest, PopupMenuEntriesNumberingAndLimits) {
    auto* menu = add(new gui::PopupMenuControl({10, 10, 110, 30}, &listener, 9));
    EXPECT_EQ(menu->current(), -1);
    menu->addEntry("-T Title");
    EXPECT_EQ(menu->current(), -1);  // a title is never current
    menu->addEntry("One");
    EXPECT_EQ(menu->current(), 1);
    menu->addEntry("-");
    menu->addEntry("Two");
    EXPECT_TRUE(menu->setCurrent(1, false));  // separators and titles are not counted
    EXPECT_EQ(menu->current(), 3);
    EXPECT_FALSE(menu->setCurrent(0, true));  // a title cannot be current
    menu->addEntry("Zero", 0);
    EXPECT_EQ(menu->current(), 4);  // moved with the insertion
    menu->removeAllEntries();
    for (int i = 0; i < gui::PopupMenuControl::kMaxEntries; ++i) ASSERT_TRUE(menu->addEntry("x"));
    EXPECT_FALSE(menu->addEntry("one too many"));
    EXPECT_EQ(menu->entryCount(), 1024);
    menu->removeAllEntries();

    menu->setNumberStyle(2);
    menu->addEntry("Alpha");
    menu->addEntry("Beta");
    EXPECT_EQ(menu->entry(1), "2 Beta");
    menu->setNumberStyle(4);
    menu->addEntry("Gamma");
    EXPECT_EQ(menu->entry(2), "003 Gamma");
    menu->setNumberStyle(0);
    menu->addEntry(std::string(400, 'y'));
    EXPECT_EQ(menu->entry(3).size(), 255u);
    menu->setValue(7.0f);  // outside: ignored
    EXPECT_EQ(menu->current(), 0);
    menu->setValue(1.0f);
    EXPECT_EQ(menu->current(), 1);
}

TEST_F(ControlsTest, PopupMenuChoosesWithTheMouseIncludingSubmenus) {
    auto* menu = add(new gui::PopupMenuControl({10, 10, 110, 30}, &listener, 9, nullptr, nullptr,
                                               gui::PopupMenuControl::kMultipleCheck));
    auto* more = new gui::PopupMenuControl({0, 0, 0, 0}, nullptr, 0);
    more->addEntry("Deep");
    menu->addEntry("Load Program");
    menu->addEntry("-G Greyed");
    menu->addSubmenu(more, "More");
    more->release();
    root->redraw();
    const auto before = root->pixels().pixels();

    // Entries sit below the control: press, move to the first entry, release.
    input.script({{gui::kPrimaryButton, {20, 20}}, {0, {20, 20}}, {0, {30, 40}}, {gui::kPrimaryButton, {30, 40}},
                  {0, {30, 40}}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.last, menu);
    EXPECT_EQ(menu->current(), 0);
    EXPECT_TRUE(menu->isChecked(0));
    EXPECT_EQ(root->pixels().pixels(), before);  // the menu leaves nothing behind

    // A greyed entry cannot be chosen; a click outside closes the menu.
    input.script({{gui::kPrimaryButton, {20, 20}}, {0, {20, 20}}, {gui::kPrimaryButton, {30, 58}}, {0, {30, 58}},
                  {gui::kPrimaryButton, {390, 390}}, {0, {390, 390}}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 1);

    // Hovering the submenu opens it to the right; a click there chooses in it.
    input.script({{gui::kPrimaryButton, {20, 20}}, {0, {20, 20}}, {0, {30, 76}}, {0, {140, 76}},
                  {gui::kPrimaryButton, {140, 76}}, {0, {140, 76}}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(listener.last, more);
    EXPECT_EQ(menu->lastMenu(), more);
    EXPECT_EQ(more->current(), 0);

    // The keyboard: Down to the first entry, Return.
    input.script({{gui::kPrimaryButton, {20, 20}}, {0, {390, 390}}});
    input.typeKeys({{0, gui::kKeyDown, 0}, {0, gui::kKeyReturn, 0}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 3);
    EXPECT_EQ(listener.last, menu);

    // Escape leaves without a choice.
    input.script({{gui::kPrimaryButton, {20, 20}}, {0, {20, 20}}});
    input.typeKeys({{0, gui::kKeyEscape, 0}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 3);
}

TEST_F(ControlsTest, AMenuOpeningUnderTheMouseIgnoresTheReleaseOfItsOwnClick) {
    auto* menu = add(new gui::PopupMenuControl({10, 10, 110, 30}, &listener, 9, nullptr, nullptr,
                                               gui::PopupMenuControl::kPopupAtTop));
    menu->addEntry("Load Program");
    menu->addEntry("Save Program");
    root->redraw();
    // The first entry lies under the click; its release keeps the menu open,
    // and it closes without a choice.
    input.script({{gui::kPrimaryButton, {20, 20}}, {gui::kPrimaryButton, {20, 20}}, {0, {20, 20}}, {0, {21, 20}},
                  {0, {21, 20}}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 0);
    // Press, drag down to the second entry and release: that chooses it.
    input.script({{gui::kPrimaryButton, {20, 20}}, {gui::kPrimaryButton, {20, 30}}, {gui::kPrimaryButton, {20, 40}},
                  {0, {20, 40}}, {0, {20, 40}}});
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(menu->current(), 1);
    // Held past the double-click time, the release chooses where it is.
    std::vector<testing_support::ScriptedInput::Sample> held(80, {gui::kPrimaryButton, {20, 20}});
    held.push_back({0, {20, 20}});
    held.push_back({0, {20, 20}});
    input.script(held);
    press(menu, {20, 20});
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(menu->current(), 0);
}

TEST_F(ControlsTest, TextFieldEditsOneLineAndNotifiesOnlyRealChanges) {
    auto* field = add(new gui::TextField({10, 10, 110, 26}, &listener, 5, "Tamborik"));
    input.script({{gui::kPrimaryButton, {20, 15}}});
    press(field, {20, 15});
    EXPECT_TRUE(field->editing());
    EXPECT_EQ(root->editView(), field);
    for (char c : std::string("Tamborik")) root->keyDown({c, 0, 0});  // retyped unchanged
    root->keyDown({0, gui::kKeyReturn, 0});
    EXPECT_FALSE(field->editing());
    EXPECT_TRUE(field->endedWithEnter());
    EXPECT_EQ(listener.calls, 0);

    input.script({{gui::kPrimaryButton, {20, 15}}});
    press(field, {20, 15});
    root->keyDown({0, gui::kKeyEnd, 0});
    root->keyDown({0, gui::kKeyBack, 0});
    root->keyDown({'x', 0, 0});
    input.script({{gui::kPrimaryButton, {300, 300}}});
    press(nullptr, {300, 300});  // a click elsewhere ends editing
    EXPECT_EQ(field->getText(), "Tamborix");
    EXPECT_EQ(listener.calls, 1);

    input.script({{gui::kPrimaryButton, {20, 15}}});
    press(field, {20, 15});
    for (int i = 0; i < 300; ++i) root->keyDown({'a', 0, 0});
    EXPECT_EQ(field->editText().size(), 255u);
    root->keyDown({0, gui::kKeyEscape, 0});  // abandons the edit
    EXPECT_EQ(field->getText(), "Tamborix");
    EXPECT_EQ(listener.calls, 1);

    field->setText(std::string(300, 'b'));
    EXPECT_EQ(field->getText().size(), 255u);
    field->setText("");
}

TEST_F(ControlsTest, TextFieldCanWaitForADoubleClick) {
    auto* field = add(new gui::TextField({10, 10, 110, 26}, &listener, 5, "x", nullptr,
                                         gui::TextField::kDoubleClickStyle));
    input.script({{gui::kPrimaryButton, {20, 15}}});
    press(field, {20, 15});
    EXPECT_FALSE(field->editing());
    input.advance(100);
    input.script({{gui::kPrimaryButton, {20, 15}}});
    press(field, {20, 15});
    EXPECT_TRUE(field->editing());
}

TEST_F(ControlsTest, OverlayButtonShowsItsPictureAsTheModalView) {
    gui::Bitmap* picture = gui::Bitmap::fromPixels(2, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000});
    auto* overlay = add(new gui::OverlayButton({0, 0, 20, 20}, &listener, 11, picture, {50, 50, 52, 52}));
    picture->forget();
    EXPECT_FALSE(overlay->hitTest({5, 5}, 0));
    EXPECT_TRUE(overlay->hitTest({5, 5}, gui::kPrimaryButton));
    input.script({{gui::kPrimaryButton, {5, 5}}});
    press(overlay, {5, 5});
    EXPECT_EQ(overlay->value(), 1.0f);
    EXPECT_EQ(root->modalView(), overlay);
    EXPECT_EQ(overlay->size(), (Rect{50, 50, 52, 52}));
    EXPECT_EQ(root->pixels().at(50, 50), 0xFF0000u);
    EXPECT_EQ(listener.calls, 1);
    input.script({{gui::kPrimaryButton, {51, 51}}});
    press(overlay, {51, 51});
    EXPECT_EQ(overlay->value(), 0.0f);
    EXPECT_EQ(root->modalView(), nullptr);
    EXPECT_EQ(overlay->size(), (Rect{0, 0, 20, 20}));
    EXPECT_EQ(listener.calls, 2);
}

}  // namespace
