#include "dsp/BandpassResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void BandpassResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    // State in locals: the output may alias the members.
    const float gain = gain_, a1 = a1_, a2 = a2_;
    float y1 = y1_, y2 = y2_;
    for (int i = 0; i < frames; ++i) {
        const float y = gain * in[i] + a2 * y2 + a1 * y1 + d;
        y2 = y1;
        y1 = y;
        out[i] = y;
    }
    if (frames > 0) lastOutput_ = y1;
    y1_ = y1;
    y2_ = y2;
}

void BandpassResonator::recompute() {
    const float theta = kTwoPi * frequency_ * samplePeriod_;
    r_ = expExtended(-kPi * inverseQ_ * frequency_ * samplePeriod_);
    a1_ = 2.0f * r_ * trueCos(theta);
    a2_ = -(r_ * r_);
    gain_ = std::sqrt(r_ * r_ + 1.0f - 2.0f * r_ * trueCos(2.0f * theta)) * (1.0f - r_);
}

}  // namespace dsp
