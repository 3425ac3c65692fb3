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
        run.plan(frequency + start, n, course);
        for (int i = 0; i < n; ++i) out[start + i] = run.step(excitation[start + i], course, i);
    }
    end(run);
}

GlideShape::Peaks SweptResonator::reference(float base, float firstDepth, int firstSamples, float depth, float glide,
                                            float weight, const GlideShape::Companion& companion) const {
    GlideShape shape{base, glide, r_, w_, stableA1Limit(-a2_), 1.0f, {}};
    shape.weight = weight;
    shape.companion = companion;
    const GlideShape::Peaks peaks = shape.peaks(firstDepth, firstSamples, depth);
    return {RingBound::kLoudestVelocity * peaks.body, RingBound::kLoudestVelocity * peaks.mixed};
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
