#include "dsp/SweptResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void SweptResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* excitation = block.input;
    const float* frequency = block.control;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        const float f = frequency[i];
        float u = w_ * f;
        u = std::min(u * u, kMaxStablePolyU);
        a1_ = polyCosScaled(u, twoR_);
        gain_ = ((1.0f - a2_) - a1_) / f * 8.0f;
        const float y = a1_ * y1_ + a2_ * y2_ + gain_ * excitation[i] + d;
        y2_ = y1_;
        y1_ = y;
        out[i] = 8.0f * y;
    }
    y1Copy_ = y1_;
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
