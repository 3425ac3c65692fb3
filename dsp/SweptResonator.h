// Two-pole resonator whose frequency is read from a buffer every sample: the
// kick's body. What rings when an impulse arrives, or when the owner changes
// the course of the frequency, glides on as a tail (see RingTail) whose
// action never rises, so retriggers cannot pump it up.
// Block: input = excitation, control = frequency (Hz, > 0), output.
#pragma once

#include "dsp/DspMath.h"
#include "dsp/DspUnit.h"
#include "dsp/RingTail.h"

namespace dsp {

class SweptResonator : public BuildingBlock {
public:
    void process(const UnitBlock& block, int frames) override;

    // At a retrigger the glide ahead may give the tail up to this many times
    // the new hit's action on top of its own: ordinary retriggers keep the
    // lift the written recursion gives them, while a steady roll settles
    // where the tail carries 2D/(1 - D) hits' action (D the decay of the
    // action from hit to hit) instead of growing without end.
    static constexpr double kRetriggerAllowance = 2.0;

    // One block's recursion with its state in locals, one sample per call,
    // so that a voice can run it in one loop with its other units.
    struct Run {
        float y1, y2, a1, gain, ringA1, ringRSquared;
        float w, twoR, a2, r, rSquared, a1Limit, d;
        RingTail tail;
        float step(float excitation, float f) {
            float u = w * f;
            u = std::min(u * u, kMaxStablePolyU);
            a1 = stableA1(polyCosScaled(u, twoR), a1Limit);
            gain = ((1.0f - a2) - a1) / f * 8.0f;
            if (excitation > 0.0f && tail.strike(y1, y2))
                tail.startAction(ringA1, ringRSquared,
                                 kRetriggerAllowance * hitAction(gain * excitation, a1, rSquared));
            const float y = a1 * y1 + a2 * y2 + gain * excitation + d;
            y2 = y1;
            y1 = y;
            ringA1 = a1;
            ringRSquared = rSquared;
            tail.trackPeak(y, r);
            if (tail.active()) {
                tail.holdAction(a1, rSquared);
                tail.ring(a1, a2, rSquared);
                return 8.0f * tail.limit(y);
            }
            return 8.0f * y;
        }
    };
    Run begin();
    void end(const Run& run);

    void setDecayTime(float seconds);
    void recompute() { setDecayTime(decayTime_); }
    void clearState() {
        y1_ = y1Copy_ = y2_ = 0.0f;
        tail_.reset();
    }
    // The frequency now follows another course than the one the ringing
    // started on (a parameter changed): from here on it is a tail.
    void changeCourse();

private:
    float baseFrequency_ = 50.0f;
    float decayTime_ = 0.005f;
    float y1_ = 0.0f;
    float y1Copy_ = 0.0f;
    float y2_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float gain_ = 0.0f;
    float r_ = 0.0f;
    DenormalOffset denormal_{1e-10f};
    float w_ = 0.0f;
    float twoR_ = 0.0f;
    RingTail tail_;
    // The coefficients of the last sample processed.
    float ringA1_ = 0.0f;
    float ringRSquared_ = 0.0f;
};

}  // namespace dsp
