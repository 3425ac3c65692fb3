// The Windows module entry, which keeps the module handle, and what is found
// through it: the module's file name and the resources bound into it.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/ModuleHandle.h"
#include "platform/ModulePath.h"
#include "platform/Resources.h"

namespace {

HMODULE loadedModule = nullptr;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        loadedModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

namespace platform {

HMODULE moduleHandle() {
    return loadedModule ? loadedModule : GetModuleHandleA(nullptr);
}

std::string modulePath() {
    char path[2048];
    const DWORD length = GetModuleFileNameA(moduleHandle(), path, sizeof(path));
    // A name that filled the buffer was cut short: no path is better than a wrong one.
    if (length == 0 || length >= sizeof(path)) return {};
    return std::string(path, length);
}

namespace {

// Resource ids written as decimal numbers ("100") are integer ids in the
// resource script; anything else is a name.
LPCSTR resourceId(const char* text) {
    if (!*text || std::strspn(text, "0123456789") != std::strlen(text) || std::strlen(text) > 5)
        return text;
    const long id = std::strtol(text, nullptr, 10);
    return id > 0 && id < 65536 ? MAKEINTRESOURCEA(id) : text;
}

}  // namespace

Resource findResource(const char* type, const char* name) {
    if (!type || !name) return {};
    HMODULE module = moduleHandle();
    // Pictures are PNG data, bound by the resource script as type PNG.
    if (std::strcmp(type, "BITMAP") == 0) type = "PNG";
    HRSRC found = FindResourceA(module, resourceId(name), resourceId(type));
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    const void* data = LockResource(loaded);
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

}  // namespace platform
