// Per-voice levels and pans and the multi-out switch kept in a text file next
// to the module. Until the file is read and written, it stays in its default
// state: not loaded, the multi-out flag as the plug-in sets it.
#pragma once

#include <string>

namespace persist {

class MixerFile {
public:
    void setModulePath(const std::string& path) { modulePath_ = path; }
    bool read() { return false; }
    void write() {}

    bool multiOut = false;
    bool loaded = false;

private:
    std::string modulePath_;
};

}  // namespace persist
