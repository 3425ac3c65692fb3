// The registry on Windows, read and written through the plug-in's
// interface, with the values other programs may have left there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/WindowsRegistry.h"

namespace {

const char kKey[] = "Software\\Vok\\TamborikRegistryTest";

class WindowsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    // Stores a value exactly as given, whatever its type and size.
    static void storeRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    platform::WindowsRegistry registry;
};

TEST_F(WindowsRegistryTest, AMissingKeyHasNoValues) {
    EXPECT_FALSE(registry.keyExists(kKey));
    EXPECT_FALSE(registry.readDword(kKey, "outMode"));
    EXPECT_FALSE(registry.readString(kKey, "programpath"));
    EXPECT_FALSE(registry.readBinary(kKey, "MidiAutomation"));
    EXPECT_FALSE(registry.keyExists(kKey));  // reading creates nothing
}

TEST_F(WindowsRegistryTest, ValuesComeBackAsWrittenUnderAnyCase) {
    ASSERT_TRUE(registry.writeDword(kKey, "outMode", 0xDEADBEEF));
    ASSERT_TRUE(registry.writeString(kKey, "programpath", "C:\\Banks\\Mine.fxb"));
    ASSERT_TRUE(registry.writeBinary(kKey, "MidiAutomation", {7, 12, 255}));
    ASSERT_TRUE(registry.writeBinary(kKey, "Empty", {}));
    EXPECT_TRUE(registry.keyExists(kKey));
    EXPECT_EQ(registry.readDword(kKey, "outmode"), 0xDEADBEEFu);
    EXPECT_EQ(registry.readString(kKey, "PROGRAMPATH"), "C:\\Banks\\Mine.fxb");
    EXPECT_EQ(registry.readBinary(kKey, "midiautomation"), (std::vector<std::uint8_t>{7, 12, 255}));
    EXPECT_EQ(registry.readBinary(kKey, "empty"), std::vector<std::uint8_t>{});

    // Strings are stored with their terminating zero.
    DWORD type = 0, size = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryValueExA(key, "programpath", nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 18u);
}

TEST_F(WindowsRegistryTest, ValuesOfAnotherTypeOrSizeCountAsAbsent) {
    storeRaw("outMode", REG_SZ, "1", 2);
    const std::uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    storeRaw("notename", REG_DWORD, eight, 8);
    storeRaw("velocurve", REG_DWORD, eight, 2);
    storeRaw("lockvolume", REG_BINARY, eight, 4);
    const DWORD one = 1;
    storeRaw("programpath", REG_DWORD, &one, 4);
    storeRaw("midilearnpath", REG_BINARY, "C:\\x", 5);
    storeRaw("MidiAutomation", REG_SZ, "abc", 4);
    EXPECT_FALSE(registry.readDword(kKey, "outMode"));
    EXPECT_FALSE(registry.readDword(kKey, "notename"));
    EXPECT_FALSE(registry.readDword(kKey, "velocurve"));
    EXPECT_FALSE(registry.readDword(kKey, "lockvolume"));
    EXPECT_FALSE(registry.readString(kKey, "programpath"));
    EXPECT_FALSE(registry.readString(kKey, "midilearnpath"));
    EXPECT_FALSE(registry.readBinary(kKey, "MidiAutomation"));
}

TEST_F(WindowsRegistryTest, StringsOfAnyLengthAreReadWhole) {
    const std::string longText(100000, 'a');
    ASSERT_TRUE(registry.writeString(kKey, "programpath", longText));
    EXPECT_EQ(registry.readString(kKey, "programpath"), longText);
    const std::string justPast(255, 'b');
    ASSERT_TRUE(registry.writeString(kKey, "midilearnpath", justPast));
    EXPECT_EQ(registry.readString(kKey, "midilearnpath"), justPast);

    storeRaw("unterminated", REG_SZ, "abc", 3);
    EXPECT_EQ(registry.readString(kKey, "unterminated"), "abc");
    storeRaw("twoTexts", REG_SZ, "abc\0def", 8);
    EXPECT_EQ(registry.readString(kKey, "twoTexts"), "abc");
    storeRaw("nothing", REG_SZ, "", 0);
    EXPECT_EQ(registry.readString(kKey, "nothing"), "");
}

TEST_F(WindowsRegistryTest, WritesWithoutAKeyOrNameAreRefused) {
    EXPECT_FALSE(registry.writeDword("", "outMode", 1));
    EXPECT_FALSE(registry.writeString(kKey, "", "x"));
    EXPECT_FALSE(registry.keyExists(kKey));
}

}  // namespace
