// A VST 2 module loaded from disk (or linked in), and its entry point.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "vst/VstAbi.h"

namespace host {

class PluginModule {
public:
    using EntryPoint = vst::AEffect* (*)(vst::AudioMasterCallback);

    // Loads the module; null (with a reason in *error) when it cannot be
    // loaded or exports no VST 2 entry point.
    static std::unique_ptr<PluginModule> load(const std::string& path, std::string* error = nullptr);
    // A plug-in linked into the program itself, reached through its entry
    // point as a loaded one is; it exports no other symbols.
    static std::unique_ptr<PluginModule> linkedIn(EntryPoint entry, std::string name) {
        return std::unique_ptr<PluginModule>(new PluginModule(nullptr, entry, std::move(name)));
    }
    ~PluginModule() {
        if (close_) close_(handle_);
    }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    EntryPoint entryPoint() const { return entry_; }
    // Looks up any exported symbol; null when absent.
    void* symbol(const char* name) const;
    const std::string& path() const { return path_; }

private:
    using Close = void (*)(void* handle);
    PluginModule(void* handle, EntryPoint entry, std::string path, Close close = nullptr)
        : handle_(handle), entry_(entry), path_(std::move(path)), close_(close) {}

    void* handle_;
    EntryPoint entry_;
    std::string path_;
    // Unloads a loaded module. Kept out of the header's code so that a
    // program with the plug-in linked in (and linked statically) never
    // draws in the loader.
    Close close_;
};

}  // namespace host
