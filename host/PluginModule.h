// A VST 2 module loaded from disk, and its entry point.
#pragma once

#include <memory>
#include <string>

#include "vst/VstAbi.h"

namespace host {

class PluginModule {
public:
    using EntryPoint = vst::AEffect* (*)(vst::AudioMasterCallback);

    // Loads the module; null (with a reason in *error) when it cannot be
    // loaded or exports no VST 2 entry point.
    static std::unique_ptr<PluginModule> load(const std::string& path, std::string* error = nullptr);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    EntryPoint entryPoint() const { return entry_; }
    // Looks up any exported symbol; null when absent.
    void* symbol(const char* name) const;
    const std::string& path() const { return path_; }

private:
    PluginModule(void* handle, EntryPoint entry, std::string path)
        : handle_(handle), entry_(entry), path_(std::move(path)) {}

    void* handle_;
    EntryPoint entry_;
    std::string path_;
};

}  // namespace host
