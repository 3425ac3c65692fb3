// The audio path allocates nothing: every heap allocation in the process is
// counted while the built module handles events and renders, with notes,
// controllers, MIDI learn and program changes, after its first block.
// The count comes from malloc itself, which this program replaces for the
// whole process (the module links its C++ runtime statically, so its
// operator new ends in the C library's malloc, which is what is replaced).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "lv2/Lv2Ports.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAMBORIK_COUNTS_ALLOCATIONS 0  // the sanitizer owns malloc
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMBORIK_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef TAMBORIK_COUNTS_ALLOCATIONS
#define TAMBORIK_COUNTS_ALLOCATIONS 1
#endif

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void noteAllocation() {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

#if TAMBORIK_COUNTS_ALLOCATIONS
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    noteAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
    noteAllocation();
    return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    noteAllocation();
    *result = __libc_memalign(alignment, size);
    return *result ? 0 : 12;  // ENOMEM
}
}
#endif

namespace {

vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;  // and no idle calls: programs change at once
}

struct Events {
    void add(int frame, int status, int data1, int data2) {
        midi[count] = host::PluginInstance::midiEvent(frame, status, data1, data2);
        list.events[count] = reinterpret_cast<vst::VstEvent*>(&midi[count]);
        list.numEvents = ++count;
    }
    vst::VstEvents* events() { return reinterpret_cast<vst::VstEvents*>(&list); }

    vst::VstMidiEvent midi[64];
    struct {
        vst::VstInt32 numEvents;
        vst::VstIntPtr reserved;
        vst::VstEvent* events[64];
    } list{};
    int count = 0;
};

TEST(Allocations, NoneInEventsOrAudioAfterTheFirstBlock) {
    if (!TAMBORIK_COUNTS_ALLOCATIONS) GTEST_SKIP() << "the sanitizer replaces malloc";
    auto module = host::PluginModule::load(TAMBORIK_MODULE_PATH);
    ASSERT_TRUE(module);
    vst::AEffect* e = module->entryPoint()(&hostCallback);
    ASSERT_NE(e, nullptr);
    auto dispatch = [e](vst::VstInt32 opcode, vst::VstIntPtr value = 0, float opt = 0.0f) {
        return e->dispatcher(e, opcode, 0, value, nullptr, opt);
    };
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 44100.0f);
    dispatch(vst::effSetBlockSize, 512);
    dispatch(vst::effMainsChanged, 1);
    e->setParameter(e, 89, 0.125f);  // learning on

    std::vector<float> storage(20 * 512);
    float* outputs[20];
    for (int c = 0; c < 20; ++c) outputs[c] = storage.data() + c * 512;
    auto block = [&](int b) {
        Events events;
        for (int channel = 0; channel < 16; ++channel) events.add((b * 37 + channel) % 512, 0x90 | channel, 36 + b % 40, 127);
        events.add(100, 0xB0, 7 + b % 20, b % 128);  // controllers, learned ones among them
        events.add(200, 0xB0, 74, 127 - b % 128);
        if (b % 10 == 9) events.add(300, 0xC0, b % 16, 0);  // a program change
        e->dispatcher(e, vst::effProcessEvents, 0, 0, events.events(), 0.0f);
        if (b % 3 == 0) e->process(e, nullptr, outputs, 512);
        else e->processReplacing(e, nullptr, outputs, 512);
    };
    block(0);

    long counted = 0;
    for (int b = 1; b < 400; ++b) {
        // Between blocks, as the editor does: pick a parameter to learn.
        e->setParameter(e, 90, static_cast<float>(b % 88));
        allocations = 0;
        counting = true;
        block(b);
        counting = false;
        counted += allocations;
    }
    EXPECT_EQ(counted, 0);

    // The count sees the module's own allocations: a new block size makes
    // new buffers.
    allocations = 0;
    counting = true;
    dispatch(vst::effSetBlockSize, 1024);
    counting = false;
    EXPECT_GT(allocations, 0);
    dispatch(vst::effClose);
}

// The same through the LV2 plug-in with ten stereo pairs: notes,
// controllers and program changes in the atom sequence, and control ports
// that move between runs.
TEST(Allocations, NoneInTheLv2PluginsRunsAfterTheFirst) {
    if (!TAMBORIK_COUNTS_ALLOCATIONS) GTEST_SKIP() << "the sanitizer replaces malloc";
    void* library = dlopen(TAMBORIK_LV2_BUNDLE "/Tamborik.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library) << dlerror();
    auto entry = reinterpret_cast<const LV2_Descriptor* (*)(std::uint32_t)>(dlsym(library, "lv2_descriptor"));
    ASSERT_TRUE(entry);
    const LV2_Descriptor* descriptor = entry(1);
    static std::vector<std::string> uris;
    LV2_URID_Map map{nullptr, [](LV2_URID_Map_Handle, const char* uri) {
                         for (std::size_t i = 0; i < uris.size(); ++i)
                             if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
                         uris.emplace_back(uri);
                         return static_cast<LV2_URID>(uris.size());
                     }};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    LV2_Handle instance = descriptor->instantiate(descriptor, 44100.0, TAMBORIK_LV2_BUNDLE, features);
    ASSERT_TRUE(instance);
    std::vector<float> controls(lv2port::kControlCount, 0.5f);
    std::vector<float> storage(20 * 512);
    std::vector<std::uint64_t> sequence(4096);
    descriptor->connect_port(instance, lv2port::kMidiPort, sequence.data());
    for (int k = 0; k < lv2port::kControlCount; ++k)
        descriptor->connect_port(instance, lv2port::kFirstControlPort + k, &controls[k]);
    for (int c = 0; c < 20; ++c) descriptor->connect_port(instance, lv2port::kFirstAudioPort + c, &storage[c * 512]);
    descriptor->activate(instance);
    const LV2_URID midiType = map.map(nullptr, LV2_MIDI__MidiEvent);
    const LV2_URID sequenceType = map.map(nullptr, LV2_ATOM__Sequence);
    auto block = [&](int b) {
        auto* atom = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
        atom->atom = {sizeof(LV2_Atom_Sequence_Body), sequenceType};
        atom->body = {0, 0};
        auto add = [&](int frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
            auto* at = reinterpret_cast<std::uint8_t*>(sequence.data()) + sizeof(LV2_Atom) + atom->atom.size;
            const LV2_Atom_Event event{{frame}, {3, midiType}};
            std::memcpy(at, &event, sizeof(event));
            const std::uint8_t bytes[8] = {status, data1, data2};
            std::memcpy(at + sizeof(event), bytes, sizeof(bytes));
            atom->atom.size += sizeof(event) + sizeof(bytes);
        };
        for (int channel = 0; channel < 16; ++channel)
            add((b * 37 + channel) % 512, static_cast<std::uint8_t>(0x90 | channel), 36 + b % 40, 127);
        add(100, 0xB0, static_cast<std::uint8_t>(7 + b % 20), static_cast<std::uint8_t>(b % 128));
        if (b % 10 == 9) add(300, 0xC0, static_cast<std::uint8_t>(b % 16), 0);
        controls[b % lv2port::kControlCount] = static_cast<float>(b % 7) / 6.0f;
        descriptor->run(instance, 512);
    };
    block(0);
    allocations = 0;
    counting = true;
    for (int b = 1; b < 400; ++b) block(b);
    counting = false;
    EXPECT_EQ(allocations, 0);
    bool sounded = false;
    for (float sample : storage) sounded = sounded || sample != 0.0f;
    EXPECT_TRUE(sounded);

    // The count sees the plug-in's own allocations: a second instance.
    allocations = 0;
    counting = true;
    LV2_Handle second = descriptor->instantiate(descriptor, 48000.0, TAMBORIK_LV2_BUNDLE, features);
    counting = false;
    EXPECT_GT(allocations, 0);
    descriptor->cleanup(second);
    descriptor->cleanup(instance);
    dlclose(library);
}

}  // namespace
