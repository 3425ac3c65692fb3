#include "platform/ModulePath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace platform {
namespace {
void anchor() {}
}  // namespace

std::string modulePath() {
#ifdef _WIN32
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&anchor), &module))
        return {};
    char path[2048] = {};
    DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    return std::string(path, length < sizeof(path) ? length : 0);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&anchor), &info) == 0 || !info.dli_fname) return {};
    return info.dli_fname;
#endif
}

}  // namespace platform
