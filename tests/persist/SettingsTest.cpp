#include <gtest/gtest.h>

#include "persist/SettingsDialogModel.h"
#include "persist/SettingsStore.h"
#include "platform/MemoryRegistry.h"

namespace {

const char kKey[] = "Software\\Vok\\Tamborik";

// Remembers the order in which values were written.
class RecordingRegistry : public platform::MemoryRegistry {
public:
    bool writeDword(const std::string& key, const std::string& name, std::uint32_t value) override {
        written.push_back(name);
        return MemoryRegistry::writeDword(key, name, value);
    }
    std::vector<std::string> written;
};

persist::SettingsStore storeOn(platform::Registry& registry) {
    persist::SettingsStore store(registry);
    store.setKeyPath(kKey);
    store.setModulePath("/usr/lib/vst/Tamborik.so");
    return store;
}

TEST(SettingsStore, LoadsDefaultsThenStoredValues) {
    platform::MemoryRegistry registry;
    auto first = storeOn(registry);
    first.load();
    EXPECT_EQ(first.outputMode, 2);
    EXPECT_TRUE(first.multiOutStereo);
    EXPECT_EQ(first.programPath, "/usr/lib/vst/Tamborik.so");
    EXPECT_EQ(first.midiLearnPath, "/usr/lib/vst/Tamborik.so");

    registry.writeDword(kKey, "outMode", 0);
    registry.writeDword(kKey, "notename", 7);
    registry.writeDword(kKey, "velocurve", 2);
    registry.writeDword(kKey, "lockvolume", 1);
    registry.writeString(kKey, "programpath", "");
    auto second = storeOn(registry);
    second.load();
    EXPECT_EQ(second.outputMode, 0);
    EXPECT_FALSE(second.multiOutStereo);
    EXPECT_TRUE(second.noteNames);
    EXPECT_EQ(second.velocityCurve, 2);
    EXPECT_TRUE(second.volumeLock);
    EXPECT_EQ(second.programPath, "/usr/lib/vst/Tamborik.so");  // empty falls back on load
    second.reload();
    EXPECT_EQ(second.programPath, "");  // but not on reload

    second.setNoteNames(false);
    EXPECT_EQ(registry.readDword(kKey, "notename"), 0u);
}

TEST(SettingsStore, SavesSixValuesInOrder) {
    RecordingRegistry registry;
    auto store = storeOn(registry);
    store.load();
    store.save();
    EXPECT_EQ(registry.written, (std::vector<std::string>{"outMode", "notename", "velocurve", "lockvolume"}));
    EXPECT_EQ(registry.readString(kKey, "programpath"), "/usr/lib/vst/Tamborik.so");
}

// Another process or instance shares the store: a save writes back only
// what this instance changed, and nothing it merely assumed because the
// store could not be read whole.
TEST(SettingsStore, SavesOnlyWhatThisInstanceChanged) {
    // Answers like a settings file that another program is writing.
    struct Shared : RecordingRegistry {
        bool keyExists(const std::string& key) const override {
            if (!broken) return MemoryRegistry::keyExists(key);
            ++unreadable;
            return false;
        }
        unsigned unreadableReads() const override { return unreadable; }
        bool broken = false;
        mutable unsigned unreadable = 0;
    };
    for (bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "unreadable store" : "shared store");
        Shared registry;
        registry.writeDword(kKey, "velocurve", 1);
        registry.broken = unreadable;
        auto store = storeOn(registry);
        store.load();
        registry.broken = false;
        registry.written.clear();
        store.save();
        const std::vector<std::string> firstWrites{"outMode", "notename", "lockvolume"};
        EXPECT_EQ(registry.written, unreadable ? std::vector<std::string>() : firstWrites);
        registry.written.clear();
        registry.writeDword(kKey, "velocurve", 2);  // another process
        store.programPath = "/home/me/Mine.fxb";
        store.save();
        EXPECT_EQ(registry.readDword(kKey, "velocurve"), 2u);
        EXPECT_EQ(registry.readString(kKey, "programpath"), "/home/me/Mine.fxb");
        EXPECT_EQ(registry.written, std::vector<std::string>(1, "velocurve"));  // only the other process's
    }
}

TEST(SettingsDialog, ShowsTheStoredValuesKeepsRadiosExclusiveAndWritesOnOk) {
    RecordingRegistry registry;
    registry.writeDword(kKey, "outMode", 1);
    registry.writeDword(kKey, "notename", 7);
    registry.writeDword(kKey, "velocurve", 5);
    registry.written.clear();
    using Model = persist::SettingsDialogModel;
    Model dialog(registry, kKey);
    EXPECT_TRUE(dialog.isChecked(Model::kTenStereo));
    EXPECT_TRUE(dialog.isChecked(Model::kAsNames));
    EXPECT_TRUE(dialog.isChecked(Model::kExponential));
    EXPECT_FALSE(dialog.isChecked(Model::kLockVolume));

    dialog.click(Model::kOneStereo);
    EXPECT_TRUE(dialog.isChecked(Model::kOneStereo));
    EXPECT_FALSE(dialog.isChecked(Model::kTenStereo));
    dialog.click(Model::kAsNumbers);
    dialog.click(Model::kLogarithmic);
    dialog.click(Model::kLockVolume);
    dialog.cancel();
    EXPECT_TRUE(registry.written.empty());
    dialog.ok();
    EXPECT_EQ(registry.written, (std::vector<std::string>{"outMode", "notename", "velocurve", "lockvolume"}));
    EXPECT_EQ(registry.readDword(kKey, "outmode"), 2u);
    EXPECT_EQ(registry.readDword(kKey, "notename"), 0u);
    EXPECT_EQ(registry.readDword(kKey, "velocurve"), 1u);
    EXPECT_EQ(registry.readDword(kKey, "lockvolume"), 1u);

    platform::MemoryRegistry empty;
    Model fresh(empty, kKey);
    EXPECT_TRUE(fresh.isChecked(Model::kTenMono));
    EXPECT_TRUE(fresh.isChecked(Model::kAsNames));
    EXPECT_TRUE(fresh.isChecked(Model::kLinear));
}

}  // namespace
