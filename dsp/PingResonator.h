// Two-pole resonator rung by velocity impulses. In Key Mode it retunes to the
// frequency in the pitch buffer at every impulse. What rings when an impulse
// arrives or the tuning changes is carried as a tail (see RingTail), so it
// never grows louder than a few single hits, however it is played.
// Block: input = excitation, control = pitch (Hz), output.
#pragma once

#include "dsp/DspMath.h"
#include "dsp/DspUnit.h"
#include "dsp/RingTail.h"

namespace dsp {

class PingResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float y1, y2, a1, a2, gain, frequency;
        float r, w, d;
        bool keyMode;
        RingTail tail;
        // The output for one sample; pitch[i] is read only at an impulse in
        // Key Mode.
        float step(float excitation, const float* pitch, int i) {
            if (excitation > 0.0f) {
                tail.strike(y1, y2);
                if (keyMode && pitch[i] > 0.0f) {
                    const float f = pitch[i];
                    const float oldA1 = a1;
                    frequency = f;
                    float u = f * w;
                    u = std::min(u * u, kMaxStablePolyU);
                    a2 = -(r * r);
                    a1 = stableA1(polyCosScaled(u, 2.0f * r), stableA1Limit(-a2));
                    gain = (r * r + 1.0f - a1) / f * 8.0f;
                    tail.keepAmplitude(oldA1, -a2, a1, -a2);
                }
            }
            const float y = a2 * y2 + a1 * y1 + excitation * gain + d;
            y2 = y1;
            y1 = y;
            tail.trackPeak(y, r);
            if (tail.active()) {
                tail.ring(a1, a2, -a2);
                return tail.limit(y);
            }
            return y;
        }
    };
    Run begin();
    void end(const Run& run);

    void setFrequency(float hz);
    void setDecayTime(float seconds);
    void setKeyMode(float value);
    // Leaves Key Mode and recomputes the coefficients for the fixed frequency.
    void reset();
    // The owning voice has gone quiet: the next impulse continues the
    // ringing as one recursion, exactly as a first hit.
    void rest();

    float currentFrequency() const { return currentFrequency_; }
    float keyMode() const { return keyMode_; }

private:
    void computeCoefficients();  // radius and true-cosine coefficients
    void tuneTo(float hz);

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
    RingTail tail_;
    // The coefficients the state last rang with.
    float ringA1_ = 0.0f;
    float ringRSquared_ = 0.0f;
};

// The state moves into locals for the block: the outputs could alias the
// members, which would otherwise be stored and reloaded every sample. Both
// are inline so that the locals never escape, which would tie them to
// memory as well.
inline PingResonator::Run PingResonator::begin() {
    const float d = denormal_.flip();
    // A setter retuned the resonator since the last block.
    if (a1_ != ringA1_ || -a2_ != ringRSquared_) {
        tail_.absorb(y1_, y2_);
        tail_.keepAmplitude(ringA1_, ringRSquared_, a1_, -a2_);
    }
    return {y1_, y2_, a1_, a2_, gain_, currentFrequency_, r_, kTwoPi * samplePeriod_, d, keyMode_ != 0.0f, tail_};
}

inline void PingResonator::end(const Run& run) {
    y1_ = run.y1;
    y2_ = run.y2;
    a1_ = run.a1;
    a2_ = run.a2;
    gain_ = run.gain;
    currentFrequency_ = run.frequency;
    tail_ = run.tail;
    y1Copy_ = y1_;
    ringA1_ = a1_;
    ringRSquared_ = -a2_;
}

}  // namespace dsp
