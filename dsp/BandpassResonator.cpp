#include "dsp/BandpassResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void BandpassResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        const float y = gain_ * in[i] + a2_ * y2_ + a1_ * y1_ + d;
        y2_ = y1_;
        y1_ = y;
        out[i] = y;
        lastOutput_ = y;
    }
}

void BandpassResonator::recompute() {
    const float theta = kTwoPi * frequency_ * samplePeriod_;
    r_ = expExtended(-kPi * inverseQ_ * frequency_ * samplePeriod_);
    a1_ = 2.0f * r_ * trueCos(theta);
    a2_ = -(r_ * r_);
    gain_ = std::sqrt(r_ * r_ + 1.0f - 2.0f * r_ * trueCos(2.0f * theta)) * (1.0f - r_);
}

}  // namespace dsp
