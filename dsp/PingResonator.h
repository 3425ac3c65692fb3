// Two-pole resonator rung by velocity impulses. In Key Mode it retunes to the
// frequency in the pitch buffer at every impulse. Its ringing is held by a
// RingBound whose reference is a hit's peak at the tunings it has played.
// Block: input = excitation, control = pitch (Hz), output.
#pragma once

#include "dsp/DspMath.h"
#include "dsp/DspUnit.h"
#include "dsp/RingBound.h"

namespace dsp {

class PingResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // The recursion, written once for one float and for the lanes of
    // several resonators at once (FloatLanes).
    template <typename Float>
    static Float ring(Float y1, Float y2, Float a1, Float a2, Float excitation, Float gain, Float d) {
        return a2 * y2 + a1 * y1 + excitation * gain + d;
    }

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float y1, y2, a1, a2, gain, frequency;
        float r, w, d;
        bool keyMode;
        RingBound bound;
        // The output for one sample; pitch[i] is read only at an impulse in
        // Key Mode.
        float step(float excitation, const float* pitch, int i) {
            if (excitation > 0.0f && keyMode && pitch[i] > 0.0f) {
                const float f = pitch[i];
                frequency = f;
                float u = f * w;
                u = std::min(u * u, kMaxStablePolyU);
                a2 = -(r * r);
                a1 = stableA1(polyCosScaled(u, 2.0f * r), stableA1Limit(-a2));
                gain = (r * r + 1.0f - a1) / f * 8.0f;
                bound.raise(reference(a1, -a2, gain));
            }
            const float y = ring(y1, y2, a1, a2, excitation, gain, d);
            y2 = y1;
            y1 = y;
            if (RingBound::within(y, bound.limit())) return y;
            return bound.holdState(y1, y2, a1, -a2);
        }
    };
    Run begin();
    void end(const Run& run);

    void setFrequency(float hz);
    void setDecayTime(float seconds);
    void setKeyMode(float value);
    // Leaves Key Mode and recomputes the coefficients for the fixed frequency.
    void reset();
    // The owning voice has gone quiet: the reference starts over from the
    // present tuning.
    void rest() { bound_.restart(presentReference()); }
    // See RingBound::allow.
    void allowForOtherParts(float allowance) { bound_.allow(allowance); }
    float boundReference() const { return bound_.reference(); }
    // This resonator as a companion of a gliding one (see GlideShape).
    GlideShape::Companion companion(float weight) const { return {a1_, -a2_, gain_, weight}; }

    // The loudest output a hit at velocity 127 gives with these coefficients.
    static float reference(float a1, float rSquared, float gain) {
        return static_cast<float>(RingBound::kLoudestVelocity * std::abs(gain) * impulsePeak(a1, rSquared));
    }

    float currentFrequency() const { return currentFrequency_; }
    float keyMode() const { return keyMode_; }

private:
    void computeCoefficients();  // radius and true-cosine coefficients
    void tuneTo(float hz);
    // reference() at the present coefficients, worked out again only when
    // they have changed: a voice at one tuning rests after every hit.
    float presentReference();

    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float keyMode_ = 0.0f;
    float fixedFrequency_ = 1000.0f;
    float currentFrequency_ = 1000.0f;
    float decayTime_ = 0.002f;
    RingBound bound_;
    struct {
        float a1 = NAN, a2 = NAN, gain = NAN, reference = 0.0f;
    } presentReference_;
};

// The state moves into locals for the block: the outputs could alias the
// members, which would otherwise be stored and reloaded every sample. Both
// are inline so that the locals never escape, which would tie them to
// memory as well.
inline PingResonator::Run PingResonator::begin() {
    const float d = denormal_.flip();
    return {y1_, y2_, a1_, a2_, gain_, currentFrequency_, r_, kTwoPi * samplePeriod_, d, keyMode_ != 0.0f, bound_};
}

inline void PingResonator::end(const Run& run) {
    y1_ = run.y1;
    y2_ = run.y2;
    a1_ = run.a1;
    a2_ = run.a2;
    gain_ = run.gain;
    currentFrequency_ = run.frequency;
    bound_ = run.bound;
    y1Copy_ = y1_;
}

}  // namespace dsp
