#include "dsp/NoiseSource.h"

namespace dsp {

void NoiseSource::process(const UnitBlock& block, int frames) {
    float* out = block.output;
    Run run = begin();
    for (int i = 0; i < frames; ++i) out[i] = run.next();
    end(run);
}

}  // namespace dsp
