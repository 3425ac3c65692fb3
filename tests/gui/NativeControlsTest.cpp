// Text fields and popup menus in a window with native controls: the
// toolkit hands the editing and the choosing to them and keeps its rules
// (limits, Enter, focus loss, notification only on a real change, which
// entries can be chosen).
#include <gtest/gtest.h>

#include "gui/PopupMenuControl.h"
#include "gui/RootView.h"
#include "gui/TextField.h"
#include "support/CountingListener.h"
#include "support/FakeNativeControls.h"

namespace {

using gui::MenuItem;
using gui::Point;
using gui::TextEditEnd;

using Listener = testing_support::CountingListener;

class NativeControlsTest : public ::testing::Test {
protected:
    void SetUp() override { root = new gui::RootView({0, 0, 400, 400}, nullptr, &window); }
    void TearDown() override { root->release(); }
    template <typename T>
    T* add(T* control) {
        root->addChild(control);
        return control;
    }
    void press(Point where, int buttons = gui::kPrimaryButton) {
        window.script({{buttons, where}});
        gui::Surface surface = root->surface();
        root->mouse(surface, where);
    }

    testing_support::NativeWindow window;
    testing_support::FakeNativeControls& native = window.controls;
    Listener listener;
    gui::RootView* root;
};

TEST_F(NativeControlsTest, ATextFieldEditsInTheNativeBoxWithItsFontColoursAndLimit) {
    auto* field = add(new gui::TextField({10, 10, 110, 26}, &listener, 5, "Tamborik"));
    field->setFontColor({255, 255, 0, 0});
    field->setBackColor({0, 0, 128, 0});
    field->setAlignment(2);
    root->redraw();
    const auto before = root->pixels().pixels();
    press({20, 15});
    ASSERT_EQ(native.editRequests.size(), 1u);
    const gui::TextEditRequest& asked = native.editRequests[0];
    EXPECT_EQ(asked.area, (gui::Rect{10, 10, 111, 27}));  // one pixel larger to the right and below
    EXPECT_EQ(asked.text, "Tamborik");
    EXPECT_EQ(asked.alignment, 2);
    EXPECT_EQ(asked.fontFace, "Arial");
    EXPECT_EQ(asked.fontHeight, 12);  // the table's height for font 3
    EXPECT_EQ(asked.maxLength, 255u);
    EXPECT_TRUE(asked.textColor.sameRgb({255, 255, 0, 0}));
    EXPECT_TRUE(asked.backColor.sameRgb({0, 0, 128, 0}));
    EXPECT_TRUE(field->editingNatively());
    EXPECT_EQ(root->editView(), field);
    // The box takes the keys; the field draws nothing of its own meanwhile.
    EXPECT_EQ(root->keyDown({'x', 0, 0}), -1);
    root->idle();
    EXPECT_EQ(root->pixels().pixels(), before);

    // Retyped unchanged and Enter: no word to the listener.
    native.finish("Tamborik", TextEditEnd::kEnter);
    EXPECT_FALSE(field->editing());
    EXPECT_TRUE(field->endedWithEnter());
    EXPECT_EQ(native.closed, 1);
    EXPECT_EQ(root->editView(), nullptr);
    EXPECT_EQ(listener.calls, 0);

    // A change kept by the loss of the keyboard, cut to 255 characters.
    press({20, 15});
    native.finish(std::string(300, 'k'), TextEditEnd::kFocusLost);
    EXPECT_EQ(field->getText(), std::string(255, 'k'));
    EXPECT_FALSE(field->endedWithEnter());
    EXPECT_EQ(listener.calls, 1);

    // Escape abandons the change.
    press({20, 15});
    native.finish("Snare", TextEditEnd::kEscape);
    EXPECT_EQ(field->getText(), std::string(255, 'k'));
    EXPECT_EQ(listener.calls, 1);

    // A click elsewhere takes the text as it stands in the box.
    field->setText("Clap");
    press({20, 15});
    native.open->typed = "Claves";
    press({300, 300});
    EXPECT_EQ(field->getText(), "Claves");
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(native.closed, 4);
}

TEST_F(NativeControlsTest, SmallFieldsGetASmallerFontAndAFieldClosedMidEditSaysNothing) {
    auto* field = add(new gui::TextField({10, 10, 60, 14}, &listener, 5, "x"));
    field->setFont(1);  // 18 pixels, in a field 4 high: 9, the least
    press({20, 12});
    ASSERT_EQ(native.editRequests.size(), 1u);
    EXPECT_EQ(native.editRequests[0].fontHeight, 9);
    EXPECT_EQ(native.editRequests[0].alignment, 1);  // centred, the display's default
    native.open->typed = "changed";
    root->release();
    root = new gui::RootView({0, 0, 400, 400}, nullptr, &window);
    EXPECT_EQ(native.closed, 1);
    EXPECT_EQ(listener.calls, 0);

    // Without a box from the window, the field edits in its own way.
    native.refuseEdits = true;
    field = add(new gui::TextField({10, 10, 110, 26}, &listener, 5, "Tamborik"));
    press({20, 15});
    EXPECT_TRUE(field->editing());
    EXPECT_FALSE(field->editingNatively());
    EXPECT_EQ(root->keyDown({0, gui::kKeyEnd, 0}), 1);
    root->keyDown({'s', 0, 0});
    root->keyDown({0, gui::kKeyReturn, 0});
    EXPECT_EQ(field->getText(), "Tamboriks");
    EXPECT_EQ(listener.calls, 1);
}

TEST_F(NativeControlsTest, APopupMenuIsDescribedWithItsEntryRulesAndTheChoiceIsKept) {
    auto* menu = add(new gui::PopupMenuControl({10, 10, 110, 30}, &listener, 9, nullptr, nullptr,
                                               gui::PopupMenuControl::kCheckCurrent));
    auto* more = new gui::PopupMenuControl({0, 0, 0, 0}, nullptr, 0, nullptr, nullptr,
                                           gui::PopupMenuControl::kMultipleCheck);
    more->addEntry("Deep");
    more->addEntry("Deeper");
    more->setChecked(1, true);
    for (const char* entry : {"One", "-GGreyed", "-", "-TTitle", "Two"}) menu->addEntry(entry);
    menu->addSubmenu(more, "More");
    more->release();
    menu->setEntriesPerColumn(4);

    native.answer = {0, 4};
    press({20, 20});
    ASSERT_EQ(native.menuRequests.size(), 1u);
    const gui::MenuRequest& asked = native.menuRequests[0];
    EXPECT_EQ(asked.at, (Point{10, 30}));  // below the control
    EXPECT_FALSE(asked.secondaryButton);
    ASSERT_EQ(asked.menus.size(), 2u);
    ASSERT_EQ(asked.menus[0].size(), 6u);
    const MenuItem::Kind kinds[] = {MenuItem::kEntry, MenuItem::kGreyed, MenuItem::kSeparator,
                                    MenuItem::kTitle, MenuItem::kEntry, MenuItem::kSubmenu};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(asked.menus[0][i].kind, kinds[i]) << i;
    EXPECT_EQ(asked.menus[0][1].text, "Greyed");
    EXPECT_EQ(asked.menus[0][3].text, "Title");
    EXPECT_EQ(asked.menus[0][5].text, "More");
    EXPECT_EQ(asked.menus[0][5].submenu, 1);
    EXPECT_TRUE(asked.menus[0][0].checked);  // the current entry
    EXPECT_FALSE(asked.menus[0][4].checked);
    EXPECT_TRUE(asked.menus[0][4].startsColumn);
    EXPECT_FALSE(asked.menus[0][0].startsColumn);
    EXPECT_FALSE(asked.menus[1][0].checked);
    EXPECT_TRUE(asked.menus[1][1].checked);  // its own flag
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.last, menu);
    EXPECT_EQ(menu->current(), 4);
    EXPECT_EQ(root->editView(), nullptr);

    // In the submenu, opened with the secondary button.
    native.answer = {1, 0};
    press({20, 20}, gui::kSecondaryButton);
    EXPECT_TRUE(native.menuRequests.back().secondaryButton);
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(listener.last, more);
    EXPECT_EQ(menu->lastMenu(), more);
    EXPECT_TRUE(more->isChecked(0));  // toggled on choice

    // Nothing chosen, or what the list would never let the user choose.
    for (gui::MenuChoice answer : {gui::MenuChoice{}, gui::MenuChoice{0, 1}, gui::MenuChoice{0, 2},
                                   gui::MenuChoice{0, 3}, gui::MenuChoice{0, 5}, gui::MenuChoice{0, 6},
                                   gui::MenuChoice{2, 0}}) {
        native.answer = answer;
        press({20, 20});
    }
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(menu->current(), 4);

    menu->setStyle(gui::PopupMenuControl::kPopupAtTop);
    press({20, 20});
    EXPECT_EQ(native.menuRequests.back().at, (Point{10, 10}));
}

TEST_F(NativeControlsTest, AMenuInsideItselfOpensNoDeeper) {
    auto* menu = add(new gui::PopupMenuControl({10, 10, 110, 30}, &listener, 9));
    menu->addEntry("One");
    menu->addSubmenu(menu, "Again");
    press({20, 20});
    ASSERT_EQ(native.menuRequests.size(), 1u);
    EXPECT_EQ(native.menuRequests[0].menus.size(), 1u);
    EXPECT_EQ(native.menuRequests[0].menus[0][1].kind, MenuItem::kGreyed);
    menu->removeAllEntries();  // lets go of itself
}

}  // namespace
