#include "dsp/DecayEnvelope.h"

namespace dsp {

void DecayEnvelope::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        level_ = coefficient_ * level_ + d + (in[i] > 0.0f ? 1.0f : 0.0f);
        if (level_ > 1.0f) level_ = 1.0f;
        out[i] = level_;
    }
}

void DecayEnvelope::accumulate(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        level_ = coefficient_ * level_ + in[i] + d;
        if (level_ > 1.0f) level_ = 1.0f;
        out[i] = level_;
    }
}

}  // namespace dsp
