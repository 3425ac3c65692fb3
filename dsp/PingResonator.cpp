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
    // The state lives in locals through the loop: the output could alias
    // the members, which would otherwise be stored and reloaded every sample.
    const bool keyMode = keyMode_ != 0.0f;
    const float r = r_;
    float y1 = y1_, y2 = y2_, a1 = a1_, a2 = a2_, gain = gain_, frequency = currentFrequency_;
    RingTail tail = tail_;
    for (int i = 0; i < frames; ++i) {
        if (excitation[i] > 0.0f) {
            tail.strike(y1, y2);
            if (keyMode && pitch[i] > 0.0f) {
                const float f = pitch[i];
                const float oldA1 = a1;
                frequency = f;
                float u = f * w;
                u = std::min(u * u, kMaxStablePolyU);
                a1 = polyCosScaled(u, 2.0f * r);
                a2 = -(r * r);
                gain = (r * r + 1.0f - a1) / f * 8.0f;
                tail.keepAmplitude(oldA1, -a2, a1, -a2);
            }
        }
        const float y = a2 * y2 + a1 * y1 + excitation[i] * gain + d;
        y2 = y1;
        y1 = y;
        tail.trackPeak(y, r);
        if (tail.active()) {
            tail.ring(a1, a2, -a2);
            out[i] = tail.limit(y);
        } else {
            out[i] = y;
        }
    }
    y1_ = y1;
    y2_ = y2;
    a1_ = a1;
    a2_ = a2;
    gain_ = gain;
    currentFrequency_ = frequency;
    tail_ = tail;
    y1Copy_ = y1_;
    ringA1_ = a1_;
    ringRSquared_ = -a2_;
}

void PingResonator::rest() {
    tail_.rest(y1_, y2_);
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
    tail_.reset();
    computeCoefficients();
}

void PingResonator::reset() {
    keyMode_ = 0.0f;
    r_ = expExtended(-samplePeriod_ / decayTime_);
    tuneTo(fixedFrequency_);
}

}  // namespace dsp
