// A ringing resonator, retriggered without a retune, gives the samples of
// its recursion as written (an independent model of the two recursions).
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

}  // namespace
