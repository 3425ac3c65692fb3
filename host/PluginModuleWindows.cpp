#include <windows.h>

#include "host/PluginModule.h"

namespace host {
namespace {

// Paths are UTF-8, as on Linux, so any file name can be given.
std::wstring wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, result.data(), length);
    result.resize(static_cast<std::size_t>(length) - 1);
    return result;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string* error) {
    HMODULE handle = LoadLibraryW(wide(path).c_str());
    if (!handle) {
        if (error) *error = path + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    FARPROC entry = GetProcAddress(handle, "VSTPluginMain");
    if (!entry) entry = GetProcAddress(handle, "main");
    if (!entry) {
        if (error) *error = path + ": no VST 2 entry point (VSTPluginMain or main)";
        FreeLibrary(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(
        new PluginModule(handle, reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(entry)), path,
                         [](void* loaded) { FreeLibrary(static_cast<HMODULE>(loaded)); }));
}

void* PluginModule::symbol(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace host
