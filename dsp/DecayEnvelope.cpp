#include "dsp/DecayEnvelope.h"

namespace dsp {

void DecayEnvelope::process(const UnitBlock& block, int frames) {
    const float* in = block.input;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.trigger(in[i]);
    end(run);
}

void DecayEnvelope::accumulate(const UnitBlock& block, int frames) {
    const float* in = block.input;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.accumulate(in[i]);
    end(run);
}

}  // namespace dsp
