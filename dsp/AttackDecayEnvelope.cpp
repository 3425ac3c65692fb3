#include "dsp/AttackDecayEnvelope.h"

namespace dsp {

void AttackDecayEnvelope::process(const UnitBlock& block, int frames) {
    const float* in = block.input;
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.step(in[i]);
    end(run);
}

}  // namespace dsp
