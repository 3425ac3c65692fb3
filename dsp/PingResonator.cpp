#include "dsp/PingResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void PingResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float w = kTwoPi * samplePeriod_;
    const float* excitation = block.input;
    const float* pitch = block.control;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        if (keyMode_ != 0.0f && excitation[i] > 0.0f) {
            const float f = pitch[i];
            if (f > 0.0f) {
                currentFrequency_ = f;
                float u = f * w;
                u = std::min(u * u, kMaxStablePolyU);
                a1_ = polyCosScaled(u, 2.0f * r_);
                a2_ = -(r_ * r_);
                gain_ = (r_ * r_ + 1.0f - a1_) / f * 8.0f;
            }
        }
        const float y = a2_ * y2_ + a1_ * y1_ + excitation[i] * gain_ + d;
        y2_ = y1_;
        y1_ = y;
        out[i] = y;
    }
    y1Copy_ = y1_;
}

void PingResonator::tuneTo(float hz) {
    const float theta = kTwoPi * hz * samplePeriod_;
    a1_ = 2.0f * r_ * trueCos(theta);
    a2_ = -(r_ * r_);
    gain_ = (r_ * r_ + 1.0f - a1_) / hz * 8.0f;
}

void PingResonator::computeCoefficients() {
    r_ = expExtended(-samplePeriod_ / decayTime_);
    tuneTo(keyMode_ == 1.0f ? currentFrequency_ : fixedFrequency_);
}

void PingResonator::setFrequency(float hz) {
    fixedFrequency_ = hz;
    if (keyMode_ == 0.0f) {
        currentFrequency_ = hz;
        tuneTo(hz);
    }
}

void PingResonator::setDecayTime(float seconds) {
    decayTime_ = seconds;
    computeCoefficients();
}

void PingResonator::setKeyMode(float value) {
    keyMode_ = value;
    y1_ = y1Copy_ = y2_ = 0.0f;
    computeCoefficients();
}

void PingResonator::reset() {
    keyMode_ = 0.0f;
    r_ = expExtended(-samplePeriod_ / decayTime_);
    tuneTo(fixedFrequency_);
}

}  // namespace dsp
