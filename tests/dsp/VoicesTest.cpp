// What each voice class does of its own: lifetimes, the clap's bursts, the
// blipp's limiter, the hihat's shared envelope, the crash's two bands.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp/BlippVoice.h"
#include "dsp/ClapVoice.h"
#include "dsp/ClavesVoice.h"
#include "dsp/CrashVoice.h"
#include "dsp/HihatVoice.h"
#include "dsp/KickVoice.h"
#include "dsp/SnareVoice.h"
#include "support/VoiceHarness.h"

namespace {

using testing_support::peakOf;
using testing_support::VoiceHarness;

TEST(Lifetimes, MatchTheNinetyDecibelTimeAtTheShortestDecays) {
    VoiceHarness<dsp::KickVoice> kick;
    kick.voice.setDecay(0.0f);
    EXPECT_EQ(kick.voice.lifetime(), 2292);

    VoiceHarness<dsp::ClapVoice> clap;
    clap.voice.setDecay(0.0f);
    EXPECT_EQ(clap.voice.lifetime(), 458);

    VoiceHarness<dsp::ClavesVoice> claves;
    claves.voice.setDecay(0.0f);
    EXPECT_EQ(claves.voice.lifetime(), 45);

    VoiceHarness<dsp::CrashVoice> crash;
    crash.voice.setDecay(0.0f);
    // 44100 * 30 * 0.05 * ln 2 = 45851.7: fifteen halvings of the bloom's 100 ms.
    EXPECT_EQ(crash.voice.lifetime(), 45851);
}

TEST(Lifetimes, AVoiceStopsAtTheEndOfTheBlockThatReachesIt) {
    VoiceHarness<dsp::ClavesVoice> claves(44100.0f, 256);
    claves.voice.setFrequency(0.2f);
    claves.voice.setDecay(0.0f);  // 45 samples
    claves.render({{0, 1.0f, 0.0f}}, 256);
    EXPECT_FALSE(claves.voice.isActive());  // 256 > 45: the whole block rendered, then idle

    VoiceHarness<dsp::KickVoice> kick(44100.0f, 256);
    kick.voice.setDecay(0.0f);  // 2292 samples: stops after the ninth block (2304)
    kick.render({{0, 1.0f, 0.0f}}, 256 * 8);
    EXPECT_TRUE(kick.voice.isActive());
    kick.render({}, 256);
    EXPECT_FALSE(kick.voice.isActive());
    EXPECT_EQ(kick.voice.elapsed(), 0);
}

TEST(Lifetimes, SnareAndHihatOnlyEverRaiseTheirs) {
    dsp::SnareVoice snare;
    snare.setNoiseDecay(0.0f);
    snare.setDecay(1.0f);
    const int longest = snare.lifetime();
    snare.setDecay(0.0f);
    EXPECT_EQ(snare.lifetime(), longest);

    dsp::HihatVoice hihat;
    hihat.setOpenDecay(1.0f);
    const int open = hihat.lifetime();
    hihat.setOpenDecay(0.0f);
    hihat.setClosedDecay(0.0f);
    EXPECT_EQ(hihat.lifetime(), open);
}

TEST(KickVoice, ThumpFadesFromBodyToClick) {
    auto peakWithThump = [](float thump, int from, int to) {
        VoiceHarness<dsp::KickVoice> h;
        h.voice.setFrequency(0.5f);
        h.voice.setSweep(0.0f);
        h.voice.setDecay(0.5f);
        h.voice.setSweepDecay(0.1f);
        h.voice.setThump(thump);
        auto out = h.render({{0, 1.0f, 0.0f}}, 4096);
        return peakOf(out.left, from, to);
    };
    // The click rings for a tenth of a millisecond; the body for a long while.
    EXPECT_LT(peakWithThump(1.0f, 200, 4096), 1e-4f);
    EXPECT_GT(peakWithThump(1.0f, 0, 20), 0.05f);
    EXPECT_GT(peakWithThump(0.0f, 200, 4096), 0.1f);
}

TEST(KickVoice, KeyModeGlidesToTheNoteOfEachTrigger) {
    VoiceHarness<dsp::KickVoice> h(44100.0f, 512);
    h.voice.setFrequency(0.0f);
    h.voice.setSweep(0.0f);
    h.voice.setDecay(1.0f);
    h.voice.setSweepDecay(0.0f);
    h.voice.setThump(0.0f);
    h.voice.setKeyMode(1.0f);
    auto out = h.render({{0, 1.0f, 441.0f}}, 8192);
    int crossings = 0;
    for (int i = 4096; i < 8192; ++i)
        if (out.left[i - 1] < 0.0f && out.left[i] >= 0.0f) ++crossings;
    EXPECT_NEAR(crossings, 4096 / 100, 1);  // 441 Hz, not the fixed 40 Hz
}

TEST(BlippVoice, KeyModeLimitsHighSweepPeaks) {
    VoiceHarness<dsp::BlippVoice> h;
    h.voice.setFrequency(0.0f);
    h.voice.setSweep(1.0f);
    h.voice.setDecay(0.5f);
    h.voice.setSweepDecay(0.5f);
    h.voice.setKeyMode(1.0f);
    h.render({{0, 1.0f, 1000.0f}}, 1);
    EXPECT_EQ(h.voice.effectiveSweep(), 8.921875f);
    EXPECT_NEAR(h.voice.lastFrequency(), 9921.875f, 0.01f);

    VoiceHarness<dsp::BlippVoice> off;
    off.voice.setFrequency(1.0f);
    off.voice.setSweep(1.0f);
    off.voice.setDecay(0.5f);
    off.voice.setKeyMode(0.0f);
    off.render({{0, 1.0f, 1000.0f}}, 1);
    EXPECT_EQ(off.voice.effectiveSweep(), 127.0f);  // untouched without Key Mode
}

TEST(BlippVoice, AFullHitPeaksNearPointEightAndFollowsVelocity) {
    auto peakAt = [](float velocity) {
        VoiceHarness<dsp::BlippVoice> h;
        h.voice.setFrequency(0.5f);
        h.voice.setSweep(0.1f);
        h.voice.setDecay(0.3f);
        h.voice.setSweepDecay(0.1f);
        h.voice.setVolume(40.0f / 46.0f);
        return peakOf(h.render({{0, velocity, 0.0f}}, 8192).left);
    };
    EXPECT_NEAR(peakAt(1.0f), 0.8f, 0.01f);
    EXPECT_NEAR(peakAt(0.5f), 0.4f, 0.01f);
}

TEST(BlippVoice, StepsOfMoreThanOneTurnWrapInOneStep) {
    // At these rates one sample's phase step spans one turn, thousands, or so
    // many that a float phase no longer changes when one turn is subtracted.
    for (float rate : {8000.0f, 100.0f, 1.0f, 1e-5f}) {
        VoiceHarness<dsp::BlippVoice> h(rate, 64);
        h.voice.setFrequency(1.0f);
        h.voice.setSweep(1.0f);
        h.voice.setDecay(1.0f);
        const testing_support::Rendered out = h.render({{0, 1.0f, 0.0f}, {40, 1.0f, 0.0f}}, 256);
        for (float sample : out.left) ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) <= 0.81f) << rate << ": " << sample;
    }
}

TEST(ClapVoice, FiresThreeBurstsAndATail441SamplesApart) {
    VoiceHarness<dsp::ClapVoice> h(44100.0f, 128);
    h.voice.setFrequency(0.3f);
    h.voice.setQ(0.2f);
    h.voice.setDecay(1.0f);
    auto out = h.render({{100, 1.0f, 0.0f}}, 4000);
    // The energy just after each pulse exceeds the energy just before it.
    auto energy = [&](int from, int to) {
        double sum = 0;
        for (int i = from; i < to; ++i) sum += out.left[i] * out.left[i];
        return sum;
    };
    for (int pulse : {441, 882, 1323}) {
        const int at = 100 + pulse;
        EXPECT_GT(energy(at, at + 40), 2.0 * energy(at - 40, at)) << pulse;
    }
    EXPECT_LT(peakOf(out.left, 0, 100), 1e-6f);
}

TEST(ClapVoice, ShortestDecayStopsBeforeTheThirdBurst) {
    VoiceHarness<dsp::ClapVoice> h(44100.0f, 64);
    h.voice.setDecay(0.0f);  // 458 samples
    auto out = h.render({{0, 1.0f, 0.0f}}, 2000);
    EXPECT_GT(peakOf(out.left, 441, 448), 0.0f);  // the second burst still starts
    EXPECT_EQ(peakOf(out.left, 512, 2000), 0.0f);  // silent from the block after 458
}

TEST(HihatVoice, AClosedHitCutsAnOpenTailShort) {
    auto tailEnergy = [](bool closeIt) {
        VoiceHarness<dsp::HihatVoice> h;
        h.voice.setFrequency(0.3f);
        h.voice.setQ(0.2f);
        h.voice.setClosedDecay(0.0f);
        h.voice.setOpenDecay(1.0f);
        std::vector<testing_support::Hit> hits = {{0, 0.75f, 0.0f}};
        if (closeIt) hits.push_back({2000, 0.05f, 1.0f});
        auto out = h.render(hits, 12000);
        double sum = 0;
        for (int i = 6000; i < 12000; ++i) sum += out.left[i] * out.left[i];
        return sum;
    };
    EXPECT_LT(tailEnergy(true), 1e-3 * tailEnergy(false));
}

TEST(CrashVoice, UpperBandSwellsAfterTheStrike) {
    VoiceHarness<dsp::CrashVoice> h;
    h.voice.setFrequency(0.5f);
    h.voice.setQ(0.2f);
    h.voice.setDecay(0.5f);
    auto out = h.render({{0, 1.0f, 0.0f}}, 44100);
    EXPECT_GT(peakOf(out.left), 0.05f);
    EXPECT_TRUE(h.voice.isActive());
    for (float sample : out.left) ASSERT_TRUE(std::isfinite(sample));
}

}  // namespace
