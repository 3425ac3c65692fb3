#include "dsp/SweptResonator.h"

#include <algorithm>

#include "dsp/DspMath.h"

namespace dsp {

void SweptResonator::process(const UnitBlock& block, int frames) {
    const float* excitation = block.input;
    const float* frequency = block.control;
    float* out = block.output;
    Run run = begin();
    Course course;
    for (int start = 0; start < frames; start += kStretch) {
        const int n = std::min(kStretch, frames - start);
        run.plan(frequency + start, n, anyStrike(excitation + start, n), course);
        for (int i = 0; i < n; ++i) out[start + i] = run.step(excitation[start + i], course, i);
    }
    end(run);
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
