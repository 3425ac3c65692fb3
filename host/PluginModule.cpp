#include "host/PluginModule.h"

#include <dlfcn.h>

#include <cstdlib>

namespace host {

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string* error) {
    // With TAMBORIK_KEEP_MODULES set (the sanitizer runs), a closed module
    // stays mapped, so a leak report at exit can still name its code.
    const char* keep = std::getenv("TAMBORIK_KEEP_MODULES");
    const int flags = RTLD_NOW | RTLD_LOCAL | (keep && *keep ? RTLD_NODELETE : 0);
    void* handle = dlopen(path.c_str(), flags);
    if (!handle) {
        if (error) *error = dlerror();
        return nullptr;
    }
    void* entry = dlsym(handle, "VSTPluginMain");
    if (!entry) entry = dlsym(handle, "main");
    if (!entry) {
        if (error) *error = path + ": no VST 2 entry point (VSTPluginMain or main)";
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(
        new PluginModule(handle, reinterpret_cast<EntryPoint>(entry), path, [](void* loaded) { dlclose(loaded); }));
}

void* PluginModule::symbol(const char* name) const {
    if (!handle_) return nullptr;
    return dlsym(handle_, name);
}

}  // namespace host
