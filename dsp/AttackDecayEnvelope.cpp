#include "dsp/AttackDecayEnvelope.h"

namespace dsp {

void AttackDecayEnvelope::process(const UnitBlock& block, int frames) {
    const float d = denormal_.flip();
    const float* in = block.input;
    float* out = block.output;
    const float attackCoefficient = attackCoefficient_, decayCoefficient = decayCoefficient_;
    int stage = stage_;
    float peak = peak_, residual = residual_, level = level_;
    for (int i = 0; i < frames; ++i) {
        if (in[i] > 0.0f) {
            stage = kAttack;
            peak = in[i];
            residual = in[i];
        }
        if (stage == kAttack) {
            residual = attackCoefficient * residual;
            level = peak - residual;
            if (level >= 0.9f * peak) {
                stage = kDecay;
                level = 0.9f * peak;
            }
        } else if (stage == kDecay) {
            level = decayCoefficient * level + d;
        } else {
            level = 0.0f;
        }
        out[i] = level;
    }
    stage_ = stage;
    peak_ = peak;
    residual_ = residual;
    level_ = level;
}

}  // namespace dsp
