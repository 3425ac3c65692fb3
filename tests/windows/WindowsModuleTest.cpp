// The Windows module as a Windows host sees it: loaded from folders of any
// name, configured by the real registry and the mixer file beside it, with
// its bank in its resources and its learned controllers kept across hosts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "platform/WindowsRegistry.h"
#include "support/QuietHost.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using host::PluginInstance;
using host::PluginModule;

const char kKey[] = "Software\\Vok\\Tamborik";

class WindowsModule : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        TempFolderTest::SetUp();
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        std::error_code error;
        fs::permissions(folder / "Tamborik.ini", fs::perms::owner_write, fs::perm_options::add, error);
        // The extended-length form reaches paths past 260 characters too.
        fs::remove_all(L"\\\\?\\" + folder.wstring(), error);
    }
    // A copy of the module in a folder of its own, as hosts find it.
    fs::path install(const fs::path& subfolder = {}) {
        const fs::path target = folder / subfolder;
        fs::create_directories(target);
        fs::copy_file(TAMBORIK_MODULE_PATH, target / "Tamborik.dll", fs::copy_options::overwrite_existing);
        return target / "Tamborik.dll";
    }
    static std::unique_ptr<PluginModule> load(const fs::path& module) {
        std::string error;
        auto loaded = PluginModule::load(module.u8string(), &error);
        EXPECT_TRUE(loaded) << error;
        return loaded;
    }
    // The outputs an instance announces; the instance is closed again, so
    // its settings and mixer file are written.
    static int outputsOf(const fs::path& module) {
        auto loaded = load(module);
        if (!loaded) return -1;
        auto instance = PluginInstance::create(*loaded);
        return instance ? instance->numOutputs() : -1;
    }
    static bool playsANote(const PluginModule& module) {
        auto instance = PluginInstance::create(module);
        if (!instance) return false;
        instance->start();
        std::vector<std::vector<float>> buffers(static_cast<std::size_t>(instance->numOutputs()),
                                                std::vector<float>(512));
        std::vector<float*> outputs;
        for (auto& buffer : buffers) outputs.push_back(buffer.data());
        instance->sendMidi({PluginInstance::midiEvent(0, 0x90, 36, 127)});
        instance->processReplacing(outputs.data(), 512);
        float peak = 0;
        for (const auto& buffer : buffers)
            for (float s : buffer) {
                if (!std::isfinite(s)) return false;
                peak = std::max(peak, std::abs(s));
            }
        return peak > 0.01f;
    }
    platform::WindowsRegistry registry;
};

TEST_F(WindowsModule, StartsThroughEitherEntryPoint) {
    auto module = load(install());
    ASSERT_TRUE(module);
    for (const char* name : {"VSTPluginMain", "main"}) {
        auto entry = reinterpret_cast<PluginModule::EntryPoint>(module->symbol(name));
        ASSERT_NE(entry, nullptr) << name;
        vst::AEffect* effect = entry(testing_support::quietHost);
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_EQ(effect->magic, vst::fourCharCode('V', 's', 't', 'P'));
        EXPECT_EQ(effect->uniqueID, vst::fourCharCode('5', '0', '7', '4'));
        effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    }
    EXPECT_EQ(module->symbol("DllMain"), nullptr);  // nothing else is exported
    EXPECT_TRUE(playsANote(*module));
}

TEST_F(WindowsModule, AnnouncesItsOutputsByTheRegistryAndTheMixerFile) {
    const fs::path module = install();
    const fs::path mixer = folder / "Tamborik.ini";
    EXPECT_EQ(outputsOf(module), 2);  // first run: no key, no mixer file
    EXPECT_EQ(registry.readDword(kKey, "outMode"), 2u);
    EXPECT_FALSE(fs::exists(mixer));  // only a file that was there is rewritten

    registry.writeDword(kKey, "outMode", 1);
    EXPECT_EQ(outputsOf(module), 20);
    registry.writeDword(kKey, "outMode", 0);
    EXPECT_EQ(outputsOf(module), 10);

    writeText(mixer.string(), "MultiOut=0\r\n");
    EXPECT_EQ(outputsOf(module), 2);
    EXPECT_EQ(registry.readDword(kKey, "outMode"), 2u);  // the mode actually used

    writeText(mixer.string(), "MultiOut=1\r\n");
    EXPECT_EQ(outputsOf(module), 20);  // stored mode 2 means the stereo layout
    EXPECT_EQ(registry.readDword(kKey, "OUTMODE"), 1u);
}

TEST_F(WindowsModule, ReadsItsBankFromItsResources) {
    auto module = load(install());
    ASSERT_TRUE(module);
    auto instance = PluginInstance::create(*module);
    ASSERT_TRUE(instance);
    const char* const names[16] = {"Tamborik", "Elektro",     "DreamMachine", "Indust",      "Layerdrums", "Fotf",
                                   "Default",  "Hollow",      "StereoDrums",  "Short Drums", "Long Drums", "Operator",
                                   "Synth1",   "Synth2",      "Synth3",       "Mariba"};
    for (int p = 0; p < 16; ++p) {
        char name[64] = {};
        instance->dispatch(vst::effGetProgramNameIndexed, p, 0, name);
        EXPECT_STREQ(name, names[p]);
    }
    EXPECT_NEAR(instance->getParameter(1), 0.3458f, 5e-5f);  // "Tamborik", Kick 1 Frequency
}

TEST_F(WindowsModule, BadRegistryValuesAreRefusedAndNothingIsLost) {
    const fs::path module = install();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "outMode", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    const std::uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    RegSetValueExA(key, "velocurve", 0, REG_DWORD, eight, 8);
    RegCloseKey(key);
    const std::string longPath = "C:\\" + std::string(100000, 'p') + ".fxb";
    registry.writeString(kKey, "programpath", longPath);

    // The key exists without a usable mode: ten mono outputs, then written back.
    EXPECT_EQ(outputsOf(module), 10);
    EXPECT_EQ(registry.readDword(kKey, "outMode"), 0u);
    EXPECT_EQ(registry.readDword(kKey, "velocurve"), 0u);
    EXPECT_EQ(registry.readString(kKey, "programpath"), longPath);
}

TEST_F(WindowsModule, AReadOnlyMixerFileIsReadAndKept) {
    const fs::path module = install();
    const fs::path mixer = folder / "Tamborik.ini";
    const std::string content = "MultiOut=1\r\nKick1Level=0.5\r\n";
    writeText(mixer.string(), content);
    fs::permissions(mixer, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(outputsOf(module), 20);
    EXPECT_EQ(readText(mixer.string()), content);
}

TEST_F(WindowsModule, AMixerFileThatIsAFolderIsIgnored) {
    const fs::path module = install();
    fs::create_directories(folder / "Tamborik.ini");
    EXPECT_EQ(outputsOf(module), 2);
    EXPECT_TRUE(fs::is_directory(folder / "Tamborik.ini"));
}

TEST_F(WindowsModule, LoadsFromFoldersWithAnyName) {
    // Characters of the system code page reach the mixer file too.
    const fs::path accented = install(fs::path(L"Tromm\u00e9ln \u00e4\u00f6"));
    std::ofstream(accented.parent_path() / "Tamborik.ini", std::ios::binary) << "MultiOut=1\r\n";
    EXPECT_EQ(outputsOf(accented), 20);

    // Others cannot be named through the code page: the module still plays.
    const fs::path cyrillic = install(fs::path(L"\u0431\u0430\u0440\u0430\u0431\u0430\u043d"));
    auto module = load(cyrillic);
    ASSERT_TRUE(module);
    EXPECT_TRUE(playsANote(*module));
    module.reset();

    // A path longer than the classic 260-character limit.
    fs::path deep;
    for (int i = 0; i < 6; ++i) deep /= std::string(50, static_cast<char>('a' + i));
    const fs::path longPath = install(deep);
    ASSERT_GT(longPath.wstring().size(), 300u);
    auto distant = load(longPath);
    ASSERT_TRUE(distant);
    EXPECT_TRUE(playsANote(*distant));
}

TEST_F(WindowsModule, ALearnedControllerSurvivesTheHost) {
    // Neither path holds a space, so the command needs no quoting.
    const std::string probe = std::string(TAMBORIK_LEARN_PROBE) + " " + install().string();
    ASSERT_EQ(std::system((probe + " learn").c_str()), 0);
    EXPECT_EQ(registry.readBinary(kKey, "MidiAutomation"), (std::vector<std::uint8_t>{7, 12, 255}));
    EXPECT_EQ(registry.readDword(kKey, "outMode"), 2u);
    std::FILE* output = _popen((probe + " play").c_str(), "r");
    ASSERT_TRUE(output);
    char line[64] = {};
    ASSERT_TRUE(std::fgets(line, sizeof(line), output));
    EXPECT_EQ(_pclose(output), 0);
    EXPECT_STREQ(line, "1\n");
}

}  // namespace
