// The effect object linked directly: output modes and routing, the first-block
// fallback, lifecycle changes and hostile values from a host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "support/QuietHost.h"
#include "plugin/DrumSynthEffect.h"
#include "plugin/ParameterIndex.h"

namespace {

using plugin::DrumSynthEffect;

using testing_support::quietHost;

struct Outputs {
    explicit Outputs(int count, int frames)
        : storage(static_cast<size_t>(count), std::vector<float>(static_cast<size_t>(frames), 0.0f)) {
        for (auto& channel : storage) pointers.push_back(channel.data());
    }
    float** data() { return pointers.data(); }
    float peak(int channel) const {
        float p = 0.0f;
        for (float s : storage[static_cast<size_t>(channel)]) p = std::max(p, std::abs(s));
        return p;
    }
    void fill(float value) {
        for (auto& channel : storage) std::fill(channel.begin(), channel.end(), value);
    }
    std::vector<std::vector<float>> storage;
    std::vector<float*> pointers;
};

class EffectTest : public ::testing::Test {
protected:
    std::unique_ptr<DrumSynthEffect> make(int storedMode) {
        if (storedMode >= 0) registry.writeDword(plugin::kRegistryKey, "outMode", static_cast<std::uint32_t>(storedMode));
        auto effect = std::make_unique<DrumSynthEffect>(&quietHost, registry, "/opt/vst/Tamborik.so");
        effect->setBlockSize(256);
        // Give every voice an audible sound: mid values everywhere.
        for (int i = 0; i < 55; ++i)
            if (!plugin::param::isKeyMode(i)) effect->setParameter(i, 0.5f);
        return effect;
    }
    platform::MemoryRegistry registry;
};

TEST_F(EffectTest, FirstRunWithoutSettingsUsesOneStereoPairAndStoresIt) {
    auto effect = make(-1);
    EXPECT_EQ(effect->outputMode(), plugin::kOneStereo);
    EXPECT_EQ(effect->getAeffect()->numOutputs, 2);
    EXPECT_EQ(registry.readDword(plugin::kRegistryKey, "outmode"), 2u);
    EXPECT_EQ(effect->getAeffect()->flags & 0x111, 0x110);
    EXPECT_EQ(effect->getAeffect()->uniqueID, vst::fourCharCode('5', '0', '7', '4'));
    EXPECT_EQ(effect->getAeffect()->numInputs, 0);
}

TEST_F(EffectTest, EachModeRoutesEveryVoiceToItsOwnOutputs) {
    for (int mode : {0, 1}) {
        for (int voice = 0; voice < plugin::kVoiceCount; ++voice) {
            auto effect = make(mode);
            ASSERT_EQ(effect->outputMode(), mode);
            ASSERT_EQ(effect->getAeffect()->numOutputs, mode == 0 ? 10 : 20);
            Outputs out(effect->getAeffect()->numOutputs, 256);
            out.fill(5.0f);  // processReplacing must overwrite this
            effect->engine().startVoice(voice, 10, 1.0f, 440.0f);
            effect->processReplacing(nullptr, out.data(), 256);
            for (int j = 0; j < effect->getAeffect()->numOutputs; ++j) {
                const bool own = mode == 0 ? j == voice : j / 2 == voice;
                if (own)
                    EXPECT_GT(out.peak(j), 0.0f) << "mode " << mode << " voice " << voice << " out " << j;
                else
                    EXPECT_EQ(out.peak(j), 0.0f) << "mode " << mode << " voice " << voice << " out " << j;
            }
        }
    }
}

TEST_F(EffectTest, OneStereoPairSumsVoicesTriggeredTogether) {
    auto both = make(2);
    both->engine().startVoice(plugin::kKick1, 0, 1.0f, 0.0f);
    both->engine().startVoice(plugin::kSnare1, 0, 1.0f, 0.0f);
    Outputs sum(2, 256);
    both->processReplacing(nullptr, sum.data(), 256);

    registry.clear();
    auto kick = make(2);
    kick->engine().startVoice(plugin::kKick1, 0, 1.0f, 0.0f);
    Outputs kickOnly(2, 256);
    kick->processReplacing(nullptr, kickOnly.data(), 256);

    registry.clear();
    auto snare = make(2);
    snare->engine().startVoice(plugin::kSnare1, 0, 1.0f, 0.0f);
    Outputs snareOnly(2, 256);
    snare->processReplacing(nullptr, snareOnly.data(), 256);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            ASSERT_NEAR(sum.storage[c][i], kickOnly.storage[c][i] + snareOnly.storage[c][i], 1e-5f);
    EXPECT_GT(sum.peak(0), 0.0f);
}

TEST_F(EffectTest, ProcessAddsToTheHostsBuffersAndLeavesThemAloneWhenQuiet) {
    auto effect = make(1);
    Outputs out(20, 128);
    out.fill(0.25f);
    effect->process(nullptr, out.data(), 128);
    for (int j = 0; j < 20; ++j)
        for (float s : out.storage[j]) ASSERT_EQ(s, 0.25f);
    effect->processReplacing(nullptr, out.data(), 128);
    for (int j = 0; j < 20; ++j) EXPECT_EQ(out.peak(j), 0.0f);
}

TEST_F(EffectTest, AnUnconnectedOutputAtTheFirstBlockFallsBackToOneStereoPair) {
    auto effect = make(0);
    Outputs out(10, 256);
    out.pointers[5] = nullptr;
    out.fill(3.0f);
    effect->engine().startVoice(plugin::kClaves, 0, 1.0f, 0.0f);
    effect->processReplacing(nullptr, out.data(), 256);
    EXPECT_EQ(effect->outputMode(), plugin::kOneStereo);
    EXPECT_EQ(effect->getAeffect()->numOutputs, 10);  // as announced
    EXPECT_GT(out.peak(0), 0.0f);
    EXPECT_GT(out.peak(1), 0.0f);
    for (int j = 2; j < 10; ++j) {
        if (j != 5) {
            EXPECT_EQ(out.peak(j), 3.0f) << j;  // neither cleared nor written
        }
    }
}

TEST_F(EffectTest, NullBuffersAmongTheLaterStereoPairsAreNeverWritten) {
    auto effect = make(1);
    Outputs out(20, 256);
    out.pointers[15] = nullptr;
    out.pointers[19] = nullptr;
    effect->engine().startVoice(plugin::kCrash, 0, 1.0f, 0.0f);
    effect->engine().startVoice(plugin::kHihat, 0, 1.0f, 1.0f);
    effect->processReplacing(nullptr, out.data(), 256);
    EXPECT_EQ(effect->outputMode(), plugin::kTenStereo);
    EXPECT_GT(out.peak(18), 0.0f);
    EXPECT_GT(out.peak(16), 0.0f);
    effect->processReplacing(nullptr, nullptr, 256);  // no buffers at all: nothing happens
}

TEST_F(EffectTest, BlocksLongerThanTheCapacityRenderInPieces) {
    auto longBlock = make(2);
    auto shortBlocks = make(2);
    const int frames = 1000;  // capacity is 256
    Outputs a(2, frames), b(2, frames);
    longBlock->engine().startVoice(plugin::kBlipp1, 3, 1.0f, 0.0f);
    longBlock->processReplacing(nullptr, a.data(), frames);
    shortBlocks->engine().startVoice(plugin::kBlipp1, 3, 1.0f, 0.0f);
    for (int start = 0; start < frames; start += 256) {
        float* piece[2] = {b.pointers[0] + start, b.pointers[1] + start};
        shortBlocks->processReplacing(nullptr, piece, std::min(256, frames - start));
    }
    for (int i = 0; i < frames; ++i) ASSERT_FLOAT_EQ(a.storage[0][i], b.storage[0][i]) << i;
    EXPECT_GT(a.peak(0), 0.1f);
}

TEST_F(EffectTest, ZeroFramesClearsNothingAndAdvancesNothing) {
    auto effect = make(2);
    Outputs out(2, 16);
    out.fill(1.0f);
    effect->processReplacing(nullptr, out.data(), 0);
    effect->processReplacing(nullptr, out.data(), -5);
    EXPECT_EQ(out.peak(0), 1.0f);
}

TEST_F(EffectTest, IgnoresUnusableSampleRatesAndBlockSizes) {
    auto effect = make(2);
    // Outside 8 kHz to 768 kHz the voices cannot be rendered as designed.
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), 1e-5f, 100.0f, 7999.0f, 768001.0f, 1e8f}) {
        effect->setSampleRate(rate);
        effect->setBlockSizeAndSampleRate(128, rate);
        EXPECT_EQ(effect->engine().sampleRate(), 44100.0f);
    }
    effect->setBlockSize(0);
    effect->setBlockSize(-3);
    EXPECT_EQ(effect->engine().capacity(), 128);
    for (float rate : {8000.0f, 768000.0f}) {
        effect->setSampleRate(rate);
        EXPECT_EQ(effect->engine().sampleRate(), rate);
    }
    effect->setBlockSizeAndSampleRate(512, 48000.0f);
    EXPECT_EQ(effect->engine().capacity(), 512);
    EXPECT_EQ(effect->engine().sampleRate(), 48000.0f);
    Outputs out(2, 512);
    effect->engine().startVoice(plugin::kKick1, 0, 1.0f, 0.0f);
    effect->processReplacing(nullptr, out.data(), 512);
    EXPECT_GT(out.peak(0), 0.0f);
}

TEST_F(EffectTest, ProgramSelectionIsClampedAndVoiceLevelsAreBounded) {
    auto effect = make(2);
    effect->setProgram(-3);
    EXPECT_EQ(effect->getProgram(), 0);
    effect->setProgram(40);
    EXPECT_EQ(effect->getProgram(), 15);
    EXPECT_EQ(effect->voiceLevel(10), 0.0f);
    EXPECT_EQ(effect->voiceLevel(-1), 0.0f);
    effect->engine().startVoice(plugin::kClap, 0, 1.0f, 0.0f);
    EXPECT_EQ(effect->voiceLevel(plugin::kClap), 1.0f);
    EXPECT_FLOAT_EQ(effect->getParameter(plugin::param::kVersion), 1.2f);
}

}  // namespace
