// The file selector on Windows: the system's open and save dialogs, with
// one filter, its extension as the default, and the dialog centred over
// its owner.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "native/FileDialog.h"

namespace native {

class WindowsFileDialog : public FileDialog {
public:
    static constexpr DWORD kPathBuffer = 1024;  // 1023 characters and the terminator
    using Runner = BOOL(WINAPI*)(LPOPENFILENAMEA);

    // Tests hand in stand-ins for GetOpenFileNameA and GetSaveFileNameA.
    explicit WindowsFileDialog(Runner open = GetOpenFileNameA, Runner save = GetSaveFileNameA)
        : open_(open), save_(save) {}

    std::string choose(const FileRequest& request) override;

private:
    Runner open_;
    Runner save_;
};

}  // namespace native
