#include "host/PrivateSettings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/FileIo.h"
#include "platform/FileRegistry.h"

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr char kSettingsKey[] = "Software\\Vok\\Tamborik";

// The mixer file's text without the lines that set "MultiOut": the output
// mode then follows the settings alone.
std::vector<std::uint8_t> withoutMultiOut(const std::vector<std::uint8_t>& text) {
    std::vector<std::uint8_t> result;
    const std::string prefix = "MultiOut=";
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != '\n') ++lineEnd;
        if (lineEnd < text.size()) ++lineEnd;  // keeps the line break
        const bool setsMultiOut = lineEnd - lineStart >= prefix.size() &&
                                  std::equal(prefix.begin(), prefix.end(), text.begin() + static_cast<long>(lineStart));
        if (!setsMultiOut) result.insert(result.end(), text.begin() + static_cast<long>(lineStart),
                                         text.begin() + static_cast<long>(lineEnd));
        lineStart = lineEnd;
    }
    return result;
}

}  // namespace

std::string PrivateSettings::mixerFilePath(const std::string& modulePath) {
    fs::path path(modulePath);
    return path.replace_extension(".ini").string();
}

std::unique_ptr<PrivateSettings> PrivateSettings::prepare(const std::string& modulePath, int outputMode,
                                                          std::string* error) {
    std::unique_ptr<PrivateSettings> settings(new PrivateSettings());
    std::error_code status;
    std::string pattern = (fs::temp_directory_path(status) / "tamborik-render-XXXXXX").string();
    if (status || !mkdtemp(pattern.data())) {
        if (error) *error = "cannot create a temporary folder";
        return nullptr;
    }
    settings->folder_ = pattern;
    settings->modulePath_ = modulePath;

    // The user's own settings are read, never written: velocity curve, MIDI
    // learn and the rest stay as the user has them.
    const std::string userSettings = platform::FileRegistry::defaultPath();
    const fs::path configHome = fs::path(pattern) / "config";
    const std::string privateSettings = (configHome / "Vok" / "Tamborik.reg").string();
    fs::create_directories(configHome / "Vok", status);
    if (auto bytes = platform::readWholeFile(userSettings)) platform::writeFileAtomically(privateSettings, *bytes);
    platform::FileRegistry registry(privateSettings);
    if (!registry.writeDword(kSettingsKey, "outMode", static_cast<std::uint32_t>(outputMode))) {
        if (error) *error = "cannot write the temporary settings";
        return nullptr;
    }

    const std::string mixerFile = mixerFilePath(modulePath);
    if (fs::exists(mixerFile, status)) {
        const auto text = platform::readWholeFile(mixerFile);
        const fs::path copy = fs::path(pattern) / "module" / fs::path(modulePath).filename();
        fs::create_directories(copy.parent_path(), status);
        if (!text || !fs::copy_file(modulePath, copy, status) ||
            !platform::writeFileAtomically(mixerFilePath(copy.string()), withoutMultiOut(*text))) {
            if (error) *error = "cannot make a private copy of " + modulePath;
            return nullptr;
        }
        settings->modulePath_ = copy.string();
    }

    if (const char* home = std::getenv("XDG_CONFIG_HOME")) settings->previousConfigHome_ = home;
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    settings->environmentSet_ = true;
    return settings;
}

PrivateSettings::~PrivateSettings() {
    if (environmentSet_) {
        if (previousConfigHome_) setenv("XDG_CONFIG_HOME", previousConfigHome_->c_str(), 1);
        else unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code status;
    fs::remove_all(folder_, status);
}

}  // namespace host
