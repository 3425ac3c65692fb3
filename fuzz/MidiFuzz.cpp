// MIDI files and MIDI events: the file reader never reads past its bytes
// and keeps time in order; any events and parameter values leave the
// plug-in's output finite.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz/FuzzTarget.h"
#include "host/MidiFile.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

plugin::DrumSynthEffect& effect() {
    static platform::MemoryRegistry registry;
    static auto instance = [] {
        auto e = std::make_unique<plugin::DrumSynthEffect>(&quietHost, registry, "");
        e->setBlockSize(64);
        return e;
    }();
    return *instance;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> fuzzSeeds() {
    const std::vector<std::uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                           'M', 'T', 'r', 'k', 0, 0, 0, 19,
                                           0, 0xFF, 0x51, 3, 7, 0xA1, 0x20,
                                           0, 0x90, 36, 100, 48, 0x90, 36, 0, 0, 0xC0, 3,
                                           0, 0xFF, 0x2F, 0};
    return {smf, {0x90, 36, 127, 0, 0xB0, 7, 64, 10, 0xC0, 20, 0, 63}};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (auto sequence = host::parseMidiFile(bytes)) {
        for (std::size_t i = 0; i < sequence->messages.size(); ++i) {
            const auto& m = sequence->messages[i];
            FUZZ_CHECK(m.size >= 1 && m.size <= 3);
            FUZZ_CHECK(std::isfinite(m.seconds) && m.seconds >= 0);
            if (i) FUZZ_CHECK(sequence->messages[i - 1].seconds <= m.seconds);
        }
    }

    // Four bytes an event: status, data 1, data 2, frame (signed); a status
    // of 0xF5 sets a parameter from the next bytes instead.
    plugin::DrumSynthEffect& plugin = effect();
    std::vector<vst::VstMidiEvent> events;
    for (std::size_t i = 0; i + 3 < size; i += 4) {
        if (data[i] == 0xF5 && i + 7 < size) {
            float value;
            std::memcpy(&value, data + i + 4, sizeof(value));
            plugin.setParameter(data[i + 1], value);
            i += 4;
            continue;
        }
        vst::VstMidiEvent event{};
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof(event);
        event.deltaFrames = static_cast<std::int8_t>(data[i + 3]) * 3;
        event.midiData[0] = static_cast<char>(data[i]);
        event.midiData[1] = static_cast<char>(data[i + 1]);
        event.midiData[2] = static_cast<char>(data[i + 2]);
        events.push_back(event);
    }
    std::vector<vst::VstEvent*> pointers;
    for (auto& e : events) pointers.push_back(reinterpret_cast<vst::VstEvent*>(&e));
    std::vector<std::uint8_t> storage(sizeof(vst::VstEvents) + pointers.size() * sizeof(void*));
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst::VstInt32>(pointers.size());
    if (!pointers.empty()) std::memcpy(list->events, pointers.data(), pointers.size() * sizeof(void*));
    plugin.processEvents(list);
    float left[64], right[64];
    float* outputs[2] = {left, right};
    plugin.processReplacing(nullptr, outputs, 64);
    for (int i = 0; i < 64; ++i) FUZZ_CHECK(std::isfinite(left[i]) && std::isfinite(right[i]));
    return 0;
}
