#include "persist/SettingsStore.h"

namespace persist {

namespace {

// Writes the value when this instance changed it since the store last held
// it (or the store lacked it), and remembers it as stored once written.
template <typename T, typename Write>
void writeChanged(const T& value, std::optional<T>& stored, Write write) {
    if (stored && *stored == value) return;
    if (write()) stored = value;
}

}  // namespace

bool SettingsStore::readNumber(const char* name, int& target) const {
    auto value = registry_.readDword(keyPath_, name);
    if (value) target = static_cast<int>(*value);
    return value.has_value();
}

std::optional<std::string> SettingsStore::readText(const char* name) const {
    return registry_.readString(keyPath_, name);
}

bool SettingsStore::write(const char* name, std::uint32_t value) {
    return !keyPath_.empty() && registry_.writeDword(keyPath_, name, value);
}

bool SettingsStore::write(const char* name, const std::string& value) {
    return !keyPath_.empty() && registry_.writeString(keyPath_, name, value);
}

void SettingsStore::load() {
    const unsigned unreadable = registry_.unreadableReads();
    stored_ = Stored{};
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
    if (registry_.unreadableReads() != unreadable) assumeStored();
}

void SettingsStore::reload() {
    const unsigned unreadable = registry_.unreadableReads();
    readModeNamesCurveAndPaths();
    readVolumeLock();
    if (registry_.unreadableReads() != unreadable) assumeStored();
}

// A store that could not be read whole (another program is writing it, or
// it is damaged) still holds the user's values: what this instance assumed
// in their place is never written over them, only what it changes later.
void SettingsStore::assumeStored() {
    stored_ = {outputMode, noteNames, velocityCurve, volumeLock, programPath, midiLearnPath};
}

void SettingsStore::readModeNamesCurveAndPaths() {
    stored_.outputMode = readNumber("outmode", outputMode) ? std::optional<int>(outputMode) : std::nullopt;
    int names = 0;
    stored_.noteNames = readNumber("notename", names) ? std::optional<bool>(names > 0) : std::nullopt;
    noteNames = names > 0;
    stored_.velocityCurve = readNumber("velocurve", velocityCurve) ? std::optional<int>(velocityCurve) : std::nullopt;
    stored_.programPath = readText("programpath");
    programPath = stored_.programPath.value_or(std::string());
    stored_.midiLearnPath = readText("midilearnpath");
    midiLearnPath = stored_.midiLearnPath.value_or(std::string());
}

void SettingsStore::readVolumeLock() {
    int lock = 0;
    stored_.volumeLock = readNumber("lockvolume", lock) ? std::optional<bool>(lock > 0) : std::nullopt;
    volumeLock = lock > 0;
}

void SettingsStore::setNoteNames(bool names) {
    noteNames = names;
    if (write("notename", names ? 1u : 0u)) stored_.noteNames = names;
}

void SettingsStore::save() {
    writeChanged(outputMode, stored_.outputMode, [&] { return write("outMode", static_cast<std::uint32_t>(outputMode)); });
    writeChanged(noteNames, stored_.noteNames, [&] { return write("notename", noteNames ? 1u : 0u); });
    writeChanged(velocityCurve, stored_.velocityCurve,
                 [&] { return write("velocurve", static_cast<std::uint32_t>(velocityCurve)); });
    writeChanged(programPath, stored_.programPath, [&] { return write("programpath", programPath); });
    writeChanged(midiLearnPath, stored_.midiLearnPath, [&] { return write("midilearnpath", midiLearnPath); });
    writeChanged(volumeLock, stored_.volumeLock, [&] { return write("lockvolume", volumeLock ? 1u : 0u); });
}

}  // namespace persist
