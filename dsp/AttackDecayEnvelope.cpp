#include "dsp/AttackDecayEnvelope.h"

namespace dsp {

void AttackDecayEnvelope::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    for (int i = 0; i < frames; ++i) {
        if (in[i] > 0.0f) {
            stage_ = kAttack;
            peak_ = in[i];
            residual_ = in[i];
        }
        if (stage_ == kAttack) {
            residual_ = attackCoefficient_ * residual_;
            level_ = peak_ - residual_;
            if (level_ >= 0.9f * peak_) {
                stage_ = kDecay;
                level_ = 0.9f * peak_;
            }
        } else if (stage_ == kDecay) {
            level_ = decayCoefficient_ * level_ + d;
        } else {
            level_ = 0.0f;
        }
        out[i] = level_;
    }
}

}  // namespace dsp
