// The audio path allocates nothing: every heap allocation in the process is
// counted while the built module handles events and renders, with notes,
// controllers, MIDI learn and program changes, after its first block.
// The count comes from malloc itself, which this program replaces for the
// whole process (the module links its C++ runtime statically, so its
// operator new ends in the C library's malloc, which is what is replaced).
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"

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

}  // namespace
