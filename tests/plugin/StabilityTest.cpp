// Every note at every extreme setting and sample rate gives finite samples.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "support/QuietHost.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace {

using testing_support::quietHost;

float pitchFor(plugin::DrumEngine& engine, int voice, int note) {
    const plugin::PitchTables& tables = engine.pitchTables();
    switch (voice) {
    case plugin::kSnare1:
    case plugin::kSnare2: return tables.snare(note);
    case plugin::kClaves: return tables.claves(note);
    case plugin::kHihat: return note % 2 ? 1.0f : 0.0f;
    default: return tables.low(note);
    }
}

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

}  // namespace
