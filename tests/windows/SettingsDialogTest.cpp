// The "Settings" dialog from its resource, run modally over a window of the
// test's own and worked by its control ids from a second thread; what it
// writes lands in the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "WindowRobot.h"
#include "native/SettingsDialog.h"
#include "platform/WindowsRegistry.h"

namespace {

using testing_support::OwnerWindow;
using testing_support::Robot;
using testing_support::waitForWindow;

const char kKey[] = "Software\\Vok\\Tamborik";
const int kRadiosAndBox[] = {1003, 1004, 1005, 1007, 1008, 1010, 1011, 1012, 1013};

// The real registry, with the names of the values written, in their order.
class RecordingRegistry : public platform::WindowsRegistry {
public:
    bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) override {
        written.push_back(name);
        return WindowsRegistry::writeDword(key, name, value);
    }
    std::vector<std::string> written;
};

DWORD storedDword(const char* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof(value);
    RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

void store(const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// The checked ones among the radio buttons and the box.
std::vector<int> checkedIn(HWND dialog) {
    std::vector<int> checked;
    for (int id : kRadiosAndBox)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) checked.push_back(id);
    return checked;
}

// What the robot saw of the dialog, checked on the test's thread.
struct Seen {
    bool found = false;
    std::string caption;
    POINT middle{};
    std::vector<int> atOpening;
    std::vector<int> afterClicks;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }

    // Runs the dialog over owner while the robot clicks the controls, by
    // id, and then leaves the dialog as leave says.
    std::optional<bool> run(HWND owner, const std::vector<int>& clicks, std::function<void(HWND)> leave) {
        Robot robot([&] {
            HWND dialog = waitForWindow("#32770", "Settings");
            if (!dialog) return;
            seen.found = true;
            seen.middle = testing_support::middleOf(dialog);
            seen.atOpening = checkedIn(dialog);
            for (int id : clicks) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
            seen.afterClicks = checkedIn(dialog);
            leave(dialog);
        });
        return native::runSettingsDialog(owner, registry, kKey);
    }

    RecordingRegistry registry;
    Seen seen;
};

TEST_F(SettingsDialogTest, OkWritesTheFourValuesInOrderAndTheDialogSitsOverItsOwner) {
    OwnerWindow owner;
    const std::optional<bool> result = run(owner.handle(), {1004, 1007, 1012, 1013}, [](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(seen.found);
    ASSERT_EQ(result, std::optional<bool>(true));
    // Nothing stored: ten mono outputs, names, "lin", unlocked.
    EXPECT_EQ(seen.atOpening, (std::vector<int>{1003, 1008, 1010}));
    // Each set stays exclusive; the box toggles itself.
    EXPECT_EQ(seen.afterClicks, (std::vector<int>{1004, 1007, 1012, 1013}));
    const POINT ownerMiddle = testing_support::middleOf(owner.handle());
    EXPECT_NEAR(seen.middle.x, ownerMiddle.x, 1);
    EXPECT_NEAR(seen.middle.y, ownerMiddle.y, 1);

    EXPECT_EQ(registry.written, (std::vector<std::string>{"outMode", "notename", "velocurve", "lockvolume"}));
    EXPECT_EQ(storedDword("outMode"), 1u);
    EXPECT_EQ(storedDword("notename"), 0u);
    EXPECT_EQ(storedDword("velocurve"), 2u);
    EXPECT_EQ(storedDword("lockvolume"), 1u);
}

TEST_F(SettingsDialogTest, TheCloseBoxAndEscapeWriteNothing) {
    store("outMode", 2);
    store("notename", 7);  // any value above 0 means names
    store("velocurve", 1);
    store("lockvolume", 1);
    OwnerWindow owner;
    std::optional<bool> result = run(owner.handle(), {1003, 1007, 1010, 1013}, [](HWND dialog) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, std::optional<bool>(false));
    EXPECT_EQ(seen.atOpening, (std::vector<int>{1005, 1008, 1011, 1013}));
    EXPECT_EQ(seen.afterClicks, (std::vector<int>{1003, 1007, 1010}));

    // Escape, as the dialog manager sees it, on one of the buttons.
    seen = {};
    result = run(owner.handle(), {1004}, [](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, 1004), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, std::optional<bool>(false));

    EXPECT_TRUE(registry.written.empty());
    EXPECT_EQ(storedDword("outMode"), 2u);
    EXPECT_EQ(storedDword("notename"), 7u);
    EXPECT_EQ(storedDword("velocurve"), 1u);
    EXPECT_EQ(storedDword("lockvolume"), 1u);
}

TEST_F(SettingsDialogTest, WithoutALivingOwnerItSitsOverTheDesktopAndEnterIsOk) {
    HWND gone = nullptr;
    {
        OwnerWindow owner;
        gone = owner.handle();
    }
    store("velocurve", 9);  // any other value shows "exp"
    const std::optional<bool> result = run(gone, {}, [](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, 1003), WM_KEYDOWN, VK_RETURN, 0);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, std::optional<bool>(true));
    EXPECT_EQ(seen.atOpening, (std::vector<int>{1003, 1008, 1012}));
    const POINT desktop = testing_support::middleOf(GetDesktopWindow());
    EXPECT_NEAR(seen.middle.x, desktop.x, 1);
    EXPECT_NEAR(seen.middle.y, desktop.y, 1);
    EXPECT_EQ(registry.written.size(), 4u);
    EXPECT_EQ(storedDword("velocurve"), 2u);
    EXPECT_EQ(storedDword("notename"), 1u);
}

}  // namespace
