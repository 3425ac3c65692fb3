#include "native/WindowsFileDialog.h"

#include <cstring>
#include <string>

#include "native/WindowsCentring.h"

namespace native {
namespace {

constexpr std::size_t kMostExtension = 7;

// Centres the dialog over its owner once it has its size. The hook's own
// window is a child of the dialog.
UINT_PTR CALLBACK centringHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* dialog = reinterpret_cast<const OPENFILENAMEA*>(lParam);
        SetWindowLongPtrA(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog->hwndOwner));
    } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        centreOver(GetParent(hook), reinterpret_cast<HWND>(GetWindowLongPtrA(hook, GWLP_USERDATA)));
    }
    return 0;
}

// The folder of the last file used, or the path itself when it names a
// folder: the dialog is to start where that file was.
std::string startFolder(const std::string& startPath) {
    if (startPath.empty()) return {};
    const DWORD attributes = GetFileAttributesA(startPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return startPath;
    const std::size_t slash = startPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : startPath.substr(0, slash);
}

// A proposed name is only a name: any folder part of it is dropped.
std::string fileName(const std::string& proposed) {
    const std::size_t slash = proposed.find_last_of("\\/");
    return slash == std::string::npos ? proposed : proposed.substr(slash + 1);
}

}  // namespace

std::string WindowsFileDialog::choose(const FileRequest& request) {
    const std::string extension = request.extension.substr(0, kMostExtension);
    // Description and pattern, each ended by a zero, and one zero more.
    std::string filter = extension + '\0' + "*." + extension + '\0' + '\0';
    std::string folder = startFolder(request.startPath).substr(0, kPathBuffer - 1);
    char path[kPathBuffer] = {};
    const std::string name = request.save ? fileName(request.proposedName) : std::string();
    std::strncpy(path, name.c_str(), kPathBuffer - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    if (dialog.hwndOwner && !IsWindow(dialog.hwndOwner)) dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathBuffer;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NONETWORKBUTTON | OFN_NOTESTFILECREATE |
                   OFN_NOREADONLYRETURN | OFN_ENABLEHOOK | (request.save ? OFN_OVERWRITEPROMPT : 0);
    dialog.lpfnHook = centringHook;

    // A path too long for the buffer fails the call, and the buffer then
    // holds the size it needed, not a path: only a success is read.
    if (!(request.save ? save_ : open_)(&dialog)) return {};
    // A path without its terminator would have been cut: none is better
    // than a wrong one.
    if (!std::memchr(path, '\0', sizeof(path))) return {};
    return path;
}

FileDialog& systemFileDialog() {
    static WindowsFileDialog dialog;
    return dialog;
}

}  // namespace native
