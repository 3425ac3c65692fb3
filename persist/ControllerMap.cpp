#include "persist/ControllerMap.h"

#include <algorithm>

#include "platform/FileIo.h"

namespace persist {

ControllerMap::ControllerMap() {
    // Room for every parameter, so learning on the audio thread never allocates.
    for (auto& slot : slots_) slot.reserve(kMaxBindings);
}

ControllerMap& ControllerMap::shared() {
    static ControllerMap map;
    return map;
}

void ControllerMap::apply(int controller, float value, AutomationTarget& target) const {
    if (controller < 0 || controller >= kLearnable) return;
    for (int parameter : slots_[controller]) target.automateParameter(parameter, value);
}

void ControllerMap::learn(int controller) {
    if (controller < 0 || controller >= kLearnable || !learnMode_ || pending_ == -1) return;
    if (slots_[controller].size() >= kMaxBindings) return;
    removeEverywhere(pending_);
    slots_[controller].push_back(pending_);
    pending_ = -1;
}

void ControllerMap::setLearnMode(bool on) {
    learnMode_ = on;
    if (!on) pending_ = -1;
}

void ControllerMap::selectPending(int parameter) {
    pending_ = learnMode_ && parameter >= 0 && parameter < kLearnableParameters ? parameter : -1;
}

void ControllerMap::forget(int parameter) {
    if (learnMode_) removeEverywhere(parameter);
}

void ControllerMap::removeEverywhere(int parameter) {
    for (auto& slot : slots_) slot.erase(std::remove(slot.begin(), slot.end(), parameter), slot.end());
}

void ControllerMap::clear() {
    for (auto& slot : slots_) slot.clear();
}

std::vector<std::uint8_t> ControllerMap::recordStream() const {
    std::vector<std::uint8_t> stream;
    for (int controller = 0; controller < kLearnable; ++controller) {
        if (slots_[controller].empty()) continue;
        stream.push_back(static_cast<std::uint8_t>(controller));
        for (int parameter : slots_[controller]) stream.push_back(static_cast<std::uint8_t>(parameter));
        stream.push_back(kEndOfRecord);
    }
    return stream;
}

void ControllerMap::readRecordStream(const std::uint8_t* data, std::size_t size) {
    if (!data || size <= 2) return;
    std::size_t i = 0;
    while (i < size) {
        const int controller = data[i++];
        if (i >= size) break;
        if (data[i] == kEndOfRecord) {
            ++i;
            continue;
        }
        // A record naming a controller of 120 or more is read but ignored;
        // one without its closing 255 ends with the stream.
        while (i < size) {
            if (controller < kLearnable && slots_[controller].size() < kMaxBindings)
                slots_[controller].push_back(data[i]);
            ++i;
            if (i < size && data[i] == kEndOfRecord) break;
        }
        ++i;
    }
}

void ControllerMap::loadFromRegistry(const platform::Registry& registry, const std::string& key) {
    clear();
    if (auto stream = registry.readBinary(key, "MidiAutomation")) readRecordStream(stream->data(), stream->size());
    storedStream_ = recordStream();
}

// Other host processes keep their own maps in the same value: one that this
// process did not change is not written back over theirs.
void ControllerMap::saveToRegistry(platform::Registry& registry, const std::string& key) {
    std::vector<std::uint8_t> stream = recordStream();
    if (stream == storedStream_) return;
    if (registry.writeBinary(key, "MidiAutomation", stream)) storedStream_ = std::move(stream);
}

bool ControllerMap::exportFile(const std::string& path) const {
    if (path.empty()) return false;
    const std::string header = "MCCM" + idText_;
    const std::vector<std::uint8_t> stream = recordStream();
    std::vector<std::uint8_t> file(header.size() + stream.size());
    std::copy(header.begin(), header.end(), file.begin());
    std::copy(stream.begin(), stream.end(), file.begin() + static_cast<long>(header.size()));
    return platform::writeFileAtomically(path, file);
}

bool ControllerMap::importFile(const std::string& path) {
    if (path.empty()) return false;
    auto file = platform::readWholeFile(path, 1u << 20);
    if (!file || file->size() < 8) return false;
    if (std::string(file->begin(), file->begin() + 4) != "MCCM" ||
        std::string(file->begin() + 4, file->begin() + 8) != idText_)
        return false;
    clear();
    readRecordStream(file->data() + 8, file->size() - 8);
    return true;
}

void ControllerMap::setIdText(std::int32_t uniqueId) {
    const auto id = static_cast<std::uint32_t>(uniqueId);
    idText_ = {static_cast<char>(id >> 24), static_cast<char>(id >> 16), static_cast<char>(id >> 8),
               static_cast<char>(id)};
}

}  // namespace persist
