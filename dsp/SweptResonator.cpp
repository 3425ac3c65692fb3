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
    const float a1Limit = stableA1Limit(rSquared);
    for (int i = 0; i < frames; ++i) {
        const float f = frequency[i];
        float u = w_ * f;
        u = std::min(u * u, kMaxStablePolyU);
        a1_ = stableA1(polyCosScaled(u, twoR_), a1Limit);
        gain_ = ((1.0f - a2_) - a1_) / f * 8.0f;
        if (excitation[i] > 0.0f && tail_.strike(y1_, y2_))
            tail_.startAction(ringA1_, ringRSquared_,
                              kRetriggerAllowance * hitAction(gain_ * excitation[i], a1_, rSquared));
        const float y = a1_ * y1_ + a2_ * y2_ + gain_ * excitation[i] + d;
        y2_ = y1_;
        y1_ = y;
        ringA1_ = a1_;
        ringRSquared_ = rSquared;
        tail_.trackPeak(y, r_);
        if (tail_.active()) {
            tail_.holdAction(a1_, rSquared);
            tail_.ring(a1_, a2_, rSquared);
            out[i] = 8.0f * tail_.limit(y);
        } else {
            out[i] = 8.0f * y;
        }
    }
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
