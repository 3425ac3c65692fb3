#include "host/PluginModule.h"

#include <dlfcn.h>

namespace host {

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
        new PluginModule(handle, reinterpret_cast<EntryPoint>(entry), path));
}

PluginModule::~PluginModule() {
    dlclose(handle_);
}

void* PluginModule::symbol(const char* name) const {
    return dlsym(handle_, name);
}

}  // namespace host
