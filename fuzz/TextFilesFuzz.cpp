// The settings file's text, the mixer file and the MIDI-learn record stream:
// any bytes are read without harm, and what is read writes back the same.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzTarget.h"
#include "persist/ControllerMap.h"
#include "persist/MixerFile.h"
#include "platform/RegistryText.h"

std::vector<std::vector<std::uint8_t>> fuzzSeeds() {
    const std::string reg =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vok\\Tamborik]\n"
        "\"outMode\"=dword:00000002\n\"programpath\"=\"/home/me/a \\\"b\\\".fxb\"\n"
        "\"MidiAutomation\"=hex:01,05,\\\n  06,ff\n";
    const std::string ini = "MultiOut=1\nKick1Pan=0.25\nKick1Level=0.5\n// comment\nCrashLevel=2e-1\n";
    const std::vector<std::uint8_t> stream = {0x01, 0x05, 0x06, 0xFF, 0x4A, 0x14, 0xFF};
    return {std::vector<std::uint8_t>(reg.begin(), reg.end()), std::vector<std::uint8_t>(ini.begin(), ini.end()),
            stream};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const platform::RegistryText parsed = platform::RegistryText::parse(text);
    const platform::RegistryText again = platform::RegistryText::parse(parsed.format());
    FUZZ_CHECK(again.keys.size() == parsed.keys.size());
    for (const auto& key : parsed.keys) {
        const platform::RegistryKey* found = again.findKey(key.path);
        FUZZ_CHECK(found != nullptr);
        for (const auto& value : key.values) {
            const platform::RegistryValue* kept = platform::RegistryText::findValue(*found, value.name);
            FUZZ_CHECK(kept != nullptr && kept->data == value.data);
        }
        platform::parseDword(key.values.empty() ? text : key.values[0].data);
        platform::parseString(key.values.empty() ? text : key.values[0].data);
        platform::parseBinary(key.values.empty() ? text : key.values[0].data);
    }

    persist::MixerFile mixer;
    if (std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "r")) {
        mixer.readFrom(file);
        std::fclose(file);
    }
    for (const char* key : {"Kick1Level", "CrashLevel"}) (void)persist::MixerFile::volumeFromLevel(mixer.value(key));
    // What is written reads back to the same text: no value is lost.
    const std::string written = mixer.text();
    persist::MixerFile reread;
    if (std::FILE* file = fmemopen(const_cast<char*>(written.data()), written.size(), "r")) {
        reread.readFrom(file);
        std::fclose(file);
        FUZZ_CHECK(reread.text() == written);
    }

    persist::ControllerMap map;
    map.readRecordStream(data, size);
    const auto stream = map.recordStream();
    persist::ControllerMap back;
    back.readRecordStream(stream.data(), stream.size());
    // Parameter indices travel as bytes, and 255 ends a record, so the
    // written stream reads back the same lists unless one holds a 255.
    bool holds255 = false;
    for (int k = 0; k < persist::ControllerMap::kLearnable; ++k)
        for (int p : map.bindings(k)) holds255 = holds255 || (p & 0xFF) == 255;
    if (!holds255)
        for (int k = 0; k < persist::ControllerMap::kLearnable; ++k) FUZZ_CHECK(back.bindings(k) == map.bindings(k));
    return 0;
}
