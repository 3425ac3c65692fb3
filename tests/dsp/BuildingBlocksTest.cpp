#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/AttackDecayEnvelope.h"
#include "dsp/BandpassResonator.h"
#include "dsp/DecayEnvelope.h"
#include "dsp/DspMath.h"
#include "dsp/HighpassResonator.h"
#include "dsp/NoiseSource.h"
#include "dsp/PingResonator.h"
#include "dsp/SawBank.h"
#include "dsp/SweptResonator.h"

namespace {

using dsp::UnitBlock;

// Steady-state peak of a filter's response to a sine of the given frequency.
template <typename Filter>
float sineGain(Filter& filter, float hz, float rate = 44100.0f) {
    const int frames = 1 << 15;
    std::vector<float> in(frames), out(frames);
    for (int i = 0; i < frames; ++i) in[i] = static_cast<float>(std::sin(2.0 * M_PI * hz * i / rate));
    filter.process(UnitBlock{in.data(), nullptr, out.data()}, frames);
    float peak = 0.0f;
    for (int i = frames / 2; i < frames; ++i) peak = std::max(peak, std::abs(out[i]));
    return peak;
}

TEST(NoiseSource, FollowsTheCongruentialSequenceFromItsSeed) {
    dsp::NoiseSource noise;
    float out[3];
    noise.process(UnitBlock{nullptr, nullptr, out}, 3);
    EXPECT_FLOAT_EQ(out[0], 79177777.0f / 8589934592.0f);
    EXPECT_NEAR(out[0], 0.0092175, 1e-7);
    // The product wraps as a signed 32-bit value.
    const std::int32_t second = static_cast<std::int32_t>(79177777u * 16807u);
    EXPECT_EQ(out[1], static_cast<float>(second) / 8589934592.0f);
    for (int i = 0; i < 100000; ++i) {
        float sample;
        noise.process(UnitBlock{nullptr, nullptr, &sample}, 1);
        ASSERT_GE(sample, -0.25f);
        ASSERT_LT(sample, 0.25f);
    }
}

TEST(DecayEnvelope, TriggerModeRestartsAtOneAndAccumulateModeAddsVelocity) {
    dsp::DecayEnvelope trigger;
    trigger.setCoefficient(0.5f);
    float in[4] = {0.3f, 0.2f, 0.0f, 0.0f};
    float out[4];
    trigger.process(UnitBlock{in, nullptr, out}, 4);
    EXPECT_EQ(out[0], 1.0f);  // whatever the velocity
    EXPECT_EQ(out[1], 1.0f);  // a second trigger one sample later
    EXPECT_NEAR(out[2], 0.5f, 1e-6f);
    EXPECT_NEAR(out[3], 0.25f, 1e-6f);

    dsp::DecayEnvelope accumulate;
    accumulate.setCoefficient(0.5f);
    float hits[3] = {0.4f, 0.9f, 0.0f};
    accumulate.accumulate(UnitBlock{hits, nullptr, out}, 3);
    EXPECT_NEAR(out[0], 0.4f, 1e-6f);  // a soft hit starts low
    EXPECT_EQ(out[1], 1.0f);           // piled-up hits stop at 1
    EXPECT_NEAR(out[2], 0.5f, 1e-6f);
}

TEST(AttackDecayEnvelope, SwitchesToDecayAtExactlyNinetyPercentOfThePeak) {
    dsp::AttackDecayEnvelope envelope;
    const float ka = 0.9f;
    envelope.setAttackCoefficient(ka);
    envelope.setDecayCoefficient(0.5f);
    std::vector<float> in(64, 0.0f), out(64);
    in[0] = 1.0f;
    envelope.process(UnitBlock{in.data(), nullptr, out.data()}, 64);
    // 1 - 0.9^n first reaches 0.9 at n = 22.
    int n = 1;
    float residual = ka;
    while (1.0f - residual < 0.9f) {
        residual *= ka;
        ++n;
    }
    for (int i = 0; i < n - 1; ++i) EXPECT_LT(out[i], 0.9f) << i;
    EXPECT_EQ(out[n - 1], 0.9f);
    EXPECT_NEAR(out[n], 0.45f, 1e-6f);

    // Without a trigger an envelope that never started stays silent.
    dsp::AttackDecayEnvelope idle;
    std::vector<float> zeros(8, 0.0f);
    idle.process(UnitBlock{zeros.data(), nullptr, out.data()}, 8);
    for (int i = 0; i < 8; ++i) EXPECT_LT(std::abs(out[i]), 1e-9f);
}

TEST(Resonators, HighpassHasGainTwoAndBandpassGainOneAtTheirFrequency) {
    for (float q : {1.0f, 3.0f, 21.0f}) {
        for (float hz : {500.0f, 2000.0f, 8000.0f}) {
            dsp::HighpassResonator highpass;
            highpass.setFrequency(hz);
            highpass.setQ(q);
            EXPECT_NEAR(sineGain(highpass, hz), 2.0f, 0.02f) << hz << " Hz, Q " << q;

            dsp::BandpassResonator bandpass;
            bandpass.setFrequency(hz);
            bandpass.setQ(q);
            EXPECT_NEAR(sineGain(bandpass, hz), 1.0f, 0.01f) << hz << " Hz, Q " << q;
        }
    }
    // A high-pass passes little well below its frequency.
    dsp::HighpassResonator highpass;
    highpass.setFrequency(4000.0f);
    highpass.setQ(1.0f);
    EXPECT_LT(sineGain(highpass, 250.0f), 0.02f);
}

TEST(Resonators, HighpassAtOrAboveHalfTheSampleRateStaysFinite) {
    dsp::HighpassResonator highpass;
    highpass.setSampleRate(8000.0f);
    highpass.setFrequency(16000.0f);  // a whole multiple of the rate
    highpass.setQ(6.0f);
    std::vector<float> in(4096, 0.0f), out(4096);
    in[0] = 1.0f;
    highpass.process(UnitBlock{in.data(), nullptr, out.data()}, 4096);
    for (float sample : out) ASSERT_TRUE(std::isfinite(sample));
}

TEST(Resonators, HighpassFarBelowTheSampleRateNeverDividesByZero) {
    // At 100 MHz, cos(theta) of 200 Hz rounds to 1 in single precision.
    dsp::HighpassResonator highpass;
    highpass.setSampleRate(1e8f);
    highpass.setFrequency(200.0f);
    highpass.setQ(1.0f);
    std::vector<float> in(4096, 0.0f), out(4096);
    in[0] = 1.0f;
    highpass.process(UnitBlock{in.data(), nullptr, out.data()}, 4096);
    for (float sample : out) ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) <= 2.0f) << sample;
}

TEST(Resonators, LowNotesWithLongDecaysStayStableAtTheHighestRate) {
    // At 768 kHz the cosine of a low note rounds to 1 and r*r rounds down:
    // as written, a Key Mode snare ping or a slow kick body grew to infinity
    // after some 400 000 samples.
    for (float hz : {4.0875f, 8.0f, 16.0f}) {
        dsp::PingResonator ping;
        ping.setSampleRate(768000.0f);
        ping.setDecayTime(0.011f);
        ping.reset();
        ping.setKeyMode(1.0f);
        dsp::SweptResonator body;
        body.setSampleRate(768000.0f);
        body.setDecayTime(0.405f);
        dsp::BuildingBlock* units[] = {&ping, &body};
        std::vector<float> hit(4096, 0.0f), pitch(4096, hz), out(4096);
        float peak = 0.0f;
        for (int block = 0; block < 120; ++block) {
            hit[0] = block == 0 ? 1.0f : 0.0f;
            for (dsp::BuildingBlock* unit : units) {
                unit->process(UnitBlock{hit.data(), pitch.data(), out.data()}, 4096);
                for (float sample : out) peak = std::max(peak, std::isfinite(sample) ? std::fabs(sample) : 1e30f);
            }
        }
        EXPECT_LT(peak, 1.0f) << hz << " Hz";
    }
}

TEST(PingResonator, IgnoresThePitchBufferOutsideKeyMode) {
    dsp::PingResonator fixed, fed;
    for (auto* ping : {&fixed, &fed}) {
        ping->setDecayTime(0.01f);
        ping->reset();
        ping->setFrequency(800.0f);
    }
    std::vector<float> impulse(512, 0.0f), noPitch(512, 0.0f), pitch(512, 5000.0f), a(512), b(512);
    impulse[3] = 1.0f;
    fixed.process(UnitBlock{impulse.data(), noPitch.data(), a.data()}, 512);
    fed.process(UnitBlock{impulse.data(), pitch.data(), b.data()}, 512);
    EXPECT_EQ(a, b);
    EXPECT_EQ(fed.currentFrequency(), 800.0f);
}

TEST(PingResonator, RetunesToThePitchAtEachTriggerInKeyMode) {
    dsp::PingResonator ping;
    ping.setDecayTime(0.05f);
    ping.setKeyMode(1.0f);
    std::vector<float> impulse(4096, 0.0f), pitch(4096, 0.0f), out(4096);
    impulse[0] = 1.0f;
    pitch[0] = 441.0f;
    ping.process(UnitBlock{impulse.data(), pitch.data(), out.data()}, 4096);
    EXPECT_EQ(ping.currentFrequency(), 441.0f);
    // A ringing 441 Hz tone crosses zero upwards every 100 samples.
    std::vector<int> crossings;
    for (int i = 1; i < 4096; ++i)
        if (out[i - 1] < 0.0f && out[i] >= 0.0f) crossings.push_back(i);
    ASSERT_GE(crossings.size(), 5u);
    EXPECT_NEAR(crossings[4] - crossings[3], 100, 1);
}

TEST(PolynomialCosine, StaysWithinOneUpToTheStabilityLimitOnly) {
    EXPECT_GE(dsp::polyCosScaled(dsp::kMaxStablePolyU, 1.0f), -1.0f);
    EXPECT_LT(dsp::polyCosScaled(dsp::kMaxStablePolyU * 1.01f, 1.0f), -1.0f);
    // Far below the limit the polynomial is the cosine.
    EXPECT_NEAR(dsp::polyCosScaled(0.25f, 1.0f), std::cos(0.5f), 1e-6f);
}

TEST(SweptResonator, SweptToTheTopStaysFinite) {
    dsp::SweptResonator body;
    body.setSampleRate(44100.0f);
    body.setDecayTime(0.405f);
    std::vector<float> impulse(8192, 0.0f), frequency(8192, 50000.0f), out(8192);
    impulse[0] = 1.0f;
    body.process(UnitBlock{impulse.data(), frequency.data(), out.data()}, 8192);
    for (float sample : out) ASSERT_TRUE(std::isfinite(sample));
}

TEST(SawBank, WrapsAPhaseThatLandsExactlyOnOneToMinusOne) {
    dsp::SawBank saws;
    saws.setSampleRate(4.0f);  // increments 2 f T = 0.5 for f = 1 Hz
    const float hz[dsp::SawBank::kOscillators] = {1, 1, 1, 1, 1, 1};
    saws.setFrequencies(hz);
    float out[3];
    saws.process(UnitBlock{nullptr, nullptr, out}, 3);
    EXPECT_EQ(out[0], 0.25f * 6 * 0.5f);
    EXPECT_EQ(out[1], 0.25f * 6 * -1.0f);  // 0.5 + 0.5 = 1 wraps to -1 at once
    EXPECT_EQ(out[2], 0.25f * 6 * -0.5f);
}

TEST(DenormalOffset, FlipsSignOncePerBlock) {
    dsp::DecayEnvelope envelope;  // coefficient 0: the level is the offset itself
    float in[2] = {0, 0}, out[2];
    envelope.process(UnitBlock{in, nullptr, out}, 2);
    EXPECT_EQ(out[0], -1e-8f);
    EXPECT_EQ(out[1], -1e-8f);
    envelope.process(UnitBlock{in, nullptr, out}, 2);
    EXPECT_EQ(out[0], 1e-8f);
    EXPECT_EQ(out[1], 1e-8f);
}

}  // namespace
