// The skeleton every voice shares: volume and pan, the meter, onsets,
// mono routing and independence from the block size.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/ClapVoice.h"
#include "dsp/HihatVoice.h"
#include "dsp/KickVoice.h"
#include "dsp/SnareVoice.h"
#include "support/VoiceHarness.h"

namespace {

using testing_support::Hit;
using testing_support::VoiceHarness;

void soundKick(dsp::KickVoice& kick) {
    kick.setFrequency(0.35f);
    kick.setSweep(0.1f);
    kick.setDecay(0.3f);
    kick.setSweepDecay(0.06f);
    kick.setThump(0.26f);
    kick.setKeyMode(0.0f);
}

TEST(DrumVoice, VolumeAndPanFollowTheirLaws) {
    dsp::KickVoice voice;
    voice.setVolume(0.0f);
    EXPECT_EQ(voice.volume(), 0.0f);
    voice.setVolume(-0.5f);
    EXPECT_EQ(voice.volume(), 0.0f);
    voice.setVolume(1.0f);
    EXPECT_NEAR(voice.volume(), std::pow(10.0, 0.3), 1e-6);
    voice.setVolume(7.0f);
    EXPECT_NEAR(voice.volume(), std::pow(10.0, 0.3), 1e-6);
    voice.setVolume(40.0f / 46.0f);
    EXPECT_NEAR(voice.volume(), 1.0f, 1e-6f);
    voice.setVolume(20.0f / 23.0f);
    EXPECT_NEAR(voice.volume(), 1.0f, 1e-6f);

    voice.setPan(0.5f);
    EXPECT_EQ(voice.panLeft(), 0.5f);
    EXPECT_EQ(voice.panRight(), 0.5f);
    voice.setPan(-1.0f);
    EXPECT_EQ(voice.panLeft(), 1.0f);
    EXPECT_EQ(voice.panRight(), 0.0f);
    voice.setPan(2.0f);
    EXPECT_EQ(voice.panLeft(), 0.0f);
    EXPECT_EQ(voice.panRight(), 1.0f);
}

TEST(DrumVoice, StartsExactlyAtTheTriggerFrameAndIsSilentWhileIdle) {
    VoiceHarness<dsp::KickVoice> idle;
    soundKick(idle.voice);
    auto silent = idle.render({}, 2048);
    EXPECT_EQ(testing_support::peakOf(silent.left), 0.0f);

    for (int frame : {0, 255, 256, 700}) {
        VoiceHarness<dsp::KickVoice> h;
        soundKick(h.voice);
        auto out = h.render({{frame, 1.0f, 0.0f}}, 2048);
        // Blocks before the trigger's block are exactly silent; inside it,
        // only the denormal guard's offset rings in the body before the hit.
        const int blockStart = frame / 256 * 256;
        EXPECT_EQ(testing_support::peakOf(out.left, 0, static_cast<size_t>(blockStart)), 0.0f);
        EXPECT_LT(testing_support::peakOf(out.left, 0, static_cast<size_t>(frame)), 2e-3f);
        EXPECT_GT(std::abs(out.left[static_cast<size_t>(frame)]), 0.05f) << frame;
    }
}

TEST(DrumVoice, MonoNeverWritesTheRightOutputAndStereoPans) {
    VoiceHarness<dsp::SnareVoice> mono;
    mono.voice.setDecay(0.5f);
    mono.voice.setNoiseDecay(0.5f);
    mono.voice.setThump(0.5f);
    auto a = mono.render({{10, 1.0f, 0.0f}}, 1024, false);
    EXPECT_GT(testing_support::peakOf(a.left), 0.01f);
    EXPECT_EQ(testing_support::peakOf(a.right), 0.0f);

    VoiceHarness<dsp::SnareVoice> panned;
    panned.voice.setDecay(0.5f);
    panned.voice.setNoiseDecay(0.5f);
    panned.voice.setThump(0.5f);
    panned.voice.setPan(0.25f);
    auto b = panned.render({{10, 1.0f, 0.0f}}, 1024, true);
    for (size_t i = 0; i < a.left.size(); ++i) {
        ASSERT_FLOAT_EQ(b.left[i], a.left[i] * 0.75f);
        ASSERT_FLOAT_EQ(b.right[i], a.left[i] * 0.25f);
    }
}

TEST(DrumVoice, GivesTheSameSoundWhateverTheBlockSize) {
    // Only the per-block sign of the denormal offset may differ. The kick's
    // body resonates so low and so long that the offset's pattern still shows
    // at about -50 dB.
    auto renderWith = [](int block) {
        VoiceHarness<dsp::KickVoice> h(44100.0f, block);
        soundKick(h.voice);
        return h.render({{5, 1.0f, 0.0f}, {3000, 0.6f, 0.0f}}, 8000, true, block).left;
    };
    auto reference = renderWith(1);
    EXPECT_GT(testing_support::peakOf(reference), 0.2f);
    for (int block : {3, 64, 256, 1000}) {
        auto other = renderWith(block);
        for (size_t i = 0; i < reference.size(); ++i)
            ASSERT_NEAR(other[i], reference[i], 1e-2f) << "block " << block << " frame " << i;
    }

    // A snare has no such low resonance: its samples agree far more closely.
    // Its noise runs only while the voice is active, from the start of the
    // block of the first hit, so the first hit sits at a block start.
    auto snareWith = [](int block) {
        VoiceHarness<dsp::SnareVoice> h(44100.0f, block);
        h.voice.setFrequency(0.3f);
        h.voice.setDecay(0.7f);
        h.voice.setNoiseDecay(0.5f);
        h.voice.setThump(0.6f);
        return h.render({{0, 1.0f, 0.0f}, {907, 0.5f, 0.0f}}, 3000, false, block).left;
    };
    auto snare = snareWith(1);
    for (int block : {5, 128, 2048}) {
        auto other = snareWith(block);
        for (size_t i = 0; i < snare.size(); ++i) ASSERT_NEAR(other[i], snare[i], 1e-4f) << block;
    }
}

TEST(DrumVoice, MeterShowsAHitAndFallsUntilItSnapsToZero) {
    VoiceHarness<dsp::ClapVoice> h(44100.0f, 512);
    h.voice.setDecay(0.5f);
    EXPECT_EQ(h.voice.takeMeterLevel(), 0.0f);
    h.voice.trigger();
    EXPECT_EQ(h.voice.takeMeterLevel(), 1.0f);
    EXPECT_EQ(h.voice.takeMeterLevel(), 1.0f);  // unchanged before the next block
    h.render({}, 512);
    const float decay = h.voice.meterDecay();
    EXPECT_NEAR(h.voice.takeMeterLevel(), std::pow(decay, 512.0f), 1e-4f);
    std::vector<float> shown;
    while (h.voice.takeMeterLevel() > 0.0f && shown.size() < 1000) {
        shown.push_back(h.voice.takeMeterLevel());
        h.render({}, 512);
    }
    ASSERT_GE(shown.size(), 2u);
    ASSERT_LT(shown.size(), 1000u);
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_LT(shown[i], shown[i - 1]);
    // The block that found the level below the snap point set it to zero.
    EXPECT_LT(shown.back(), 0.016f);
    EXPECT_GE(shown[shown.size() - 2], 0.016f);
}

TEST(DrumVoice, ATriggerInTheLastFrameSoundsThereAndClearsItsVelocity) {
    dsp::HihatVoice hihat;
    hihat.setBlockSize(64);
    hihat.prepare();
    hihat.setClosedDecay(0.5f);
    hihat.setOpenDecay(0.5f);
    hihat.setVolume(40.0f / 46.0f);
    std::vector<float> velocity(64, 0.0f), flag(64, 0.0f), left(64, 0.0f);
    velocity[63] = 1.0f;
    flag[63] = 1.0f;
    hihat.trigger();
    hihat.process({velocity.data(), flag.data(), left.data(), nullptr}, 64);
    EXPECT_EQ(testing_support::firstAudible(left), 63);
    for (float v : velocity) EXPECT_EQ(v, 0.0f);
}

}  // namespace
