#include "dsp/BandpassResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void BandpassResonator::process(const UnitBlock& block, int frames) {
    const float* in = block.input;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.step(in[i]);
    end(run);
}

void BandpassResonator::computeCoefficients() {
    const float theta = kTwoPi * frequency_ * samplePeriod_;
    r_ = expExtended(-kPi * inverseQ_ * frequency_ * samplePeriod_);
    a1_ = 2.0f * r_ * trueCos(theta);
    a2_ = -(r_ * r_);
    gain_ = std::sqrt(r_ * r_ + 1.0f - 2.0f * r_ * trueCos(2.0f * theta)) * (1.0f - r_);
}

}  // namespace dsp
