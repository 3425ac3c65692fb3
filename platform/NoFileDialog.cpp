// The file selector of a platform that shows none: every request is
// answered as a cancelled dialog, so nothing is loaded or written.
#include "platform/FileDialog.h"

namespace platform {
namespace {

class NoFileDialog : public FileDialog {
public:
    std::string choose(const FileRequest&) override { return {}; }
};

}  // namespace

FileDialog& systemFileDialog() {
    static NoFileDialog dialog;
    return dialog;
}

}  // namespace platform
