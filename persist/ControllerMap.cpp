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

// The list is copied out first: the parameters are set without the lock, so
// a host that answers the automation by selecting or forgetting a parameter
// on the same thread finds the map free.
bool ControllerMap::apply(int controller, float value, AutomationTarget& target) const {
    if (controller < 0 || controller >= kLearnable) return true;
    int parameters[kMaxBindings];
    std::size_t count = 0;
    {
        std::unique_lock<std::mutex> guard(lock_, std::try_to_lock);
        if (!guard.owns_lock()) return false;
        for (int parameter : slots_[controller])
            if (count < kMaxBindings) parameters[count++] = parameter;
    }
    for (std::size_t i = 0; i < count; ++i) target.automateParameter(parameters[i], value);
    return true;
}

// The pending parameter is read and cleared under the same lock as the
// lists change, so a controller can only ever bind a parameter that was
// selected, never the "none" that another thread's learn just left.
bool ControllerMap::learn(int controller) {
    if (controller < 0 || controller >= kLearnable) return true;
    std::unique_lock<std::mutex> guard(lock_, std::try_to_lock);
    if (!guard.owns_lock()) return false;
    const int parameter = pending_;
    if (!learnMode_ || parameter < 0 || parameter >= kLearnableParameters) return true;
    if (slots_[controller].size() >= kMaxBindings) return true;
    removeEverywhere(parameter);
    slots_[controller].push_back(parameter);
    pending_ = -1;
    return true;
}

void ControllerMap::setLearnMode(bool on) {
    std::lock_guard<std::mutex> guard(lock_);
    learnMode_ = on;
    if (!on) pending_ = -1;
}

bool ControllerMap::learning() const {
    std::lock_guard<std::mutex> guard(lock_);
    return learnMode_;
}

void ControllerMap::selectPending(int parameter) {
    std::lock_guard<std::mutex> guard(lock_);
    pending_ = learnMode_ && parameter >= 0 && parameter < kLearnableParameters ? parameter : -1;
}

int ControllerMap::pending() const {
    std::lock_guard<std::mutex> guard(lock_);
    return pending_;
}

void ControllerMap::forget(int parameter) {
    std::lock_guard<std::mutex> guard(lock_);
    if (learnMode_) removeEverywhere(parameter);
}

void ControllerMap::bind(int controller, int parameter) {
    std::lock_guard<std::mutex> guard(lock_);
    slots_[controller].push_back(parameter);
}

void ControllerMap::removeEverywhere(int parameter) {
    for (auto& slot : slots_) slot.erase(std::remove(slot.begin(), slot.end(), parameter), slot.end());
}

void ControllerMap::clear() {
    std::lock_guard<std::mutex> guard(lock_);
    clearLocked();
}

void ControllerMap::clearLocked() {
    for (auto& slot : slots_) slot.clear();
}

std::vector<std::uint8_t> ControllerMap::recordStream() const {
    std::lock_guard<std::mutex> guard(lock_);
    return recordStreamLocked();
}

// A parameter index that would read back as the end of its record (255) or
// that no learning ever makes (a negative one) is left out.
std::vector<std::uint8_t> ControllerMap::recordStreamLocked() const {
    std::vector<std::uint8_t> stream;
    for (int controller = 0; controller < kLearnable; ++controller) {
        if (slots_[controller].empty()) continue;
        stream.push_back(static_cast<std::uint8_t>(controller));
        for (int parameter : slots_[controller])
            if (parameter >= 0 && (parameter & 0xFF) != kEndOfRecord)
                stream.push_back(static_cast<std::uint8_t>(parameter));
        stream.push_back(kEndOfRecord);
    }
    return stream;
}

void ControllerMap::readRecordStream(const std::uint8_t* data, std::size_t size) {
    std::lock_guard<std::mutex> guard(lock_);
    readRecordStreamLocked(data, size);
}

void ControllerMap::readRecordStreamLocked(const std::uint8_t* data, std::size_t size) {
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
    std::lock_guard<std::mutex> guard(lock_);
    loadFromRegistryLocked(registry, key);
}

void ControllerMap::loadFromRegistryLocked(const platform::Registry& registry, const std::string& key) {
    clearLocked();
    if (auto stream = registry.readBinary(key, "MidiAutomation"))
        readRecordStreamLocked(stream->data(), stream->size());
    storedStream_ = recordStreamLocked();
}

// Other host processes keep their own maps in the same value: one that this
// process did not change is not written back over theirs.
void ControllerMap::saveToRegistry(platform::Registry& registry, const std::string& key) {
    std::lock_guard<std::mutex> guard(lock_);
    saveToRegistryLocked(registry, key);
}

void ControllerMap::saveToRegistryLocked(platform::Registry& registry, const std::string& key) {
    std::vector<std::uint8_t> stream = recordStreamLocked();
    if (stream == storedStream_) return;
    if (registry.writeBinary(key, "MidiAutomation", stream)) storedStream_ = std::move(stream);
}

void ControllerMap::instanceCreated(const platform::Registry& registry, const std::string& key,
                                    std::int32_t uniqueId) {
    std::lock_guard<std::mutex> guard(lock_);
    if (instances_ == 0) {
        loadFromRegistryLocked(registry, key);
        setIdTextLocked(uniqueId);
    }
    ++instances_;
}

void ControllerMap::instanceDestroyed(platform::Registry& registry, const std::string& key) {
    std::lock_guard<std::mutex> guard(lock_);
    saveToRegistryLocked(registry, key);
    if (instances_ > 0) --instances_;
}

int ControllerMap::instanceCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return instances_;
}

bool ControllerMap::exportFile(const std::string& path) const {
    if (path.empty()) return false;
    std::string header;
    std::vector<std::uint8_t> stream;
    {
        std::lock_guard<std::mutex> guard(lock_);
        header = "MCCM" + idText_;
        stream = recordStreamLocked();
    }
    std::vector<std::uint8_t> file(header.size() + stream.size());
    std::copy(header.begin(), header.end(), file.begin());
    std::copy(stream.begin(), stream.end(), file.begin() + static_cast<long>(header.size()));
    return platform::writeFileAtomically(path, file);
}

bool ControllerMap::importFile(const std::string& path) {
    if (path.empty()) return false;
    auto file = platform::readWholeFile(path, 1u << 20);
    if (!file || file->size() < 8) return false;
    std::lock_guard<std::mutex> guard(lock_);
    if (std::string(file->begin(), file->begin() + 4) != "MCCM" ||
        std::string(file->begin() + 4, file->begin() + 8) != idText_)
        return false;
    clearLocked();
    readRecordStreamLocked(file->data() + 8, file->size() - 8);
    return true;
}

std::string ControllerMap::idText() const {
    std::lock_guard<std::mutex> guard(lock_);
    return idText_;
}

void ControllerMap::setIdText(std::int32_t uniqueId) {
    std::lock_guard<std::mutex> guard(lock_);
    setIdTextLocked(uniqueId);
}

void ControllerMap::setIdTextLocked(std::int32_t uniqueId) {
    const auto id = static_cast<std::uint32_t>(uniqueId);
    idText_ = {static_cast<char>(id >> 24), static_cast<char>(id >> 16), static_cast<char>(id >> 8),
               static_cast<char>(id)};
}

}  // namespace persist
