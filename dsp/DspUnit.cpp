#include "dsp/DspUnit.h"

namespace dsp {

float DspUnit::takeMeterLevel() {
    if (pendingPeak_ > 0.0f) {
        meterLevel_ = pendingPeak_;
        pendingPeak_ = 0.0f;
    }
    return meterLevel_;
}

void DspUnit::setSampleRate(float rate) {
    sampleRate_ = rate;
    samplePeriod_ = 1.0f / rate;
}

}  // namespace dsp
