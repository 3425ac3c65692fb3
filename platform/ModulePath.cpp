#include "platform/ModulePath.h"

#include <dlfcn.h>

namespace platform {
namespace {
void anchor() {}
}  // namespace

std::string modulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&anchor), &info) == 0 || !info.dli_fname) return {};
    return info.dli_fname;
}

}  // namespace platform
