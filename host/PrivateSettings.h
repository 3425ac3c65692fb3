// Runs a module with settings of its own, so that it opens the output
// layout a render asks for without touching the user's settings or files.
// The module reads its settings from $XDG_CONFIG_HOME when an instance is
// created: a private folder takes that place, holding a copy of the user's
// settings with the output mode replaced. A mixer file beside the module
// can overrule the output mode and is rewritten when an instance closes,
// so where one exists the module is loaded from a private copy, beside a
// copy of the mixer file without its "MultiOut" line.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace host {

class PrivateSettings {
public:
    // Prepares the folder and points XDG_CONFIG_HOME at it; do this before
    // the module is loaded. Null, with a reason, when it cannot be made.
    static std::unique_ptr<PrivateSettings> prepare(const std::string& modulePath, int outputMode,
                                                    std::string* error);
    // Removes the folder and restores the environment; every instance of
    // the module must be closed by then.
    ~PrivateSettings();
    PrivateSettings(const PrivateSettings&) = delete;
    PrivateSettings& operator=(const PrivateSettings&) = delete;

    // The module to load: the original, or its private copy.
    const std::string& modulePath() const { return modulePath_; }

    // The module's mixer file: its path with ".ini" in place of the file's
    // extension.
    static std::string mixerFilePath(const std::string& modulePath);

private:
    PrivateSettings() = default;

    std::string folder_;
    std::string modulePath_;
    std::optional<std::string> previousConfigHome_;
    bool environmentSet_ = false;
};

}  // namespace host
