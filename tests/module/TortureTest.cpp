// Abuse through the module's real entry point, as careless or hostile hosts
// give it: many instances, every sample rate and block size, wild parameter
// values and event lists, automation and program changes from a second
// thread while audio renders, every dispatcher opcode with null and zeroed
// pointers. Pass: no crash, no sanitizer report, every sample finite and
// within the bound, and silence once the last voice's lifetime is over.
// Usage: tamborik_torture [seconds] [seed]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/PluginInstance.h"
#include "host/PluginModule.h"

namespace {

using Clock = std::chrono::steady_clock;

// No voice rings louder than four of its loudest single hits. With random
// settings the bound is taken over all settings: the loudest single hits at
// the top of the volume range, found by a search over settings, notes and
// rates, are about 82 for each kick, 94 for each snare, 264 for the claves
// (high Key Mode notes at 8 kHz) and under 5 for the rest, 620 in all.
constexpr float kVoiceBoundMultiple = 4.0f;
constexpr float kLoudestSingleHitsSummed = 620.0f;
constexpr float kOutputBound = kVoiceBoundMultiple * kLoudestSingleHitsSummed;
// The longest voice lifetime: the crash's bloom at its longest decay,
// 30 halvings of 0.55 s time constants, in seconds.
constexpr double kLongestLifetimeSeconds = 30.0 * 0.55 * 0.6931471805599453;

constexpr int kMaxFrames = 16384;  // above the largest announced block
constexpr int kMaxOutputs = 20;
constexpr float kMinRate = 8000.0f;
constexpr float kMaxRate = 768000.0f;

std::atomic<bool> failed{false};

void fail(const char* what, double detail) {
    if (!failed.exchange(true)) std::fprintf(stderr, "torture: %s (%g)\n", what, detail);
}

vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Random {
    explicit Random(unsigned seed) : engine(seed) {}
    int below(int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    float unit() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(engine); }
    float rate() { return kMinRate * std::pow(kMaxRate / kMinRate, unit()); }
    // Mostly ordinary values, often the ones hosts should never send.
    float parameterValue() {
        switch (below(12)) {
        case 0: return std::numeric_limits<float>::quiet_NaN();
        case 1: return std::numeric_limits<float>::infinity();
        case 2: return -std::numeric_limits<float>::infinity();
        case 3: return -1.0f - unit() * 1e6f;
        case 4: return 1.0f + unit() * 1e6f;
        case 5: return below(2) ? 0.0f : 1.0f;
        case 6: return 1e-40f;
        default: return unit();
        }
    }
    std::mt19937 engine;
};

class Instance {
public:
    explicit Instance(const host::PluginModule& module) : effect_(module.entryPoint()(&hostCallback)) {
        if (!effect_ || effect_->magic != vst::kEffectMagic) fail("the entry point gave no effect", 0);
        storage_.assign(static_cast<size_t>(kMaxOutputs) * kMaxFrames, 0.0f);
        for (int c = 0; c < kMaxOutputs; ++c) outputs_[c] = storage_.data() + static_cast<size_t>(c) * kMaxFrames;
    }
    ~Instance() {
        if (effect_) effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool ok() const { return effect_ != nullptr; }
    vst::AEffect* effect() const { return effect_; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    void start(float rate, int block) {
        dispatch(vst::effOpen);
        dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
        dispatch(vst::effSetBlockSize, 0, block);
        dispatch(vst::effMainsChanged, 0, 1);
    }

    // One audio call; true when any sample is not exactly zero.
    bool render(int frames, bool accumulate = false) {
        const int outputs = effect_->numOutputs;
        if (outputs < 0 || outputs > kMaxOutputs) {
            fail("implausible output count", outputs);
            return false;
        }
        for (int c = 0; c < outputs; ++c) {
            float* out = outputs_[c];
            for (int i = 0; i < frames; ++i) out[i] = accumulate ? 0.0f : 12345.0f;
        }
        if (accumulate) effect_->process(effect_, nullptr, outputs_, frames);
        else effect_->processReplacing(effect_, nullptr, outputs_, frames);
        bool sound = false;
        for (int c = 0; c < outputs; ++c) {
            const float* out = outputs_[c];
            for (int i = 0; i < frames; ++i) {
                if (!std::isfinite(out[i])) fail("a sample is not finite", out[i]);
                else if (std::fabs(out[i]) > kOutputBound) fail("a sample exceeds the bound", out[i]);
                sound = sound || out[i] != 0.0f;
                peak = std::max(peak, std::fabs(out[i]));
            }
        }
        return sound;
    }

    float peak = 0.0f;

private:
    vst::AEffect* effect_;
    std::vector<float> storage_;
    float* outputs_[kMaxOutputs];
};

// One block's events, some of them malformed, and the list that carries them.
class EventList {
public:
    void fill(Random& random, int blockFrames) {
        const int count = random.below(12);
        for (int e = 0; e < count && e < kCapacity; ++e) {
            vst::VstMidiEvent& m = midi_[e];
            std::memset(&m, 0, sizeof(m));
            m.type = random.chance(90) ? vst::kVstMidiType : random.below(10) - 2;
            m.byteSize = random.chance(90) ? static_cast<vst::VstInt32>(sizeof(m)) : random.below(64) - 8;
            m.deltaFrames = random.chance(85) ? random.below(blockFrames) : random.below(100000) - 50000;
            static const int kinds[] = {0x90, 0x90, 0x90, 0x80, 0xB0, 0xB0, 0xC0, 0xE0, 0xF0};
            const int status = random.chance(95) ? kinds[random.below(9)] | random.below(16) : random.below(256);
            m.midiData[0] = static_cast<char>(status);
            m.midiData[1] = static_cast<char>(random.chance(90) ? random.below(128) : random.below(256));
            m.midiData[2] = static_cast<char>(random.chance(90) ? 1 + random.below(127) : random.below(256));
            list_.events[e] = random.chance(97) ? reinterpret_cast<vst::VstEvent*>(&m) : nullptr;
        }
        list_.numEvents = random.chance(97) ? count : -random.below(1000);
    }
    void noteOn(int channel, int note, int velocity, int frame) {
        midi_[0] = host::PluginInstance::midiEvent(frame, 0x90 | channel, note, velocity);
        list_.events[0] = reinterpret_cast<vst::VstEvent*>(&midi_[0]);
        list_.numEvents = 1;
    }
    vst::VstEvents* events() { return reinterpret_cast<vst::VstEvents*>(&list_); }

private:
    static constexpr int kCapacity = 16;
    struct {
        vst::VstInt32 numEvents;
        vst::VstIntPtr reserved;
        vst::VstEvent* events[kCapacity];
    } list_{};
    vst::VstMidiEvent midi_[kCapacity];
};

void setRandomParameter(Instance& instance, Random& random) {
    vst::AEffect* e = instance.effect();
    // The 88 parameters, the command indices above them, and nonsense.
    const int index = random.chance(90) ? random.below(99) : random.below(2000) - 1000;
    float value = random.parameterValue();
    if (index == 89 && random.chance(50)) value = 0.125f;  // learning on
    if (index == 90 || index == 91) value = static_cast<float>(random.below(300) - 100);
    e->setParameter(e, index, value);
    const float back = e->getParameter(e, index);
    if (index >= 0 && index < 88 && index != 55 && !(back >= 0.0f && back <= 1.0f))
        fail("a parameter reads back outside [0, 1]", back);
}

// Plays one instance hard, with a second thread automating it, then stops
// the notes and waits for silence.
void playSession(Instance& instance, Random& random, double seconds) {
    float rate = random.rate();
    int block = 1 + random.below(8192);
    instance.start(rate, block);
    // Snare and hihat only ever raise their lifetimes in samples, also when
    // the rate falls: the wait for silence counts at the highest rate used.
    float highestRate = rate;
    EventList events;

    std::atomic<bool> stop{false};
    std::thread automation([&instance, &stop, seed = random.engine()] {
        Random own(seed);
        while (!stop.load(std::memory_order_relaxed)) {
            if (own.chance(5)) instance.dispatch(vst::effSetProgram, 0, own.below(20) - 2);
            else setRandomParameter(instance, own);
            if (own.chance(10)) std::this_thread::yield();
        }
    });

    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until && !failed) {
        if (random.chance(5)) {
            rate = random.chance(90) ? random.rate() : random.parameterValue() * 1e6f;
            instance.dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
            if (rate >= kMinRate && rate <= kMaxRate) highestRate = std::max(highestRate, rate);
        }
        if (random.chance(5)) {
            block = 1 + random.below(8192);
            instance.dispatch(vst::effSetBlockSize, 0, random.chance(95) ? block : random.below(100) - 50);
        }
        if (random.chance(2)) {
            instance.dispatch(vst::effMainsChanged, 0, 0);
            instance.dispatch(vst::effMainsChanged, 0, 1);
        }
        for (int p = random.below(4); p > 0; --p) setRandomParameter(instance, random);
        // Mostly up to the announced size, sometimes beyond it.
        const int frames = random.chance(90) ? 1 + random.below(block) : 1 + random.below(kMaxFrames);
        events.fill(random, frames);
        instance.dispatch(vst::effProcessEvents, 0, 0, events.events());
        instance.render(frames, random.chance(10));
    }
    stop = true;
    automation.join();

    // Silence: no events, no changes, one rate. Every voice ends at the end
    // of the block that reaches its lifetime.
    rate = random.rate();
    instance.dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
    highestRate = std::max(highestRate, rate);
    events.noteOn(0, 36, 127, 0);
    instance.dispatch(vst::effProcessEvents, 0, 0, events.events());
    const double lifetimeFrames = kLongestLifetimeSeconds * highestRate + 2.0 * kMaxFrames;
    for (double rendered = 0; rendered < lifetimeFrames && !failed;) {
        const int frames = 1 + random.below(kMaxFrames);
        instance.render(frames);
        rendered += frames;
    }
    for (int b = 0; b < 4 && !failed; ++b)
        if (instance.render(1 + random.below(kMaxFrames))) fail("sound after the longest lifetime, at rate", rate);
}

// Every opcode from -10 to 200 (except effClose) with null and zeroed
// pointers and a spread of index, value and opt; audio in between.
void callEveryOpcode(Instance& instance) {
    std::vector<unsigned char> zeroed(1 << 16);
    const vst::VstInt32 indices[] = {0, 1, -1, 87, 1000};
    const vst::VstIntPtr values[] = {0, 1, -1, 4096};
    const float opts[] = {0.0f, 44100.0f, std::numeric_limits<float>::quiet_NaN()};
    instance.start(44100.0f, 512);
    for (vst::VstInt32 opcode = -10; opcode <= 200 && !failed; ++opcode) {
        if (opcode == vst::effClose) continue;
        // Pointers passed in value: only null or the zeroed buffer.
        const bool valueIsPointer = opcode == vst::effSetSpeakerArrangement || opcode == vst::effGetSpeakerArrangement;
        for (vst::VstInt32 index : indices) {
            for (vst::VstIntPtr value : values) {
                for (float opt : opts) {
                    for (bool null : {true, false}) {
                        std::fill(zeroed.begin(), zeroed.end(), 0);
                        vst::VstIntPtr v = value;
                        if (valueIsPointer) v = value == 0 ? 0 : reinterpret_cast<vst::VstIntPtr>(zeroed.data());
                        instance.dispatch(opcode, index, v, null ? nullptr : zeroed.data(), opt);
                    }
                }
            }
        }
        instance.dispatch(vst::effMainsChanged, 0, 1);
        instance.render(64);
        instance.render(700);
    }
}

// Instances come and go, several alive at once, each used a little.
void createAndDestroy(const host::PluginModule& module, Random& random, int total) {
    std::vector<std::unique_ptr<Instance>> alive;
    EventList events;
    for (int created = 0; created < total && !failed;) {
        if (alive.size() < 8 && (alive.empty() || random.chance(60))) {
            alive.push_back(std::make_unique<Instance>(module));
            ++created;
            if (!alive.back()->ok()) return;
            alive.back()->start(random.rate(), 1 + random.below(2048));
        } else {
            alive.erase(alive.begin() + random.below(static_cast<int>(alive.size())));
        }
        for (auto& instance : alive) {
            setRandomParameter(*instance, random);
            events.fill(random, 256);
            instance->dispatch(vst::effProcessEvents, 0, 0, events.events());
            instance->render(1 + random.below(256));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 5074u;
    unsetenv("DISPLAY");  // an editor opened on a zeroed "window" must find no display

    std::string error;
    auto module = host::PluginModule::load(TAMBORIK_MODULE_PATH, &error);
    if (!module) {
        std::fprintf(stderr, "torture: %s\n", error.c_str());
        return 1;
    }
    Random random(seed);
    const auto started = Clock::now();
    createAndDestroy(*module, random, 200);
    {
        Instance instance(*module);
        if (instance.ok()) callEveryOpcode(instance);
    }
    // The rest of the time in sessions of a few seconds each, three
    // instances alive at once so they share the process's MIDI-learn map.
    float peak = 0.0f;
    int sessions = 0;
    const auto until = started + std::chrono::duration<double>(seconds);
    do {
        Instance first(*module), second(*module), third(*module);
        if (!first.ok() || !second.ok() || !third.ok()) break;
        const double left = std::chrono::duration<double>(until - Clock::now()).count();
        const double length = std::min(4.0, std::max(0.5, left));
        for (Instance* instance : {&first, &second, &third}) {
            playSession(*instance, random, length / 3.0);
            peak = std::max(peak, instance->peak);
        }
        ++sessions;
    } while (Clock::now() < until && !failed);

    const double took = std::chrono::duration<double>(Clock::now() - started).count();
    std::printf("torture: 200 instances, opcodes -10 to 200, %d sessions of three instances, peak %g, %.1f s%s\n",
                sessions, peak, took, failed ? ", FAILED" : "");
    return failed ? 1 : 0;
}
