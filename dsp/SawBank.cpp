#include "dsp/SawBank.h"

namespace dsp {

void SawBank::process(const UnitBlock& block, int frames) {
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        for (int k = 0; k < kOscillators; ++k) {
            phases_[k] += increments_[k];
            if (phases_[k] >= 1.0f) phases_[k] = -1.0f;
        }
        out[i] = 0.25f * (phases_[5] + phases_[4] + phases_[3] + phases_[2] + phases_[1] + phases_[0]);
    }
}

void SawBank::setFrequencies(const float (&hz)[kOscillators]) {
    for (int k = 0; k < kOscillators; ++k) increments_[k] = 2.0f * hz[k] * samplePeriod_;
}

}  // namespace dsp
