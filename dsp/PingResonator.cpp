#include "dsp/PingResonator.h"

#include "dsp/DspMath.h"

namespace dsp {

void PingResonator::process(const UnitBlock& block, int frames) {
    const float* excitation = block.input;
    const float* pitch = block.control;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.step(excitation[i], pitch, i);
    end(run);
}

void PingResonator::tuneTo(float hz) {
    const float theta = kTwoPi * hz * samplePeriod_;
    a2_ = -(r_ * r_);
    a1_ = stableA1(2.0f * r_ * trueCos(theta), stableA1Limit(-a2_));
    gain_ = (r_ * r_ + 1.0f - a1_) / hz * 8.0f;
    bound_.raise(presentReference());
}

float PingResonator::presentReference() {
    auto& cached = presentReference_;
    if (cached.a1 != a1_ || cached.a2 != a2_ || cached.gain != gain_) {
        cached = {a1_, a2_, gain_, reference(a1_, -a2_, gain_)};
    }
    return cached.reference;
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
    rest();
}

void PingResonator::reset() {
    keyMode_ = 0.0f;
    r_ = expExtended(-samplePeriod_ / decayTime_);
    tuneTo(fixedFrequency_);
    rest();
}

}  // namespace dsp
