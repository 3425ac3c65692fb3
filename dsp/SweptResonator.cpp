#include "dsp/SweptResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

// At a retrigger the glide ahead may give the tail up to this many times the
// new hit's action on top of its own: ordinary retriggers keep the lift
// the written recursion gives them, while a steady roll settles where the
// tail carries 2D/(1 - D) hits' action (D the decay of the action from hit
// to hit) instead of growing without end.
constexpr double kRetriggerAllowance = 2.0;

void SweptResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* excitation = block.input;
    const float* frequency = block.control;
    float* out = block.output;
    const float rSquared = -a2_;
    // The decay changed since the last block.
    if (rSquared != ringRSquared_) changeCourse();
    // The state lives in locals through the loop: the output could alias
    // the members, which would otherwise be stored and reloaded every sample.
    const float w = w_, twoR = twoR_, a2 = a2_, r = r_;
    float y1 = y1_, y2 = y2_, a1 = a1_, gain = gain_, ringA1 = ringA1_, ringRSquared = ringRSquared_;
    RingTail tail = tail_;
    for (int i = 0; i < frames; ++i) {
        const float f = frequency[i];
        float u = w * f;
        u = std::min(u * u, kMaxStablePolyU);
        a1 = polyCosScaled(u, twoR);
        gain = ((1.0f - a2) - a1) / f * 8.0f;
        if (excitation[i] > 0.0f && tail.strike(y1, y2))
            tail.startAction(ringA1, ringRSquared,
                             kRetriggerAllowance * hitAction(gain * excitation[i], a1, rSquared));
        const float y = a1 * y1 + a2 * y2 + gain * excitation[i] + d;
        y2 = y1;
        y1 = y;
        ringA1 = a1;
        ringRSquared = rSquared;
        tail.trackPeak(y, r);
        if (tail.active()) {
            tail.holdAction(a1, rSquared);
            tail.ring(a1, a2, rSquared);
            out[i] = 8.0f * tail.limit(y);
        } else {
            out[i] = 8.0f * y;
        }
    }
    y1_ = y1;
    y2_ = y2;
    a1_ = a1;
    gain_ = gain;
    ringA1_ = ringA1;
    ringRSquared_ = ringRSquared;
    tail_ = tail;
    y1Copy_ = y1_;
}

void SweptResonator::changeCourse() {
    if (tail_.absorb(y1_, y2_)) tail_.startAction(ringA1_, ringRSquared_);
}

void SweptResonator::setDecayTime(float seconds) {
    decayTime_ = seconds;
    w_ = kTwoPi * samplePeriod_;
    r_ = expExtended(-samplePeriod_ / seconds);
    twoR_ = 2.0f * r_;
    a2_ = -(r_ * r_);
    a1_ = twoR_ * trueCos(kTwoPi * samplePeriod_ * baseFrequency_);
    gain_ = r_ * r_ + 1.0f - a1_;
}

}  // namespace dsp
