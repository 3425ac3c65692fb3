// The native edit box and popup menus inside a child window that hands the
// messages meant for its child controls back to them, as the editor's
// window does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "WindowRobot.h"
#include "native/Win32NativeControls.h"

namespace {

using gui::MenuItem;
using gui::TextEditEnd;
using testing_support::OwnerWindow;
using testing_support::Robot;
using testing_support::waitForWindow;

LRESULT CALLBACK reflectingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam)
            return SendMessageA(reinterpret_cast<HWND>(lParam), native::kReflectedMessage + message, wParam,
                                lParam);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (const LRESULT brush = SendMessageA(reinterpret_cast<HWND>(lParam), native::kReflectedMessage + message,
                                               wParam, lParam))
            return brush;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The host's window with the editor's child window in it.
class NativeControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = reflectingProcedure;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "TamborikTestEditor";
            return RegisterClassA(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        editor = CreateWindowExA(0, "TamborikTestEditor", "Window", WS_CHILD | WS_VISIBLE, 0, 0, 623, 540,
                                 host.handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(editor, nullptr);
        controls = native::createWin32NativeControls(editor);
        ASSERT_NE(controls, nullptr);
        SetForegroundWindow(host.handle());
        SetFocus(editor);
    }

    // Opens a box; ends counts the endings and how.
    std::unique_ptr<gui::NativeTextEdit> open(const std::string& text, int alignment = 0) {
        gui::TextEditRequest request;
        request.area = {40, 30, 141, 47};
        request.text = text;
        request.alignment = alignment;
        request.fontFace = "Arial";
        request.fontHeight = 12;
        request.textColor = {255, 255, 0, 0};
        request.backColor = {0, 0, 128, 0};
        auto edit = controls->beginTextEdit(request, [this](TextEditEnd how) {
            ends.push_back(how);
            if (closeOnEnd) box.reset();
        });
        box_ = FindWindowExA(editor, nullptr, "Edit", nullptr);
        return edit;
    }

    static void type(HWND box, const std::string& text) {
        for (char c : text) SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
    }

    OwnerWindow host;
    HWND editor = nullptr;
    std::unique_ptr<gui::NativeControls> controls;
    std::unique_ptr<gui::NativeTextEdit> box;
    HWND box_ = nullptr;
    std::vector<TextEditEnd> ends;
    bool closeOnEnd = true;
};

TEST_F(NativeControlsTest, TheEditBoxHasItsFontMarginsLimitColoursAndTheKeyboard) {
    closeOnEnd = false;
    box = open("Tamborik", 1);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box_, nullptr);
    EXPECT_EQ(controls->windowHandle(), editor);
    RECT where{};
    GetWindowRect(box_, &where);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&where), 2);
    EXPECT_EQ(where.left, 40);
    EXPECT_EQ(where.top, 30);
    EXPECT_EQ(where.right, 141);
    EXPECT_EQ(where.bottom, 47);
    const LONG style = GetWindowLongA(box_, GWL_STYLE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), ES_CENTER);
    EXPECT_FALSE(style & ES_MULTILINE);

    LOGFONTA font{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box_, WM_GETFONT, 0, 0)), sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, 12);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_FALSE(font.lfItalic);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(SendMessageA(box_, EM_GETMARGINS, 0, 0), MAKELONG(3, 3));
    EXPECT_EQ(SendMessageA(box_, EM_GETLIMITTEXT, 0, 0), 255);
    DWORD start = 1, end = 0;
    SendMessageA(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 8u);  // all selected
    EXPECT_EQ(GetFocus(), box_);
    EXPECT_TRUE(SendMessageA(box_, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

    // The colour request the parent hands back: the field's colours.
    HDC context = GetDC(box_);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(editor, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(context), reinterpret_cast<LPARAM>(box_)));
    LOGBRUSH painted{};
    ASSERT_TRUE(GetObjectA(brush, sizeof(painted), &painted));
    EXPECT_EQ(painted.lbColor, RGB(0, 0, 128));
    EXPECT_EQ(GetBkColor(context), RGB(0, 0, 128));
    EXPECT_EQ(GetTextColor(context), RGB(255, 255, 0));
    ReleaseDC(box_, context);

    // Typing replaces the selection; no more than 255 characters go in.
    type(box_, "Kick");
    EXPECT_EQ(box->text(), "Kick");
    type(box_, std::string(300, 'a'));
    EXPECT_EQ(box->text().size(), 255u);
    EXPECT_TRUE(ends.empty());
    box.reset();  // closing says nothing
    EXPECT_FALSE(IsWindow(box_));
    EXPECT_TRUE(ends.empty());
}

TEST_F(NativeControlsTest, EnterEscapeAndTheLossOfTheKeyboardEndTheEditOnce) {
    std::string kept;
    box = open("Tamborik");
    type(box_, "Snare");
    kept = box->text();
    SendMessageA(box_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(ends, std::vector<TextEditEnd>{TextEditEnd::kEnter});
    EXPECT_EQ(box, nullptr);  // closed from inside its own ending
    EXPECT_FALSE(IsWindow(box_));
    EXPECT_EQ(GetFocus(), editor);
    EXPECT_EQ(kept, "Snare");

    ends.clear();
    box = open("Tamborik");
    SendMessageA(box_, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ends, std::vector<TextEditEnd>{TextEditEnd::kEscape});

    // Closed from inside the ending that the loss of the keyboard brings.
    ends.clear();
    box = open("Tamborik");
    SetFocus(editor);
    EXPECT_EQ(ends, std::vector<TextEditEnd>{TextEditEnd::kFocusLost});
    EXPECT_EQ(box, nullptr);
    EXPECT_FALSE(IsWindow(box_));

    ends.clear();
    closeOnEnd = false;
    box = open("Tamborik");
    type(box_, "Clap");
    SetFocus(editor);  // the user went elsewhere
    EXPECT_EQ(ends, std::vector<TextEditEnd>{TextEditEnd::kFocusLost});
    EXPECT_EQ(box->text(), "Clap");
    SendMessageA(box_, WM_KEYDOWN, VK_RETURN, 0);  // told once only
    EXPECT_EQ(ends.size(), 1u);

    // The editor's window going away first leaves the text readable.
    DestroyWindow(editor);
    editor = nullptr;
    EXPECT_EQ(box->text(), "Clap");
    box.reset();
    EXPECT_EQ(controls->beginTextEdit({}, [](TextEditEnd) {}), nullptr);
    EXPECT_EQ(native::createWin32NativeControls(nullptr), nullptr);
}

// What the robot read of the open menu and what it then pressed.
struct MenuSeen {
    bool found = false;
    POINT corner{};
    int count = 0;
    std::vector<UINT> states;
    std::vector<UINT> types;
    std::vector<std::string> texts;
};

gui::MenuRequest sampleMenu() {
    gui::MenuRequest request;
    request.at = {40, 60};
    request.menus.resize(2);
    request.menus[0] = {{MenuItem::kEntry, "Rock & Roll", false, false, -1},
                        {MenuItem::kGreyed, "Greyed", false, false, -1},
                        {MenuItem::kSeparator, "", false, false, -1},
                        {MenuItem::kTitle, "Title", false, false, -1},
                        {MenuItem::kEntry, "Two", true, true, -1},
                        {MenuItem::kSubmenu, "More", false, false, 1}};
    request.menus[1] = {{MenuItem::kEntry, "Deep", false, false, -1}};
    return request;
}

// Opens the menu and lets the robot read it and press the keys.
gui::MenuChoice runMenu(gui::NativeControls& controls, const std::vector<WPARAM>& keys, MenuSeen* seen) {
    Robot robot([&] {
        HWND menu = waitForWindow("#32768", nullptr);
        if (!menu) return;
        Sleep(100);
        if (seen) {
            seen->found = true;
            RECT r{};
            GetWindowRect(menu, &r);
            seen->corner = {r.left, r.top};
            HMENU handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            seen->count = GetMenuItemCount(handle);
            for (int i = 0; i < seen->count; ++i) {
                char text[64] = {};
                MENUITEMINFOA info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
                info.dwTypeData = text;
                info.cch = sizeof(text);
                GetMenuItemInfoA(handle, static_cast<UINT>(i), TRUE, &info);
                seen->states.push_back(info.fState);
                seen->types.push_back(info.fType);
                seen->texts.push_back(text);
            }
        }
        for (WPARAM key : keys) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            Sleep(50);
        }
    });
    return controls.showMenu(sampleMenu());
}

TEST_F(NativeControlsTest, APopupMenuShowsTheEntryRulesAndAnswersTheChoice) {
    MenuSeen seen;
    gui::MenuChoice choice = runMenu(*controls, {VK_DOWN, VK_RETURN}, &seen);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(choice.menu, 0);
    EXPECT_EQ(choice.item, 0);
    POINT corner{40, 60};
    ClientToScreen(editor, &corner);
    EXPECT_NEAR(seen.corner.x, corner.x, 3);
    EXPECT_NEAR(seen.corner.y, corner.y, 3);
    ASSERT_EQ(seen.count, 6);
    EXPECT_EQ(seen.texts[0], "Rock && Roll");  // shown with its ampersand
    EXPECT_TRUE(seen.states[1] & MFS_GRAYED);
    EXPECT_TRUE(seen.types[2] & MFT_SEPARATOR);
    EXPECT_TRUE(seen.states[3] & MFS_DISABLED);
    EXPECT_TRUE(seen.states[4] & MFS_CHECKED);
    EXPECT_TRUE(seen.types[4] & MFT_MENUBARBREAK);
    EXPECT_FALSE(seen.states[0] & (MFS_CHECKED | MFS_GRAYED));

    // Into the submenu: up to its entry (the last), right, Enter.
    choice = runMenu(*controls, {VK_UP, VK_RIGHT, VK_RETURN}, nullptr);
    EXPECT_EQ(choice.menu, 1);
    EXPECT_EQ(choice.item, 0);

    // Escape leaves without a choice.
    choice = runMenu(*controls, {VK_ESCAPE}, nullptr);
    EXPECT_FALSE(choice.chosen());
}

}  // namespace
