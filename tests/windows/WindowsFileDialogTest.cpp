// The file selector on Windows: what it asks of the system's dialogs, what
// it makes of their answers, and the real dialogs opened and worked from a
// second thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "WindowRobot.h"
#include "native/WindowsFileDialog.h"

namespace {

using native::FileRequest;
using native::WindowsFileDialog;
using testing_support::OwnerWindow;
using testing_support::Robot;
using testing_support::waitForWindow;

// A stand-in for the system's dialogs: keeps what it was asked and answers
// as told.
struct Asked {
    std::string filter;  // up to and with the closing pair of zeros
    DWORD filterIndex = 0;
    std::string defaultExtension;
    std::string initialFolder;
    std::string initialFile;
    DWORD bufferSize = 0;
    DWORD flags = 0;
    bool hooked = false;
    HWND owner = nullptr;
};
Asked asked;
std::string answer;        // written into the buffer on success
bool answerWithoutEnd = false;  // fill the whole buffer, no terminator
BOOL succeed = TRUE;

BOOL WINAPI standIn(LPOPENFILENAMEA dialog) {
    asked = {};
    const char* filter = dialog->lpstrFilter;
    std::size_t length = 0;
    while (filter[length] || filter[length + 1]) ++length;
    asked.filter.assign(filter, length + 2);
    asked.filterIndex = dialog->nFilterIndex;
    asked.defaultExtension = dialog->lpstrDefExt ? dialog->lpstrDefExt : "";
    asked.initialFolder = dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "";
    asked.initialFile = dialog->lpstrFile;
    asked.bufferSize = dialog->nMaxFile;
    asked.flags = dialog->Flags;
    asked.hooked = dialog->lpfnHook != nullptr;
    asked.owner = dialog->hwndOwner;
    if (!succeed) {
        // As the system does when the buffer is too small: the size it needed.
        dialog->lpstrFile[0] = 0x10;
        dialog->lpstrFile[1] = 0x04;
        return FALSE;
    }
    if (answerWithoutEnd) std::memset(dialog->lpstrFile, 'x', dialog->nMaxFile);
    else std::memcpy(dialog->lpstrFile, answer.c_str(), std::min<std::size_t>(answer.size() + 1, dialog->nMaxFile));
    return TRUE;
}

class WindowsFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        answer = "C:\\Banks\\Mine.fxb";
        answerWithoutEnd = false;
        succeed = TRUE;
    }
    WindowsFileDialog dialog{standIn, standIn};
};

constexpr DWORD kCommonFlags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NONETWORKBUTTON |
                               OFN_NOTESTFILECREATE | OFN_NOREADONLYRETURN | OFN_ENABLEHOOK;

TEST_F(WindowsFileDialogTest, AsksForOneFilterItsExtensionAndTheFolderOfTheLastFile) {
    OwnerWindow owner;
    FileRequest request;
    request.extension = "fxb";
    request.startPath = "C:\\Banks\\Old.fxb";
    request.proposedName = "ignored when opening";
    request.owner = owner.handle();
    EXPECT_EQ(dialog.choose(request), "C:\\Banks\\Mine.fxb");
    EXPECT_EQ(asked.filter, std::string("fxb\0*.fxb\0\0", 11));
    EXPECT_EQ(asked.filterIndex, 1u);
    EXPECT_EQ(asked.defaultExtension, "fxb");
    EXPECT_EQ(asked.initialFolder, "C:\\Banks");
    EXPECT_EQ(asked.initialFile, "");
    EXPECT_EQ(asked.bufferSize, 1024u);
    EXPECT_EQ(asked.flags, kCommonFlags);
    EXPECT_TRUE(asked.hooked);
    EXPECT_EQ(asked.owner, owner.handle());

    request.save = true;
    request.extension = "fxp";
    request.proposedName = "Kick/Snare";  // a name, never a folder
    request.owner = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0xDEAD0));  // no such window
    EXPECT_EQ(dialog.choose(request), "C:\\Banks\\Mine.fxb");
    EXPECT_EQ(asked.flags, kCommonFlags | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(asked.initialFile, "Snare");
    EXPECT_EQ(asked.owner, nullptr);
}

TEST_F(WindowsFileDialogTest, LongInputsAreCutToTheBuffersAndLongAnswersComeWholeOrNotAtAll) {
    FileRequest request;
    request.save = true;
    request.extension = "waytoolongextension";
    request.startPath = "C:\\" + std::string(2000, 'f') + "\\x.fxp";
    request.proposedName = std::string(2000, 'n');
    EXPECT_EQ(dialog.choose(request), "C:\\Banks\\Mine.fxb");
    EXPECT_EQ(asked.defaultExtension, "waytool");
    EXPECT_EQ(asked.initialFolder.size(), 1023u);
    EXPECT_EQ(asked.initialFile, std::string(1023, 'n'));

    // A path of 1023 characters fills the buffer exactly and comes back whole.
    answer = "C:\\" + std::string(1016, 'p') + ".fxp";
    ASSERT_EQ(answer.size(), 1023u);
    EXPECT_EQ(dialog.choose(request), answer);
    // A buffer without its terminator would be a cut path: none comes back.
    answerWithoutEnd = true;
    EXPECT_EQ(dialog.choose(request), "");
    // A path too long for the buffer fails the call; the size the system
    // leaves in the buffer is not read as a path.
    answerWithoutEnd = false;
    succeed = FALSE;
    EXPECT_EQ(dialog.choose(request), "");
}

// The real dialogs, with the centring hook, worked from a second thread.
TEST(SystemFileDialogTest, CancelAnswersNothingAndATypedNameIsChosenWithTheDefaultExtension) {
    OwnerWindow owner;
    char temporary[MAX_PATH] = {};
    GetTempPathA(sizeof(temporary), temporary);
    const std::string folder = std::string(temporary) + "TamborikFileDialogTest";
    CreateDirectoryA(folder.c_str(), nullptr);

    FileRequest request;
    request.extension = "fxp";
    request.startPath = folder + "\\Previous.fxp";
    request.owner = owner.handle();
    POINT middle{};
    bool found = false;
    {
        Robot robot([&] {
            HWND dialog = waitForWindow("#32770", "Open", owner.handle());
            if (!dialog) return;
            found = true;
            // The hook centres it once it is laid out.
            const POINT wanted = testing_support::middleOf(owner.handle());
            for (int tries = 0; tries < 150; ++tries) {
                middle = testing_support::middleOf(dialog);
                if (std::abs(middle.x - wanted.x) <= 1 && std::abs(middle.y - wanted.y) <= 1) break;
                Sleep(20);
            }
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(native::systemFileDialog().choose(request), "");
    }
    ASSERT_TRUE(found);
    const POINT ownerMiddle = testing_support::middleOf(owner.handle());
    EXPECT_NEAR(middle.x, ownerMiddle.x, 1);
    EXPECT_NEAR(middle.y, ownerMiddle.y, 1);

    // Saving: the name typed into the file name box and Enter.
    request.save = true;
    request.proposedName = "Tamborik";
    std::string shown;
    {
        Robot robot([&] {
            HWND dialog = waitForWindow("#32770", "Save As", owner.handle());
            if (!dialog) return;
            Sleep(200);
            // The file name box: the edit inside the file name combo box.
            HWND box = testing_support::findDescendant(dialog, "Edit", cmb13);
            shown = testing_support::windowText(box);
            SetWindowTextA(box, "Mine");
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        });
        EXPECT_EQ(native::systemFileDialog().choose(request), folder + "\\Mine.fxp");
    }
    EXPECT_EQ(shown, "Tamborik");
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
