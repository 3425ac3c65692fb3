// Retuning a ringing resonator: without a retune it gives the samples of its
// recursion as written; with one, the ringing it carries never grows beyond
// the rule (a ping's amplitude does not rise; the kick body's action rises
// by at most twice the new hit's).
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
float lowTable(int note) { return 4.0875f * std::pow(2.0f, note / 12.0f); }

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

TEST(Retune, WithoutARetuneTheRecursionsGiveTheirWrittenSamples) {
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

TEST(Retune, RetriggersWithoutARetuneAddUpAsTheRecursionDoes) {
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

// What the mend reads from a state: sin^2 and the squared amplitude.
double sineSquared(float a1, float r) { return 1.0 - (0.5 * a1 / r) * (0.5 * a1 / r); }
double squaredAmplitude(float y1, float y2, float a1, float r) {
    const double q = double(y1) * y1 - double(a1) * y1 * y2 + double(r) * r * y2 * y2;
    return q / sineSquared(a1, r);
}
float polyA1(float hz, float r) {
    float u = hz * (dsp::kTwoPi * kPeriod);
    return dsp::polyCosScaled(std::min(u * u, dsp::kMaxStablePolyU), 2.0f * r);
}

constexpr float kSoftest = 0.008f;  // MIDI velocity 1 on the linear curve

// For every pair of notes: rings at the first, retunes to the second with
// the softest impulse a note can give, and holds the peak of the ringing
// after the retune to what allowed(first, second, y1, y2) says from the two
// samples before it. render(first, second, excitation, out) fills out.
template <typename Render, typename Allowed>
void everyPairOfNotes(Render render, Allowed allowed) {
    const int ring = 200, after = 600;
    std::vector<float> x(ring + after), out(ring + after);
    x[0] = 1.0f;
    x[ring] = kSoftest;
    for (int first = 0; first < 128; ++first) {
        for (int second = 0; second < 128; ++second) {
            render(first, second, x, out);
            float peak = 0.0f;
            for (int i = ring; i < ring + after; ++i) peak = std::max(peak, std::abs(out[i]));
            ASSERT_LE(peak, allowed(first, second, out[ring - 1], out[ring - 2]) * 1.001 + 1e-8)
                << first << " -> " << second;
        }
    }
}

TEST(Retune, AKeyModePingNeverRingsLouderAfterARetune) {
    for (float tau : {0.0001f, 0.005f, 0.05f}) {
        const float r = dsp::expExtended(-kPeriod / tau);
        SCOPED_TRACE(tau);
        everyPairOfNotes(
            [&](int first, int second, const std::vector<float>& x, std::vector<float>& out) {
                std::vector<float> pitch(x.size());
                pitch[0] = clavesTable(first);
                pitch[200] = clavesTable(second);
                dsp::PingResonator p;
                tune(p, tau, 1000.0f, 1.0f);
                p.process(UnitBlock{x.data(), pitch.data(), out.data()}, static_cast<int>(x.size()));
            },
            [&](int first, int second, float y1, float y2) {
                const float a1 = polyA1(clavesTable(second), r);
                const float gain = (r * r + 1.0f - a1) / clavesTable(second) * 8.0f;
                const double hit = kSoftest * gain / std::sqrt(sineSquared(a1, r));
                return std::sqrt(squaredAmplitude(y1, y2, polyA1(clavesTable(first), r), r)) + hit;
            });
    }
}

TEST(Retune, TheKickBodyCarriesNoMoreActionThanItsRuleAllows) {
    for (float tau : {0.005f, 0.1f, 0.405f}) {
        const float r = dsp::expExtended(-kPeriod / tau);
        SCOPED_TRACE(tau);
        everyPairOfNotes(
            [&](int first, int second, const std::vector<float>& x, std::vector<float>& out) {
                std::vector<float> frequency(x.size(), lowTable(second));
                std::fill(frequency.begin(), frequency.begin() + 200, lowTable(first));
                dsp::SweptResonator body;
                body.setSampleRate(kRate);
                body.setDecayTime(tau);
                body.process(UnitBlock{x.data(), frequency.data(), out.data()}, static_cast<int>(x.size()));
                for (float& sample : out) sample /= 8.0f;
            },
            [&](int first, int second, float y1, float y2) {
                const float oldA1 = polyA1(lowTable(first), r), newA1 = polyA1(lowTable(second), r);
                const double oldSine = std::sqrt(sineSquared(oldA1, r));
                const double newSine = std::sqrt(sineSquared(newA1, r));
                const double action = squaredAmplitude(y1, y2, oldA1, r) * oldSine;
                const float gain = ((1.0f + r * r) - newA1) / lowTable(second) * 8.0f;
                const double hit = kSoftest * gain / newSine;
                return std::sqrt((action + 2.0 * hit * hit * newSine) / newSine) + hit;
            });
    }
}

}  // namespace
