#include "dsp/DecayEnvelope.h"

namespace dsp {

void DecayEnvelope::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    const float coefficient = coefficient_;
    float level = level_;
    for (int i = 0; i < frames; ++i) {
        level = coefficient * level + d + (in[i] > 0.0f ? 1.0f : 0.0f);
        if (level > 1.0f) level = 1.0f;
        out[i] = level;
    }
    level_ = level;
}

void DecayEnvelope::accumulate(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    const float coefficient = coefficient_;
    float level = level_;
    for (int i = 0; i < frames; ++i) {
        level = coefficient * level + in[i] + d;
        if (level > 1.0f) level = 1.0f;
        out[i] = level;
    }
    level_ = level;
}

}  // namespace dsp
