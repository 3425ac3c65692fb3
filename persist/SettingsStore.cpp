#include "persist/SettingsStore.h"

namespace persist {

void SettingsStore::readNumber(const char* name, int& target) const {
    if (auto value = registry_.readDword(keyPath_, name)) target = static_cast<int>(*value);
}

std::string SettingsStore::readText(const char* name) const {
    return registry_.readString(keyPath_, name).value_or(std::string());
}

void SettingsStore::write(const char* name, std::uint32_t value) {
    if (keyPath_.empty()) return;
    registry_.writeDword(keyPath_, name, value);
}

void SettingsStore::write(const char* name, const std::string& value) {
    if (keyPath_.empty()) return;
    registry_.writeString(keyPath_, name, value);
}

void SettingsStore::load() {
    if (!registry_.keyExists(keyPath_)) {
        outputMode = 2;
        multiOutStereo = true;
    } else {
        readModeNamesCurveAndPaths();
        multiOutStereo = outputMode == 1 || outputMode == 2;
    }
    if (programPath.empty()) programPath = modulePath_;
    if (midiLearnPath.empty()) midiLearnPath = modulePath_;
    readVolumeLock();
}

void SettingsStore::reload() {
    readModeNamesCurveAndPaths();
    readVolumeLock();
}

void SettingsStore::readModeNamesCurveAndPaths() {
    readNumber("outmode", outputMode);
    int names = 0;
    readNumber("notename", names);
    noteNames = names > 0;
    readNumber("velocurve", velocityCurve);
    programPath = readText("programpath");
    midiLearnPath = readText("midilearnpath");
}

void SettingsStore::readVolumeLock() {
    int lock = 0;
    readNumber("lockvolume", lock);
    volumeLock = lock > 0;
}

void SettingsStore::setNoteNames(bool names) {
    noteNames = names;
    write("notename", names ? 1u : 0u);
}

void SettingsStore::save() {
    write("outMode", static_cast<std::uint32_t>(outputMode));
    write("notename", noteNames ? 1u : 0u);
    write("velocurve", static_cast<std::uint32_t>(velocityCurve));
    write("programpath", programPath);
    write("midilearnpath", midiLearnPath);
    write("lockvolume", volumeLock ? 1u : 0u);
}

}  // namespace persist
