// A ringing resonator, retriggered without a retune, gives the samples of
// its recursion as written (an independent model of the two recursions);
// struck in step with its own ringing until that passes twice a hit, it is
// held near the bound without a click and rings down as the hits stop.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/DspMath.h"
#include "dsp/PingResonator.h"
#include "dsp/SweptResonator.h"

namespace {

using dsp::UnitBlock;

constexpr float kRate = 44100.0f;
constexpr float kPeriod = 1.0f / kRate;

float clavesTable(int note) { return 16.35f * std::pow(2.0f, note / 12.0f); }

// The two recursions as they were written, one block per call.
struct WrittenPing {
    explicit WrittenPing(float tau, float hz) {
        r = dsp::expExtended(-kPeriod / tau);
        a1 = 2.0f * r * dsp::trueCos(dsp::kTwoPi * hz * kPeriod);
        a2 = -(r * r);
        gain = (r * r + 1.0f - a1) / hz * 8.0f;
    }
    void process(const float* x, const float* pitch, float* out, int frames, bool keyMode) {
        d = -d;
        const float w = dsp::kTwoPi * kPeriod;
        for (int i = 0; i < frames; ++i) {
            if (keyMode && x[i] > 0.0f) {
                const float f = pitch[i];
                float u = f * w;
                u = std::min(u * u, dsp::kMaxStablePolyU);
                a1 = dsp::polyCosScaled(u, 2.0f * r);
                a2 = -(r * r);
                gain = (r * r + 1.0f - a1) / f * 8.0f;
            }
            const float y = a2 * y2 + a1 * y1 + x[i] * gain + d;
            y2 = y1;
            y1 = y;
            out[i] = y;
        }
    }
    float y1 = 0, y2 = 0, a1, a2, gain, r, d = 1e-10f;
};

struct WrittenSwept {
    explicit WrittenSwept(float tau) {
        r = dsp::expExtended(-kPeriod / tau);
        twoR = 2.0f * r;
        a2 = -(r * r);
    }
    void process(const float* x, const float* frequency, float* out, int frames) {
        d = -d;
        const float w = dsp::kTwoPi * kPeriod;
        for (int i = 0; i < frames; ++i) {
            const float f = frequency[i];
            float u = w * f;
            u = std::min(u * u, dsp::kMaxStablePolyU);
            const float a1 = dsp::polyCosScaled(u, twoR);
            const float gain = ((1.0f - a2) - a1) / f * 8.0f;
            const float y = a1 * y1 + a2 * y2 + gain * x[i] + d;
            y2 = y1;
            y1 = y;
            out[i] = 8.0f * y;
        }
    }
    float y1 = 0, y2 = 0, a2, r, twoR, d = 1e-10f;
};

void tune(dsp::PingResonator& p, float tau, float hz, float keyMode) {
    p.setSampleRate(kRate);
    p.setDecayTime(tau);
    p.reset();
    p.setFrequency(hz);
    p.setKeyMode(keyMode);
}

TEST(WrittenRecursion, WithoutARetuneTheRecursionsGiveTheirWrittenSamples) {
    const int frames = 4096;
    for (float tau : {0.0001f, 0.005f, 0.05f}) {
        for (bool keyMode : {false, true}) {
            for (int note : {0, 60, 127}) {
                dsp::PingResonator p;
                tune(p, tau, 1000.0f, keyMode ? 1.0f : 0.0f);
                WrittenPing written(tau, 1000.0f);
                std::vector<float> x(frames), pitch(frames, clavesTable(note)), out(frames), expected(frames);
                x[3] = 0.7f;
                for (int block = 0; block < 4; ++block) {
                    p.process(UnitBlock{x.data(), pitch.data(), out.data()}, frames);
                    written.process(x.data(), pitch.data(), expected.data(), frames, keyMode);
                    ASSERT_EQ(out, expected) << tau << " " << keyMode << " " << note;
                    x[3] = 0.0f;
                }
            }
        }
    }
    // The kick's body through a glide from 320 Hz down to 40 Hz.
    for (float tau : {0.005f, 0.1f, 0.405f}) {
        dsp::SweptResonator body;
        body.setSampleRate(kRate);
        body.setDecayTime(tau);
        WrittenSwept written(tau);
        std::vector<float> x(frames), frequency(frames), out(frames), expected(frames);
        x[10] = 1.0f;
        for (int block = 0; block < 4; ++block) {
            for (int i = 0; i < frames; ++i)
                frequency[i] = 280.0f * std::exp(-(block * frames + i) / 1000.0f) + 40.0f;
            body.process(UnitBlock{x.data(), frequency.data(), out.data()}, frames);
            written.process(x.data(), frequency.data(), expected.data(), frames);
            ASSERT_EQ(out, expected) << tau;
            x[10] = 0.0f;
        }
    }
}

TEST(WrittenRecursion, RetriggersWithoutARetuneAddUpAsTheRecursionDoes) {
    const int frames = 8192;
    dsp::PingResonator p;
    tune(p, 0.05f, 800.0f, 0.0f);
    WrittenPing written(0.05f, 800.0f);
    std::vector<float> x(frames), pitch(frames), out(frames), expected(frames);
    for (int i = 0; i < frames; i += 1500) x[i] = 1.0f;
    p.process(UnitBlock{x.data(), pitch.data(), out.data()}, frames);
    written.process(x.data(), pitch.data(), expected.data(), frames, false);
    // Only the rounding of two recursions instead of one, below -80 dB.
    float peak = 0.0f;
    for (float sample : expected) peak = std::max(peak, std::abs(sample));
    for (int i = 0; i < frames; ++i) ASSERT_NEAR(out[i], expected[i], 1e-4f * peak) << i;
}

// Hits every period of the resonance pile up as written. Where the bound
// acts, the output keeps the recursion's sign and stays below three hits;
// outside a hit's onset no sample steps further from the one before than a
// sine of three hits can: no click, where the bound acts or after it. The
// output stays near the bound while the hits go on, and falls at the
// resonator's own decay when they stop.
TEST(WrittenRecursion, PumpedPastTwiceAHitItIsHeldWithoutAClickAndRingsDown) {
    struct Case {
        float hz, tau;
        int period, hits;
    };
    for (const Case c : {Case{882.0f, 0.05f, 50, 400}, Case{110.25f, 0.4f, 400, 200}, Case{11025.0f, 0.01f, 4, 3000}}) {
        dsp::PingResonator p;
        tune(p, c.tau, c.hz, 0.0f);
        const float hit = p.boundReference();
        const float r = dsp::expExtended(-kPeriod / c.tau);
        const float steepest = 3.0f * hit * (2.0f * std::sin(dsp::kTwoPi * c.hz * kPeriod / 2.0f) + (1.0f - r));
        const int rolled = c.period * c.hits, frames = rolled + static_cast<int>(10.0f * c.tau * kRate);
        std::vector<float> out(static_cast<size_t>(frames));
        int held = 0;
        dsp::PingResonator::Run run = p.begin();
        for (int i = 0; i < frames; ++i) {
            const bool struck = i < rolled && i % c.period == 0;
            const float excitation = struck ? dsp::RingBound::kLoudestVelocity : 0.0f;
            const float own = dsp::PingResonator::ring(run.y1, run.y2, run.a1, run.a2, excitation, run.gain, run.d);
            const float x = out[static_cast<size_t>(i)] = run.step(excitation, nullptr, i);
            if (std::abs(own) <= 2.0f * hit) {
                ASSERT_EQ(x, own) << c.hz << " Hz, frame " << i;
            } else {
                ++held;
                ASSERT_LT(std::abs(x), 3.0f * hit) << c.hz << " Hz, frame " << i;
                ASSERT_EQ(std::signbit(x), std::signbit(own)) << c.hz << " Hz, frame " << i;
            }
            const bool onset = i < rolled + c.period && i % c.period < 2;  // a hit's first two samples
            if (i > 0 && !onset) {
                ASSERT_LE(std::abs(x - out[static_cast<size_t>(i) - 1]), steepest) << c.hz << " Hz, frame " << i;
            }
        }
        p.end(run);
        EXPECT_GT(held, 0) << c.hz << " Hz";
        const auto peak = [&](int from, int to) {
            float m = 0.0f;
            for (int i = from; i < to; ++i) m = std::max(m, std::abs(out[static_cast<size_t>(i)]));
            return m;
        };
        EXPECT_GE(peak(rolled - 4 * c.period, rolled), 2.0f * hit) << c.hz << " Hz";
        const float atStop = peak(rolled, rolled + c.period);
        for (int n = c.period; rolled + n + c.period <= frames; n += c.period)
            ASSERT_LE(peak(rolled + n, rolled + n + c.period), atStop * std::pow(r, n - c.period) * 1.001f + 1e-6f)
                << c.hz << " Hz, " << n << " frames after the last hit";
    }
}

}  // namespace
