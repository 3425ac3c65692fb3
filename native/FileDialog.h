// The file selector: asks the user for a file to open or a name to save
// under, with one filter, a starting folder and a proposed name.
#pragma once

#include <string>

namespace native {

struct FileRequest {
    bool save = false;
    std::string extension;     // "fxp", "fxb" or "ccm": the filter and the default extension
    std::string startPath;     // the last file used (or the module); the dialog starts in its folder
    std::string proposedName;  // for saving
    void* owner = nullptr;     // the window the dialog belongs to
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // The chosen full path; empty when the user cancelled or no dialog
    // could be shown.
    virtual std::string choose(const FileRequest& request) = 0;
};

// The platform's own file selector.
FileDialog& systemFileDialog();

}  // namespace native
