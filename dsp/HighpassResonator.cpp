#include "dsp/HighpassResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void HighpassResonator::process(const UnitBlock& block, int frames) {
    const float* in = block.input;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.step(in[i]);
    end(run);
}

void HighpassResonator::computeCoefficients() {
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
    // Where cos(theta) rounds to 1 (a frequency tiny against the sample
    // rate), 1 - cos(theta) is formed as 2 sin^2(theta / 2) instead, which is
    // 0 only when the frequency is; such a filter passes nothing.
    float oneMinusCos = 1.0f - cosTheta;
    if (!(oneMinusCos > 0.0f)) {
        const double halfSine = std::sin(0.5 * static_cast<double>(theta));
        oneMinusCos = static_cast<float>(2.0 * halfSine * halfSine);
    }
    const float numerator = std::sqrt(std::max(0.0f, r_ * r_ + 1.0f - 2.0f * r_ * cosTwoTheta)) * (1.0f - r_);
    gain_ = oneMinusCos > 0.0f ? numerator / oneMinusCos : 0.0f;
}

}  // namespace dsp
