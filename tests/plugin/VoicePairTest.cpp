// Voices rendered together (the two kicks, snares and Blipps, the hihat
// with the crash) give exactly the samples each gives alone: every voice is
// compared, on its own outputs, with an engine in which nothing else plays.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "plugin/DrumEngine.h"
#include "plugin/PluginInfo.h"
#include "support/VoicePitch.h"

namespace {

using plugin::DrumEngine;
using testing_support::pitchFor;

// A setting change, applied alike to every engine.
using Change = std::function<void(DrumEngine&)>;

Change randomChange(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float x = unit(random);
    // Key Mode on or off, never in between.
    const float key = unit(random) < 0.5f ? 0.0f : 1.0f;
    const int which = static_cast<int>(random() % 2);
    const int voice = static_cast<int>(random() % plugin::kVoiceCount);
    switch (random() % 20) {
    case 0: return [=](DrumEngine& e) { e.kick(which).setFrequency(x); };
    case 1: return [=](DrumEngine& e) { e.kick(which).setSweep(x); };
    case 2: return [=](DrumEngine& e) { e.kick(which).setDecay(x); };
    case 3: return [=](DrumEngine& e) { e.kick(which).setSweepDecay(x); };
    case 4: return [=](DrumEngine& e) { e.kick(which).setThump(x); };
    case 5: return [=](DrumEngine& e) { e.kick(which).setKeyMode(key); };
    case 6: return [=](DrumEngine& e) { e.snare(which).setFrequency(x); };
    case 7: return [=](DrumEngine& e) { e.snare(which).setDecay(x); };
    case 8: return [=](DrumEngine& e) { e.snare(which).setNoiseDecay(x); };
    case 9: return [=](DrumEngine& e) { e.snare(which).setKeyMode(key); };
    case 10: return [=](DrumEngine& e) { e.blipp(which).setFrequency(x); };
    case 11: return [=](DrumEngine& e) { e.blipp(which).setSweep(x); };
    case 12: return [=](DrumEngine& e) { e.blipp(which).setDecay(x); };
    case 13: return [=](DrumEngine& e) { e.blipp(which).setKeyMode(key); };
    case 14: return [=](DrumEngine& e) { e.hihat().setFrequency(x); };
    case 15: return [=](DrumEngine& e) { e.hihat().setOpenDecay(x); };
    case 16: return [=](DrumEngine& e) { e.crash().setQ(x); };
    case 17: return [=](DrumEngine& e) { e.crash().setDecay(x); };
    case 18: return [=](DrumEngine& e) { e.voice(voice).setPan(x); };
    default: return [=](DrumEngine& e) { e.voice(voice).setVolume(x); };
    }
}

struct Outputs {
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;
    explicit Outputs(int frames) : buffers(2 * plugin::kVoiceCount, std::vector<float>(frames)) {
        for (auto& b : buffers) pointers.push_back(b.data());
    }
    void clear() {
        for (auto& b : buffers) std::fill(b.begin(), b.end(), 0.0f);
    }
    std::vector<std::vector<float>> buffers;
    std::vector<float*> pointers;
};

// Plays a random stretch on all ten voices in one engine and on each voice
// alone in one engine of its own, and compares every voice's two outputs
// bit for bit after every block.
void playTogetherAndAlone(float rate, int block, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::unique_ptr<DrumEngine>> engines;
    for (int k = 0; k <= plugin::kVoiceCount; ++k) {
        engines.push_back(std::make_unique<DrumEngine>());
        engines.back()->setSampleRate(rate);
    }
    DrumEngine& together = *engines[plugin::kVoiceCount];
    std::vector<std::unique_ptr<Outputs>> outputs;
    for (size_t k = 0; k < engines.size(); ++k) outputs.push_back(std::make_unique<Outputs>(block));
    for (int n = 0; n < 300; ++n) {
        if (random() % 4 == 0) {
            const Change change = randomChange(random);
            for (auto& engine : engines) change(*engine);
        }
        for (int v = 0; v < plugin::kVoiceCount; ++v) {
            // Retriggers while ringing, now and then several in one block.
            for (int hits = 0; hits < 2; ++hits) {
                if (random() % 5 != 0) continue;
                const int frame = static_cast<int>(random() % block);
                const float velocity = static_cast<float>(1 + random() % 127) / 127.0f;
                const int note = static_cast<int>(random() % 128);
                together.startVoice(v, frame, velocity, pitchFor(together, v, note));
                engines[v]->startVoice(v, frame, velocity, pitchFor(*engines[v], v, note));
            }
        }
        for (size_t k = 0; k < engines.size(); ++k) {
            outputs[k]->clear();
            engines[k]->render(outputs[k]->pointers.data(), plugin::kTenStereo, block);
        }
        for (int v = 0; v < plugin::kVoiceCount; ++v) {
            for (int side = 0; side < 2; ++side) {
                const std::vector<float>& mixed = outputs[plugin::kVoiceCount]->buffers[2 * v + side];
                const std::vector<float>& alone = outputs[v]->buffers[2 * v + side];
                ASSERT_EQ(0, std::memcmp(mixed.data(), alone.data(), sizeof(float) * block))
                    << "voice " << v << " side " << side << " block " << n << " at " << rate << " Hz in blocks of "
                    << block;
            }
        }
    }
}

TEST(VoicePairs, EveryVoiceSoundsTheSameBesideItsPartnerAsAlone) {
    unsigned seed = 1;
    for (float rate : {44100.0f, 96000.0f})
        for (int block : {1, 7, 64, 256, 1000})
            for (int run = 0; run < 3; ++run) playTogetherAndAlone(rate, block, seed++);
}

}  // namespace
