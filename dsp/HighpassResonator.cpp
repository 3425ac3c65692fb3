#include "dsp/HighpassResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void HighpassResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    // State in locals: the output may alias the members.
    const float gain = gain_, a1 = a1_, a2 = a2_;
    float x1 = x1_, x2 = x2_, y1 = y1_, y2 = y2_, w = lastIntermediate_;
    for (int i = 0; i < frames; ++i) {
        const float x = in[i];
        w = (x - 2.0f * x1 + x2) * gain + d;
        const float y = w + a2 * y2 + a1 * y1;
        y2 = y1;
        y1 = y;
        x2 = x1;
        x1 = x;
        out[i] = y;
    }
    if (frames > 0) lastOutput_ = y1;
    lastIntermediate_ = w;
    x1_ = x1;
    x2_ = x2;
    y1_ = y1;
    y2_ = y2;
}

void HighpassResonator::recompute() {
    // Above half the sample rate the gain formula divides by 1 - cos(theta),
    // which reaches 0 at multiples of the sample rate; hold the filter at
    // half the sample rate there instead.
    const float f = std::min(frequency_, 0.5f * sampleRate_);
    const float theta = kTwoPi * f * samplePeriod_;
    r_ = expExtended(-kPi * inverseQ_ * f * samplePeriod_);
    const float cosTheta = trueCos(theta);
    const float cosTwoTheta = trueCos(2.0f * theta);
    a1_ = 2.0f * r_ * cosTheta;
    a2_ = -(r_ * r_);
    gain_ = std::sqrt(r_ * r_ + 1.0f - 2.0f * r_ * cosTwoTheta) * (1.0f - r_) / (1.0f - cosTheta);
}

}  // namespace dsp
