#include "dsp/SawBank.h"

namespace dsp {

void SawBank::process(const UnitBlock& block, int frames) {
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.next();
    end(run);
}

void SawBank::setFrequencies(const float (&hz)[kOscillators]) {
    for (int k = 0; k < kOscillators; ++k) increments_[k] = 2.0f * hz[k] * samplePeriod_;
}

}  // namespace dsp
