#include "dsp/PingResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void PingResonator::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float w = kTwoPi * samplePeriod_;
    const float* excitation = block.input;
    const float* pitch = block.control;
    float* out = block.output;
    // A setter retuned the resonator since the last block.
    if (a1_ != ringA1_ || -a2_ != ringRSquared_) {
        tail_.absorb(y1_, y2_);
        tail_.keepAmplitude(ringA1_, ringRSquared_, a1_, -a2_);
    }
    for (int i = 0; i < frames; ++i) {
        if (excitation[i] > 0.0f) {
            tail_.strike(y1_, y2_);
            if (keyMode_ != 0.0f && pitch[i] > 0.0f) {
                const float f = pitch[i];
                const float oldA1 = a1_;
                currentFrequency_ = f;
                float u = f * w;
                u = std::min(u * u, kMaxStablePolyU);
                a2_ = -(r_ * r_);
                a1_ = stableA1(polyCosScaled(u, 2.0f * r_), stableA1Limit(-a2_));
                gain_ = (r_ * r_ + 1.0f - a1_) / f * 8.0f;
                tail_.keepAmplitude(oldA1, -a2_, a1_, -a2_);
            }
        }
        const float y = a2_ * y2_ + a1_ * y1_ + excitation[i] * gain_ + d;
        y2_ = y1_;
        y1_ = y;
        tail_.trackPeak(y, r_);
        if (tail_.active()) {
            tail_.ring(a1_, a2_, -a2_);
            out[i] = tail_.limit(y);
        } else {
            out[i] = y;
        }
    }
    y1Copy_ = y1_;
    ringA1_ = a1_;
    ringRSquared_ = -a2_;
}

void PingResonator::rest() {
    tail_.rest(y1_, y2_);
}

void PingResonator::tuneTo(float hz) {
    const float theta = kTwoPi * hz * samplePeriod_;
    a2_ = -(r_ * r_);
    a1_ = stableA1(2.0f * r_ * trueCos(theta), stableA1Limit(-a2_));
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
    tail_.reset();
    computeCoefficients();
}

void PingResonator::reset() {
    keyMode_ = 0.0f;
    r_ = expExtended(-samplePeriod_ / decayTime_);
    tuneTo(fixedFrequency_);
}

}  // namespace dsp
