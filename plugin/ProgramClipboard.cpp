#include "plugin/ProgramClipboard.h"

namespace plugin {

ProgramClipboard& ProgramClipboard::shared() {
    static ProgramClipboard clipboard;
    return clipboard;
}

}  // namespace plugin
