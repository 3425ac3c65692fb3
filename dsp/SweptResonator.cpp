#include "dsp/SweptResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void SweptResonator::process(const UnitBlock& block, int frames) {
    const float* excitation = block.input;
    const float* frequency = block.control;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.step(excitation[i], frequency[i]);
    end(run);
}

// The state moves into locals for the block: the outputs could alias the
// members, which would otherwise be stored and reloaded every sample.
SweptResonator::Run SweptResonator::begin() {
    const float d = denormal_.flip();
    const float rSquared = -a2_;
    // The decay changed since the last block.
    if (rSquared != ringRSquared_) changeCourse();
    return {y1_, y2_, a1_, gain_, ringA1_, ringRSquared_, w_, twoR_, a2_, r_, rSquared,
            stableA1Limit(rSquared), d, tail_};
}

void SweptResonator::end(const Run& run) {
    y1_ = run.y1;
    y2_ = run.y2;
    a1_ = run.a1;
    gain_ = run.gain;
    ringA1_ = run.ringA1;
    ringRSquared_ = run.ringRSquared;
    tail_ = run.tail;
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
