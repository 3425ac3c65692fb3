#include "dsp/SawBank.h"

namespace dsp {

void SawBank::process(const UnitBlock& block, int frames) {
    float* out = block.output;
    float phases[kOscillators], increments[kOscillators];
    for (int k = 0; k < kOscillators; ++k) {
        phases[k] = phases_[k];
        increments[k] = increments_[k];
    }
    for (int i = 0; i < frames; ++i) {
        for (int k = 0; k < kOscillators; ++k) {
            phases[k] += increments[k];
            if (phases[k] >= 1.0f) phases[k] = -1.0f;
        }
        out[i] = 0.25f * (phases[5] + phases[4] + phases[3] + phases[2] + phases[1] + phases[0]);
    }
    for (int k = 0; k < kOscillators; ++k) phases_[k] = phases[k];
}

void SawBank::setFrequencies(const float (&hz)[kOscillators]) {
    for (int k = 0; k < kOscillators; ++k) increments_[k] = 2.0f * hz[k] * samplePeriod_;
}

}  // namespace dsp
