// Links open in the desktop's browser through xdg-open.
#include "platform/ChildProcess.h"
#include "platform/Shell.h"

namespace platform {

bool openLink(const std::string& target) {
    if (target.empty() || target[0] == '-') return false;
    const std::string opener = findProgram("xdg-open");
    return !opener.empty() && startDetached({opener, target});
}

}  // namespace platform
