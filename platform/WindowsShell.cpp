// Links open with the system's "open" action for them (the browser).
#include <windows.h>
#include <shellapi.h>

#include "platform/Shell.h"

namespace platform {

bool openLink(const std::string& target) {
    if (target.empty()) return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;  // smaller values are the system's error codes
}

}  // namespace platform
