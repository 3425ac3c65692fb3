// Every note at every extreme setting and sample rate gives finite samples.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "support/QuietHost.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"
#include "support/VoicePitch.h"

namespace {

using testing_support::pitchFor;
using testing_support::quietHost;

TEST(Stability, NoNoteSettingOrSampleRateProducesANonFiniteSample) {
    platform::MemoryRegistry registry;
    for (float rate : {8000.0f, 11025.0f, 32000.0f, 44100.0f, 192000.0f, 768000.0f}) {
        for (float setting : {0.0f, 1.0f}) {
            for (float keyMode : {0.0f, 1.0f}) {
                plugin::DrumSynthEffect effect(&quietHost, registry, "");
                effect.setBlockSizeAndSampleRate(512, rate);
                for (int i = 0; i < plugin::kParameterCount; ++i)
                    if (i != plugin::param::kVersion && i < plugin::param::kFirstNote)
                        effect.setParameter(i, plugin::param::isKeyMode(i) ? keyMode : setting);
                for (int v = 0; v < plugin::kVoiceCount; ++v) effect.setParameter(plugin::param::volumeOf(v), 1.0f);
                std::vector<float> left(512), right(512);
                float* outputs[2] = {left.data(), right.data()};
                for (int note = 0; note < 128; note += 3) {
                    for (int v = 0; v < plugin::kVoiceCount; ++v)
                        effect.engine().startVoice(v, note % 512, 1.016f, pitchFor(effect.engine(), v, note));
                    for (int block = 0; block < 8; ++block) {
                        effect.processReplacing(nullptr, outputs, 512);
                        for (int i = 0; i < 512; ++i) {
                            ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i]))
                                << "rate " << rate << " setting " << setting << " key mode " << keyMode
                                << " note " << note;
                        }
                    }
                }
            }
        }
    }
}

// One block as a host gives it, with every voice struck at its start.
void strikeAndRender(plugin::DrumSynthEffect& effect, std::vector<float>& left, std::vector<float>& right,
                     int note) {
    vst::VstEvents none{};
    effect.processEvents(&none);  // as a host calls it first in every block
    for (int v = 0; v < plugin::kVoiceCount; ++v)
        effect.engine().startVoice(v, 0, 1.0f, pitchFor(effect.engine(), v, note));
    float* outputs[2] = {left.data(), right.data()};
    effect.processReplacing(nullptr, outputs, static_cast<int>(left.size()));
}

TEST(Stability, AnotherThreadsChangesReachTheVoicesAtTheNextBlock) {
    platform::MemoryRegistry registry;
    plugin::DrumSynthEffect direct(&quietHost, registry, ""), deferred(&quietHost, registry, "");
    std::vector<float> a(512), b(512), right(512);
    strikeAndRender(direct, a, right, 60);
    strikeAndRender(deferred, b, right, 60);
    // The same changes, once from the rendering thread and once from another.
    auto change = [](plugin::DrumSynthEffect& effect) {
        for (int i = 0; i < plugin::kParameterCount; ++i)
            if (i != plugin::param::kVersion) effect.setParameter(i, (i % 7) / 6.0f);
        effect.setProgram(3);
        effect.setParameter(plugin::param::kSnare1Base + 4, 0.9f);
        // A Key Mode takes the frequency set before it, not the one after.
        effect.setParameter(plugin::param::kKeyMode[0], 1.0f);
        effect.setParameter(plugin::param::kKick1Base + 1, 0.8f);
    };
    const int lifetime = deferred.engine().voice(plugin::kKick1).lifetime();
    change(direct);
    std::thread([&] { change(deferred); }).join();
    EXPECT_EQ(deferred.getParameter(plugin::param::kSnare1Base + 4), 0.9f);
    // Nothing reaches the voices until the rendering thread takes it.
    EXPECT_EQ(deferred.engine().voice(plugin::kKick1).lifetime(), lifetime);
    EXPECT_NE(direct.engine().voice(plugin::kKick1).lifetime(), lifetime);
    for (int block = 0; block < 20; ++block) {
        strikeAndRender(direct, a, right, 40 + block);
        strikeAndRender(deferred, b, right, 40 + block);
        ASSERT_EQ(a, b) << "block " << block;
    }
}

TEST(Stability, AutomationFromAnotherThreadWhileRenderingStaysFinite) {
    platform::MemoryRegistry registry;
    plugin::DrumSynthEffect effect(&quietHost, registry, "");
    effect.setBlockSizeAndSampleRate(256, 44100.0f);
    std::vector<float> left(256), right(256);
    strikeAndRender(effect, left, right, 36);
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        std::mt19937 random(5074);
        while (!stop) {
            const int index = static_cast<int>(random() % plugin::kParameterCount);
            if (random() % 50 == 0) effect.setProgram(static_cast<int>(random() % plugin::kProgramCount));
            else if (index != plugin::param::kVersion) effect.setParameter(index, (random() % 1001) / 1000.0f);
        }
    });
    float peak = 0.0f;
    for (int block = 0; block < 4000; ++block) {
        strikeAndRender(effect, left, right, block % 128);
        for (size_t i = 0; i < left.size(); ++i) {
            ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << "block " << block;
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        }
    }
    stop = true;
    automation.join();
    EXPECT_LT(peak, 2480.0f);  // four of every voice's loudest single hit, summed
}

}  // namespace
