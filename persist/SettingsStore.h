// The user's settings kept under the plug-in's registry key: output layout,
// note names, velocity curve, volume lock and the last folders used.
#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace persist {

class SettingsStore {
public:
    explicit SettingsStore(platform::Registry& registry) : registry_(registry) {}

    void setKeyPath(const std::string& key) { keyPath_ = key; }
    void setModulePath(const std::string& path) { modulePath_ = path; }

    // Reads the values at plug-in creation; a missing key means one stereo pair.
    void load();
    // Writes outMode, notename, velocurve, programpath, midilearnpath,
    // lockvolume, in this order, each only when this instance changed it
    // since it last read or wrote it: values other processes and instances
    // store meanwhile are kept.
    void save();
    // Reads the values again after the settings dialog has closed; paths
    // absent from the store become empty.
    void reload();
    // Stores the note-name choice and writes it at once.
    void setNoteNames(bool names);

    int outputMode = 0;
    bool multiOutStereo = false;  // which multi-output layout to use
    int velocityCurve = 0;
    bool noteNames = false;
    bool volumeLock = false;
    std::string programPath;
    std::string midiLearnPath;

private:
    // The values as the store held them when last read or written; nothing
    // for a value it lacked.
    struct Stored {
        std::optional<int> outputMode;
        std::optional<bool> noteNames;
        std::optional<int> velocityCurve;
        std::optional<bool> volumeLock;
        std::optional<std::string> programPath;
        std::optional<std::string> midiLearnPath;
    };

    void readModeNamesCurveAndPaths();
    void readVolumeLock();
    void assumeStored();
    bool readNumber(const char* name, int& target) const;
    std::optional<std::string> readText(const char* name) const;
    bool write(const char* name, std::uint32_t value);
    bool write(const char* name, const std::string& value);

    platform::Registry& registry_;
    std::string keyPath_;
    std::string modulePath_;
    Stored stored_;
};

}  // namespace persist
