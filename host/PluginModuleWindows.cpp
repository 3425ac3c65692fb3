#include <windows.h>

#include "host/PluginModule.h"

namespace host {

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string* error) {
    HMODULE handle = LoadLibraryA(path.c_str());
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
        new PluginModule(handle, reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(entry)), path));
}

PluginModule::~PluginModule() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

void* PluginModule::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace host
