// MIDI learn: the process-wide map from control-change controllers to the
// parameters they move, shared by every instance in the host process, and
// its binding record stream (the payload of the registry value and of
// "ccm" files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace persist {

// Whoever a controller's value is handed to: the plug-in, which records the
// change as automation.
class AutomationTarget {
public:
    virtual ~AutomationTarget() = default;
    virtual void automateParameter(int index, float value) = 0;
};

// Shared by every instance's threads: the audio threads learn and apply, the
// user-interface threads select, forget, clear, load, save, import and
// export. One mutex guards the lists, the learn mode and the pending
// parameter. The audio threads only ever try it: learn and apply answer
// false when another thread holds it, and the caller keeps the controller
// for its next block, so an audio thread never waits.
class ControllerMap {
public:
    static constexpr int kControllers = 128;
    static constexpr int kLearnable = 120;  // 120 to 127 are channel-mode messages
    static constexpr std::uint8_t kEndOfRecord = 255;
    // Learning binds only the plug-in's parameters 0 to 87; command indices
    // and other numbers are never learned.
    static constexpr int kLearnableParameters = 88;
    // Each list's reserved room: learning on the audio thread never grows a
    // list past it, and lists read from files are cut there.
    static constexpr std::size_t kMaxBindings = 256;

    ControllerMap();
    static ControllerMap& shared();

    // Sets every parameter bound to the controller, in list order. False,
    // with nothing set, when another thread is changing the map.
    bool apply(int controller, float value, AutomationTarget& target) const;
    // Binds the pending parameter to the controller, if learning waits for one
    // and the controller's list has room. False, with nothing bound, when
    // another thread is changing the map.
    bool learn(int controller);
    void setLearnMode(bool on);
    bool learning() const;
    // While learning, a parameter 0 to 87 becomes pending; anything else
    // leaves none pending.
    void selectPending(int parameter);
    int pending() const;
    // While learning, unbinds the parameter from every controller.
    void forget(int parameter);
    void clear();

    // For inspection while no other thread uses the map.
    const std::vector<int>& bindings(int controller) const { return slots_[controller]; }
    void bind(int controller, int parameter);

    // For each non-empty controller 0 to 119: its number, its parameters (one
    // byte each) and 255.
    std::vector<std::uint8_t> recordStream() const;
    // Adds the records of a stream to the map (the caller clears first).
    void readRecordStream(const std::uint8_t* data, std::size_t size);

    // The map kept under the plug-in's registry key as "MidiAutomation";
    // saving writes it only when it changed since it was loaded or saved.
    void loadFromRegistry(const platform::Registry& registry, const std::string& key);
    void saveToRegistry(platform::Registry& registry, const std::string& key);
    // "ccm" files: "MCCM", the ID text, the record stream. Import replaces the
    // map only when magic and ID match; an empty path does nothing.
    bool exportFile(const std::string& path) const;
    bool importFile(const std::string& path);

    void setIdText(std::int32_t uniqueId);
    std::string idText() const;

    // Instances alive in the process: the first loads the map and sets the
    // ID text, every one saves the map when it goes.
    void instanceCreated(const platform::Registry& registry, const std::string& key, std::int32_t uniqueId);
    void instanceDestroyed(platform::Registry& registry, const std::string& key);
    int instanceCount() const;

private:
    void removeEverywhere(int parameter);
    void clearLocked();
    std::vector<std::uint8_t> recordStreamLocked() const;
    void readRecordStreamLocked(const std::uint8_t* data, std::size_t size);
    void loadFromRegistryLocked(const platform::Registry& registry, const std::string& key);
    void saveToRegistryLocked(platform::Registry& registry, const std::string& key);
    void setIdTextLocked(std::int32_t uniqueId);

    mutable std::mutex lock_;

    std::vector<int> slots_[kControllers];
    bool learnMode_ = false;
    int pending_ = -1;
    std::string idText_;
    std::vector<std::uint8_t> storedStream_;  // as last loaded or saved
    int instances_ = 0;
};

}  // namespace persist
