#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include <sys/stat.h>

#include "platform/FileRegistry.h"
#include "platform/RegistryText.h"
#include "support/TempFolder.h"

namespace {

using platform::FileRegistry;

class FileRegistryTest : public testing_support::TempFolderTest {};

const char kKey[] = "Software\\Vok\\Tamborik";

TEST_F(FileRegistryTest, WritesARegistryExportAndReadsItBack) {
    FileRegistry registry(path("Vok/Tamborik.reg"));
    EXPECT_FALSE(registry.keyExists(kKey));
    EXPECT_FALSE(registry.readDword(kKey, "outMode"));
    ASSERT_TRUE(registry.writeDword(kKey, "outMode", 2));
    ASSERT_TRUE(registry.writeString(kKey, "programpath", "/home/me/presets/\"Mine\"\\.fxb"));
    ASSERT_TRUE(registry.writeBinary(kKey, "MidiAutomation", {0x07, 0x0c, 0xff}));
    EXPECT_EQ(readText(path("Vok/Tamborik.reg")),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n"
              "\"outMode\"=dword:00000002\n"
              "\"programpath\"=\"/home/me/presets/\\\"Mine\\\"\\\\.fxb\"\n"
              "\"MidiAutomation\"=hex:07,0c,ff\n");
    EXPECT_TRUE(registry.keyExists(kKey));
    EXPECT_EQ(registry.readDword(kKey, "OUTMODE"), 2u);
    EXPECT_EQ(registry.readString(kKey, "ProgramPath"), "/home/me/presets/\"Mine\"\\.fxb");
    EXPECT_EQ(registry.readBinary(kKey, "midiautomation"), (std::vector<std::uint8_t>{7, 12, 255}));
    EXPECT_FALSE(registry.readString(kKey, "outMode"));  // a number is not a text
    const auto written = std::filesystem::last_write_time(path("Vok/Tamborik.reg"));
    std::filesystem::last_write_time(path("Vok/Tamborik.reg"), written - std::chrono::hours(1));
    ASSERT_TRUE(registry.writeDword(kKey, "outmode", 2));  // unchanged: the file is left alone
    EXPECT_EQ(std::filesystem::last_write_time(path("Vok/Tamborik.reg")), written - std::chrono::hours(1));
    ASSERT_TRUE(registry.writeDword(kKey, "OutMode", 1));  // replaces, whatever the case
    EXPECT_EQ(registry.readDword(kKey, "outmode"), 1u);
    EXPECT_EQ(readText(path("Vok/Tamborik.reg")).find("OutMode"), std::string::npos);
}

TEST_F(FileRegistryTest, ReadsAHandEditedFileTolerantlyAndKeepsWhatItDoesNotKnow) {
    writeText(path("Tamborik.reg"),
              "Windows Registry Editor Version 5.00\r\n"
              "garbage line\r\n"
              "\"orphan\"=dword:00000001\r\n"
              "[hkey_current_user\\software\\vok\\TAMBORIK]\r\n"
              "  \"NoteName\" = dword:7  \r\n"
              "\"velocurve\"=dword:zz\r\n"
              "\"future\"=hex(7):41,00,00,00\r\n"
              "\"MidiAutomation\"=hex:01,05,\\\r\n"
              "  06,ff\r\n"
              "\"broken\r\n"
              "\x01\x02\xff binary\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "\"kept\"=\"yes\"\r\n");
    FileRegistry registry(path("Tamborik.reg"));
    EXPECT_TRUE(registry.keyExists(kKey));
    EXPECT_EQ(registry.readDword(kKey, "notename"), 7u);
    EXPECT_FALSE(registry.readDword(kKey, "velocurve"));
    EXPECT_FALSE(registry.readDword(kKey, "orphan"));
    EXPECT_EQ(registry.readBinary(kKey, "MidiAutomation"), (std::vector<std::uint8_t>{1, 5, 6, 255}));
    ASSERT_TRUE(registry.writeDword(kKey, "lockvolume", 1));
    const std::string text = readText(path("Tamborik.reg"));
    EXPECT_NE(text.find("\"future\"=hex(7):41,00,00,00"), std::string::npos);
    EXPECT_NE(text.find("\"kept\"=\"yes\""), std::string::npos);
    EXPECT_NE(text.find("\"lockvolume\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(registry.readDword(kKey, "notename"), 7u);
}

// Whatever stands where the file or its lock should be, and a file that
// cannot be read whole (another program is writing it), is never replaced:
// reads find nothing and count as unreadable, writes are refused.
TEST_F(FileRegistryTest, NeverReplacesWhatItCannotReadWhole) {
    const std::string whole = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n"
                              "\"outMode\"=dword:00000001\n";
    struct Case {
        const char* what;
        std::function<void(const std::string& file)> make;
        bool countsUnreadable;
    };
    const Case cases[] = {
        {"a folder", [](const std::string& f) { std::filesystem::create_directories(f); }, true},
        {"a FIFO, never waited on", [](const std::string& f) { ASSERT_EQ(mkfifo(f.c_str(), 0600), 0); }, true},
        {"too large to be settings", [](const std::string& f) { writeText(f, std::string(2u << 20, '\n')); }, true},
        {"empty", [](const std::string& f) { writeText(f, ""); }, true},
        {"cut within its last line", [&](const std::string& f) { writeText(f, whole.substr(0, whole.size() - 4)); },
         true},
        {"a folder at the lock's name",
         [&](const std::string& f) {
             writeText(f, whole);
             std::filesystem::create_directories(f + ".lock");
         }, false},
        {"a FIFO at the lock's name",
         [&](const std::string& f) {
             writeText(f, whole);
             ASSERT_EQ(mkfifo((f + ".lock").c_str(), 0600), 0);
         }, false},
        {"made read-only by its owner",
         [&](const std::string& f) {
             writeText(f, whole);
             std::filesystem::permissions(f, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
         },
         false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = path("case" + std::to_string(n++) + ".reg");
        c.make(file);
        const bool regular = std::filesystem::is_regular_file(file);
        const std::string before = regular ? readText(file) : "";
        FileRegistry registry(file);
        EXPECT_EQ(registry.readDword(kKey, "outMode").has_value(), !c.countsUnreadable);
        EXPECT_EQ(registry.unreadableReads(), c.countsUnreadable ? 1u : 0u);
        EXPECT_FALSE(registry.writeDword(kKey, "outMode", 2));
        EXPECT_FALSE(registry.writeString(kKey, "programpath", "/x"));
        if (regular) EXPECT_EQ(readText(file), before);
        else EXPECT_FALSE(std::filesystem::is_regular_file(file));
    }
    // No file where the folder should be, and nothing left behind anywhere.
    writeText(path("file"), "x");
    EXPECT_FALSE(FileRegistry(path("file/Tamborik.reg")).writeDword(kKey, "outMode", 2));
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(FileRegistryTest, DataEndingInABackslashSurvivesEveryRewrite) {
    writeText(path("Tamborik.reg"),
              "[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n\"x\"=C:\\\\\n\n\"notename\"=dword:00000000\n");
    FileRegistry registry(path("Tamborik.reg"));
    for (std::uint32_t mode = 0; mode < 3; ++mode) ASSERT_TRUE(registry.writeDword(kKey, "outMode", mode));
    EXPECT_EQ(registry.readDword(kKey, "notename"), 0u);
    const platform::RegistryText text = platform::RegistryText::parse(readText(path("Tamborik.reg")));
    const platform::RegistryKey* key = text.findKey("HKEY_CURRENT_USER\\Software\\Vok\\Tamborik");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 3u);
    EXPECT_EQ(platform::RegistryText::findValue(*key, "x")->data, "C:\\");

    // Write then read gives back every value, whatever its data ends in.
    platform::RegistryText tricky;
    platform::RegistryKey& values = tricky.keyFor("K");
    for (const char* data : {"\\", "a \\", "\\\\", "\"\\\\\"", "x\\ y"}) values.values.push_back({std::string("v") + data, data});
    const platform::RegistryText back = platform::RegistryText::parse(tricky.format());
    ASSERT_EQ(back.keys.size(), 1u);
    ASSERT_EQ(back.keys[0].values.size(), values.values.size());
    for (std::size_t i = 0; i < values.values.size(); ++i) {
        EXPECT_EQ(back.keys[0].values[i].name, values.values[i].name);
        EXPECT_EQ(back.keys[0].values[i].data, values.values[i].data);
    }
}

TEST(FileRegistryPath, FollowsXdgConfigHomeOrHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/tmp/config-here", 1);
    EXPECT_EQ(FileRegistry::defaultPath(), "/tmp/config-here/Vok/Tamborik.reg");
    setenv("XDG_CONFIG_HOME", "", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(FileRegistry::defaultPath(), "/home/someone/.config/Vok/Tamborik.reg");
    setenv("HOME", home.c_str(), 1);
    if (saved) setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
